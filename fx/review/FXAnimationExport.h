#pragma once

// Exports an effect as an animation: frames drawn headless as the preview shows them
// (FXHeadlessView), written as an animated GIF, an animated WebP or a numbered PNG
// sequence by the output's extension (AnimationWriter). What sparv-fx render --frames
// does, and what the editor's File > Export Animation runs with its preview's scene.

#include "image/AnimationWriter.h"
#include "review/FXReviewScene.h"

#include <string>

struct FXExportSettings {
    // The effect; empty or "-" draws the scene alone.
    std::string typeName;
    FXReviewScene scene;
    int width = 640; // pixels
    int height = 360;
    int frames = 60;
    // Frames per second of the animation: each frame is shown 1 / fps seconds.
    double fps = 30.0;
    // Seconds of the effect per second of the animation: 0.25 plays it at a quarter of
    // its speed.
    double speed = 1.0;
    // Frames with a transparent background and straight alpha; PNG and WebP only (GIF
    // keeps no partial transparency).
    bool transparent = false;
    // Host path of the output; its extension chooses the format.
    std::string outputPath;
    AnimationOptions options;
};

class FXAnimationExport {
public:
    // Frame k shows the effect at k x speed / fps seconds, each time reached by advancing
    // the previous frame's. progress (may be empty) hears of every frame written and may
    // cancel. Failed and cancelled exports leave no file; reason says why they failed.
    // The FX runtime must be started, with the effect's types to be had.
    static FXReviewOutcome Run(const FXExportSettings& settings, const FXReviewProgress& progress,
                               std::string& reason);
    // Why the settings cannot be exported (an unknown extension, GIF with transparency,
    // counts out of range), or empty when they can.
    static std::string Check(const FXExportSettings& settings);
};
