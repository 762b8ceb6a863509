#include "scene/RecordingRenderDevice.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <utility>

namespace {

// Shortest text that reads back as the same float, independent of the locale.
void AppendNumber(std::string& text, float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, result.ptr);
}

template <typename Integer>
void AppendInteger(std::string& text, Integer value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, result.ptr);
}

void AppendNumbers(std::string& text, std::initializer_list<float> values) {
    bool first = true;
    for (float value : values) {
        if (!first)
            text += ", ";
        first = false;
        AppendNumber(text, value);
    }
}

void AppendColour(std::string& text, const Colour& colour) {
    AppendNumbers(text, {colour.r, colour.g, colour.b, colour.a});
}

void AppendMatrix(std::string& text, const Matrix4& matrix) {
    for (int row = 0; row < 4; ++row) {
        text += row == 0 ? "[" : " [";
        AppendNumbers(text,
                      {matrix.m[row][0], matrix.m[row][1], matrix.m[row][2], matrix.m[row][3]});
        text += "]";
    }
}

void AppendBinding(std::string& text, const TextureBinding& binding) {
    AppendInteger(text, binding.texture);
    text += binding.wrap == TextureWrap::Clamp ? " clamp" : " repeat";
}

void AppendStates(std::string& text, const RenderStates& states) {
    text += "on {";
    bool first = true;
    for (RenderState state : kRenderStates) {
        if (!states.IsEnabled(state))
            continue;
        text += first ? "" : " ";
        first = false;
        text += RenderStateName(state);
    }
    text += "} blend ";
    text += BlendModeName(states.blendMode);
    text += states.depthWrite ? ", depth write on" : ", depth write off";
    text += ", depth ";
    text += DepthFunctionName(states.depthFunction);
    text += ", offset (";
    AppendNumbers(text, {states.polygonOffsetFactor, states.polygonOffsetUnits});
    text += "), line ";
    AppendNumber(text, states.lineWidth);
    text += ", point ";
    AppendNumber(text, states.pointSize);
    text += ", colour (";
    AppendColour(text, states.colour);
    text += ")";
}

} // namespace

std::vector<RenderVertex> RecordedDraw::Triangles() const {
    std::vector<RenderVertex> triangles;
    const size_t count = vertices.size();
    switch (primitive) {
    case Primitive::Triangles:
        triangles.assign(vertices.begin(),
                         vertices.begin() + static_cast<ptrdiff_t>(count / 3 * 3));
        break;
    case Primitive::TriangleStrip:
        for (size_t i = 0; i + 2 < count; ++i) {
            // Every second triangle of a strip runs the other way round; swapping its first
            // two corners keeps all of them facing the same side.
            const bool odd = i % 2 == 1;
            triangles.push_back(vertices[odd ? i + 1 : i]);
            triangles.push_back(vertices[odd ? i : i + 1]);
            triangles.push_back(vertices[i + 2]);
        }
        break;
    case Primitive::Quads:
        for (size_t quad = 0; quad + 4 <= count; quad += 4)
            for (int corner : kQuadTriangleCorners)
                triangles.push_back(vertices[quad + static_cast<size_t>(corner)]);
        break;
    case Primitive::Lines:
    case Primitive::LineStrip:
    case Primitive::Points:
        break;
    }
    return triangles;
}

size_t RecordingRenderDevice::CountCalls(RenderCallKind kind) const {
    return static_cast<size_t>(std::count_if(
        m_calls.begin(), m_calls.end(), [kind](const RenderCall& c) { return c.kind == kind; }));
}

void RecordingRenderDevice::ClearRecording() {
    m_calls.clear();
    m_draws.clear();
}

const RecordedTexture* RecordingRenderDevice::FindTexture(TextureId texture) const {
    if (texture == 0 || texture > m_textures.size())
        return nullptr;
    return &m_textures[texture - 1];
}

void RecordingRenderDevice::Apply(const RenderCall& call) {
    m_calls.push_back(call);
}

void RecordingRenderDevice::Submit(Primitive primitive, const RenderVertex* vertices,
                                   size_t count) {
    RecordedDraw& draw = m_draws.emplace_back();
    draw.primitive = primitive;
    draw.vertices.assign(vertices, vertices + count);
    draw.states = GetStates();
    draw.binding = GetBoundTexture();
    draw.modelView = GetMatrix(MatrixStack::ModelView);
    draw.projection = GetMatrix(MatrixStack::Projection);
    draw.call = m_calls.size();
    m_calls.push_back({.kind = RenderCallKind::Draw, .draw = m_draws.size() - 1});
}

