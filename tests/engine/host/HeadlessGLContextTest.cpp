#include "host/HeadlessGLContext.h"

#include "scene/GLRenderDevice.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

std::unique_ptr<HeadlessGLContext> CreateOrSkip(int width, int height, std::string& reason) {
    return HeadlessGLContext::Create(width, height, &reason);
}

#define SKIP_WITHOUT_GL(context, reason)                                                           \
    if (!(context)) {                                                                              \
        if (std::getenv("SPARV_REQUIRE_GL"))                                                       \
            FAIL() << "no headless OpenGL: " << (reason);                                          \
        GTEST_SKIP() << "no headless OpenGL: " << (reason);                                        \
    }

TEST(HeadlessGLContext, RefusesAnEmptyFramebufferWithAReason) {
    std::string reason;
    EXPECT_EQ(HeadlessGLContext::Create(0, 16, &reason), nullptr);
    EXPECT_NE(reason.find("0 x 16"), std::string::npos) << reason;
    EXPECT_EQ(HeadlessGLContext::Create(16, -1), nullptr);
}

TEST(HeadlessGLContext, ReadsPixelsTopRowFirst) {
    std::string reason;
    auto context = CreateOrSkip(8, 4, reason);
    SKIP_WITHOUT_GL(context, reason);
    EXPECT_EQ(context->Width(), 8);
    EXPECT_EQ(context->Height(), 4);
    EXPECT_NE(context->Description(), "");

    // The lowest row red, the rest blue: the red row must come last.
    auto device = GLRenderDevice::Create({}, &reason);
    ASSERT_NE(device, nullptr) << reason;
    device->SetViewport({0, 0, 8, 4});
    device->SetClearColour({0.0f, 0.0f, 1.0f, 1.0f});
    device->Clear(kClearColour);
    Matrix4 pixels; // x 0 to 8, y 0 to 4
    pixels.m[0][0] = 0.25f;
    pixels.m[1][1] = 0.5f;
    pixels.SetTranslation({-1.0f, -1.0f, 0.0f});
    device->LoadMatrix(MatrixStack::Projection, pixels);
    const Colour red{1.0f, 0.0f, 0.0f, 1.0f};
    const RenderVertex row[] = {
        {{0, 0, 0}, red}, {{8, 0, 0}, red}, {{8, 1, 0}, red}, {{0, 1, 0}, red}};
    device->Draw(Primitive::Quads, row, 4);

    const std::vector<uint8_t> rgba = context->ReadPixels();
    ASSERT_EQ(rgba.size(), 8u * 4u * 4u);
    for (size_t pixel = 0; pixel < 32; ++pixel) {
        const bool bottom = pixel >= 24;
        EXPECT_EQ(rgba[pixel * 4], bottom ? 255 : 0) << pixel;
        EXPECT_EQ(rgba[pixel * 4 + 2], bottom ? 0 : 255) << pixel;
        EXPECT_EQ(rgba[pixel * 4 + 3], 255) << pixel;
    }
}

TEST(HeadlessGLContext, ContextsCoexistAndOutliveEachOther) {
    std::string reason;
    auto first = CreateOrSkip(4, 4, reason);
    SKIP_WITHOUT_GL(first, reason);
    auto second = HeadlessGLContext::Create(2, 2, &reason);
    ASSERT_NE(second, nullptr) << reason;
    // Each keeps its own framebuffer; closing one leaves the shared display to the other.
    ASSERT_TRUE(first->MakeCurrent());
    EXPECT_EQ(first->ReadPixels().size(), 4u * 4u * 4u);
    ASSERT_TRUE(first->MakeCurrent());
    second.reset(); // leaves the first current
    auto device = GLRenderDevice::Create({}, &reason);
    ASSERT_NE(device, nullptr) << reason;
    device->SetClearColour({1.0f, 1.0f, 1.0f, 1.0f});
    device->Clear(kClearColour);
    EXPECT_EQ(first->ReadPixels()[0], 255);
}

} // namespace
