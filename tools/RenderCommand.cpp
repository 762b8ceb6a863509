// sparv-fx render: draws an effect headless, as the editor's preview shows it: one frame
// to PNG, or an animation (GIF, WebP or a PNG sequence, by the output's extension), or
// the frame a review snapshot holds.
#include "Commands.h"
#include "SceneOptions.h"
#include "TerminalProgress.h"
#include "ToolSupport.h"
#include "review/FXAnimationExport.h"
#include "review/FXHeadlessView.h"
#include "review/FXSnapshot.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kUsage =
    "render NAME|- [--wkdir DIR] [--time T | --frames N [--fps F] [--speed S]] [--size WxH]\n"
    "       [--seed N] [--camera YAW,PITCH,DISTANCE] [--target X,Y,Z] [--grid xz|xy|none]\n"
    "       [--background R,G,B] [--gravity X,Y,Z] [--wind X,Y,Z] [--transparent] -o OUT\n"
    "   or: sparv-fx render --snapshot FILE [--wkdir DIR] [--size WxH] [--transparent] "
    "-o OUT.png";

// Writes one picture; false (reported) when it cannot be written.
bool SavePicture(const Image& picture, const std::string& path) {
    std::string reason;
    if (!WritePng(path, picture.width, picture.height, picture.rgba, &reason)) {
        std::fprintf(stderr, "sparv-fx: %s\n", reason.c_str());
        return false;
    }
    return true;
}

// Draws one moment headless and writes it.
int RenderFrame(const std::string& name, const FXReviewScene& scene, double time, int width,
                int height, bool transparent, const std::string& output) {
    std::string reason;
    auto view = FXHeadlessView::Create(width, height, &reason);
    if (!view) {
        std::fprintf(stderr, "sparv-fx: cannot render without OpenGL: %s\n", reason.c_str());
        return 1;
    }
    view->SetTransparent(transparent);
    if (!view->Start(name, scene, &reason)) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return 1;
    }
    view->Advance(time);
    return SavePicture(view->Picture(), output) ? 0 : 1;
}

int RenderSnapshot(const ToolArgs& parsed, const std::string& file, const std::string& output) {
    for (const char* excluded : {"time", "frames", "fps", "speed", "seed", "camera", "target",
                                 "grid", "background", "gravity", "wind"})
        if (parsed.Value(excluded))
            return UsageError(kUsage, std::string("--") + excluded +
                                          " does not go with --snapshot: the snapshot holds it");
    if (!parsed.Positional().empty())
        return UsageError(kUsage, "--snapshot names the effect itself");
    ToolEnvironment environment(parsed.Value("wkdir"));
    if (!environment.Ok())
        return 1;
    FXSnapshot snapshot;
    std::string reason;
    if (!snapshot.Read(file, &reason)) {
        std::fprintf(stderr, "sparv-fx: %s: snapshot refused: %s\n", file.c_str(), reason.c_str());
        return 1;
    }
    int width = snapshot.width;
    int height = snapshot.height;
    if (const auto size = parsed.Value("size"); size && !ParseSize(*size, width, height))
        return UsageError(kUsage, "--size takes WxH, 1 to 8192 each");
    // Differences from the working directory and missing files are told, not fatal: the
    // snapshot's own types are what it shows.
    for (const FXSnapshotTypeStatus& status : snapshot.CompareWithFiles()) {
        switch (status.kind) {
        case FXSnapshotTypeStatus::Kind::Same:
            break;
        case FXSnapshotTypeStatus::Kind::Differs: {
            std::string names;
            for (const std::string& property : status.properties)
                names += (names.empty() ? "" : ", ") + property;
            std::fprintf(stderr, "note: type '%s' differs from the working directory's file (%s)\n",
                         status.name.c_str(), names.c_str());
            break;
        }
        case FXSnapshotTypeStatus::Kind::NoFile:
            std::fprintf(stderr, "note: type '%s' has no file in the working directory\n",
                         status.name.c_str());
            break;
        case FXSnapshotTypeStatus::Kind::Unreadable:
            std::fprintf(stderr,
                         "note: type '%s': the working directory's file cannot be read: %s\n",
                         status.name.c_str(), status.reason.c_str());
            break;
        }
    }
    for (const FXSnapshotMissingFile& missing : snapshot.MissingFiles())
        std::fprintf(stderr, "warning: type '%s': %s: file '%s' does not exist\n",
                     missing.type.c_str(), missing.property.c_str(), missing.file.c_str());
    if (!snapshot.RegisterTypes(&reason)) {
        std::fprintf(stderr, "sparv-fx: %s\n", reason.c_str());
        return 1;
    }
    return RenderFrame(snapshot.MainType(), snapshot.scene, snapshot.time, width, height,
                       parsed.Flag("transparent"), output);
}

} // namespace

