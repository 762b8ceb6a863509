#pragma once

// The drawing side of a ring type: what the type loaded for its instances (a texture or an
// animation, or a mesh or a list of meshes) and the rings queued during one run of the
// render pass, drawn together when the run ends.
//
// Quads are drawn from one buffer of kQuadsPerDraw quads, two triangles each; a draw is
// made when the buffer is full, when the next quad shows another texture and at the end.
// Rings beyond the type's PointDistance are drawn last, as points.
//
// Quads drawn in queue order (no UseDepthSort, no UseMesh) are drawn as they come: the
// first ring of a run starts the drawing state, every 64 quads (or a change of texture)
// make a draw, and Draw finishes the run. The device sees the very calls it would see if
// the run were queued and drawn at its end, and no ring is held in between.

#include "math/Math.h"
#include "scene/RenderDevice.h"
#include "scene/TextureReference.h"

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

// One ring as handed to the batch for drawing: its placement as three axes and a centre.
struct RingEntry {

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
    // Draws the ring now, or queues it for Draw when the order or meshes need the whole
    // run.
    void Queue(const RingEntry& entry);
    size_t QueuedCount() const { return m_entries.size(); }
    // Draws the queue on the current render device (nothing without one), finishes the
    // rings drawn as they came, and empties the queue. The device's drawing state and
    // projection are as before afterwards.
    void Draw();

private:
    // Saves the drawing state and sets the run's: depth test, culling, projection.
    void BeginDrawing(RenderDevice& device);
    void EndDrawing(RenderDevice& device);
    // Starts the quads of a run, adds one ring (as a quad or a point), ends them.
    void BeginQuads(RenderDevice& device);
    void AddQuad(RenderDevice& device, const RingEntry& entry, float depth);
    void EndQuads(RenderDevice& device);
    // The depth of a centre along the camera's forward axis.
    float DepthOf(const Vector3& centre) const;
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
    bool m_immediate = false;          // rings are drawn as they come (see above)
    RenderStates m_savedStates;        // the device's state before the run
    RenderDevice* m_drawing = nullptr; // the device of the run being drawn, or null
    bool m_alternate = false;          // the run pushed the alternate projection
    Vector3 m_eye;                     // the camera, for depths
    Vector3 m_forward;
    size_t m_gathered = 0; // quads in m_vertices
    const Texture* m_gatheredTexture = nullptr;
    RingEntry m_first; // the first gathered ring: its binding serves all
    // Without an animation every quad shows one texture with the same coordinates.
    bool m_fixedTexture = false;
    Texture* m_texture0 = nullptr;
    TextureCorners m_corners0{};

    // Working storage of Draw, kept to avoid allocating every frame.
    std::vector<float> m_depths;
    std::vector<uint32_t> m_order;
    std::vector<RenderVertex> m_points;
    std::array<RenderVertex, kVerticesPerDraw> m_vertices{};
};
