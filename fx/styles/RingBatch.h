#pragma once

// The drawing side of a ring type: what the type loaded for its instances (a texture or an
// animation, or a mesh or a list of meshes) and the rings queued during one run of the
// render pass, drawn together when the run ends.
//
// Quads are drawn from one buffer of kQuadsPerDraw quads, two triangles each; a draw is
// made when the buffer is full, when the next quad shows another texture and at the end.
// Rings beyond the type's PointDistance are drawn last, as points.

#include "math/Math.h"
#include "scene/RenderDevice.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class FXBatchTexture;
class FXTypeRing;
class Mesh;
class MeshInstance;
class MeshList;
class Texture;
class TextureReference;

// One ring as queued for drawing. The placement is kept as its three axes and centre
// rather than a whole matrix: one entry per live ring is held every frame.
struct RingEntry {
    RingEntry(const Matrix4& placement, const Colour& colour_, float age_, int32_t frame_,
              const MeshInstance* mesh_)
        : axisX(placement.Row(0)), axisY(placement.Row(1)), axisZ(placement.Row(2)),
          centre(placement.Translation()), colour(colour_), age(age_), frame(frame_), mesh(mesh_) {}

    // The placement as a matrix (rows: the axes, then the centre).
    Matrix4 Transform() const {
        Matrix4 transform;
        transform.SetRow(0, axisX);
        transform.SetRow(1, axisY);
        transform.SetRow(2, axisZ);
        transform.SetTranslation(centre);
        return transform;
    }

    Vector3 axisX;  // the quad's half extent along its X (a mesh's X axis)
    Vector3 axisY;  // the quad's half extent along its Y
    Vector3 axisZ;  // a mesh's Z axis
    Vector3 centre; // where the ring is drawn
    Colour colour;
    float age = 0.0f;                   // seconds: the animation frame unless frame is set
    int32_t frame = -1;                 // a fixed animation frame, or -1 to follow the age
    const MeshInstance* mesh = nullptr; // what a mesh ring draws; not owned
};

class RingBatch {
public:
    static constexpr size_t kQuadsPerDraw = 64;
    static constexpr size_t kVerticesPerQuad = 6;
    static constexpr size_t kVerticesPerDraw = kQuadsPerDraw * kVerticesPerQuad;

    // Loads what the type names now: without UseMesh the texture, or the animation when
    // the name ends in ".anim", behind a texture reference with the type's blending; with
    // UseMesh the mesh list when the name ends in ".akmo" (its scale becomes the mesh
    // scale), else the single mesh (which reports its scale). Whatever cannot be loaded
    // stays empty (the loaders trace why).
    explicit RingBatch(const FXTypeRing& type);
    // Gives the texture back to the registry and destroys the animation, the reference and
    // the meshes. Queued entries must not outlive the batch's mesh instances' meshes.
    ~RingBatch();
    RingBatch(const RingBatch&) = delete;
    RingBatch& operator=(const RingBatch&) = delete;

    // The reference quads are drawn with: null with UseMesh or an empty Texture; present,
    // with nothing behind it, when the texture or animation could not be loaded.
    const TextureReference* GetTextureReference() const;
    // Null when nothing of the kind was loaded.
    const Mesh* GetMesh() const { return m_mesh.get(); }
    const MeshList* GetMeshList() const { return m_meshList.get(); }
    // 1.0 unless the mesh or the mesh list sets it.
    float GetMeshScale() const { return m_meshScale; }

    // Starts a run: the camera's orientation in world space is the view matrix's rotation
    // transposed (rows: the camera's right, up and backward axes). Empties the queue.
    void Begin(const Matrix4& view);
    const Matrix4& GetCameraRotation() const { return m_cameraRotation; }
    void Queue(const RingEntry& entry) { m_entries.push_back(entry); }
    size_t QueuedCount() const { return m_entries.size(); }
    // Draws the queue on the current render device (nothing without one) and empties it.
    // The device's drawing state and projection are as before afterwards.
    void Draw();

private:
    void DrawQuads(RenderDevice& device);
    void DrawMeshes(RenderDevice& device);
    void DrawPoints(RenderDevice& device);
    // Binds what the entry shows, with the type's blending, and draws the gathered quads.
    void DrawGathered(RenderDevice& device, size_t quads, const RingEntry& first);
    Texture* TextureOf(const RingEntry& entry) const;
    // The entry's colour as a point at a camera depth, faded between the manager's
    // point-fade distances.
    Colour PointColour(const RingEntry& entry, float depth) const;
    BlendMode Blending() const;

    const FXTypeRing& m_type;
    std::unique_ptr<Mesh> m_mesh;
    std::unique_ptr<MeshList> m_meshList;
    std::unique_ptr<FXBatchTexture> m_texture; // the texture or animation and its reference
    float m_meshScale = 1.0f;
    Matrix4 m_cameraRotation;
    std::vector<RingEntry> m_entries;

    // Working storage of Draw, kept to avoid allocating every frame.
    std::vector<float> m_depths;
    std::vector<uint32_t> m_order;
    std::vector<RenderVertex> m_points;
    std::array<RenderVertex, kVerticesPerDraw> m_vertices{};
};
