#include "FXBeam.h"

#include "FXBatchTexture.h"
#include "FXLife.h"
#include "FXStyleGeometry.h"
#include "definitions/FXStyle.h"
#include "runtime/FXManager.h"
#include "runtime/FXRandom.h"
#include "scene/RenderDevice.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace {

// Vertices of one beam's strip: two per point of a ribbon of up to 15 segments.
constexpr size_t kBlockVertices = 32;
constexpr int kMaxSegments = static_cast<int>(kBlockVertices / 2) - 1;

// One beam as queued for drawing.
struct BeamBlock {
    std::array<RenderVertex, kBlockVertices> vertices;
    uint32_t count = 0;
    bool line = false; // a line strip, else a triangle strip
    float age = 0.0f;  // picks the animation frame
};

struct BeamPoint {
    Vector3 position;
    float t = 0.0f; // 0 at the start of the beam, 1 at its end
};

// Places the points strictly between a and b, whose points are known: the middle index
// gets the midpoint, jittered by up to amplitude on each axis and bowed by arc, then each
// half is cut the same way with half the amplitude. The random draws run in that order,
// middle first, so a seeded run repeats.
void Subdivide(std::span<BeamPoint> points, int a, int b, float amplitude, const Vector3& arc) {
    if (b - a <= 1)
        return;
    const int m = a + (b - a) / 2;
    const float t = (points[a].t + points[b].t) * 0.5f;
    Vector3 position = (points[a].position + points[b].position) * 0.5f;
    if (amplitude != 0.0f) {
        position.x += (RandomUnit() - 0.5f) * 2.0f * amplitude;
        position.y += (RandomUnit() - 0.5f) * 2.0f * amplitude;
        position.z += (RandomUnit() - 0.5f) * 2.0f * amplitude;
    }
    const float centred = 2.0f * t - 1.0f;
    position += arc * (1.0f - centred * centred);
    points[m] = {position, t};
    Subdivide(points, a, m, amplitude * 0.5f, arc);
    Subdivide(points, m, b, amplitude * 0.5f, arc);
}

// The opacity of an inner point at t under the end fade e.
float EndFadeAlpha(float t, float endFade) {
    return t - endFade <= 0.0f ? 1.0f : 1.0f - (t - endFade) / (1.0f - endFade);
}

} // namespace

class BeamBatch {
public:
    BeamBatch(const std::string& texture, BlendMode blending)
        : m_texture(texture, FXBatchTexture::Source::TextureOrAnimation, blending, true) {}

    const FXBatchTexture& Texture() const { return m_texture; }

    Vector3 cameraPosition; // world position of the eye of the drawing pass
    std::vector<BeamBlock> blocks;
    FXBeamStats stats;

private:
    FXBatchTexture m_texture;
};

