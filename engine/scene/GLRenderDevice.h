#pragma once

// The render device on OpenGL 3.3 core: the back end that puts pictures on screen (the
// editor's GL widget) and into off-screen framebuffers (HeadlessGLContext).
//
// It draws on whatever context was current when it was created and expects that context
// to be current whenever it is used, destroyed included. Geometry is streamed through one
// vertex buffer used as a ring: a draw's vertices are written behind the previous draw's,
// and when the ring is full its storage is orphaned (handed back to the driver, which keeps
// it until the GPU is done with it) and writing starts again at its front. The buffer grows
// only for a draw bigger than any before, so after warm-up drawing allocates nothing.
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
    // Times the full vertex ring was orphaned and started again at its front.
    uint64_t BufferOrphans() const { return m_bufferOrphans; }
    // Bytes of vertex buffer storage: a draw of more bytes than this grows the buffer.
    size_t VertexBufferCapacity() const { return m_vertexCapacity; }

protected:
    void Apply(const RenderCall& call) override;
    void Submit(Primitive primitive, const RenderVertex* vertices, size_t count) override;
    TextureId UploadTexture(int width, int height, const uint8_t* rgba) override;
    void ReleaseTexture(TextureId texture) override;

private:
    explicit GLRenderDevice(const GLRenderDeviceOptions& options);
    bool Initialise(std::string& reason);

    void ApplyEnabled(RenderState state, bool on);
    void ApplyBlendMode(BlendMode mode);
    void ApplyPolygonOffset(float factor, float units);
    void ApplyLineWidth();
    void ApplyTexture();
    void ApplyClear(uint32_t mask);
    void UpdateTexturingSwitch();
    void UploadTransform();

    // Maps room for bytes of vertices of the given stride in the ring, growing or
    // orphaning it as needed; first is the index of the first vertex at that stride. Null
    // when the driver cannot map (the draw is then dropped). Unmap with glUnmapBuffer.
    void* MapVertices(size_t bytes, size_t stride, int32_t& first);
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
    size_t m_vertexWrite = 0;    // bytes of the ring in use since it was last orphaned
    size_t m_quadCapacity = 0;   // quads the index buffer holds
    uint64_t m_bufferAllocations = 0;
    uint64_t m_bufferOrphans = 0;

    float m_aliasedLineLimit = 1.0f; // widest native line, without and with smoothing
    float m_smoothLineLimit = 1.0f;
    int m_maxTextureSize = 0;
    bool m_transformDirty = true;
    std::unordered_set<TextureId> m_textures; // alive, deleted with the device
};
