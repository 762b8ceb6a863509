#include "scene/RecordingRenderDevice.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

RenderVertex Vertex(float x, float y, float z = 0.0f) {
    return {{x, y, z}, {1.0f, 1.0f, 1.0f, 1.0f}, x, y};
}

// The z of the triangle's normal: positive when it runs anticlockwise seen from +Z.
float Winding(const RenderVertex* corners) {
    const Vector3 a = corners[1].position - corners[0].position;
    const Vector3 b = corners[2].position - corners[0].position;
    return a.Cross(b).z;
}

TEST(RecordingRenderDevice, EachDrawKeepsTheStateOfItsOwnMoment) {
    RecordingRenderDevice device;
    const TextureId texture = device.CreateTexture(1, 1, std::vector<uint8_t>(4, 255).data());
    std::vector<RenderVertex> vertices = {Vertex(0, 0), Vertex(1, 0), Vertex(0, 1)};
    Matrix4 view;
    view.SetTranslation({0.0f, 0.0f, -5.0f});

    device.BindTexture(texture, TextureWrap::Clamp);
    device.Enable(RenderState::Texturing);
    device.Enable(RenderState::DepthTest);
    device.SetBlendMode(BlendMode::Additive);
    device.SetLineWidth(3.0f);
    device.LoadMatrix(MatrixStack::ModelView, view);
    device.Draw(Primitive::Triangles, vertices.data(), vertices.size());

    // The caller reuses its buffer and changes everything before the next draw.
    vertices[0] = Vertex(9, 9);
    device.BindTexture(0);
    device.Disable(RenderState::DepthTest);
    device.SetBlendMode(BlendMode::Alpha);
    device.SetDepthWrite(false);
    device.SetPointSize(2.0f);
    device.PushMatrix(MatrixStack::ModelView);
    device.LoadMatrix(MatrixStack::ModelView, Matrix4::Identity());
    device.Draw(Primitive::Points, vertices.data(), 1);
    device.PopMatrix(MatrixStack::ModelView);
    device.SetBlendMode(BlendMode::Multiply);

    ASSERT_EQ(device.Draws().size(), 2u);
    const RecordedDraw& first = device.Draws()[0];
    EXPECT_EQ(first.primitive, Primitive::Triangles);
    EXPECT_EQ(first.vertices[0], Vertex(0, 0)) << "the vertices are copied, not referenced";
    EXPECT_EQ(first.binding, (TextureBinding{texture, TextureWrap::Clamp}));
    EXPECT_TRUE(first.IsEnabled(RenderState::DepthTest));
    EXPECT_TRUE(first.IsEnabled(RenderState::Texturing));
    EXPECT_EQ(first.states.blendMode, BlendMode::Additive);
    EXPECT_TRUE(first.states.depthWrite);
    EXPECT_EQ(first.states.lineWidth, 3.0f);
    EXPECT_EQ(first.modelView, view);

    const RecordedDraw* last = device.LastDraw();
    ASSERT_EQ(last, &device.Draws()[1]);
    EXPECT_EQ(last->vertices, std::vector<RenderVertex>{Vertex(9, 9)});
    EXPECT_EQ(last->binding, TextureBinding{});
    EXPECT_FALSE(last->IsEnabled(RenderState::DepthTest));
    EXPECT_EQ(last->states.blendMode, BlendMode::Alpha);
    EXPECT_FALSE(last->states.depthWrite);
    EXPECT_EQ(last->states.pointSize, 2.0f);
    EXPECT_EQ(last->modelView, Matrix4::Identity());
    EXPECT_EQ(device.GetMatrix(MatrixStack::ModelView), view);
}

