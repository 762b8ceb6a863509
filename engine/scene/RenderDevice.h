#pragma once

// The render table: the device every drawing call of the renderer, the FX runtime and the
// styles goes through.
//
// RenderDevice keeps the whole drawing state itself (switches, blending, depth, widths,
// colour, bound texture, matrix stacks, viewport) and hands every change to its back end
// through one hook, so all back ends agree on what the state is and the getters never ask
// the graphics driver. Geometry is submitted from client memory, one call per batch, with
// position, colour and uv per vertex; nothing is allocated per call.
//
// Back ends: the GL one (core profile), RecordingRenderDevice (keeps every call and vertex
// for tests) and CountingRenderDevice (counts only, for benchmarks).
//
// Conventions: matrices are row-vector (a point p maps to p x M; see math/Math.h); widths
// and sizes are pixels; colours are floats 0.0 to 1.0. Misuse that only a programming error
// can cause (a matrix stack popped empty, a frame ended twice) stops the program through
// dbFatalfAux. Single-threaded: a device is used by the thread that made its context
// current.

#include "math/Math.h"
#include "scene/RenderState.h"

#include <array>
#include <cstddef>
#include <cstdint>

// How a draw's colour is mixed with the picture while RenderState::Blending is on. The
// values are those of the styles' Blending property.
enum class BlendMode : uint8_t {
    None = 0,          // (one, zero): replaces the picture
    Alpha = 1,         // (source alpha, one minus source alpha)
    Additive = 2,      // (one, one)
    Multiply = 3,      // (destination colour, zero): picture times source colour
    AdditiveAlpha = 4, // (source alpha, one)
};

enum class BlendFactor : uint8_t { Zero, One, SourceAlpha, OneMinusSourceAlpha, DestinationColour };

// The (source, destination) factors of a blend: result = source × s + destination × d.
struct BlendFactors {
    BlendFactor source = BlendFactor::One;
    BlendFactor destination = BlendFactor::Zero;
    constexpr bool operator==(const BlendFactors&) const = default;
};

constexpr BlendFactors BlendFactorsOf(BlendMode mode) {
    switch (mode) {
    case BlendMode::None:
        break;
    case BlendMode::Alpha:
        return {BlendFactor::SourceAlpha, BlendFactor::OneMinusSourceAlpha};
    case BlendMode::Additive:
        return {BlendFactor::One, BlendFactor::One};
    case BlendMode::Multiply:
        return {BlendFactor::DestinationColour, BlendFactor::Zero};
    case BlendMode::AdditiveAlpha:
        return {BlendFactor::SourceAlpha, BlendFactor::One};
    }
    return {BlendFactor::One, BlendFactor::Zero};
}

// When a fragment passes the depth test: its depth compared with the stored one.
enum class DepthFunction : uint8_t {
    Never,
    Less,
    Equal,
    LessEqual,
    Greater,
    NotEqual,
    GreaterEqual,
    Always
};

// A texture made by RenderDevice::CreateTexture; 0 is no texture.
using TextureId = uint32_t;

// What texture coordinates outside 0 to 1 do. Chosen per binding, since one texture may be
// drawn clamped by one style and repeated by another.
enum class TextureWrap : uint8_t { Repeat, Clamp };

struct TextureBinding {
    TextureId texture = 0;
    TextureWrap wrap = TextureWrap::Repeat;
    constexpr bool operator==(const TextureBinding&) const = default;
};

enum class MatrixStack : uint8_t { Projection, ModelView };

// Entries each matrix stack holds, the current one included.
inline constexpr int kMatrixStackDepth = 32;

// How Draw reads its vertices.
enum class Primitive : uint8_t {
    Triangles,     // each three vertices a triangle
    TriangleStrip, // vertex i ≥ 2 makes a triangle with the two before it
    Lines,         // each two vertices a line
    LineStrip,     // a line from each vertex to the next
    Points,        // one point per vertex, point size pixels wide
    Quads,         // each four vertices, in order around it, a quad: drawn as two triangles
};

