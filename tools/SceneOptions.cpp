#include "SceneOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>

std::vector<std::string> WithSceneOptions(std::vector<std::string> verbOptions) {
    for (const char* name : {"seed", "camera", "target", "grid", "background", "gravity", "wind"})
        verbOptions.emplace_back(name);
    return verbOptions;
}

bool ParseNumberList(const std::string& text, char separator, size_t count,
                     std::vector<double>& out) {
    out.clear();
    const char* p = text.data();
    const char* end = p + text.size();
    while (p <= end) {
        double value = 0;
        const auto result = std::from_chars(p, end, value);
        if (result.ec != std::errc() || !std::isfinite(value))
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

bool ParseNumberOption(const std::optional<std::string>& text, double& out) {
    std::vector<double> values;
    if (!text)
        return true;
    if (!ParseNumberList(*text, ',', 1, values))
        return false;
    out = values[0];
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    std::vector<double> size;
    if (!ParseNumberList(text, 'x', 2, size) || !(size[0] >= 1 && size[0] <= 8192) ||
        !(size[1] >= 1 && size[1] <= 8192))
        return false;
    width = static_cast<int>(size[0]);
    height = static_cast<int>(size[1]);
    return true;
}

bool ReadSceneOptions(const ToolArgs& args, const std::optional<std::string>& grid,
                      FXReviewScene& scene, std::string& problem) {
    std::vector<double> values;
    auto vector = [&](const char* name, Vector3& out) {
        const auto text = args.Value(name);
        if (!text)
            return true;
        if (!ParseNumberList(*text, ',', 3, values)) {
            problem = std::string("--") + name + " takes three numbers X,Y,Z";
            return false;
        }
        out = {static_cast<float>(values[0]), static_cast<float>(values[1]),
               static_cast<float>(values[2])};
        return true;
    };
    double seed = scene.seed;
    if (!ParseNumberOption(args.Value("seed"), seed) || !(seed >= 0 && seed <= 4294967295.0)) {
        problem = "--seed takes a whole number from 0 to 4294967295";
        return false;
    }
    scene.seed = static_cast<uint32_t>(seed);
    if (const auto camera = args.Value("camera")) {
        if (!ParseNumberList(*camera, ',', 3, values) || !(values[2] > 0)) {
            problem = "--camera takes YAW,PITCH,DISTANCE (degrees, degrees, a distance above 0)";
            return false;
        }
        scene.camera.yaw = static_cast<float>(values[0]);
        scene.camera.pitch = static_cast<float>(values[1]);
        scene.camera.distance = static_cast<float>(values[2]);
    }
    if (!vector("target", scene.camera.target) || !vector("gravity", scene.gravity) ||
        !vector("wind", scene.wind))
        return false;
    if (const auto background = args.Value("background")) {
        if (!ParseNumberList(*background, ',', 3, values)) {
            problem = "--background takes R,G,B (0 to 1 each)";
            return false;
        }
        scene.background = {static_cast<float>(std::clamp(values[0], 0.0, 1.0)),
                            static_cast<float>(std::clamp(values[1], 0.0, 1.0)),
                            static_cast<float>(std::clamp(values[2], 0.0, 1.0)), 1.0f};
    }
    if (!grid) {
        scene.gridXZ = false;
        scene.gridXY = false;
        return true;
    }
    const std::string chosen = args.Value("grid").value_or(*grid);
    if (chosen != "xz" && chosen != "xy" && chosen != "none") {
        problem = "--grid takes xz, xy or none";
        return false;
    }
    scene.gridXZ = chosen == "xz";
    scene.gridXY = chosen == "xy";
    return true;
}