TEST(RecordingRenderDevice, LogsCallsInOrderWithTheirArguments) {
    RecordingRenderDevice device;
    const RenderVertex line[2] = {Vertex(0, 0), Vertex(1, 1)};
    device.BeginFrame();
    device.SetClearColour({0.25f, 0.25f, 0.25f, 1.0f});
    device.Clear(kClearAll);
    device.Enable(RenderState::LineSmoothing);
    device.SetPolygonOffset(-2.0f, -2.0f);
    device.SetViewport({0, 0, 640, 480});
    device.Draw(Primitive::Lines, line, 2);
    device.Draw(Primitive::LineStrip, line, 0); // nothing to draw: not a call
    device.EndFrame();

    std::vector<std::string> described;
    for (const RenderCall& call : device.Calls())
        described.push_back(RecordingRenderDevice::Describe(call));
    EXPECT_EQ(described, (std::vector<std::string>{
                             "BeginFrame()",
                             "SetClearColour(0.25, 0.25, 0.25, 1)",
                             "Clear(colour depth stencil)",
                             "SetEnabled(LineSmoothing, on)",
                             "SetPolygonOffset(-2, -2)",
                             "SetViewport(0, 0, 640, 480)",
                             "Draw(#0)",
                             "EndFrame()",
                         }));
    const RenderCall& draw = device.Calls()[6];
    EXPECT_EQ(&device.DrawOf(draw), device.LastDraw());
    EXPECT_EQ(device.LastDraw()->call, 6u);
    EXPECT_EQ(device.CountCalls(RenderCallKind::Draw), 1u);

    // Forgetting the recording keeps the state and the counters.
    device.ClearRecording();
    EXPECT_TRUE(device.Calls().empty());
    EXPECT_EQ(device.LastDraw(), nullptr);
    EXPECT_TRUE(device.IsEnabled(RenderState::LineSmoothing));
    EXPECT_EQ(device.GetCounters().primitives, 1u);
}

TEST(RecordingRenderDevice, TakesStripsAndQuadsApartIntoTrianglesOfOneWinding) {
    RecordingRenderDevice device;
    // A strip along X, zig-zagging between y = 0 and y = 1.
    const RenderVertex strip[5] = {Vertex(0, 0), Vertex(0, 1), Vertex(1, 0), Vertex(1, 1),
                                   Vertex(2, 0)};
    device.Draw(Primitive::TriangleStrip, strip, 5);
    const std::vector<RenderVertex> fromStrip = device.LastDraw()->Triangles();
    ASSERT_EQ(fromStrip.size(), 9u);
    EXPECT_EQ(device.LastDraw()->PrimitiveCount(), 3u);
    for (size_t i = 0; i < fromStrip.size(); i += 3)
        EXPECT_LT(Winding(&fromStrip[i]), 0.0f) << "triangle " << i / 3;
    EXPECT_EQ(fromStrip[3], strip[2]); // the second triangle starts with its swapped pair
    EXPECT_EQ(fromStrip[4], strip[1]);

    // Two quads, corners in order around each, one vertex left over.
    const RenderVertex quads[9] = {Vertex(0, 0), Vertex(1, 0), Vertex(1, 1),
                                   Vertex(0, 1), Vertex(2, 0), Vertex(3, 0),
                                   Vertex(3, 1), Vertex(2, 1), Vertex(7, 7)};
    device.Draw(Primitive::Quads, quads, 9);
    const std::vector<RenderVertex> fromQuads = device.LastDraw()->Triangles();
    ASSERT_EQ(fromQuads.size(), 12u);
    for (size_t i = 0; i < fromQuads.size(); i += 3)
        EXPECT_GT(Winding(&fromQuads[i]), 0.0f) << "triangle " << i / 3;
    EXPECT_EQ(fromQuads[6], quads[4]);
    EXPECT_EQ(fromQuads[11], quads[7]);
    EXPECT_EQ(device.GetCounters().primitives, 3u + 4u);

    device.Draw(Primitive::LineStrip, strip, 5);
    EXPECT_TRUE(device.LastDraw()->Triangles().empty());
}

} // namespace
