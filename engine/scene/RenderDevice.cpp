#include "scene/RenderDevice.h"

#include "diag/Diag.h"

#include <atomic>

namespace {

RenderDevice* g_renderTable = nullptr;

} // namespace

void RenderDevice::SetEnabled(RenderState state, bool on) {
    m_states.SetEnabled(state, on);
    Apply({.kind = RenderCallKind::SetEnabled, .state = state, .on = on});
}

void RenderDevice::SetBlendMode(BlendMode mode) {
    m_states.blendMode = mode;
    Apply({.kind = RenderCallKind::SetBlendMode, .blendMode = mode});
}

void RenderDevice::SetDepthWrite(bool on) {
    m_states.depthWrite = on;
    Apply({.kind = RenderCallKind::SetDepthWrite, .on = on});
}

void RenderDevice::SetDepthFunction(DepthFunction function) {
    m_states.depthFunction = function;
    Apply({.kind = RenderCallKind::SetDepthFunction, .depthFunction = function});
}

void RenderDevice::SetPolygonOffset(float factor, float units) {
    m_states.polygonOffsetFactor = factor;
    m_states.polygonOffsetUnits = units;
    Apply({.kind = RenderCallKind::SetPolygonOffset, .factor = factor, .units = units});
}

void RenderDevice::SetLineWidth(float pixels) {
    m_states.lineWidth = pixels;
    Apply({.kind = RenderCallKind::SetLineWidth, .pixels = pixels});
}

void RenderDevice::SetPointSize(float pixels) {
    m_states.pointSize = pixels;
    Apply({.kind = RenderCallKind::SetPointSize, .pixels = pixels});
}

void RenderDevice::SetColour(const Colour& colour) {
    m_states.colour = colour;
    Apply({.kind = RenderCallKind::SetColour, .colour = colour});
}

void RenderDevice::RestoreStates(const RenderStates& saved) {
    for (RenderState state : kRenderStates)
        if (saved.IsEnabled(state) != IsEnabled(state))
            SetEnabled(state, saved.IsEnabled(state));
    if (saved.blendMode != m_states.blendMode)
        SetBlendMode(saved.blendMode);
    if (saved.depthWrite != m_states.depthWrite)
        SetDepthWrite(saved.depthWrite);
    if (saved.depthFunction != m_states.depthFunction)
        SetDepthFunction(saved.depthFunction);
    if (saved.polygonOffsetFactor != m_states.polygonOffsetFactor ||
        saved.polygonOffsetUnits != m_states.polygonOffsetUnits)
        SetPolygonOffset(saved.polygonOffsetFactor, saved.polygonOffsetUnits);
    if (saved.lineWidth != m_states.lineWidth)
        SetLineWidth(saved.lineWidth);
    if (saved.pointSize != m_states.pointSize)
        SetPointSize(saved.pointSize);
    if (saved.colour != m_states.colour)
        SetColour(saved.colour);
}

uint64_t RenderDevice::NextSerial() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

TextureId RenderDevice::CreateTexture(int width, int height, const uint8_t* rgba) {
    if (width <= 0 || height <= 0 || !rgba)
        return 0;
    return UploadTexture(width, height, rgba);
}

void RenderDevice::DestroyTexture(TextureId texture) {
    if (texture == 0)
        return;
    // A driver unbinds a texture it deletes; the device follows it without a call.
    if (m_binding.texture == texture)
        m_binding = {};
    ReleaseTexture(texture);
}

void RenderDevice::BindTexture(TextureId texture, TextureWrap wrap) {
    m_binding = {texture, wrap};
    Apply({.kind = RenderCallKind::BindTexture, .binding = m_binding});
}

RenderDevice::MatrixStackEntries& RenderDevice::Stack(MatrixStack stack) {
    return stack == MatrixStack::Projection ? m_projection : m_modelView;
}

const RenderDevice::MatrixStackEntries& RenderDevice::Stack(MatrixStack stack) const {
    return stack == MatrixStack::Projection ? m_projection : m_modelView;
}

void RenderDevice::LoadMatrix(MatrixStack stack, const Matrix4& matrix) {
    MatrixStackEntries& entries = Stack(stack);
    entries.entries[static_cast<size_t>(entries.top)] = matrix;
    Apply({.kind = RenderCallKind::LoadMatrix, .stack = stack, .matrix = matrix});
}

void RenderDevice::MultiplyMatrix(MatrixStack stack, const Matrix4& matrix) {
    MatrixStackEntries& entries = Stack(stack);
    Matrix4& current = entries.entries[static_cast<size_t>(entries.top)];
    current = matrix * current;
    Apply({.kind = RenderCallKind::MultiplyMatrix, .stack = stack, .matrix = matrix});
}

void RenderDevice::PushMatrix(MatrixStack stack) {
    MatrixStackEntries& entries = Stack(stack);
    if (entries.top + 1 >= kMatrixStackDepth)
        DB_FATAL("SceneLib", __LINE__, "RenderDevice: %s matrix stack overflow (%d entries)",
                 MatrixStackName(stack), kMatrixStackDepth);
    entries.entries[static_cast<size_t>(entries.top + 1)] =
        entries.entries[static_cast<size_t>(entries.top)];
    ++entries.top;
    Apply({.kind = RenderCallKind::PushMatrix, .stack = stack});
}