int RunRender(const std::vector<std::string>& args) {
    const auto parsed = ParseToolArgs(args, {kUsage,
                                             WithSceneOptions({"wkdir", "time", "frames", "fps",
                                                               "speed", "size", "snapshot", "o"}),
                                             0, 1, true});
    if (!parsed)
        return kUsageStatus;
    const std::string output = *parsed->Value("o");
    if (const auto snapshot = parsed->Value("snapshot"))
        return RenderSnapshot(*parsed, *snapshot, output);
    if (parsed->Positional().size() != 1)
        return UsageError(kUsage);
    const std::string name = parsed->Positional()[0];
    const bool transparent = parsed->Flag("transparent");

    FXExportSettings settings;
    settings.typeName = name;
    settings.transparent = transparent;
    settings.outputPath = output;
    std::string problem;
    // A transparent picture has no grid unless one is asked for.
    if (!ReadSceneOptions(*parsed, std::string(transparent ? "none" : "xz"), settings.scene,
                          problem))
        return UsageError(kUsage, problem);
    double time = 0, frames = 0;
    const bool animated = parsed->Value("frames").has_value();
    if (!ParseNumberOption(parsed->Value("time"), time) ||
        !ParseNumberOption(parsed->Value("frames"), frames) ||
        !ParseNumberOption(parsed->Value("fps"), settings.fps) ||
        !ParseNumberOption(parsed->Value("speed"), settings.speed) ||
        (parsed->Value("size") &&
         !ParseSize(*parsed->Value("size"), settings.width, settings.height)))
        return UsageError(kUsage, "an option has a bad value");
    if (animated && parsed->Value("time"))
        return UsageError(kUsage, "--time and --frames exclude each other");
    if (!animated && (parsed->Value("fps") || parsed->Value("speed")))
        return UsageError(kUsage, "--fps and --speed go with --frames");
    if (!(time >= 0))
        return UsageError(kUsage, "--time must not be negative");
    if (!animated) {
        ToolEnvironment environment(parsed->Value("wkdir"));
        if (!environment.Ok())
            return 1;
        return RenderFrame(name, settings.scene, time, settings.width, settings.height, transparent,
                           output);
    }

    settings.frames = static_cast<int>(std::min(frames, 1e9));
    if (settings.frames != frames)
        return UsageError(kUsage, "--frames takes a whole number");
    if (const std::string why = FXAnimationExport::Check(settings); !why.empty())
        return UsageError(kUsage, why);
    ToolEnvironment environment(parsed->Value("wkdir"));
    if (!environment.Ok())
        return 1;
    std::string reason;
    FXReviewOutcome outcome = FXReviewOutcome::Failed;
    {
        TerminalProgress progress("rendering frame");
        outcome = FXAnimationExport::Run(settings, progress.Callback(), reason);
    }
    if (outcome != FXReviewOutcome::Done) {
        std::fprintf(stderr, "sparv-fx: %s\n", reason.c_str());
        return 1;
    }
    return 0;
}
