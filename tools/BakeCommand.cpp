// sparv-fx bake: renders an effect into a flip-book sheet with a transparent background
// and writes the texture animation that plays it beside the sheet.
#include "Commands.h"
#include "Json.h"
#include "SceneOptions.h"
#include "TerminalProgress.h"
#include "ToolSupport.h"
#include "review/FXFlipbookBaker.h"
#include "runtime/FXManager.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr const char* kUsage =
    "bake NAME [--wkdir DIR] [--grid CxR] [--fps F] [--size S] [--seed N]\n"
    "       [--camera YAW,PITCH,DISTANCE] [--target X,Y,Z] [--background R,G,B]\n"
    "       [--gravity X,Y,Z] [--wind X,Y,Z] [--texture NAME] -o SHEET.png";

// The frame rate that spreads the frames over the effect's life (to a thousandth), or 30
// for an effect that loops.
double FpsOverLife(const std::string& name, int frames) {
    FXManager* manager = FXManager::Instance();
    const FXType* type = manager ? manager->TypeFind(name.c_str()) : nullptr;
    const double duration = type ? type->GetDuration() : 0.0;
    if (!(duration > 0.0 && duration <= 3600.0))
        return 30.0;
    return std::clamp(std::round(frames / duration * 1000.0) / 1000.0, 0.01, 1000.0);
}

} // namespace

int RunBake(const std::vector<std::string>& args) {
    const auto parsed = ParseToolArgs(
        args, {kUsage, WithSceneOptions({"wkdir", "fps", "size", "texture", "o"}), 1, 1, true});
    if (!parsed)
        return kUsageStatus;

    FXBakeSettings settings;
    settings.typeName = parsed->Positional()[0];
    settings.sheetPath = *parsed->Value("o");
    settings.textureName = parsed->Value("texture").value_or("");
    // Black keeps added light exactly; a grey one would also keep multiplied shades.
    settings.scene.background = {0.0f, 0.0f, 0.0f, 1.0f};
    std::string problem;
    if (!ReadSceneOptions(*parsed, std::nullopt, settings.scene, problem))
        return UsageError(kUsage, problem);
    std::vector<double> grid;
    if (const auto text = parsed->Value("grid")) {
        if (!ParseNumberList(*text, 'x', 2, grid) || grid[0] != std::floor(grid[0]) ||
            grid[1] != std::floor(grid[1]) || !(grid[0] >= 1 && grid[0] <= 64) ||
            !(grid[1] >= 1 && grid[1] <= 64))
            return UsageError(kUsage, "--grid takes CxR, whole numbers from 1 to 64");
        settings.columns = static_cast<int>(grid[0]);
        settings.rows = static_cast<int>(grid[1]);
    }
    double size = settings.cellSize;
    if (!ParseNumberOption(parsed->Value("size"), size) || size != std::floor(size) ||
        !(size >= 4 && size <= 2048))
        return UsageError(kUsage, "--size takes the pixels of a frame, 4 to 2048");
    settings.cellSize = static_cast<int>(size);
    if (!ParseNumberOption(parsed->Value("fps"), settings.fps))
        return UsageError(kUsage, "--fps takes a number");

    ToolEnvironment environment(parsed->Value("wkdir"));
    if (!environment.Ok())
        return 1;
    if (!parsed->Value("fps"))
        settings.fps = FpsOverLife(settings.typeName, settings.columns * settings.rows);
    if (const std::string why = FXFlipbookBaker::Check(settings); !why.empty())
        return UsageError(kUsage, why);

    FXBakeLayout layout;
    std::string reason;
    FXReviewOutcome outcome = FXReviewOutcome::Failed;
    {
        TerminalProgress progress("baking frame");
        outcome = FXFlipbookBaker::Run(settings, progress.Callback(), layout, reason);
    }
    if (outcome != FXReviewOutcome::Done) {
        std::fprintf(stderr, "sparv-fx: %s\n", reason.c_str());
        return 1;
    }
    JsonWriter json;
    json.BeginObject()
        .Key("sheet")
        .String(layout.sheetPath)
        .Key("animation")
        .String(layout.animationPath)
        .Key("texture")
        .String(layout.textureName)
        .Key("columns")
        .Integer(settings.columns)
        .Key("rows")
        .Integer(settings.rows)
        .Key("frames")
        .Integer(layout.frames)
        .Key("fps")
        .Number(settings.fps)
        .Key("cell")
        .Integer(settings.cellSize)
        .Key("render")
        .Integer(layout.renderSize)
        .Key("square")
        .BeginArray()
        .Number(layout.square.left)
        .Number(layout.square.top)
        .Number(layout.square.side)
        .EndArray()
        .EndObject();
    std::printf("%s\n", json.Text().c_str());
    return 0;
}
