// sparv-fx snapshot: writes a review snapshot of an effect at a moment, with the scene
// the options describe: the headless counterpart of the editor's File > Save Snapshot.
#include "Commands.h"
#include "SceneOptions.h"
#include "ToolSupport.h"
#include "review/FXSnapshot.h"

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "snapshot NAME [--wkdir DIR] [--time T] [--size WxH] [--seed N]\n"
    "       [--camera YAW,PITCH,DISTANCE] [--target X,Y,Z] [--grid xz|xy|none]\n"
    "       [--background R,G,B] [--gravity X,Y,Z] [--wind X,Y,Z] [--note TEXT] -o FILE.sparvsnap";

} // namespace

int RunSnapshot(const std::vector<std::string>& args) {
    const auto parsed = ParseToolArgs(
        args, {kUsage, WithSceneOptions({"wkdir", "time", "size", "note", "o"}), 1, 1, true});
    if (!parsed)
        return kUsageStatus;
    FXSnapshot snapshot;
    std::string problem;
    if (!ReadSceneOptions(*parsed, std::string("xz"), snapshot.scene, problem))
        return UsageError(kUsage, problem);
    if (!ParseNumberOption(parsed->Value("time"), snapshot.time) ||
        !(snapshot.time >= 0 && snapshot.time <= FXSnapshot::kMaxTime))
        return UsageError(kUsage, "--time takes seconds from 0 to 600");
    if (const auto size = parsed->Value("size");
        size && !ParseSize(*size, snapshot.width, snapshot.height))
        return UsageError(kUsage, "--size takes WxH, 1 to 8192 each");
    snapshot.note = parsed->Value("note").value_or("");
    if (snapshot.note.size() > FXSnapshot::kMaxNoteBytes)
        return UsageError(kUsage, "--note is longer than 65535 bytes");

    ToolEnvironment environment(parsed->Value("wkdir"));
    if (!environment.Ok())
        return 1;
    std::string reason;
    if (!snapshot.CaptureTypes(parsed->Positional()[0], &reason) ||
        !snapshot.Write(*parsed->Value("o"), &reason)) {
        std::fprintf(stderr, "sparv-fx: %s\n", reason.c_str());
        return 1;
    }
    return 0;
}
