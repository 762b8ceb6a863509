#include "FXTrail.h"

#include "FXBatchTexture.h"
#include "FXStyleGeometry.h"
#include "definitions/FXStyle.h"
#include "runtime/FXManager.h"
#include "runtime/FXRandom.h"
#include "scene/RenderDevice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Seconds between the points a trail lays.
constexpr float kPointInterval = 0.1f;

// One trail as queued for drawing: its points, oldest first, stay the instance's until
// the batch ends.
struct QueuedTrail {
    std::span<const FXTrailPoint> points;
    float length = 0.0f; // seconds of the path drawn
};

// e - 2 × RandomUnit × e: uniform from -e to +e.
float RandomSpread(float epsilon) {
    return epsilon - 2.0f * RandomUnit() * epsilon;
}

Colour Blend(const Colour& from, const Colour& to, float f) {
    return {from.r + (to.r - from.r) * f, from.g + (to.g - from.g) * f,
            from.b + (to.b - from.b) * f, from.a + (to.a - from.a) * f};
}

RenderVertex Between(const RenderVertex& from, const RenderVertex& to, float k) {
    RenderVertex vertex = to;
    vertex.position = from.position + (to.position - from.position) * k;
    return vertex;
}

} // namespace

class TrailBatch {
public:
    TrailBatch(const std::string& texture, BlendMode blending)
        : m_texture(texture, FXBatchTexture::Source::TextureOnly, blending, true) {}

    const FXBatchTexture& Texture() const { return m_texture; }

    Vector3 cameraForward; // of the drawing pass, in world space
    Vector3 cameraPosition;
    std::vector<QueuedTrail> queue;
    std::vector<RenderVertex> vertices; // the strip being built, kept to reuse its memory
    FXTrailStats stats;

private:
    FXBatchTexture m_texture;
};

FXTypeTrail::FXTypeTrail(const char* name) : FXType(name) {
    // Opaque white leaves a trail the texture's own colours, and its alpha to the fade;
    // artists tint from there.
    constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
    AddFloat("Length", "Length, in seconds", &m_length, 1.0f, 0.1f, 5.0f);
    AddFloat("Width", "", &m_width, 1.0f, 0.01f, 1000.0f);
    AddInt("Blending", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha", &m_blending,
           1, 0, 4);
    AddString("Texture", "", &m_texture, "Data:art/fx/point.tga");
    AddColour("ColourHead", "", &m_colourHead, kWhite);
    AddColour("ColourTail", "", &m_colourTail, kWhite);
    AddBool("Billboard", "", &m_billboard, true);
    AddFloat("DeathRate", "", &m_deathRate, 1.0f, 1.0f, 15.0f);
    AddFloat("FadeOutTime", "Time, in seconds", &m_fadeOutTime, 1.0f, 0.0f, 1.0f);
    AddFloat("Duration", "Duration, in seconds", &m_duration, 100.0f, 0.1f, 100.0f);
    AddFloat("LengthEpsilon", "Length random modifier (0.0-1.0)", &m_lengthEpsilon, 0.0f, 0.0f,
             1.0f);
    AddFloat("DurationEpsilon", "Duration random modifier (0.0-1.0)", &m_durationEpsilon, 0.0f,
             0.0f, 1.0f);
    AddFloat("WidthEpsilon", "Width random modifier (0.0-1.0)", &m_widthEpsilon, 0.0f, 0.0f, 1.0f);
    AddFloat("LineDistance",
             "The distance from the camera at which the beam renders as a line (set to -1 for "
             "no lines)",
             &m_lineDistance, -1.0f, -1.0f, std::numeric_limits<float>::max());
}

int FXTypeTrail::GetStyle() const {
    return STYLE_TRAIL;
}

float FXTypeTrail::GetDuration() const {
    return 0.5f;
}

FXTypeTrail::~FXTypeTrail() = default;

size_t FXTypeTrail::InstanceSize() const {
    return sizeof(FXObjectTrail);
}