// The two triangles of a quad, as indices into its four vertices; winding is kept.
inline constexpr std::array<int, 6> kQuadTriangleCorners = {0, 1, 2, 0, 2, 3};

// Primitives that count vertices of a kind make, as the back end rasterises them: a quad is
// two triangles. Vertices left over after the last whole primitive are ignored.
constexpr size_t PrimitiveCount(Primitive primitive, size_t vertexCount) {
    switch (primitive) {
    case Primitive::Triangles:
        return vertexCount / 3;
    case Primitive::TriangleStrip:
        return vertexCount >= 3 ? vertexCount - 2 : 0;
    case Primitive::Lines:
        return vertexCount / 2;
    case Primitive::LineStrip:
        return vertexCount >= 2 ? vertexCount - 1 : 0;
    case Primitive::Points:
        return vertexCount;
    case Primitive::Quads:
        return vertexCount / 4 * 2;
    }
    return 0;
}

// One vertex as Draw takes it; tightly packed, so a back end can stream arrays of them.
struct RenderVertex {
    Vector3 position;
    Colour colour;
    float u = 0.0f;
    float v = 0.0f;
    constexpr bool operator==(const RenderVertex&) const = default;
};
static_assert(sizeof(RenderVertex) == 36);

// Pixels of the drawing surface, from its lower-left corner.
struct RenderViewport {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    constexpr bool operator==(const RenderViewport&) const = default;
};

// Buffers Clear empties; combine with |.
inline constexpr uint32_t kClearColour = 1;
inline constexpr uint32_t kClearDepth = 2; // to 1.0, the far end
inline constexpr uint32_t kClearStencil = 4;
inline constexpr uint32_t kClearAll = kClearColour | kClearDepth | kClearStencil;

// The drawing state that SaveStates captures and RestoreStates puts back: everything that
// decides how a draw looks, except the bound texture and the matrices (which have their
// own stacks). Defaults are those of a new device.
struct RenderStates {
    uint32_t enabled = 0; // bit n set: the state numbered n is on
    BlendMode blendMode = BlendMode::None;
    bool depthWrite = true;
    DepthFunction depthFunction = DepthFunction::Less;
    // Depth offset of filled primitives: factor × slope + units × the smallest resolvable
    // depth step. Both 0.0: none.
    float polygonOffsetFactor = 0.0f;
    float polygonOffsetUnits = 0.0f;
    float lineWidth = 1.0f; // pixels
    float pointSize = 1.0f; // pixels
    // The current colour: kept for callers that read it back and for meshes drawn in one
    // colour; Draw itself uses each vertex's colour.
    Colour colour{1.0f, 1.0f, 1.0f, 1.0f};

    constexpr bool IsEnabled(RenderState state) const {
        return (enabled >> RenderStateNumber(state) & 1u) != 0;
    }
    constexpr void SetEnabled(RenderState state, bool on) {
        const uint32_t bit = 1u << RenderStateNumber(state);
        enabled = on ? enabled | bit : enabled & ~bit;
    }
    constexpr bool operator==(const RenderStates&) const = default;
};

// What was drawn since the counters were last reset.
struct RenderCounters {
    uint64_t drawCalls = 0;  // Draw calls that had at least one vertex
    uint64_t vertices = 0;   // vertices as submitted (a quad is four)
    uint64_t primitives = 0; // as PrimitiveCount counts them
    constexpr bool operator==(const RenderCounters&) const = default;
};

// The operations a back end is told about, one per public operation that is not a draw or
// a texture's creation or destruction.
enum class RenderCallKind : uint8_t {
    SetEnabled,
    SetBlendMode,
    SetDepthWrite,
    SetDepthFunction,
    SetPolygonOffset,
    SetLineWidth,
    SetPointSize,
    SetColour,
    BindTexture,
    LoadMatrix,
    MultiplyMatrix,
    PushMatrix,
    PopMatrix,
    SetViewport,
    SetClearColour,
    Clear,
    BeginFrame,
    EndFrame,
    Draw, // never passed to a back end's Apply: RecordingRenderDevice logs draws with it
};

