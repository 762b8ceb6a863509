#pragma once

// The render device on OpenGL 3.3 core: the back end that puts pictures on screen (the
// editor's GL widget) and into off-screen framebuffers (HeadlessGLContext).
//
// It draws on whatever context was current when it was created and expects that context
// to be current whenever it is used, destroyed included. Geometry is streamed through one
// vertex buffer used as a ring of two halves: a draw's vertices are written behind the
// previous draw's, and when a half is full writing moves to the other half, once the draws
// that read it a round ago are done (a fence marks them). The buffer grows only for a draw
// bigger than half of it, so after warm-up drawing allocates nothing, not even in the
// driver. Consecutive submissions of triangles or points with the same state become one
// draw call.
// Quads and wide lines share one index buffer of quad corners that grows the same way.
//
// Lines wider than the driver draws (a forward-compatible context draws none wider than one
// pixel) are expanded into quads in screen space, textured and coloured like the line;
// they are drawn without line smoothing.
// Lighting and fog are tracked by the device and not drawn: core GL has neither, and
// nothing we draw needs them.

#include "scene/RenderDevice.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>

struct GLRenderDeviceOptions {
    // Draws every line wider than one pixel as quads even where the driver could draw it:
    // for tests of the expansion, and for drivers that draw wide lines badly.
    bool expandWideLines = false;
    // Keeps in the alpha channel how much of the background each pixel hides, instead of
    // blending alpha like a colour: alpha-blended and opaque draws add coverage ("over"),
    // additive and multiplied draws leave it. Colour is drawn exactly as without it. With
    // a clear alpha of 0, a frame then becomes a picture with a transparent background
    // through CoverageToStraightAlpha (image/StraightAlpha.h).
    bool coverageAlpha = false;
    // Shows a finished frame (swaps buffers); EndFrame calls it. Without one, EndFrame only
    // flushes, which suits off-screen framebuffers and toolkits that swap by themselves.
    std::function<void()> present;
};

class GLRenderDevice final : public RenderDevice {
public:
    // A device on the current context. Null when no context is current, it is not desktop
    // GL 3.3 or later, or the shaders do not build; reason (when given) then says why.
    static std::unique_ptr<GLRenderDevice> Create(const GLRenderDeviceOptions& options = {},
                                                  std::string* reason = nullptr);
    // Deletes the device's GL objects and the textures still alive; the context must be
    // current.
    ~GLRenderDevice() override;

    // Draws the submissions waiting to be joined (see Submit). Anything done through the
    // device does this when needed; code that reads the picture past the device (pixels
    // read back, a finish) calls FlushAll first.
    void Flush();
    // Flush on every GL device alive.
    static void FlushAll();
    // Draws made of joined submissions, since creation.
    uint64_t MergedDraws() const { return m_mergedDraws; }

    // Applies the device's whole state to the context again, for when other code (a window
    // toolkit painting its widgets) has used the context since. BeginFrame does this.
    void RestoreContextState();

    // Switches coverage alpha (see GLRenderDeviceOptions) for the draws that follow.
    void SetCoverageAlpha(bool on);
    bool CoverageAlpha() const { return m_options.coverageAlpha; }

    // The widest line the driver draws itself with the current line smoothing; wider lines
    // become quads. 1.0 when every wide line is expanded.
    float NativeLineWidthLimit() const;

    // Times the vertex or index buffer was given new, larger storage, since creation (the
    // first storage of each included). Stays put while draws are no bigger than before.
    uint64_t BufferAllocations() const { return m_bufferAllocations; }
    // Times writing went round the vertex ring and started again at its front.
    uint64_t BufferOrphans() const { return m_bufferOrphans; }
    // Bytes of vertex buffer storage: a draw of more bytes than this grows the buffer.
    size_t VertexBufferCapacity() const { return m_vertexCapacity; }

protected:
    void Apply(const RenderCall& call) override;
    // Consecutive submissions of triangles or points with the same drawing state (the
    // current colour aside) and texture are joined into one draw call; the counters still
    // count each submission.
    void Submit(Primitive primitive, const RenderVertex* vertices, size_t count) override;
    TextureId UploadTexture(int width, int height, const uint8_t* rgba) override;
    void ReleaseTexture(TextureId texture) override;

private:
    explicit GLRenderDevice(const GLRenderDeviceOptions& options);
    bool Initialise(std::string& reason);

    void DrawNow(Primitive primitive, const RenderVertex* vertices, size_t count);
    // Whether bytes of vertices would follow the waiting ones in the same half of the ring.
    bool FollowsInRing(size_t bytes) const;
    size_t HalfCapacity() const { return m_vertexCapacity / 2; }
    void ApplyEnabled(RenderState state, bool on);
    void ApplyBlendMode(BlendMode mode);
    void ApplyPolygonOffset(float factor, float units);
    void ApplyLineWidth();
    void ApplyTexture();
    void ApplyClear(uint32_t mask);
    void UpdateTexturingSwitch();
    void UploadTransform();

    // Maps room for bytes of vertices of the given stride in the ring, growing it or
    // moving to its other half as needed (drawing what waits first); first is the index of the
    // first vertex at that stride. Null when the driver cannot map (the draw is then dropped).
    // Unmap with glUnmapBuffer.
    void* MapVertices(size_t bytes, size_t stride, int32_t& first);
    // Copies count vertices into the vertex ring (MapVertices at their stride); false, with
    // nothing written, when the driver cannot map.
    bool UploadVertices(const RenderVertex* vertices, size_t count, int32_t& first);
    // Makes the quad index buffer hold at least quads quads.
    void ReserveQuadIndices(size_t quads);
    void DrawQuads(const RenderVertex* vertices, size_t quads);
    void DrawWideLines(Primitive primitive, const RenderVertex* vertices, size_t count);
    bool DrawsLinesAsQuads() const;

    GLRenderDeviceOptions m_options;
    uint32_t m_program = 0;
    uint32_t m_vertexArray = 0;     // RenderVertex layout
    uint32_t m_clipVertexArray = 0; // expanded lines: positions already in clip space
    uint32_t m_vertexBuffer = 0;
    uint32_t m_indexBuffer = 0;
    uint32_t m_samplers[2] = {}; // by TextureWrap
    int32_t m_transformLocation = -1;
    int32_t m_pointSizeLocation = -1;
    int32_t m_texturingLocation = -1;
    int32_t m_alphaTestLocation = -1;

    size_t m_vertexCapacity = 0; // bytes
    size_t m_vertexWrite = 0;    // where the next vertices go, in bytes
    size_t m_quadCapacity = 0;   // quads the index buffer holds
    uint64_t m_bufferAllocations = 0;
    uint64_t m_bufferOrphans = 0;
    // The vertex ring is written in two halves; each half's fence marks the draws that read
    // it, so that a half is written again only once they are done.
    void* m_halfFences[2] = {}; // GLsync, or null
    size_t m_currentHalf = 0;   // the half being written

    float m_aliasedLineLimit = 1.0f; // widest native line, without and with smoothing
    float m_smoothLineLimit = 1.0f;
    int m_maxTextureSize = 0;
    bool m_transformDirty = true;
    std::unordered_set<TextureId> m_textures; // alive, deleted with the device

    // Submissions waiting to be joined: their vertices in the ring, and the state they are
    // to be drawn with.
    int32_t m_pendingFirst = 0;
    size_t m_pendingCount = 0;
    Primitive m_pendingPrimitive = Primitive::Triangles;
    RenderStates m_pendingStates;
    TextureBinding m_pendingBinding;
    uint64_t m_mergedDraws = 0;
};