FXObject* FXTypeTrail::CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                      uintptr_t) {
    return FXConstructInstance<FXObjectTrail>(memory, this, self, parent);
}

bool FXTypeTrail::Prepare() {
    if (!m_batch)
        m_batch = std::make_unique<TrailBatch>(m_texture, FXBlendModeOf(m_blending));
    return true;
}

void FXTypeTrail::Release() {
    if (m_liveCount == 0)
        m_batch.reset();
}

void FXTypeTrail::BeginBatch() {
    if (!m_batch)
        return;
    if (const FXManager* manager = FXManager::Instance()) {
        m_batch->cameraForward = manager->ViewState().forward;
        m_batch->cameraPosition = manager->ViewState().eyePosition;
    }
    m_batch->queue.clear();
}

void FXTypeTrail::EndBatch() {
    if (!m_batch || m_batch->queue.empty())
        return;
    if (RenderDevice* device = rndTable()) {
        const RenderStates saved = device->SaveStates();
        device->Enable(RenderState::Texturing);
        m_batch->Texture().BindAt(0.0f);
        for (const QueuedTrail& trail : m_batch->queue)
            DrawTrail(trail.points, trail.length);
        device->RestoreStates(saved);
    }
    m_batch->queue.clear();
}

void FXTypeTrail::DrawTrail(std::span<const FXTrailPoint> points, float length) {
    const FXTrailPoint& newest = points.back();
    const FXTrailPoint& oldest = points.front();
    const float span = std::min(length, newest.time - oldest.time);
    // Points all laid at one moment have no extent to draw (and no fraction to give u).
    if (!(span > 0.0f))
        return;
    TrailBatch& batch = *m_batch;
    const bool line =
        m_lineDistance >= 0.0f &&
        FXSquaredDistanceToSegment(batch.cameraPosition, oldest.position, newest.position) >=
            m_lineDistance * m_lineDistance;
    // Additive trails fade by darkening all four components; lines do so for additive
    // alpha as well.
    const bool fadeAll = m_blending == static_cast<int32_t>(BlendMode::Additive) ||
                         (line && m_blending == static_cast<int32_t>(BlendMode::AdditiveAlpha));

    std::vector<RenderVertex>& vertices = batch.vertices;
    vertices.clear();
    Vector3 previousOffset;
    float previousF = 0.0f;
    for (size_t index = points.size(); index-- > 0;) {
        const FXTrailPoint& point = points[index];
        float f = (newest.time - point.time) / span;
        Vector3 offset;
        if (!line) {
            if (m_billboard) {
                offset = batch.cameraForward.Cross(point.direction).Normalised() * point.halfWidth;
                // Keep every offset on the side of the one before, or the strip would twist
                // through itself where the path turns back.
                if (index + 1 < points.size() && offset.Dot(previousOffset) < 0.0f)
                    offset = -offset;
            } else {
                offset = point.side * point.halfWidth;
            }
            previousOffset = offset;
        }

        // The point older than the length is drawn moved back onto the cut, so the strip
        // ends exactly length seconds behind the head.
        const bool cut = f > 1.0f && index + 1 < points.size();
        const float k = cut ? (1.0f - previousF) / (f - previousF) : 1.0f;
        if (cut)
            f = 1.0f;

        Colour colour = Blend(m_colourHead, m_colourTail, f);
        const float opacity = 1.0f - point.fade;
        colour.a = opacity;
        if (fadeAll)
            colour = {opacity, opacity, opacity, opacity};

        if (line) {
            RenderVertex vertex{point.position, colour, f, 0.5f};
            if (cut)
                vertex = Between(vertices[vertices.size() - 1], vertex, k);
            vertices.push_back(vertex);
        } else {
            RenderVertex upper{point.position + offset, colour, f, 0.0f};
            RenderVertex lower{point.position - offset, colour, f, 1.0f};
            if (cut) {
                upper = Between(vertices[vertices.size() - 2], upper, k);
                lower = Between(vertices[vertices.size() - 1], lower, k);
            }
            vertices.push_back(upper);
            vertices.push_back(lower);
        }
        if (cut)
            break;
        previousF = f;
    }

    rndTable()->Draw(line ? Primitive::LineStrip : Primitive::TriangleStrip, vertices.data(),
                     vertices.size());
    ++batch.stats.trails;
    batch.stats.vertices += static_cast<uint32_t>(vertices.size());
}