// One call with its arguments; only the fields its kind names are meaningful.
struct RenderCall {
    RenderCallKind kind = RenderCallKind::BeginFrame;
    RenderState state = RenderState::DepthTest;        // SetEnabled
    bool on = false;                                   // SetEnabled, SetDepthWrite
    BlendMode blendMode = BlendMode::None;             // SetBlendMode
    DepthFunction depthFunction = DepthFunction::Less; // SetDepthFunction
    float factor = 0.0f;                               // SetPolygonOffset
    float units = 0.0f;                                // SetPolygonOffset
    float pixels = 0.0f;                               // SetLineWidth, SetPointSize
    Colour colour{};                                   // SetColour, SetClearColour
    TextureBinding binding{};                          // BindTexture
    MatrixStack stack = MatrixStack::ModelView;        // the four matrix calls
    Matrix4 matrix{};                                  // LoadMatrix, MultiplyMatrix
    RenderViewport viewport{};                         // SetViewport
    uint32_t clearMask = 0;                            // Clear
    size_t draw = 0; // Draw: index into RecordingRenderDevice::Draws()
};

class RenderDevice {
public:
    virtual ~RenderDevice() = default;
    RenderDevice(const RenderDevice&) = delete;
    RenderDevice& operator=(const RenderDevice&) = delete;

    // ---- switches and drawing state ----
    void Enable(RenderState state) { SetEnabled(state, true); }
    void Disable(RenderState state) { SetEnabled(state, false); }
    void SetEnabled(RenderState state, bool on);
    bool IsEnabled(RenderState state) const { return m_states.IsEnabled(state); }
    // Used while RenderState::Blending is on.
    void SetBlendMode(BlendMode mode);
    void SetDepthWrite(bool on);
    // Used while RenderState::DepthTest is on.
    void SetDepthFunction(DepthFunction function);
    // See RenderStates; (0.0, 0.0) turns the offset off.
    void SetPolygonOffset(float factor, float units);
    // Pixels. Kept as given; a back end draws widths below its thinnest (1 pixel in GL) at
    // its thinnest, and wide lines it cannot draw natively as quads.
    void SetLineWidth(float pixels);
    // Pixels, kept as given like the line width.
    void SetPointSize(float pixels);
    void SetColour(const Colour& colour);
    const RenderStates& GetStates() const { return m_states; }

    // A copy of the drawing state, to hand back to RestoreStates. Saves nest as far as the
    // caller keeps copies.
    RenderStates SaveStates() const { return m_states; }
    // Puts the saved state back through the ordinary setters, calling only those whose
    // value differs from the current one.
    void RestoreStates(const RenderStates& saved);

    // ---- textures ----
    // A texture of width × height pixels from rows of RGBA bytes, the first row at the
    // bottom (v = 0). Answers 0 when width or height is not positive, rgba is null or the
    // back end cannot make it.
    TextureId CreateTexture(int width, int height, const uint8_t* rgba);
    // Ends a texture; 0 is ignored. When it is bound, the binding becomes 0.
    void DestroyTexture(TextureId texture);
    // Textures the following draws while RenderState::Texturing is on; 0 binds none.
    void BindTexture(TextureId texture, TextureWrap wrap = TextureWrap::Repeat);
    TextureBinding GetBoundTexture() const { return m_binding; }

    // ---- matrices: a position reaches the picture as p x modelview x projection ----
    // Replaces the stack's current matrix.
    void LoadMatrix(MatrixStack stack, const Matrix4& matrix);
    // current = matrix x current: matrix applies first, as a local transform (an object's
    // transform multiplied onto a view matrix).
    void MultiplyMatrix(MatrixStack stack, const Matrix4& matrix);
    // Saves a copy of the current matrix; at kMatrixStackDepth entries it is fatal.
    void PushMatrix(MatrixStack stack);
    // Returns to the matrix saved by the last push; without one it is fatal.
    void PopMatrix(MatrixStack stack);
    const Matrix4& GetMatrix(MatrixStack stack) const;
    // Entries on the stack, the current one included: 1 when nothing is pushed.
    int GetMatrixDepth(MatrixStack stack) const;

