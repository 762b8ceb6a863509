#include "scene/RenderDevice.h"

#include "scene/CountingRenderDevice.h"
#include "scene/RecordingRenderDevice.h"
#include "support/MathExpect.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A turn about Z by 90 degrees: X goes to Y.
Matrix4 QuarterTurnZ() {
    Matrix4 m;
    m.SetRow(0, {0.0f, 1.0f, 0.0f});
    m.SetRow(1, {-1.0f, 0.0f, 0.0f});
    return m;
}

// A turn about X by 90 degrees: Y goes to Z.
Matrix4 QuarterTurnX() {
    Matrix4 m;
    m.SetRow(1, {0.0f, 0.0f, 1.0f});
    m.SetRow(2, {0.0f, -1.0f, 0.0f});
    return m;
}

TEST(RenderState, TheTableNamesEveryNumberTheRuntimeUsesAndNoOther) {
    // Numbers as the runtime and the styles use them, and the switch each stands for.
    const struct {
        int number;
        RenderState state;
        const char* name;
    } rows[] = {
        {3, RenderState::FaceCulling, "FaceCulling"},
        {4, RenderState::Lighting, "Lighting"},
        {5, RenderState::Blending, "Blending"},
        {6, RenderState::Texturing, "Texturing"},
        {8, RenderState::AlphaTest, "AlphaTest"},
        {16, RenderState::LineSmoothing, "LineSmoothing"},
        {23, RenderState::Fog, "Fog"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.number);
        ASSERT_EQ(RenderStateFromNumber(row.number), row.state);
        EXPECT_EQ(RenderStateNumber(row.state), row.number);
        EXPECT_STREQ(RenderStateName(row.state), row.name);
    }
    EXPECT_EQ(RenderStateFromNumber(RenderStateNumber(RenderState::DepthTest)),
              RenderState::DepthTest);
    for (int number : {-1, 0, 2, 7, 9, 17, 24, 31, 32, 268435455})
        EXPECT_FALSE(RenderStateFromNumber(number).has_value()) << number;

    // Every state survives the bit mask on its own.
    for (RenderState state : kRenderStates) {
        RenderStates states;
        states.SetEnabled(state, true);
        for (RenderState other : kRenderStates)
            EXPECT_EQ(states.IsEnabled(other), other == state) << RenderStateName(state);
    }
}

TEST(RenderDevice, SavedStatesNestAndRestoreOnlyWhatDiffers) {
    RecordingRenderDevice device;
    device.Enable(RenderState::Fog);
    device.Enable(RenderState::Lighting);
    device.SetColour({0.5f, 0.25f, 1.0f, 0.75f});

    // The render pass: fog off, lighting off, blending on.
    const RenderStates outer = device.SaveStates();
    device.Disable(RenderState::Fog);
    device.Disable(RenderState::Lighting);
    device.Enable(RenderState::Blending);

    // A batch inside it: depth test, culling, widths, blending, depth writes.
    const RenderStates inner = device.SaveStates();
    device.Enable(RenderState::DepthTest);
    device.Disable(RenderState::FaceCulling); // already off: a call, but no difference
    device.SetBlendMode(BlendMode::Additive);
    device.SetDepthWrite(false);
    device.SetDepthFunction(DepthFunction::Always);
    device.SetPolygonOffset(-2.0f, -2.0f);
    device.SetLineWidth(3.0f);
    device.SetPointSize(2.0f);
    device.SetColour({1.0f, 0.0f, 0.0f, 1.0f});

    device.ClearRecording();
    device.RestoreStates(inner);
    EXPECT_EQ(device.GetStates(), inner);
    EXPECT_EQ(device.Calls().size(), 8u) << device.Dump();
    EXPECT_TRUE(device.IsEnabled(RenderState::Blending));
    EXPECT_FALSE(device.IsEnabled(RenderState::Fog));

    device.ClearRecording();
    device.RestoreStates(outer);
    EXPECT_EQ(device.GetStates(), outer);
    EXPECT_TRUE(device.IsEnabled(RenderState::Fog));
    EXPECT_TRUE(device.IsEnabled(RenderState::Lighting));
    EXPECT_FALSE(device.IsEnabled(RenderState::Blending));
    EXPECT_EQ(device.GetStates().colour, (Colour{0.5f, 0.25f, 1.0f, 0.75f}));
    EXPECT_EQ(device.Calls().size(), 3u) << device.Dump();

    device.ClearRecording();
    device.RestoreStates(outer);
    EXPECT_TRUE(device.Calls().empty()) << device.Dump();
}

