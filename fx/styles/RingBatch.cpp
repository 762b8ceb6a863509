#include "RingBatch.h"

#include "FXBatchTexture.h"
#include "FXRing.h"
#include "runtime/FXAlternateProjection.h"
#include "runtime/FXManager.h"
#include "scene/Mesh.h"
#include "scene/TextureReference.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <string>

namespace {

// Whether a file name ends in an extension, in any case (names come from case-insensitive
// file systems).
bool HasExtension(const std::string& name, const std::string& extension) {
    return name.size() >= extension.size() &&
           std::equal(extension.rbegin(), extension.rend(), name.rbegin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// The corners' coordinates of a quad without an animation, in the reference's order.
constexpr TextureCorners kPlainCorners = {{{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}}};

} // namespace

RingBatch::RingBatch(const FXTypeRing& type) : m_type(type) {
    if (!type.m_useMesh && !type.m_texture.empty()) {
        // A ring shows its texture once across the quad: clamped, so that linear filtering
        // does not bleed the opposite edge in.
        m_texture = std::make_unique<FXBatchTexture>(
            type.m_texture, FXBatchTexture::Source::TextureOrAnimation, Blending(), true);
    }
    if (type.m_useMesh && !type.m_mesh.empty()) {
        if (HasExtension(type.m_mesh, ".akmo")) {
            m_meshList.reset(MeshList::load(type.m_mesh.c_str()));
            if (m_meshList)
                m_meshScale = m_meshList->scale();
        } else {
            m_mesh.reset(LoadMesh(type.m_mesh.c_str()));
            if (m_mesh)
                m_meshScale = m_mesh->getScale();
        }
    }
}

RingBatch::~RingBatch() = default;

const TextureReference* RingBatch::GetTextureReference() const {
    return m_texture ? &m_texture->Reference() : nullptr;
}

BlendMode RingBatch::Blending() const {
    return FXBlendModeOf(m_type.m_blending);
}

void RingBatch::Begin(const Matrix4& view) {
    Matrix4 rotation;
    for (int row = 0; row < 3; ++row)
        rotation.SetRow(row, view.Column(row));
    m_cameraRotation = rotation;
    m_entries.clear();
    m_immediate = !m_type.m_useMesh && !m_type.m_useDepthSort;
    m_drawing = nullptr;
}

void RingBatch::Queue(const RingEntry& entry) {
    if (!m_immediate) {
        m_entries.push_back(entry);
        return;
    }
    if (!m_drawing) {
        RenderDevice* device = rndTable();
        if (!device)
            return;
        BeginDrawing(*device);
        BeginQuads(*device);
    }
    AddQuad(*m_drawing, entry, m_type.m_pointDistance >= 0.0f ? DepthOf(entry.centre) : 0.0f);
}

void RingBatch::Draw() {
    if (m_drawing) {
        RenderDevice& device = *m_drawing;
        EndQuads(device);
        EndDrawing(device);
    }
    RenderDevice* device = rndTable();
    if (m_entries.empty() || !device) {
        m_entries.clear();
        return;
    }
    BeginDrawing(*device);
    if (!m_type.m_useMesh) {
        // Depth-sorted quads: farthest first, so that nearer rings blend over farther
        // ones; equal depths keep the queue's order.
        const size_t count = m_entries.size();
        m_order.resize(count);
        std::iota(m_order.begin(), m_order.end(), 0u);
        m_depths.resize(count);
        for (size_t i = 0; i < count; ++i)
            m_depths[i] = DepthOf(m_entries[i].centre);
        std::stable_sort(m_order.begin(), m_order.end(),
                         [this](uint32_t a, uint32_t b) { return m_depths[a] > m_depths[b]; });
        BeginQuads(*device);
        for (const uint32_t index : m_order)
            AddQuad(*device, m_entries[index], m_depths[index]);
        EndQuads(*device);
    } else if (m_entries.front().mesh) {
        DrawMeshes(*device);
    }
    EndDrawing(*device);
    m_entries.clear();
}

void RingBatch::BeginDrawing(RenderDevice& device) {
    m_drawing = &device;
    m_savedStates = device.SaveStates();
    device.SetEnabled(RenderState::DepthTest, m_type.m_useDepthTest);
    if (!m_type.m_useMesh)
        device.Disable(RenderState::FaceCulling); // quads are seen from both sides
    if (const Matrix4* alternate = m_type.m_alternateFov ? FXGetAlternateProjection() : nullptr) {
        device.PushMatrix(MatrixStack::Projection);
        device.LoadMatrix(MatrixStack::Projection, *alternate);
        m_alternate = true;
    } else {
        m_alternate = false;
    }
}

void RingBatch::EndDrawing(RenderDevice& device) {
    if (m_alternate)
        device.PopMatrix(MatrixStack::Projection);
    device.RestoreStates(m_savedStates);
    m_drawing = nullptr;
}

float RingBatch::DepthOf(const Vector3& centre) const {
    return (centre - m_eye).Dot(m_forward);
}

Texture* RingBatch::TextureOf(const RingEntry& entry) const {
    const TextureReference* reference = GetTextureReference();
    if (!reference)
        return nullptr;
    return entry.frame >= 0 ? reference->textureOfFrame(static_cast<unsigned>(entry.frame))
                            : reference->textureAt(entry.age);
}

Colour RingBatch::PointColour(const RingEntry& entry, float depth) const {
    const FXManager* manager = FXManager::Instance();
    const float nearDistance = manager ? manager->GetPointFadeNear() : 3.4028235e38f;
    const float farDistance = manager ? manager->GetPointFadeFar() : 3.4028235e38f;
    float fade = 0.0f;
    if (depth <= nearDistance)
        fade = 1.0f;
    else if (depth <= farDistance && farDistance - nearDistance >= 0.0001f)
        fade = 1.0f - (depth - nearDistance) / (farDistance - nearDistance);
    Colour colour = entry.colour;
    switch (Blending()) {
    case BlendMode::None:
        break;
    case BlendMode::Additive:
        colour.r *= fade;
        colour.g *= fade;
        colour.b *= fade;
        break;
    case BlendMode::Alpha:
    case BlendMode::Multiply:
    case BlendMode::AdditiveAlpha:
        colour.a *= fade;
        break;
    }
    return colour;
}

void RingBatch::BeginQuads(RenderDevice& device) {
    m_eye = {};
    m_forward = {};
    if (const FXManager* manager = FXManager::Instance()) {
        m_eye = manager->ViewState().eyePosition;
        m_forward = manager->ViewState().forward;
    }
    const TextureReference* reference = GetTextureReference();
    m_fixedTexture = !reference || !reference->hasAnimation();
    m_texture0 = reference ? reference->textureAt(0.0f) : nullptr;
    m_corners0 = reference ? reference->cornersAt(0.0f) : kPlainCorners;
    device.Enable(RenderState::Texturing);
    m_points.clear();
    m_gathered = 0;
    m_gatheredTexture = nullptr;
}

void RingBatch::AddQuad(RenderDevice& device, const RingEntry& entry, float depth) {
    const Vector3 centre = entry.centre;
    if (m_type.m_pointDistance >= 0.0f && depth >= m_type.m_pointDistance) {
        m_points.push_back({centre, PointColour(entry, depth), 0.0f, 0.0f});
        return;
    }
    const Texture* texture = m_fixedTexture ? m_texture0 : TextureOf(entry);
    if (m_gathered > 0 && texture != m_gatheredTexture) {
        DrawGathered(device, m_gathered, m_first);
        m_gathered = 0;
    }
    if (m_gathered == 0) {
        m_gatheredTexture = texture;
        m_first = entry;
    }
    TextureCorners uv = m_corners0;
    if (!m_fixedTexture) {
        const TextureReference& reference = *GetTextureReference();
        uv = entry.frame >= 0 ? reference.cornersOfFrame(static_cast<unsigned>(entry.frame))
                              : reference.cornersAt(entry.age);
    }
    const Vector3 x = entry.axisX;
    const Vector3 y = entry.axisY;
    const Colour colour = entry.colour;
    // Corners with their coordinates: uv0 to uv3 go round the quad from c - X - Y
    // through c - X + Y and c + X + Y to c + X - Y. Written field by field straight into
    // the buffer: copying whole vertices through the stack stalls on every quad.
    const Vector3 lowerLeft = centre - x - y;
    const Vector3 upperLeft = centre - x + y;
    const Vector3 upperRight = centre + x + y;
    const Vector3 lowerRight = centre + x - y;
    RenderVertex* out = &m_vertices[m_gathered * kVerticesPerQuad];
    const auto put = [&colour](RenderVertex& vertex, const Vector3& position,
                               const TextureUV& coordinates) {
        vertex.position = position;
        vertex.colour = colour;
        vertex.u = coordinates.u;
        vertex.v = coordinates.v;
    };
    put(out[0], lowerLeft, uv[0]);
    put(out[1], upperLeft, uv[1]);
    put(out[2], lowerRight, uv[3]);
    put(out[3], lowerRight, uv[3]);
    put(out[4], upperLeft, uv[1]);
    put(out[5], upperRight, uv[2]);
    if (++m_gathered == kQuadsPerDraw) {
        DrawGathered(device, m_gathered, m_first);
        m_gathered = 0;
    }
}

void RingBatch::EndQuads(RenderDevice& device) {
    if (m_gathered > 0)
        DrawGathered(device, m_gathered, m_first);
    m_gathered = 0;
    if (!m_points.empty())
        DrawPoints(device);
}

void RingBatch::DrawGathered(RenderDevice& device, size_t quads, const RingEntry& first) {
    // Every gathered quad shows the same texture, so the first one's binding serves all.
    if (!m_texture) {
        device.SetBlendMode(Blending());
        device.BindTexture(0);
        if (FXManager* manager = FXManager::Instance())
            manager->CountBind();
    } else if (first.frame >= 0) {
        m_texture->Reference().bindFrame(static_cast<unsigned>(first.frame));
        if (FXManager* manager = FXManager::Instance())
            manager->CountBind();
    } else {
        m_texture->BindAt(first.age); // counts the bind itself
    }
    device.Draw(Primitive::Triangles, m_vertices.data(), quads * kVerticesPerQuad);
}

void RingBatch::DrawPoints(RenderDevice& device) {
    device.SetBlendMode(Blending());
    device.BindTexture(0);
    device.Disable(RenderState::Texturing);
    device.SetPointSize(2.0f);
    // However many rings are far away, no single draw is larger than a draw of quads.
    for (size_t start = 0; start < m_points.size(); start += kVerticesPerDraw) {
        const size_t count = std::min(kVerticesPerDraw, m_points.size() - start);
        device.Draw(Primitive::Points, m_points.data() + start, count);
    }
    device.SetPointSize(1.0f);
}

void RingBatch::DrawMeshes(RenderDevice& device) {
    device.SetBlendMode(Blending());
    for (const RingEntry& entry : m_entries) {
        const Mesh* mesh = entry.mesh ? entry.mesh->mesh() : nullptr;
        if (!mesh)
            continue;
        device.SetColour(entry.colour);
        device.PushMatrix(MatrixStack::ModelView);
        device.MultiplyMatrix(MatrixStack::ModelView, entry.Transform());
        mesh->draw(*entry.mesh, 0, 1.0f, Colour{}, 0);
        device.PopMatrix(MatrixStack::ModelView);
    }
}