void FXTypeTrail::ResetBatchStats() {
    if (m_batch)
        m_batch->stats = {};
}

FXTrailStats FXTypeTrail::GetBatchStats() const {
    return m_batch ? m_batch->stats : FXTrailStats{};
}

FXObjectTrail::FXObjectTrail(FXTypeTrail* type, const FXHandle& self, const FXHandle& parent)
    : FXObject(type, self, parent) {
    m_trailLength = (1.0f - RandomSpread(type->m_lengthEpsilon)) * type->m_length;
    m_trailWidth = (1.0f - RandomSpread(type->m_widthEpsilon)) * type->m_width;
    m_trailDuration = (1.0f - RandomSpread(type->m_durationEpsilon)) * type->m_duration;
    ++type->m_liveCount;
    type->Prepare();
}

FXObjectTrail::~FXObjectTrail() {
    --static_cast<FXTypeTrail*>(m_type)->m_liveCount;
}

bool FXObjectTrail::Update(float dt) {
    const Vector3 position = m_transform.Translation();
    const Vector3 moved = position - m_lastPosition;
    if (!(moved == Vector3{})) {
        m_motion = moved.Normalised(m_motion);
        m_lastPosition = position;
    }
    m_age += dt;

    // The newest point follows the instance; every interval it is left behind as a copy.
    const FXTrailPoint head{
        m_age, position, m_transform.Row(0), -m_motion, m_scale * m_trailWidth * 0.5f, 0.0f};
    if (m_points.empty()) {
        m_points.assign(2, head);
    } else {
        m_points.back() = head;
        if (head.time - m_points[m_points.size() - 2].time > kPointInterval)
            m_points.push_back(head);
    }
    if (m_age > m_trailDuration)
        return true;

    // Keep the points younger than the length and the one just older, which the drawing
    // cuts back onto the length.
    size_t firstYoung = 0;
    while (firstYoung < m_points.size() && !(m_age - m_points[firstYoung].time < m_trailLength))
        ++firstYoung;
    if (firstYoung > 1)
        m_points.erase(m_points.begin(),
                       m_points.begin() + static_cast<std::ptrdiff_t>(firstYoung - 1));
    if (m_stopped && m_points.size() < 2)
        return true;

    // FadeOutTime is a fraction of the duration: the trail fades out over that last part.
    const float fadeOut = Type().m_fadeOutTime * m_trailDuration;
    if (fadeOut > 0.0f) {
        const float remaining =
            std::min(1.0f - (m_age - (m_trailDuration - fadeOut)) / fadeOut, 1.0f);
        if (remaining < 1.0f)
            for (FXTrailPoint& point : m_points)
                point.fade = 1.0f - remaining;
    }

    float extent = 0.0f;
    for (const FXTrailPoint& point : m_points) {
        const Vector3 d = point.position - position;
        extent = std::max({extent, std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
    }
    SetRadius(std::max(extent, m_trailWidth));
    return false;
}

void FXObjectTrail::Render(float) {
    TrailBatch* batch = Type().m_batch.get();
    if (!m_visible || !batch || m_points.size() < 2)
        return;
    // A trail that has not moved has no strip: its points lie in one place.
    const Vector3& first = m_points.front().position;
    const bool moved =
        std::any_of(m_points.begin() + 1, m_points.end(),
                    [&first](const FXTrailPoint& point) { return !(point.position == first); });
    if (moved)
        batch->queue.push_back({m_points, m_trailLength});
}
