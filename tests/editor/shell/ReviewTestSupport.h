#pragma once

// Helpers of the tests of reviewing an effect in the editor: the preview's picture as the
// render window's framebuffer holds it, parts of it, and headless renders through
// sparv-fx to hold it against.

#include "editor/shell/ShellTestSupport.h"
#include "review/FXReviewScene.h"
#include "scene/Image.h"
#include "shell/RenderWindow.h"
#include "support/RunCommand.h"

#include <QImage>
#include <cstdio>
#include <string>

namespace shell_test {

// The picture in the render window's framebuffer (device pixels, top row first), opaque.
inline Image PreviewPicture(RenderWindow& window) {
    const QImage grabbed = window.grabFramebuffer().convertToFormat(QImage::Format_RGBA8888);
    Image picture{grabbed.width(), grabbed.height(), {}};
    picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
    for (int y = 0; y < picture.height; ++y) {
        const uchar* row = grabbed.constScanLine(y);
        std::copy(row, row + picture.width * 4,
                  picture.rgba.begin() + static_cast<std::ptrdiff_t>(y) * picture.width * 4);
    }
    for (size_t i = 3; i < picture.rgba.size(); i += 4)
        picture.rgba[i] = 255;
    return picture;
}

inline Image Crop(const Image& picture, const QRect& area) {
    Image part{area.width(), area.height(), {}};
    for (int y = 0; y < area.height(); ++y) {
        const auto begin =
            picture.rgba.begin() +
            ((static_cast<std::ptrdiff_t>(area.top()) + y) * picture.width + area.left()) * 4;
        part.rgba.insert(part.rgba.end(), begin, begin + area.width() * 4);
    }
    return part;
}

inline std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// Renders a type of the working directory headless at a moment with a scene, as
// sparv-fx render draws it; fails the test when the tool does.
inline Image HeadlessRender(const std::filesystem::path& root, const std::string& type, double time,
                            const QSize& size, const FXReviewScene& scene) {
    const std::string output = (root / ("headless-" + type + ".png")).string();
    const auto vector = [](const Vector3& v) {
        return Number(v.x) + "," + Number(v.y) + "," + Number(v.z);
    };
    const std::string command =
        std::string(SPARV_FX_EXE) + " render " + ShellQuote(type) + " --wkdir " +
        ShellQuote(root.string()) + " --time " + Number(time) + " --size " +
        std::to_string(size.width()) + "x" + std::to_string(size.height()) + " --seed " +
        std::to_string(scene.seed) + " --camera " + Number(scene.camera.yaw) + "," +
        Number(scene.camera.pitch) + "," + Number(scene.camera.distance) + " --target " +
        vector(scene.camera.target) + " --grid " +
        (scene.gridXZ   ? "xz"
         : scene.gridXY ? "xy"
                        : "none") +
        " --background " + Number(scene.background.r) + "," + Number(scene.background.g) + "," +
        Number(scene.background.b) + " --gravity " + vector(scene.gravity) + " --wind " +
        vector(scene.wind) + " -o " + ShellQuote(output);
    const CommandResult result = RunCommand(command);
    EXPECT_EQ(result.status, 0) << command << "\n" << result.err;
    Image picture;
    std::string reason;
    EXPECT_TRUE(ReadImage(output, picture, &reason)) << reason;
    return picture;
}

// Pictures that are the same to within a hair: the preview and the headless renders
// draw with the same GL back end on the same driver.
inline void ExpectSamePicture(const Image& actual, const Image& expected, const char* what) {
    const ImageDifference difference = CompareImages(actual, expected, 2);
    EXPECT_TRUE(difference.sameSize) << what << ": " << actual.width << "x" << actual.height
                                     << " against " << expected.width << "x" << expected.height;
    EXPECT_EQ(difference.differingPixels, 0u)
        << what << ": up to " << difference.maxChannelDifference << " apart";
    if (!difference.Matches()) {
        const std::string file = testing::TempDir() + "sparv-" + what + ".png";
        WritePng(file, actual.width, actual.height, actual.rgba);
        WritePng(testing::TempDir() + "sparv-" + what + "-expected.png", expected.width,
                 expected.height, expected.rgba);
    }
}

} // namespace shell_test