    // ---- frame ----
    void SetViewport(const RenderViewport& viewport);
    const RenderViewport& GetViewport() const { return m_viewport; }
    void SetClearColour(const Colour& colour);
    const Colour& GetClearColour() const { return m_clearColour; }
    // Empties the buffers of mask (kClearColour...). Clearing depth needs no depth writes.
    void Clear(uint32_t mask);
    // Frames do not nest: beginning one inside another, or ending one never begun, is
    // fatal. Draws outside a frame are allowed (tests draw without one).
    void BeginFrame();
    // Ends the frame and presents it.
    void EndFrame();
    bool IsInFrame() const { return m_inFrame; }

    // ---- drawing ----
    // Draws count vertices read as primitive, with the state as it is now. vertices may be
    // reused once the call returns. A count of 0 does nothing.
    void Draw(Primitive primitive, const RenderVertex* vertices, size_t count);
    const RenderCounters& GetCounters() const { return m_counters; }
    void ResetCounters() { m_counters = {}; }

    // A number no other device of this run has had, so that a device made later at the
    // address of a destroyed one is not taken for it (textures remember where they were
    // uploaded by it).
    uint64_t Serial() const { return m_serial; }

protected:
    RenderDevice() = default;

    // Told of every call but Draw, CreateTexture and DestroyTexture, after the device's own
    // state has changed: the getters already answer the new values.
    virtual void Apply(const RenderCall& call) = 0;
    // Draws with the device's current state; count > 0 and vertices is not null.
    virtual void Submit(Primitive primitive, const RenderVertex* vertices, size_t count) = 0;
    // Makes a texture (arguments already checked); 0 when it cannot.
    virtual TextureId UploadTexture(int width, int height, const uint8_t* rgba) = 0;
    // Ends a texture UploadTexture made; the device has already unbound it.
    virtual void ReleaseTexture(TextureId texture) = 0;

private:
    struct MatrixStackEntries {
        std::array<Matrix4, kMatrixStackDepth> entries;
        int top = 0; // index of the current matrix
    };

    MatrixStackEntries& Stack(MatrixStack stack);
    const MatrixStackEntries& Stack(MatrixStack stack) const;

    RenderStates m_states;
    TextureBinding m_binding;
    MatrixStackEntries m_projection;
    MatrixStackEntries m_modelView;
    RenderViewport m_viewport;
    Colour m_clearColour{0.0f, 0.0f, 0.0f, 0.0f};
    bool m_inFrame = false;
    RenderCounters m_counters;
    uint64_t m_serial = NextSerial();

    static uint64_t NextSerial();
};

// Readable names for failure messages and dumps ("Additive", "TriangleStrip", ...).
const char* BlendModeName(BlendMode mode);
const char* DepthFunctionName(DepthFunction function);
const char* PrimitiveName(Primitive primitive);
const char* MatrixStackName(MatrixStack stack);
const char* RenderCallKindName(RenderCallKind kind);

// The device the runtime draws through; null until the renderer has made one current.
RenderDevice* rndTable();
// Makes device (not owned; null for none) current and answers the one that was.
RenderDevice* rndSetTable(RenderDevice* device);

// Makes a device current for a scope and puts the previous one back at its end.
class ScopedRenderTable {
public:
    explicit ScopedRenderTable(RenderDevice* device) : m_previous(rndSetTable(device)) {}
    ~ScopedRenderTable() { rndSetTable(m_previous); }
    ScopedRenderTable(const ScopedRenderTable&) = delete;
    ScopedRenderTable& operator=(const ScopedRenderTable&) = delete;

private:
    RenderDevice* m_previous;
};
