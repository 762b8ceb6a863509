#include "host/HeadlessGLContext.h"

#include "scene/GLRenderDevice.h"
#include "support/ReferencePicture.h"

#include <gtest/gtest.h>
#include <string>

// Which row ReadPixels gives first is checked by every GL device test: they read the
// picture top row first.

namespace {

TEST(HeadlessGLContext, RefusesAnEmptyFramebufferWithAReason) {
    std::string reason;
    EXPECT_EQ(HeadlessGLContext::Create(0, 16, &reason), nullptr);
    EXPECT_NE(reason.find("0 x 16"), std::string::npos) << reason;
    EXPECT_EQ(HeadlessGLContext::Create(16, -1), nullptr);
}

TEST(HeadlessGLContext, ContextsCoexistAndOutliveEachOther) {
    std::string reason;
    auto first = HeadlessGLContext::Create(4, 4, &reason);
    SPARV_REQUIRE_HEADLESS_GL(first, reason);
    EXPECT_EQ(first->Width(), 4);
    EXPECT_EQ(first->Height(), 4);
    EXPECT_NE(first->Description(), "");
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