void RenderDevice::PopMatrix(MatrixStack stack) {
    MatrixStackEntries& entries = Stack(stack);
    if (entries.top == 0)
        DB_FATAL("SceneLib", __LINE__, "RenderDevice: %s matrix stack popped with nothing pushed",
                 MatrixStackName(stack));
    --entries.top;
    Apply({.kind = RenderCallKind::PopMatrix, .stack = stack});
}

const Matrix4& RenderDevice::GetMatrix(MatrixStack stack) const {
    const MatrixStackEntries& entries = Stack(stack);
    return entries.entries[static_cast<size_t>(entries.top)];
}

int RenderDevice::GetMatrixDepth(MatrixStack stack) const {
    return Stack(stack).top + 1;
}

void RenderDevice::SetViewport(const RenderViewport& viewport) {
    m_viewport = viewport;
    Apply({.kind = RenderCallKind::SetViewport, .viewport = viewport});
}

void RenderDevice::SetClearColour(const Colour& colour) {
    m_clearColour = colour;
    Apply({.kind = RenderCallKind::SetClearColour, .colour = colour});
}

void RenderDevice::Clear(uint32_t mask) {
    Apply({.kind = RenderCallKind::Clear, .clearMask = mask & kClearAll});
}

void RenderDevice::BeginFrame() {
    if (m_inFrame)
        DB_FATAL("SceneLib", __LINE__, "RenderDevice: BeginFrame inside a frame");
    m_inFrame = true;
    Apply({.kind = RenderCallKind::BeginFrame});
}

void RenderDevice::EndFrame() {
    if (!m_inFrame)
        DB_FATAL("SceneLib", __LINE__, "RenderDevice: EndFrame without BeginFrame");
    m_inFrame = false;
    Apply({.kind = RenderCallKind::EndFrame});
}

void RenderDevice::Draw(Primitive primitive, const RenderVertex* vertices, size_t count) {
    if (count == 0)
        return;
    if (!vertices)
        DB_FATAL("SceneLib", __LINE__, "RenderDevice: Draw of %zu vertices from null", count);
    ++m_counters.drawCalls;
    m_counters.vertices += count;
    m_counters.primitives += PrimitiveCount(primitive, count);
    Submit(primitive, vertices, count);
}

const char* BlendModeName(BlendMode mode) {
    switch (mode) {
    case BlendMode::None:
        return "None";
    case BlendMode::Alpha:
        return "Alpha";
    case BlendMode::Additive:
        return "Additive";
    case BlendMode::Multiply:
        return "Multiply";
    case BlendMode::AdditiveAlpha:
        return "AdditiveAlpha";
    }
    return "?";
}

const char* DepthFunctionName(DepthFunction function) {
    switch (function) {
    case DepthFunction::Never:
        return "Never";
    case DepthFunction::Less:
        return "Less";
    case DepthFunction::Equal:
        return "Equal";
    case DepthFunction::LessEqual:
        return "LessEqual";
    case DepthFunction::Greater:
        return "Greater";
    case DepthFunction::NotEqual:
        return "NotEqual";
    case DepthFunction::GreaterEqual:
        return "GreaterEqual";
    case DepthFunction::Always:
        return "Always";
    }
    return "?";
}

const char* PrimitiveName(Primitive primitive) {
    switch (primitive) {
    case Primitive::Triangles:
        return "Triangles";
    case Primitive::TriangleStrip:
        return "TriangleStrip";
    case Primitive::Lines:
        return "Lines";
    case Primitive::LineStrip:
        return "LineStrip";
    case Primitive::Points:
        return "Points";
    case Primitive::Quads:
        return "Quads";
    }
    return "?";
}

const char* MatrixStackName(MatrixStack stack) {
    return stack == MatrixStack::Projection ? "Projection" : "ModelView";
}

const char* RenderCallKindName(RenderCallKind kind) {
    switch (kind) {
    case RenderCallKind::SetEnabled:
        return "SetEnabled";
    case RenderCallKind::SetBlendMode:
        return "SetBlendMode";
    case RenderCallKind::SetDepthWrite:
        return "SetDepthWrite";
    case RenderCallKind::SetDepthFunction:
        return "SetDepthFunction";
    case RenderCallKind::SetPolygonOffset:
        return "SetPolygonOffset";
    case RenderCallKind::SetLineWidth:
        return "SetLineWidth";
    case RenderCallKind::SetPointSize:
        return "SetPointSize";
    case RenderCallKind::SetColour:
        return "SetColour";
    case RenderCallKind::BindTexture:
        return "BindTexture";
    case RenderCallKind::LoadMatrix:
        return "LoadMatrix";
    case RenderCallKind::MultiplyMatrix:
        return "MultiplyMatrix";
    case RenderCallKind::PushMatrix:
        return "PushMatrix";
    case RenderCallKind::PopMatrix:
        return "PopMatrix";
    case RenderCallKind::SetViewport:
        return "SetViewport";
    case RenderCallKind::SetClearColour:
        return "SetClearColour";
    case RenderCallKind::Clear:
        return "Clear";
    case RenderCallKind::BeginFrame:
        return "BeginFrame";
    case RenderCallKind::EndFrame:
        return "EndFrame";
    case RenderCallKind::Draw:
        return "Draw";
    }
    return "?";
}

RenderDevice* rndTable() {
    return g_renderTable;
}

RenderDevice* rndSetTable(RenderDevice* device) {
    RenderDevice* previous = g_renderTable;
    g_renderTable = device;
    return previous;
}