TextureId RecordingRenderDevice::UploadTexture(int width, int height, const uint8_t* rgba) {
    RecordedTexture& texture = m_textures.emplace_back();
    texture.texture = static_cast<TextureId>(m_textures.size());
    texture.width = width;
    texture.height = height;
    texture.rgba.assign(rgba, rgba + static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    return texture.texture;
}

void RecordingRenderDevice::ReleaseTexture(TextureId texture) {
    if (texture <= m_textures.size())
        m_textures[texture - 1].destroyed = true;
}

std::string RecordingRenderDevice::Describe(const RenderCall& call) {
    std::string text = RenderCallKindName(call.kind);
    text += "(";
    switch (call.kind) {
    case RenderCallKind::SetEnabled:
        text += RenderStateName(call.state);
        text += call.on ? ", on" : ", off";
        break;
    case RenderCallKind::SetBlendMode:
        text += BlendModeName(call.blendMode);
        break;
    case RenderCallKind::SetDepthWrite:
        text += call.on ? "on" : "off";
        break;
    case RenderCallKind::SetDepthFunction:
        text += DepthFunctionName(call.depthFunction);
        break;
    case RenderCallKind::SetPolygonOffset:
        AppendNumbers(text, {call.factor, call.units});
        break;
    case RenderCallKind::SetLineWidth:
    case RenderCallKind::SetPointSize:
        AppendNumber(text, call.pixels);
        break;
    case RenderCallKind::SetColour:
    case RenderCallKind::SetClearColour:
        AppendColour(text, call.colour);
        break;
    case RenderCallKind::BindTexture:
        AppendBinding(text, call.binding);
        break;
    case RenderCallKind::LoadMatrix:
    case RenderCallKind::MultiplyMatrix:
        text += MatrixStackName(call.stack);
        text += ", ";
        AppendMatrix(text, call.matrix);
        break;
    case RenderCallKind::PushMatrix:
    case RenderCallKind::PopMatrix:
        text += MatrixStackName(call.stack);
        break;
    case RenderCallKind::SetViewport:
        for (int value :
             {call.viewport.x, call.viewport.y, call.viewport.width, call.viewport.height}) {
            if (text.back() != '(')
                text += ", ";
            AppendInteger(text, value);
        }
        break;
    case RenderCallKind::Clear:
        for (auto [bit, name] : {std::pair{kClearColour, "colour"}, std::pair{kClearDepth, "depth"},
                                 std::pair{kClearStencil, "stencil"}}) {
            if ((call.clearMask & bit) == 0)
                continue;
            if (text.back() != '(')
                text += " ";
            text += name;
        }
        break;
    case RenderCallKind::BeginFrame:
    case RenderCallKind::EndFrame:
        break;
    case RenderCallKind::Draw:
        text += "#";
        AppendInteger(text, call.draw);
        break;
    }
    text += ")";
    return text;
}

std::string RecordingRenderDevice::Dump(size_t maxVerticesPerDraw) const {
    std::string text;
    for (size_t index = 0; index < m_calls.size(); ++index) {
        const RenderCall& call = m_calls[index];
        AppendInteger(text, index);
        text += ": ";
        text += Describe(call);
        text += "\n";
        if (call.kind != RenderCallKind::Draw || call.draw >= m_draws.size())
            continue;
        const RecordedDraw& draw = m_draws[call.draw];
        text += "    ";
        text += PrimitiveName(draw.primitive);
        text += ", ";
        AppendInteger(text, draw.vertices.size());
        text += " vertices, texture ";
        AppendBinding(text, draw.binding);
        text += "\n    ";
        AppendStates(text, draw.states);
        text += "\n    modelview ";
        AppendMatrix(text, draw.modelView);
        text += "\n    projection ";
        AppendMatrix(text, draw.projection);
        text += "\n";
        const size_t shown = std::min(draw.vertices.size(), maxVerticesPerDraw);
        for (size_t i = 0; i < shown; ++i) {
            const RenderVertex& vertex = draw.vertices[i];
            text += "    (";
            AppendNumbers(text, {vertex.position.x, vertex.position.y, vertex.position.z});
            text += ") colour (";
            AppendColour(text, vertex.colour);
            text += ") uv (";
            AppendNumbers(text, {vertex.u, vertex.v});
            text += ")\n";
        }
        if (shown < draw.vertices.size()) {
            text += "    ... ";
            AppendInteger(text, draw.vertices.size() - shown);
            text += " more\n";
        }
    }
    return text;
}
