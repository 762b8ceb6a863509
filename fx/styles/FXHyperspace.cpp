#include "FXHyperspace.h"

#include "FXBatchTexture.h"
#include "definitions/FXStyle.h"
#include "scene/RenderDevice.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Windows gathered into one draw.
constexpr size_t kQuadsPerDraw = 64;
constexpr size_t kVerticesPerQuad = 6;

// Where along an edge's u range its six vertices lie: the loop starts and ends at the
// middle of the top edge and turns at the corners, clockwise seen from the front.
constexpr std::array<float, 6> kEdgeU = {0.0f, 0.125f, 0.375f, 0.625f, 0.875f, 1.0f};

// One window as queued for drawing.
struct QueuedWindow {
    Matrix4 transform; // the instance's rotation, translated to the window centre
    Colour colour;
    Colour edgeColour;
    float age = 0.0f;
    float halfWidth = 0.0f;
    float halfHeight = 0.0f;
    std::array<float, 2> edgeUOffset{};
    std::array<float, 2> edgeURepeat{};
    float lineWidth = 0.0f;
};

} // namespace

class HyperspaceBatch {
public:
    HyperspaceBatch(const std::string& texture, BlendMode blending, const std::string& edgeTexture,
                    const std::string& edgeTexture2)
        : window(texture, FXBatchTexture::Source::TextureOrAnimation, blending, false),
          edges{{{edgeTexture, FXBatchTexture::Source::TextureOnly, BlendMode::AdditiveAlpha, true},
                 {edgeTexture2, FXBatchTexture::Source::TextureOnly, BlendMode::AdditiveAlpha,
                  true}}} {}

    FXBatchTexture window;
    // Edge lines always add their colour by its alpha.
    std::array<FXBatchTexture, 2> edges;
    std::vector<QueuedWindow> queue;
    std::vector<RenderVertex> vertices; // windows being gathered, kept to reuse its memory
};

