// sparv-fx render: draws an effect headless, as the editor's preview shows it, to PNG.
#include "Commands.h"
#include "ToolSupport.h"
#include "host/HeadlessGLContext.h"
#include "host/HeadlessWindow.h"
#include "math/Random.h"
#include "runtime/FXManager.h"
#include "runtime/FXPreview.h"
#include "runtime/FXRendererGL.h"
#include "scene/Image.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr const char* kUsage =
    "render NAME|- [--wkdir DIR] [--seed N] [--time T | --frames N --fps F] [--size WxH]\n"
    "       [--camera YAW,PITCH,DISTANCE] [--grid xz|xy|none] [--background R,G,B] -o OUT.png";

// The longest step the preview advances by; longer times are cut into equal steps.
constexpr double kMaxStep = 0.05;

// Numbers separated by `separator`, exactly `count` of them.
bool ParseList(const std::string& text, char separator, size_t count, std::vector<double>& out) {
    out.clear();
    const char* p = text.data();
    const char* end = p + text.size();
    while (p <= end) {
        double value = 0;
        const auto result = std::from_chars(p, end, value);
        if (result.ec != std::errc())
            return false;
        out.push_back(value);
        p = result.ptr;
        if (p == end)
            break;
        if (*p != separator)
            return false;
        ++p;
    }
    return out.size() == count;
}

bool ParseOne(const std::optional<std::string>& text, double& out) {
    std::vector<double> values;
    if (!text)
        return true;
    if (!ParseList(*text, ',', 1, values))
        return false;
    out = values[0];
    return true;
}

// The output path of a frame: the pattern with its "%d" (or "%04d", "%4d") replaced by
// the frame number and "%%" by "%".
std::string FramePath(const std::string& pattern, long frame) {
    std::string path;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            path += pattern[i];
            continue;
        }
        size_t j = i + 1;
        const bool zeros = j < pattern.size() && pattern[j] == '0';
        size_t width = 0;
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9')
            width = width * 10 + static_cast<size_t>(pattern[j++] - '0');
        if (j < pattern.size() && pattern[j] == 'd') {
            std::string number = std::to_string(frame);
            if (number.size() < width)
                number.insert(0, width - number.size(), zeros ? '0' : ' ');
            path += number;
            i = j;
        } else if (j == i + 1 && j < pattern.size() && pattern[j] == '%') {
            path += '%';
            i = j;
        } else {
            path += '%';
        }
    }
    return path;
}

} // namespace

int RunRender(const std::vector<std::string>& args) {
    const ToolArgs parsed(args, {"wkdir", "seed", "time", "frames", "fps", "size", "camera", "grid",
                                 "background", "o"});
    if (!parsed.Ok())
        return UsageError(kUsage, parsed.Error());
    if (parsed.Positional().size() != 1 || !parsed.Value("o"))
        return UsageError(kUsage);
    const std::string name = parsed.Positional()[0];
    const std::string output = *parsed.Value("o");

    double seed = 0, time = 0, frames = 0, fps = 30;
    std::vector<double> size = {640, 360}, camera = {0, -45, 20}, background = {0.25, 0.25, 0.25};
    const bool animated = parsed.Value("frames").has_value();
    if (!ParseOne(parsed.Value("seed"), seed) || !ParseOne(parsed.Value("time"), time) ||
        !ParseOne(parsed.Value("frames"), frames) || !ParseOne(parsed.Value("fps"), fps) ||
        (parsed.Value("size") && !ParseList(*parsed.Value("size"), 'x', 2, size)) ||
        (parsed.Value("camera") && !ParseList(*parsed.Value("camera"), ',', 3, camera)) ||
        (parsed.Value("background") && !ParseList(*parsed.Value("background"), ',', 3, background)))
        return UsageError(kUsage, "an option has a bad value");
    if (animated && parsed.Value("time"))
        return UsageError(kUsage, "--time and --frames exclude each other");
    if (!(time >= 0) || !(fps > 0) || frames < 0 || size[0] < 1 || size[1] < 1 || size[0] > 8192 ||
        size[1] > 8192 || seed < 0)
        return UsageError(kUsage, "an option is out of range");
    const std::string grid = parsed.Value("grid").value_or("xz");
    if (grid != "xz" && grid != "xy" && grid != "none")
        return UsageError(kUsage, "--grid takes xz, xy or none");

    ToolEnvironment environment(parsed.Value("wkdir"));
    if (!environment.Ok())
        return 1;
    const int width = static_cast<int>(size[0]);
    const int height = static_cast<int>(size[1]);
    std::string reason;
    auto context = HeadlessGLContext::Create(width, height, &reason);
    if (!context) {
        std::fprintf(stderr, "sparv-fx: cannot render without OpenGL: %s\n", reason.c_str());
        return 1;
    }
    HeadlessWindow window(*context);
    FXRendererGL renderer;
    FXPreview preview(renderer);
    preview.Initialise(&window);
    preview.Resize(width, height);
    preview.Camera().SetYaw(static_cast<float>(camera[0]));
    preview.Camera().SetPitch(static_cast<float>(camera[1]));
    preview.Camera().SetDistance(static_cast<float>(camera[2]));
    preview.gridXZ = grid == "xz";
    preview.gridXY = grid == "xy";
    renderer.SetClearColour({static_cast<float>(background[0]), static_cast<float>(background[1]),
                             static_cast<float>(background[2]), 1.0f});

    FXManager& manager = *FXManager::Instance();
    manager.SetMaxUpdateStep(3.4028235e38f);
    RandomSeed(static_cast<uint32_t>(seed));
    if (name != "-" && manager.Create(name.c_str(), nullptr).IsNull()) {
        std::fprintf(stderr, "%s: cannot create an instance of this FX type\n", name.c_str());
        return 1;
    }

    // Advances the preview by `seconds` in equal steps of at most kMaxStep, drawing each.
    auto advance = [&](double seconds) {
        const long steps = std::max(1L, static_cast<long>(std::ceil(seconds / kMaxStep - 1e-9)));
        for (long i = 0; i < steps; ++i)
            preview.Frame(static_cast<float>(seconds / static_cast<double>(steps)), width, height);
    };
    auto save = [&](const std::string& path) {
        // The framebuffer's alpha is what blending left behind, not a picture's coverage;
        // the picture on screen is opaque, and so is the file.
        std::vector<uint8_t> pixels = context->ReadPixels();
        for (size_t i = 3; i < pixels.size(); i += 4)
            pixels[i] = 255;
        if (!WritePng(path, width, height, pixels)) {
            std::fprintf(stderr, "sparv-fx: cannot write %s\n", path.c_str());
            return false;
        }
        return true;
    };

    if (!animated) {
        advance(time);
        return save(output) ? 0 : 1;
    }
    const auto count = static_cast<long>(frames);
    for (long frame = 0; frame < count; ++frame) {
        advance(frame == 0 ? 0.0 : 1.0 / fps);
        if (!save(FramePath(output, frame)))
            return 1;
    }
    return 0;
}
