#pragma once

// Bakes an effect into a flip-book: one texture sheet of columns x rows frames with a
// transparent background, and the texture animation (".anim") that plays it, so that a
// ring can show the effect as one animated quad.
//
// Frame k is the effect at k / fps seconds, as the preview shows it from the scene's
// camera (without grids). Every frame is cut to the same square: the smallest one, centred
// on the effect's bounds over the frames baked (the instances' positions and radii,
// projected), with a small margin, and scaled to cellSize pixels. To cut it sharply the
// frames are drawn in a square view large enough that the square spans about cellSize
// pixels (at most kMaxRenderSize). Colours are recovered with straight alpha against the
// scene's background colour (black keeps added light exactly).
//
// Two passes: the first finds the bounds, the second draws and cuts the frames; both run
// the same simulation. Sheet and animation are written together, atomically.

#include "image/ImageRegion.h"
#include "review/FXReviewScene.h"

#include <string>

struct FXBakeSettings {
    std::string typeName;
    FXReviewScene scene; // grids are ignored
    int columns = 8;
    int rows = 8;
    double fps = 30.0;
    int cellSize = 128; // pixels of each frame, square
    // Host path of the PNG sheet; the animation goes beside it with the extension ".anim".
    std::string sheetPath;
    // The texture name the animation gives the sheet; empty: the sheet's aliased path.
    std::string textureName;
};

// How a bake cut its frames, for reports and for checking a frame against a render.
struct FXBakeLayout {
    int frames = 0;
    int renderSize = 0; // the square view the frames were drawn in, pixels
    ImageSquare square; // the part of each drawn frame that became a cell
    std::string sheetPath;
    std::string animationPath;
    std::string textureName;
};

class FXFlipbookBaker {
public:
    // Largest square view the frames are drawn in.
    static constexpr int kMaxRenderSize = 2048;

    // progress hears of each frame of both passes (2 x frames in all) and may cancel.
    // Failed and cancelled bakes leave no file; reason says why they failed. The FX
    // runtime must be started.
    static FXReviewOutcome Run(const FXBakeSettings& settings, const FXReviewProgress& progress,
                               FXBakeLayout& layout, std::string& reason);
    // Why the settings cannot be baked, or empty.
    static std::string Check(const FXBakeSettings& settings);
    // The animation's path for a sheet: its extension replaced by ".anim".
    static std::string AnimationPathFor(const std::string& sheetPath);
    // The text of the animation file.
    static std::string AnimationText(const FXBakeSettings& settings, const std::string& texture);
};