FXTypeBeam::FXTypeBeam(const char* name) : FXType(name) {
    AddFloat("Duration", "", &m_duration, 5.0f, 0.001f, 30.0f);
    AddBool("Loop", "", &m_loop, false);
    AddInt("Blending", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha", &m_blending,
           1, 0, 4);
    AddString("Texture", "", &m_texture, "Data:art/fx/point.tga");
    AddBool("SelfIlluminated", "", &m_selfIlluminated, false);
    AddTimeVector3("Offset", "", &m_offset, {{0.0f, {}}, {1.0f, {}}});
    AddTimeFloat("Length", "Scaled length of beam (0.0-1.0)", &m_length,
                 {{0.0f, 0.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddTimeFloat("Noise", "", &m_noise, {{0.0f, 0.0f}, {1.0f, 0.5f}}, 0.0f, 1.0f);
    AddTimeFloat("Segments", "Number of segments in beam (to be used with noise)", &m_segments,
                 {{0.0f, 1.0f}, {1.0f, 1.0f}}, 1.0f, 10.0f);
    AddTimeFloat("Texture_U_Offset", "", &m_textureUOffset, {{0.0f, 0.0f}, {1.0f, 5.0f}}, -10.0f,
                 10.0f);
    AddTimeFloat("Texture_U_Repeat", "", &m_textureURepeat, {{0.0f, 1.0f}, {1.0f, 5.0f}}, 0.0f,
                 100.0f);
    AddTimeFloat("Width", "", &m_width, {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddTimeColour("Colour", "", &m_colour,
                  {{0.0f, {1.0f, 0.0f, 0.0f, 1.0f}}, {1.0f, {0.0f, 1.0f, 0.0f, 1.0f}}});
    AddTimeVector3("Arc", "", &m_arc, {{0.0f, {}}, {1.0f, {}}});
    AddFloat("LengthEpsilon", "Length random modifier (0.0-1.0)", &m_lengthEpsilon, 0.0f, 0.0f,
             1.0f);
    AddFloat("WidthEpsilon", "Width random modifier (0.0-1.0)", &m_widthEpsilon, 0.0f, 0.0f, 1.0f);
    AddFloat("LineDistance",
             "The distance from the camera at which the beam renders as a line (set to -1 for "
             "no lines)",
             &m_lineDistance, -1.0f, -1.0f, std::numeric_limits<float>::max());
}

int FXTypeBeam::GetStyle() const {
    return STYLE_BEAM;
}

float FXTypeBeam::GetDuration() const {
    return m_duration;
}

FXTypeBeam::~FXTypeBeam() = default;

size_t FXTypeBeam::InstanceSize() const {
    return sizeof(FXObjectBeam);
}

FXObject* FXTypeBeam::CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                     uintptr_t) {
    return FXConstructInstance<FXObjectBeam>(memory, this, self, parent);
}

bool FXTypeBeam::Prepare() {
    if (!m_batch)
        m_batch = std::make_unique<BeamBatch>(m_texture, FXBlendModeOf(m_blending));
    return true;
}

void FXTypeBeam::Release() {
    if (m_liveCount == 0)
        m_batch.reset();
}

void FXTypeBeam::BeginBatch() {
    if (!m_batch)
        return;
    if (const FXManager* manager = FXManager::Instance())
        m_batch->cameraPosition = manager->ViewState().eyePosition;
    m_batch->blocks.clear();
}

void FXTypeBeam::EndBatch() {
    if (!m_batch || m_batch->blocks.empty())
        return;
    if (RenderDevice* device = rndTable()) {
        const RenderStates saved = device->SaveStates();
        device->Enable(RenderState::Texturing);
        for (const BeamBlock& block : m_batch->blocks) {
            m_batch->Texture().BindAt(block.age);
            device->Draw(block.line ? Primitive::LineStrip : Primitive::TriangleStrip,
                         block.vertices.data(), block.count);
            ++m_batch->stats.beams;
            m_batch->stats.vertices += block.count;
        }
        device->RestoreStates(saved);
    }
    m_batch->blocks.clear();
}

void FXTypeBeam::ResetBatchStats() {
    if (m_batch)
        m_batch->stats = {};
}

FXBeamStats FXTypeBeam::GetBatchStats() const {
    return m_batch ? m_batch->stats : FXBeamStats{};
}

FXObjectBeam::FXObjectBeam(FXTypeBeam* type, const FXHandle& self, const FXHandle& parent)
    : FXObject(type, self, parent) {
    const float lengthEpsilon = type->m_lengthEpsilon;
    m_lengthOffset = lengthEpsilon - 2.0f * RandomUnit() * lengthEpsilon;
    const float widthEpsilon = type->m_widthEpsilon;
    m_widthOffset = widthEpsilon - 2.0f * RandomUnit() * widthEpsilon;
    ++type->m_liveCount;
    type->Prepare();
}

FXObjectBeam::~FXObjectBeam() {
    --static_cast<FXTypeBeam*>(m_type)->m_liveCount;
}

bool FXObjectBeam::SetParamFade(float fade) {
    m_endFade = fade;
    return true;
}

bool FXObjectBeam::Update(float dt) {
    const FXTypeBeam& type = Type();
    if (FXAdvanceLife(m_age, dt, type.m_duration, type.m_loop, m_stopped) != FXLife::Running)
        return true;

    const float t = std::min(m_age / type.m_duration, 1.0f);
    m_beamLength = (m_lengthOffset + 1.0f) * EvaluateTimeFloat(type.m_length.TimeFloats(), t);
    m_noise = EvaluateTimeFloat(type.m_noise.TimeFloats(), t);
    m_segments = EvaluateTimeFloat(type.m_segments.TimeFloats(), t);
    m_uOffset = EvaluateTimeFloat(type.m_textureUOffset.TimeFloats(), t);
    m_uRepeat = EvaluateTimeFloat(type.m_textureURepeat.TimeFloats(), t);
    m_beamWidth = (m_widthOffset + 1.0f) * EvaluateTimeFloat(type.m_width.TimeFloats(), t);
    m_colour = EvaluateTimeColour(type.m_colour.TimeColours(), t);
    m_arc = EvaluateTimeVector3(type.m_arc.TimeVector3s(), t);
    m_offset = EvaluateTimeVector3(type.m_offset.TimeVector3s(), t);

    // The sphere reaches from the instance to the far end and half a width aside; beams
    // shorter or narrower than the instance's own measures keep those.
    float reach = m_length;
    if (m_beamLength > 1.0f)
        reach *= m_beamLength;
    float halfWidth = m_scale * 0.5f;
    if (m_beamWidth > 1.0f)
        halfWidth *= m_beamWidth;
    const float radius = std::sqrt(reach * reach + halfWidth * halfWidth);
    SetRadius(radius);
    SetSecondSize(radius);
    return false;
}

void FXObjectBeam::Render(float) {
    BeamBatch* batch = Type().m_batch.get();
    if (!m_visible || m_age == 0.0f || !batch)
        return;
    // Neither is ever negative; NaN fails the comparison as well.
    if (!(m_scale > 0.0f) || !(m_length > 0.0f))
        return;
    const FXTypeBeam& type = Type();

    const Vector3 start = m_transform.TransformPoint(m_offset);
    const Vector3 direction = m_transform.Row(2);
    const Vector3 end = start + direction * (m_beamLength * m_length);
    // The ribbon turns its face to the camera: its side is across both the beam and the
    // line of sight.
    const Vector3 toStart = (start - batch->cameraPosition).Normalised();
    const Vector3 side = direction.Cross(toStart).Normalised() * (m_beamWidth * m_scale * 0.5f);
    const bool line = type.m_lineDistance >= 0.0f &&
                      type.m_lineDistance * type.m_lineDistance <=
                          FXSquaredDistanceToSegment(batch->cameraPosition, start, end);

    // u runs along the beam from the frame's left edge less the offset, over Repeat frame
    // widths; the ribbon's edges take the frame's upper and lower v, a line its middle.
    const TextureCorners corners = batch->Texture().Reference().cornersAt(m_age);
    const float uStart = corners[0].u - m_uOffset;
    const float uSpan = (corners[1].u - corners[0].u) * m_uRepeat;
    const float vUpper = corners[0].v;
    const float vLower = corners[2].v;
    const float vMiddle = (vUpper + vLower) * 0.5f;

    const int n = std::clamp(static_cast<int>(std::floor(m_segments)), 1, kMaxSegments);
    std::array<BeamPoint, kMaxSegments + 1> points;
    points[0] = {start, 0.0f};
    points[static_cast<size_t>(n)] = {end, 1.0f};
    Subdivide(std::span<BeamPoint>(points.data(), static_cast<size_t>(n) + 1), 0, n,
              m_length * m_noise * m_beamLength, m_arc);

    BeamBlock& block = batch->blocks.emplace_back();
    block.line = line;
    block.age = m_age;
    for (int i = 0; i <= n; ++i) {
        const BeamPoint& point = points[static_cast<size_t>(i)];
        float alpha = 1.0f;
        if (i == n)
            alpha = m_endFade < 1.0f ? 0.0f : 1.0f;
        else if (i > 0)
            alpha = EndFadeAlpha(point.t, m_endFade);
        Colour colour = m_colour;
        colour.a *= alpha;
        const float u = uStart + uSpan * point.t;
        if (line) {
            block.vertices[block.count++] = {point.position, colour, u, vMiddle};
        } else {
            block.vertices[block.count++] = {point.position + side, colour, u, vUpper};
            block.vertices[block.count++] = {point.position - side, colour, u, vLower};
        }
    }
}