FXTypeHyperspace::FXTypeHyperspace(const char* name) : FXType(name) {
    AddTimeFloat("Width", "", &m_width, {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddTimeFloat("Height", "", &m_height, {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddTimeVector3("Offset", "", &m_offset, {{0.0f, {}}, {1.0f, {}}});
    AddTimeFloat("LineWidth", "The width of the vector lines", &m_lineWidth,
                 {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10.0f);
    AddTimeFloat("EdgeTexture_U_Offset", "", &m_edgeTextureUOffset, {{0.0f, 0.0f}, {1.0f, 0.0f}},
                 -10.0f, 10.0f);
    AddTimeFloat("EdgeTexture_U_Repeat", "", &m_edgeTextureURepeat, {{0.0f, 1.0f}, {1.0f, 1.0f}},
                 0.0f, 100.0f);
    AddTimeFloat("EdgeTexture2_U_Offset", "", &m_edgeTexture2UOffset, {{0.0f, 0.0f}, {1.0f, 0.0f}},
                 -10.0f, 10.0f);
    AddTimeFloat("EdgeTexture2_U_Repeat", "", &m_edgeTexture2URepeat, {{0.0f, 1.0f}, {1.0f, 1.0f}},
                 0.0f, 100.0f);
    AddTimeColour("Colour", "", &m_colour,
                  {{0.0f, {1.0f, 0.0f, 0.0f, 1.0f}}, {1.0f, {0.0f, 1.0f, 0.0f, 1.0f}}});
    AddTimeColour("EdgeColour", "The colour of the vector edge", &m_edgeColour,
                  {{0.0f, {1.0f, 1.0f, 1.0f, 1.0f}}, {1.0f, {1.0f, 1.0f, 1.0f, 1.0f}}});
    AddFloat("Duration", "", &m_duration, 5.0f, 0.1f, 30.0f);
    AddInt("Blending", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha", &m_blending,
           1, 0, 4);
    AddString("Texture", "Name of texture", &m_texture, "Data:art/fx/point.tga");
    AddString("EdgeTexture", "Name of edge texture", &m_edgeTexture, "Data:art/fx/point.tga");
    AddString("EdgeTexture2", "Name of edge texture", &m_edgeTexture2, "Data:art/fx/point.tga");
}

int FXTypeHyperspace::GetStyle() const {
    return STYLE_HYPERSPACE;
}

float FXTypeHyperspace::GetDuration() const {
    return m_duration;
}

FXTypeHyperspace::~FXTypeHyperspace() = default;

size_t FXTypeHyperspace::InstanceSize() const {
    return sizeof(FXObjectHyperspace);
}

FXObject* FXTypeHyperspace::CreateInstance(void* memory, const FXHandle& self,
                                           const FXHandle& parent, uintptr_t) {
    return FXConstructInstance<FXObjectHyperspace>(memory, this, self, parent);
}

bool FXTypeHyperspace::Prepare() {
    if (!m_batch)
        m_batch = std::make_unique<HyperspaceBatch>(m_texture, FXBlendModeOf(m_blending),
                                                    m_edgeTexture, m_edgeTexture2);
    return true;
}

void FXTypeHyperspace::Release() {
    if (m_liveCount == 0)
        m_batch.reset();
}

void FXTypeHyperspace::BeginBatch() {
    if (m_batch)
        m_batch->queue.clear();
}

void FXTypeHyperspace::EndBatch() {
    if (!m_batch || m_batch->queue.empty())
        return;
    if (RenderDevice* device = rndTable()) {
        // Windows and edges lie on surfaces they frame: the depth offset draws them in
        // front of what they sit on.
        const RenderStates saved = device->SaveStates();
        device->Enable(RenderState::DepthTest);
        device->Disable(RenderState::FaceCulling);
        device->SetPolygonOffset(-2.0f, -2.0f);
        device->Enable(RenderState::Texturing);
        device->SetDepthWrite(false);
        DrawWindows();
        device->Enable(RenderState::LineSmoothing);
        DrawEdges(0);
        DrawEdges(1);
        device->RestoreStates(saved);
    }
    m_batch->queue.clear();
}

void FXTypeHyperspace::DrawWindows() {
    RenderDevice& device = *rndTable();
    HyperspaceBatch& batch = *m_batch;
    const TextureReference& reference = batch.window.Reference();
    std::vector<RenderVertex>& vertices = batch.vertices;
    vertices.clear();
    const Texture* gatheredTexture = nullptr;
    float gatheredAge = 0.0f; // of the first window gathered: picks the texture to bind
    auto flush = [&] {
        if (vertices.empty())
            return;
        batch.window.BindAt(gatheredAge);
        device.Draw(Primitive::Triangles, vertices.data(), vertices.size());
        vertices.clear();
    };

    for (const QueuedWindow& window : batch.queue) {
        const Texture* texture = reference.textureAt(window.age);
        if (!vertices.empty() && texture != gatheredTexture)
            flush();
        if (vertices.empty()) {
            gatheredTexture = texture;
            gatheredAge = window.age;
        }
        const Vector3 c = window.transform.Translation();
        const Vector3 x = window.transform.Row(0) * window.halfWidth;
        const Vector3 y = window.transform.Row(1) * window.halfHeight;
        // A plain texture maps whole, (0, 1) at c - X - Y to (1, 0) at c + X + Y; an
        // animation maps its frame the same way.
        const TextureCorners uv = reference.cornersAt(window.age);
        const RenderVertex lowerLeft{c - x - y, window.colour, uv[0].u, uv[0].v};
        const RenderVertex upperLeft{c - x + y, window.colour, uv[1].u, uv[1].v};
        const RenderVertex upperRight{c + x + y, window.colour, uv[2].u, uv[2].v};
        const RenderVertex lowerRight{c + x - y, window.colour, uv[3].u, uv[3].v};
        vertices.insert(vertices.end(),
                        {lowerLeft, upperLeft, lowerRight, lowerRight, upperLeft, upperRight});
        if (vertices.size() == kQuadsPerDraw * kVerticesPerQuad)
            flush();
    }
    flush();
}

void FXTypeHyperspace::DrawEdges(int edge) {
    RenderDevice& device = *rndTable();
    const size_t index = static_cast<size_t>(edge);
    m_batch->edges[index].BindAt(0.0f);
    for (const QueuedWindow& window : m_batch->queue) {
        const Vector3 c = window.transform.Translation();
        const Vector3 x = window.transform.Row(0) * window.halfWidth;
        const Vector3 y = window.transform.Row(1) * window.halfHeight;
        const std::array<Vector3, 6> corners = {c + y,     c + x + y, c + x - y,
                                                c - x - y, c - x + y, c + y};
        std::array<RenderVertex, 6> loop;
        for (size_t i = 0; i < loop.size(); ++i)
            loop[i] = {corners[i], window.edgeColour,
                       window.edgeUOffset[index] + window.edgeURepeat[index] * kEdgeU[i], 0.5f};
        device.SetLineWidth(window.lineWidth);
        device.Draw(Primitive::LineStrip, loop.data(), loop.size());
    }
}

FXObjectHyperspace::FXObjectHyperspace(FXTypeHyperspace* type, const FXHandle& self,
                                       const FXHandle& parent)
    : FXObject(type, self, parent) {
    ++type->m_liveCount;
    type->Prepare();
}

FXObjectHyperspace::~FXObjectHyperspace() {
    --static_cast<FXTypeHyperspace*>(m_type)->m_liveCount;
}

bool FXObjectHyperspace::GetParamVector(Vector3& out) const {
    out = m_offset;
    return true;
}

bool FXObjectHyperspace::SetParamVector(const Vector3& value) {
    m_offset = value;
    return true;
}

bool FXObjectHyperspace::SetParamFloat(float value) {
    m_heightFactor = value;
    return true;
}

bool FXObjectHyperspace::Update(float dt) {
    if (m_stopped)
        return true;
    const FXTypeHyperspace& type = Type();
    m_age += dt;
    if (m_age >= type.m_duration)
        return true;
    const float t = std::min(m_age / type.m_duration, 1.0f);
    m_colour = EvaluateTimeColour(type.m_colour.TimeColours(), t);
    m_edgeColour = EvaluateTimeColour(type.m_edgeColour.TimeColours(), t);
    m_offset = EvaluateTimeVector3(type.m_offset.TimeVector3s(), t);
    m_width = EvaluateTimeFloat(type.m_width.TimeFloats(), t);
    m_height = EvaluateTimeFloat(type.m_height.TimeFloats(), t);
    m_lineWidth = EvaluateTimeFloat(type.m_lineWidth.TimeFloats(), t);
    m_edgeUOffset[0] = EvaluateTimeFloat(type.m_edgeTextureUOffset.TimeFloats(), t);
    m_edgeURepeat[0] = EvaluateTimeFloat(type.m_edgeTextureURepeat.TimeFloats(), t);
    m_edgeUOffset[1] = EvaluateTimeFloat(type.m_edgeTexture2UOffset.TimeFloats(), t);
    m_edgeURepeat[1] = EvaluateTimeFloat(type.m_edgeTexture2URepeat.TimeFloats(), t);

    const float w = m_scale * m_width;
    const float h = m_heightFactor * m_height;
    const float d = m_length * m_offset.z;
    const float radius = std::sqrt(w * w + h * h + d * d);
    SetRadius(radius);
    SetSecondSize(radius);
    return false;
}

void FXObjectHyperspace::Render(float fade) {
    HyperspaceBatch* batch = Type().m_batch.get();
    if (!m_visible || !batch)
        return;
    QueuedWindow window;
    window.halfWidth = m_scale * m_width;
    window.halfHeight = m_heightFactor * m_height;
    if (!(window.halfWidth > 0.0f) || !(window.halfHeight > 0.0f))
        return;
    window.colour = m_colour;
    window.edgeColour = m_edgeColour;
    switch (FXBlendModeOf(Type().m_blending)) {
    case BlendMode::Alpha:
        window.colour.a *= fade;
        window.edgeColour.a *= fade;
        break;
    case BlendMode::Additive:
        for (Colour* colour : {&window.colour, &window.edgeColour}) {
            colour->r *= fade;
            colour->g *= fade;
            colour->b *= fade;
        }
        break;
    default:
        break;
    }
    for (int row = 0; row < 3; ++row)
        window.transform.SetRow(row, m_transform.Row(row));
    window.transform.SetTranslation(m_transform.TransformPoint(m_offset * m_length));
    window.age = m_age;
    window.edgeUOffset = m_edgeUOffset;
    window.edgeURepeat = m_edgeURepeat;
    window.lineWidth = m_lineWidth;
    batch->queue.push_back(window);
}