TEST(RenderDevice, MatrixStacksMultiplyInRowVectorOrderAndPopBack) {
    RecordingRenderDevice device;
    EXPECT_EQ(device.GetMatrixDepth(MatrixStack::ModelView), 1);
    // A camera that turns the world a quarter about X, then pushes it 10 units away.
    const Matrix4 view = QuarterTurnX() * At({0.0f, 0.0f, -10.0f});
    device.LoadMatrix(MatrixStack::ModelView, view);

    // An object turned a quarter about Z and moved to (5, 0, 0): its local point (1, 0, 0)
    // is turned to (0, 1, 0), moved to (5, 1, 0), then viewed: (5, 0, 1), (5, 0, -9).
    const Matrix4 object = QuarterTurnZ() * At({5.0f, 0.0f, 0.0f});
    device.PushMatrix(MatrixStack::ModelView);
    device.MultiplyMatrix(MatrixStack::ModelView, object);
    EXPECT_EQ(device.GetMatrixDepth(MatrixStack::ModelView), 2);
    EXPECT_EQ(device.GetMatrix(MatrixStack::ModelView), object * view);
    ExpectNear(device.GetMatrix(MatrixStack::ModelView).TransformPoint({1.0f, 0.0f, 0.0f}),
               {5.0f, 0.0f, -9.0f});

    // A further multiply is more local still: it applies before the object's transform.
    // (1, 0, 2), turned (0, 1, 2), moved (5, 1, 2), viewed (5, -2, 1) and (5, -2, -9).
    device.PushMatrix(MatrixStack::ModelView);
    device.MultiplyMatrix(MatrixStack::ModelView, At({0.0f, 0.0f, 2.0f}));
    ExpectNear(device.GetMatrix(MatrixStack::ModelView).TransformPoint({1.0f, 0.0f, 0.0f}),
               {5.0f, -2.0f, -9.0f});

    // The projection stack is separate.
    EXPECT_EQ(device.GetMatrix(MatrixStack::Projection), Matrix4::Identity());
    EXPECT_EQ(device.GetMatrixDepth(MatrixStack::Projection), 1);

    device.PopMatrix(MatrixStack::ModelView);
    EXPECT_EQ(device.GetMatrix(MatrixStack::ModelView), object * view);
    device.PopMatrix(MatrixStack::ModelView);
    EXPECT_EQ(device.GetMatrix(MatrixStack::ModelView), view);
    EXPECT_EQ(device.GetMatrixDepth(MatrixStack::ModelView), 1);

    // The stack holds kMatrixStackDepth entries, and loading replaces only the top.
    for (int i = 1; i < kMatrixStackDepth; ++i)
        device.PushMatrix(MatrixStack::Projection);
    device.LoadMatrix(MatrixStack::Projection, view);
    for (int i = 1; i < kMatrixStackDepth; ++i)
        device.PopMatrix(MatrixStack::Projection);
    EXPECT_EQ(device.GetMatrix(MatrixStack::Projection), Matrix4::Identity());
}

TEST(RenderDeviceDeathTest, UnbalancedStacksAndFramesAreFatal) {
    CountingRenderDevice device;
    EXPECT_DEATH(device.PopMatrix(MatrixStack::ModelView),
                 "ModelView matrix stack popped with nothing pushed");
    EXPECT_DEATH(
        {
            for (int i = 0; i < kMatrixStackDepth; ++i)
                device.PushMatrix(MatrixStack::Projection);
        },
        "Projection matrix stack overflow");
    EXPECT_DEATH(device.EndFrame(), "EndFrame without BeginFrame");
    device.BeginFrame();
    EXPECT_DEATH(device.BeginFrame(), "BeginFrame inside a frame");
    device.EndFrame();
    EXPECT_EQ(device.Frames(), 1u);
}

TEST(RenderDevice, CountsPrimitivesAsTheBackEndDrawsThem) {
    const struct {
        Primitive primitive;
        size_t vertices;
        uint64_t primitives;
    } rows[] = {
        {Primitive::Triangles, 6, 2},     {Primitive::Triangles, 7, 2},
        {Primitive::TriangleStrip, 2, 0}, {Primitive::TriangleStrip, 6, 4},
        {Primitive::Lines, 5, 2},         {Primitive::LineStrip, 1, 0},
        {Primitive::LineStrip, 6, 5},     {Primitive::Points, 3, 3},
        {Primitive::Quads, 4, 2},         {Primitive::Quads, 256, 128},
        {Primitive::Quads, 7, 2}, // the three left over make nothing
    };
    const std::vector<RenderVertex> vertices(256);
    CountingRenderDevice device;
    RenderCounters expected;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(PrimitiveName(row.primitive)) + " " +
                     std::to_string(row.vertices));
        const RenderCounters before = device.GetCounters();
        device.Draw(row.primitive, vertices.data(), row.vertices);
        EXPECT_EQ(device.GetCounters().primitives - before.primitives, row.primitives);
        ++expected.drawCalls;
        expected.vertices += row.vertices;
        expected.primitives += row.primitives;
    }
    device.Draw(Primitive::Triangles, vertices.data(), 0);
    EXPECT_EQ(device.GetCounters(), expected);
    EXPECT_EQ(device.StateCalls(), 0u);

    device.ResetCounters();
    device.Enable(RenderState::Blending);
    device.SetLineWidth(2.0f);
    EXPECT_EQ(device.GetCounters(), RenderCounters{});
    EXPECT_EQ(device.StateCalls(), 2u);
}

TEST(RenderDevice, DestroyingTheBoundTextureUnbindsIt) {
    RecordingRenderDevice device;
    const uint8_t pixels[2 * 1 * 4] = {255, 0, 0, 255, 0, 255, 0, 128};
    EXPECT_EQ(device.CreateTexture(0, 1, pixels), 0u);
    EXPECT_EQ(device.CreateTexture(2, 1, nullptr), 0u);
    const TextureId first = device.CreateTexture(2, 1, pixels);
    const TextureId second = device.CreateTexture(1, 1, pixels);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, first);
    ASSERT_NE(device.FindTexture(first), nullptr);
    EXPECT_EQ(device.FindTexture(first)->rgba, std::vector<uint8_t>(pixels, pixels + 8));

    device.BindTexture(second, TextureWrap::Clamp);
    device.DestroyTexture(first);
    EXPECT_EQ(device.GetBoundTexture(), (TextureBinding{second, TextureWrap::Clamp}));
    device.DestroyTexture(second);
    EXPECT_EQ(device.GetBoundTexture(), TextureBinding{});
    EXPECT_TRUE(device.FindTexture(second)->destroyed);
    device.DestroyTexture(0);
}

} // namespace
