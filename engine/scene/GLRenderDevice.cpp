#include "scene/GLRenderDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <epoxy/gl.h>

namespace {

// The most vertices joined into one draw: enough for hundreds of batches, few enough that
// the vertex ring stays a few megabytes.
constexpr size_t kMostMergedVertices = 65536;

// Primitives whose submissions, put end to end, draw the same as drawn one by one.
bool Mergeable(Primitive primitive) {
    return primitive == Primitive::Triangles || primitive == Primitive::Points;
}

// The drawing state a submission is drawn with, less the current colour (draws take each
// vertex's colour).
bool SameDrawingState(const RenderStates& a, const RenderStates& b) {
    RenderStates first = a;
    first.colour = b.colour;
    return first == b;
}

std::vector<GLRenderDevice*>& LiveDevices() {
    static std::vector<GLRenderDevice*> devices;
    return devices;
}

// Vertex buffer storage made at creation: over a hundred 64-quad draws between orphanings.
constexpr size_t kInitialVertexBytes = size_t{1} << 20;
constexpr size_t kInitialQuads = 1024;

// A vertex of an expanded wide line: its position is already in clip space.
struct ClipVertex {
    float x, y, z, w;
    Colour colour;
    float u, v;
};
static_assert(sizeof(ClipVertex) == 40);

// Clip-space w below which a line end counts as behind the eye: segments are cut there so
// the screen-space expansion never divides by zero or a negative w.
constexpr float kNearW = 1e-5f;

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 a_position;
layout(location = 1) in vec4 a_colour;
layout(location = 2) in vec2 a_uv;
// modelview x projection for row vectors, uploaded untransposed: GL reads it as its
// transpose, so the column-vector product below is the row-vector p x M.
uniform mat4 u_transform;
uniform float u_pointSize;
out vec4 v_colour;
out vec2 v_uv;
void main() {
    gl_Position = u_transform * a_position;
    gl_PointSize = u_pointSize;
    v_colour = a_colour;
    v_uv = a_uv;
}
)";

const char* const kFragmentShader = R"(#version 330 core
uniform sampler2D u_texture;
uniform bool u_texturing;
uniform bool u_alphaTest;
in vec4 v_colour;
in vec2 v_uv;
out vec4 o_colour;
void main() {
    vec4 colour = v_colour;
    if (u_texturing)
        colour *= texture(u_texture, v_uv);
    if (u_alphaTest && colour.a <= 0.0)
        discard;
    o_colour = colour;
}
)";

// The GL switch each render state stands for; 0 for states core GL has no switch for.
constexpr GLenum CapabilityOf(RenderState state) {
    switch (state) {
    case RenderState::DepthTest:
        return GL_DEPTH_TEST;
    case RenderState::FaceCulling:
        return GL_CULL_FACE;
    case RenderState::Blending:
        return GL_BLEND;
    case RenderState::LineSmoothing:
        return GL_LINE_SMOOTH;
    case RenderState::Lighting:  // no lighting in core GL
    case RenderState::Fog:       // no fog in core GL
    case RenderState::Texturing: // a shader switch
    case RenderState::AlphaTest: // a shader switch
        break;
    }
    return 0;
}

constexpr GLenum BlendFactorOf(BlendFactor factor) {
    switch (factor) {
    case BlendFactor::Zero:
        return GL_ZERO;
    case BlendFactor::One:
        return GL_ONE;
    case BlendFactor::SourceAlpha:
        return GL_SRC_ALPHA;
    case BlendFactor::OneMinusSourceAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::DestinationColour:
        return GL_DST_COLOR;
    }
    return GL_ONE;
}

constexpr GLenum DepthFunctionOf(DepthFunction function) {
    switch (function) {
    case DepthFunction::Never:
        return GL_NEVER;
    case DepthFunction::Less:
        return GL_LESS;
    case DepthFunction::Equal:
        return GL_EQUAL;
    case DepthFunction::LessEqual:
        return GL_LEQUAL;
    case DepthFunction::Greater:
        return GL_GREATER;
    case DepthFunction::NotEqual:
        return GL_NOTEQUAL;
    case DepthFunction::GreaterEqual:
        return GL_GEQUAL;
    case DepthFunction::Always:
        return GL_ALWAYS;
    }
    return GL_LESS;
}

constexpr GLenum ModeOf(Primitive primitive) {
    switch (primitive) {
    case Primitive::Triangles:
    case Primitive::Quads:
        break;
    case Primitive::TriangleStrip:
        return GL_TRIANGLE_STRIP;
    case Primitive::Lines:
        return GL_LINES;
    case Primitive::LineStrip:
        return GL_LINE_STRIP;
    case Primitive::Points:
        return GL_POINTS;
    }
    return GL_TRIANGLES;
}

void DrainErrors() {
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

GLuint CompileShader(GLenum kind, const char* source, std::string& reason) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE)
        return shader;
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    reason = std::string(kind == GL_VERTEX_SHADER ? "vertex" : "fragment") +
             " shader does not compile: " + log;
    glDeleteShader(shader);
    return 0;
}

const void* ByteOffset(size_t bytes) {
    return reinterpret_cast<const void*>(bytes);
}

void SetVertexLayout(GLsizei stride, GLint positionSize, size_t colourOffset, size_t uvOffset) {
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, positionSize, GL_FLOAT, GL_FALSE, stride, ByteOffset(0));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, stride, ByteOffset(colourOffset));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, ByteOffset(uvOffset));
}

struct ClipPoint {
    float x, y, z, w;
};

ClipPoint ToClip(const Vector3& p, const Matrix4& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2],
            p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3]};
}

// A line end on its way to becoming two corners of a quad.
struct LineEnd {
    ClipPoint clip;
    Colour colour;
    float u, v;
};

float Mix(float a, float b, float t) {
    return a + (b - a) * t;
}

LineEnd MixEnds(const LineEnd& a, const LineEnd& b, float t) {
    return {{Mix(a.clip.x, b.clip.x, t), Mix(a.clip.y, b.clip.y, t), Mix(a.clip.z, b.clip.z, t),
             Mix(a.clip.w, b.clip.w, t)},
            {Mix(a.colour.r, b.colour.r, t), Mix(a.colour.g, b.colour.g, t),
             Mix(a.colour.b, b.colour.b, t), Mix(a.colour.a, b.colour.a, t)},
            Mix(a.u, b.u, t),
            Mix(a.v, b.v, t)};
}

} // namespace

std::unique_ptr<GLRenderDevice> GLRenderDevice::Create(const GLRenderDeviceOptions& options,
                                                       std::string* reason) {
    std::unique_ptr<GLRenderDevice> device(new GLRenderDevice(options));
    std::string why;
    if (!device->Initialise(why)) {
        if (reason)
            *reason = why;
        return nullptr;
    }
    return device;
}

GLRenderDevice::GLRenderDevice(const GLRenderDeviceOptions& options) : m_options(options) {
    LiveDevices().push_back(this);
}

bool GLRenderDevice::Initialise(std::string& reason) {
    if (!epoxy_is_desktop_gl() || epoxy_gl_version() < 33) {
        reason = "no OpenGL context is current, or it is not desktop OpenGL 3.3 or later";
        return false;
    }
    DrainErrors();

    const GLuint vertexShader = CompileShader(GL_VERTEX_SHADER, kVertexShader, reason);
    if (!vertexShader)
        return false;
    const GLuint fragmentShader = CompileShader(GL_FRAGMENT_SHADER, kFragmentShader, reason);
    if (!fragmentShader) {
        glDeleteShader(vertexShader);
        return false;
    }
    m_program = glCreateProgram();
    glAttachShader(m_program, vertexShader);
    glAttachShader(m_program, fragmentShader);
    glLinkProgram(m_program);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    GLint linked = GL_FALSE;
    glGetProgramiv(m_program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[1024] = {};
        glGetProgramInfoLog(m_program, sizeof log, nullptr, log);
        reason = std::string("shader program does not link: ") + log;
        return false;
    }
    m_transformLocation = glGetUniformLocation(m_program, "u_transform");
    m_pointSizeLocation = glGetUniformLocation(m_program, "u_pointSize");
    m_texturingLocation = glGetUniformLocation(m_program, "u_texturing");
    m_alphaTestLocation = glGetUniformLocation(m_program, "u_alphaTest");
    glUseProgram(m_program);
    glUniform1i(glGetUniformLocation(m_program, "u_texture"), 0);

    glGenBuffers(1, &m_vertexBuffer);
    glGenBuffers(1, &m_indexBuffer);
    glGenVertexArrays(1, &m_vertexArray);
    glGenVertexArrays(1, &m_clipVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glBindVertexArray(m_clipVertexArray);
    SetVertexLayout(sizeof(ClipVertex), 4, offsetof(ClipVertex, colour), offsetof(ClipVertex, u));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
    glBindVertexArray(m_vertexArray);
    // Three floats of position: the shader's w is then 1.
    SetVertexLayout(sizeof(RenderVertex), 3, offsetof(RenderVertex, colour),
                    offsetof(RenderVertex, u));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);

    m_vertexCapacity = kInitialVertexBytes;
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_vertexCapacity), nullptr,
                 GL_STREAM_DRAW);
    ++m_bufferAllocations;
    ReserveQuadIndices(kInitialQuads);

    glGenSamplers(2, m_samplers);
    for (TextureWrap wrap : {TextureWrap::Repeat, TextureWrap::Clamp}) {
        const GLuint sampler = m_samplers[static_cast<size_t>(wrap)];
        const GLint mode = wrap == TextureWrap::Repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, mode);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, mode);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }

    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &m_maxTextureSize);

    // Wide lines: a forward-compatible context refuses them outright, others report their
    // range; a driver that reports wide lines but refuses the call is believed on the call.
    if (!m_options.expandWideLines) {
        GLint flags = 0;
        glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
        GLfloat aliased[2] = {1.0f, 1.0f};
        GLfloat smooth[2] = {1.0f, 1.0f};
        glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, aliased);
        glGetFloatv(GL_SMOOTH_LINE_WIDTH_RANGE, smooth);
        DrainErrors();
        if ((flags & GL_CONTEXT_FLAG_FORWARD_COMPATIBLE_BIT) == 0 && aliased[1] > 1.0f) {
            glLineWidth(std::min(aliased[1], 2.0f));
            if (glGetError() == GL_NO_ERROR) {
                m_aliasedLineLimit = aliased[1];
                m_smoothLineLimit = std::max(smooth[1], 1.0f);
            }
            glLineWidth(1.0f);
        }
    }

    if (glGetError() != GL_NO_ERROR) {
        reason = "the context refused the device's set-up";
        return false;
    }
    RestoreContextState();
    return true;
}

GLRenderDevice::~GLRenderDevice() {
    Flush();
    for (void* fence : m_halfFences)
        if (fence)
            glDeleteSync(static_cast<GLsync>(fence));
    std::erase(LiveDevices(), this);
    for (TextureId texture : m_textures)
        glDeleteTextures(1, &texture);
    if (m_samplers[0])
        glDeleteSamplers(2, m_samplers);
    if (m_vertexArray)
        glDeleteVertexArrays(1, &m_vertexArray);
    if (m_clipVertexArray)
        glDeleteVertexArrays(1, &m_clipVertexArray);
    if (m_vertexBuffer)
        glDeleteBuffers(1, &m_vertexBuffer);
    if (m_indexBuffer)
        glDeleteBuffers(1, &m_indexBuffer);
    if (m_program)
        glDeleteProgram(m_program);
}

void GLRenderDevice::RestoreContextState() {
    Flush();
    glUseProgram(m_program);
    glBindVertexArray(m_vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glActiveTexture(GL_TEXTURE0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Switches the device never changes, set as it draws with them.
    glEnable(GL_PROGRAM_POINT_SIZE);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_FRAMEBUFFER_SRGB);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glClearDepth(1.0);
    glClearStencil(0);

    const RenderStates& states = GetStates();
    for (RenderState state : kRenderStates)
        ApplyEnabled(state, states.IsEnabled(state));
    ApplyBlendMode(states.blendMode);
    glDepthMask(states.depthWrite ? GL_TRUE : GL_FALSE);
    glDepthFunc(DepthFunctionOf(states.depthFunction));
    ApplyPolygonOffset(states.polygonOffsetFactor, states.polygonOffsetUnits);
    ApplyLineWidth();
    glUniform1f(m_pointSizeLocation, std::max(states.pointSize, 1.0f));
    ApplyTexture();
    const RenderViewport& viewport = GetViewport();
    glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
    const Colour& clear = GetClearColour();
    glClearColor(clear.r, clear.g, clear.b, clear.a);
    m_transformDirty = true;
}

float GLRenderDevice::NativeLineWidthLimit() const {
    return IsEnabled(RenderState::LineSmoothing) ? m_smoothLineLimit : m_aliasedLineLimit;
}

void GLRenderDevice::Apply(const RenderCall& call) {
    // Submissions waiting to be joined are drawn before anything that could change how they
    // look; calls that leave the drawing state as it was (a texture bound again, the same
    // blending) let them wait.
    if (m_pendingCount > 0) {
        const bool keepsState =
            (call.kind == RenderCallKind::SetColour || call.kind == RenderCallKind::PushMatrix ||
             call.kind == RenderCallKind::SetClearColour ||
             call.kind == RenderCallKind::SetEnabled || call.kind == RenderCallKind::SetBlendMode ||
             call.kind == RenderCallKind::SetDepthWrite ||
             call.kind == RenderCallKind::SetDepthFunction ||
             call.kind == RenderCallKind::SetPolygonOffset ||
             call.kind == RenderCallKind::SetLineWidth ||
             call.kind == RenderCallKind::SetPointSize ||
             call.kind == RenderCallKind::BindTexture) &&
            SameDrawingState(GetStates(), m_pendingStates) && GetBoundTexture() == m_pendingBinding;
        if (!keepsState)
            Flush();
    }
    switch (call.kind) {
    case RenderCallKind::SetEnabled:
        ApplyEnabled(call.state, call.on);
        if (call.state == RenderState::LineSmoothing)
            ApplyLineWidth(); // the native limit depends on smoothing
        break;
    case RenderCallKind::SetBlendMode:
        ApplyBlendMode(call.blendMode);
        break;
    case RenderCallKind::SetDepthWrite:
        glDepthMask(call.on ? GL_TRUE : GL_FALSE);
        break;
    case RenderCallKind::SetDepthFunction:
        glDepthFunc(DepthFunctionOf(call.depthFunction));
        break;
    case RenderCallKind::SetPolygonOffset:
        ApplyPolygonOffset(call.factor, call.units);
        break;
    case RenderCallKind::SetLineWidth:
        ApplyLineWidth();
        break;
    case RenderCallKind::SetPointSize:
        glUniform1f(m_pointSizeLocation, std::max(call.pixels, 1.0f));
        break;
    case RenderCallKind::SetColour: // draws take each vertex's colour
        break;
    case RenderCallKind::BindTexture:
        ApplyTexture();
        break;
    case RenderCallKind::LoadMatrix:
    case RenderCallKind::MultiplyMatrix:
    case RenderCallKind::PopMatrix:
        m_transformDirty = true;
        break;
    case RenderCallKind::PushMatrix: // the current matrix is unchanged
        break;
    case RenderCallKind::SetViewport:
        glViewport(call.viewport.x, call.viewport.y, call.viewport.width, call.viewport.height);
        break;
    case RenderCallKind::SetClearColour:
        glClearColor(call.colour.r, call.colour.g, call.colour.b, call.colour.a);
        break;
    case RenderCallKind::Clear:
        ApplyClear(call.clearMask);
        break;
    case RenderCallKind::BeginFrame:
        RestoreContextState();
        break;
    case RenderCallKind::EndFrame:
        if (m_options.present)
            m_options.present();
        else
            glFlush();
        break;
    case RenderCallKind::Draw:
        break;
    }
}

void GLRenderDevice::ApplyEnabled(RenderState state, bool on) {
    if (const GLenum capability = CapabilityOf(state)) {
        if (on)
            glEnable(capability);
        else
            glDisable(capability);
    } else if (state == RenderState::Texturing) {
        UpdateTexturingSwitch();
    } else if (state == RenderState::AlphaTest) {
        glUniform1i(m_alphaTestLocation, on ? 1 : 0);
    }
}

void GLRenderDevice::ApplyBlendMode(BlendMode mode) {
    const BlendFactors factors = BlendFactorsOf(mode);
    const GLenum source = BlendFactorOf(factors.source);
    const GLenum destination = BlendFactorOf(factors.destination);
    if (!m_options.coverageAlpha) {
        glBlendFunc(source, destination);
        return;
    }
    // Coverage: a draw that replaces or alpha-blends the picture hides the background by
    // its alpha (a + d x (1 - a)); added and multiplied light keep what was there.
    const bool covers = mode == BlendMode::None || mode == BlendMode::Alpha;
    glBlendFuncSeparate(source, destination, covers ? GL_ONE : GL_ZERO,
                        covers ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE);
}

void GLRenderDevice::SetCoverageAlpha(bool on) {
    m_options.coverageAlpha = on;
    ApplyBlendMode(GetStates().blendMode);
}

void GLRenderDevice::ApplyPolygonOffset(float factor, float units) {
    if (factor == 0.0f && units == 0.0f) {
        glDisable(GL_POLYGON_OFFSET_FILL);
        return;
    }
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(factor, units);
}

void GLRenderDevice::ApplyLineWidth() {
    // Lines too wide for the driver are drawn as quads, and leave the native width alone.
    const float width = GetStates().lineWidth;
    glLineWidth(std::clamp(width, 1.0f, NativeLineWidthLimit()));
}

void GLRenderDevice::ApplyTexture() {
    const TextureBinding binding = GetBoundTexture();
    glBindTexture(GL_TEXTURE_2D, binding.texture);
    glBindSampler(0, m_samplers[static_cast<size_t>(binding.wrap)]);
    UpdateTexturingSwitch();
}

void GLRenderDevice::UpdateTexturingSwitch() {
    const bool texturing = IsEnabled(RenderState::Texturing) && GetBoundTexture().texture != 0;
    glUniform1i(m_texturingLocation, texturing ? 1 : 0);
}

void GLRenderDevice::ApplyClear(uint32_t mask) {
    GLbitfield bits = 0;
    if (mask & kClearColour)
        bits |= GL_COLOR_BUFFER_BIT;
    if (mask & kClearDepth)
        bits |= GL_DEPTH_BUFFER_BIT;
    if (mask & kClearStencil)
        bits |= GL_STENCIL_BUFFER_BIT;
    if (bits == 0)
        return;
    // GL clears depth only where depth writes are on; the device clears it regardless.
    const bool forceDepthWrite = (mask & kClearDepth) && !GetStates().depthWrite;
    if (forceDepthWrite)
        glDepthMask(GL_TRUE);
    glClear(bits);
    if (forceDepthWrite)
        glDepthMask(GL_FALSE);
}

void GLRenderDevice::UploadTransform() {
    const Matrix4 transform =
        GetMatrix(MatrixStack::ModelView) * GetMatrix(MatrixStack::Projection);
    glUniformMatrix4fv(m_transformLocation, 1, GL_FALSE, &transform.m[0][0]);
    m_transformDirty = false;
}

void* GLRenderDevice::MapVertices(size_t bytes, size_t stride, int32_t& first) {
    // Draws name their first vertex by index: every range starts at a multiple of its
    // stride, and the halves are not whole vertices long.
    const auto aligned = [stride](size_t at) { return (at + stride - 1) / stride * stride; };
    size_t offset = aligned(m_vertexWrite);
    if (bytes + stride > HalfCapacity()) {
        // Bigger than any draw before: new storage, twice as big as needed.
        Flush();
        m_vertexCapacity = std::max(m_vertexCapacity * 2, (bytes + stride) * 2);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_vertexCapacity), nullptr,
                     GL_STREAM_DRAW);
        ++m_bufferAllocations;
        for (void*& fence : m_halfFences) {
            if (fence)
                glDeleteSync(static_cast<GLsync>(fence));
            fence = nullptr;
        }
        m_currentHalf = 0;
        offset = 0;
    } else if (offset + bytes > (m_currentHalf + 1) * HalfCapacity()) {
        // Into the other half of the ring (or back to the front): the draws that read the
        // half being left are fenced, and the half entered is written once the draws that
        // read it a round ago are done. Reusing the storage, rather than orphaning it,
        // spares the driver new memory (and its page faults) on every round.
        Flush();
        const size_t leaving = m_currentHalf;
        const size_t entering = 1 - leaving;
        if (m_halfFences[leaving])
            glDeleteSync(static_cast<GLsync>(m_halfFences[leaving]));
        m_halfFences[leaving] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        if (void* fence = m_halfFences[entering]) {
            glClientWaitSync(static_cast<GLsync>(fence), GL_SYNC_FLUSH_COMMANDS_BIT,
                             GL_TIMEOUT_IGNORED);
            glDeleteSync(static_cast<GLsync>(fence));
            m_halfFences[entering] = nullptr;
        }
        m_currentHalf = entering;
        offset = aligned(entering * HalfCapacity());
        if (entering == 0)
            ++m_bufferOrphans;
    }
    m_vertexWrite = offset + bytes;
    first = static_cast<int32_t>(offset / stride);
    // Unsynchronised: no draw in flight reads the range (see above), so the driver need not
    // wait.
    return glMapBufferRange(
        GL_ARRAY_BUFFER, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes),
        GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT | GL_MAP_UNSYNCHRONIZED_BIT);
}

void GLRenderDevice::ReserveQuadIndices(size_t quads) {
    if (quads <= m_quadCapacity)
        return;
    const size_t capacity = std::max(m_quadCapacity * 2, quads);
    // Written once per growth, never per draw. The element buffer binding belongs to the
    // vertex array object bound now, which references the same buffer as the other one.
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity * 6 * sizeof(GLuint)),
                 nullptr, GL_STATIC_DRAW);
    auto* indices = static_cast<GLuint*>(glMapBufferRange(
        GL_ELEMENT_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(capacity * 6 * sizeof(GLuint)),
        GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
    ++m_bufferAllocations;
    if (!indices) {
        m_quadCapacity = 0;
        return;
    }
    for (size_t quad = 0; quad < capacity; ++quad)
        for (size_t corner = 0; corner < 6; ++corner) {
            const GLuint index =
                static_cast<GLuint>(quad * 4 + static_cast<size_t>(kQuadTriangleCorners[corner]));
            std::memcpy(&indices[quad * 6 + corner], &index, sizeof index);
        }
    glUnmapBuffer(GL_ELEMENT_ARRAY_BUFFER);
    m_quadCapacity = capacity;
}

bool GLRenderDevice::UploadVertices(const RenderVertex* vertices, size_t count, int32_t& first) {
    const size_t bytes = count * sizeof(RenderVertex);
    void* mapped = MapVertices(bytes, sizeof(RenderVertex), first);
    if (!mapped)
        return false;
    std::memcpy(mapped, vertices, bytes);
    glUnmapBuffer(GL_ARRAY_BUFFER);
    return true;
}

bool GLRenderDevice::DrawsLinesAsQuads() const {
    return GetStates().lineWidth > NativeLineWidthLimit();
}

void GLRenderDevice::FlushAll() {
    for (GLRenderDevice* device : LiveDevices())
        device->Flush();
}

void GLRenderDevice::Submit(Primitive primitive, const RenderVertex* vertices, size_t count) {
    const size_t bytes = count * sizeof(RenderVertex);
    // A submission with the state of the one before joins it when its vertices can follow
    // that one's in the vertex ring: the draw is made when the state changes, or anything
    // else happens on the device.
    if (m_pendingCount > 0 && primitive == m_pendingPrimitive &&
        SameDrawingState(GetStates(), m_pendingStates) && GetBoundTexture() == m_pendingBinding &&
        FollowsInRing(bytes)) {
        int32_t first = 0;
        if (UploadVertices(vertices, count, first))
            m_pendingCount += count;
        return;
    }
    Flush();
    if (Mergeable(primitive) && !m_transformDirty) {
        int32_t first = 0;
        if (!UploadVertices(vertices, count, first))
            return;
        m_pendingPrimitive = primitive;
        m_pendingStates = GetStates();
        m_pendingBinding = GetBoundTexture();
        m_pendingFirst = first;
        m_pendingCount = count;
        return;
    }
    DrawNow(primitive, vertices, count);
}

void GLRenderDevice::Flush() {
    if (m_pendingCount == 0)
        return;
    glDrawArrays(ModeOf(m_pendingPrimitive), m_pendingFirst, static_cast<GLsizei>(m_pendingCount));
    m_pendingCount = 0;
    ++m_mergedDraws;
}

bool GLRenderDevice::FollowsInRing(size_t bytes) const {
    // Vertices of one stride, so the next ones start right where the last ones ended.
    const size_t end = static_cast<size_t>(m_pendingFirst) * sizeof(RenderVertex) +
                       m_pendingCount * sizeof(RenderVertex);
    return end == m_vertexWrite &&
           m_pendingCount + bytes / sizeof(RenderVertex) <= kMostMergedVertices &&
           m_vertexWrite + bytes <= (m_currentHalf + 1) * HalfCapacity();
}

void GLRenderDevice::DrawNow(Primitive primitive, const RenderVertex* vertices, size_t count) {
    if (m_transformDirty)
        UploadTransform();
    if (primitive == Primitive::Quads) {
        DrawQuads(vertices, count / 4);
        return;
    }
    if ((primitive == Primitive::Lines || primitive == Primitive::LineStrip) &&
        DrawsLinesAsQuads()) {
        DrawWideLines(primitive, vertices, count);
        return;
    }
    int32_t first = 0;
    if (UploadVertices(vertices, count, first))
        glDrawArrays(ModeOf(primitive), first, static_cast<GLsizei>(count));
}

void GLRenderDevice::DrawQuads(const RenderVertex* vertices, size_t quads) {
    if (quads == 0)
        return;
    ReserveQuadIndices(quads);
    if (quads > m_quadCapacity)
        return;
    int32_t first = 0;
    if (!UploadVertices(vertices, quads * 4, first))
        return;
    glDrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(quads * 6), GL_UNSIGNED_INT,
                             nullptr, first);
}

void GLRenderDevice::DrawWideLines(Primitive primitive, const RenderVertex* vertices,
                                   size_t count) {
    const bool strip = primitive == Primitive::LineStrip;
    const size_t segments = PrimitiveCount(primitive, count);
    if (segments == 0)
        return;
    const RenderViewport& viewport = GetViewport();
    if (viewport.width <= 0 || viewport.height <= 0)
        return;
    ReserveQuadIndices(segments);
    if (segments > m_quadCapacity)
        return;

    const Matrix4 transform =
        GetMatrix(MatrixStack::ModelView) * GetMatrix(MatrixStack::Projection);
    const float halfWidth = GetStates().lineWidth * 0.5f;
    // Pixels per unit of normalised device coordinates, across and up.
    const float pixelsX = static_cast<float>(viewport.width) * 0.5f;
    const float pixelsY = static_cast<float>(viewport.height) * 0.5f;

    int32_t first = 0;
    auto* mapped = static_cast<unsigned char*>(
        MapVertices(segments * 4 * sizeof(ClipVertex), sizeof(ClipVertex), first));
    if (!mapped)
        return;
    unsigned char* cursor = mapped;
    size_t written = 0; // quads
    auto end = [&](size_t index) {
        const RenderVertex& vertex = vertices[index];
        return LineEnd{ToClip(vertex.position, transform), vertex.colour, vertex.u, vertex.v};
    };
    auto corner = [&](const LineEnd& at, float offsetX, float offsetY) {
        // The offset is in normalised device coordinates: scaled by w it stays that wide
        // after the perspective divide.
        const ClipVertex vertex{at.clip.x + offsetX * at.clip.w,
                                at.clip.y + offsetY * at.clip.w,
                                at.clip.z,
                                at.clip.w,
                                at.colour,
                                at.u,
                                at.v};
        std::memcpy(cursor, &vertex, sizeof vertex);
        cursor += sizeof vertex;
    };
    for (size_t segment = 0; segment < segments; ++segment) {
        const size_t from = strip ? segment : segment * 2;
        LineEnd a = end(from);
        LineEnd b = end(from + 1);
        // Cut the segment where it passes behind the eye.
        if (a.clip.w < kNearW && b.clip.w < kNearW)
            continue;
        if (a.clip.w < kNearW)
            a = MixEnds(a, b, (kNearW - a.clip.w) / (b.clip.w - a.clip.w));
        else if (b.clip.w < kNearW)
            b = MixEnds(b, a, (kNearW - b.clip.w) / (a.clip.w - b.clip.w));
        const float dx = (b.clip.x / b.clip.w - a.clip.x / a.clip.w) * pixelsX;
        const float dy = (b.clip.y / b.clip.w - a.clip.y / a.clip.w) * pixelsY;
        const float length = std::sqrt(dx * dx + dy * dy);
        if (!(length > 1e-6f))
            continue; // a line of no length draws nothing, as in GL
        // The left-hand normal, half the width long, in device coordinates. Corners go
        // right side forward, left side back: counter-clockwise on screen, so culling
        // never removes a line.
        const float normalX = -dy / length * halfWidth / pixelsX;
        const float normalY = dx / length * halfWidth / pixelsY;
        corner(a, -normalX, -normalY);
        corner(b, -normalX, -normalY);
        corner(b, normalX, normalY);
        corner(a, normalX, normalY);
        ++written;
    }
    glUnmapBuffer(GL_ARRAY_BUFFER);
    if (written == 0)
        return;

    // Lines take no polygon offset; their quads must not either.
    const RenderStates& states = GetStates();
    const bool offset = states.polygonOffsetFactor != 0.0f || states.polygonOffsetUnits != 0.0f;
    if (offset)
        glDisable(GL_POLYGON_OFFSET_FILL);
    static const Matrix4 kIdentity;
    glUniformMatrix4fv(m_transformLocation, 1, GL_FALSE, &kIdentity.m[0][0]);
    m_transformDirty = true;
    glBindVertexArray(m_clipVertexArray);
    glDrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(written * 6), GL_UNSIGNED_INT,
                             nullptr, first);
    glBindVertexArray(m_vertexArray);
    if (offset)
        glEnable(GL_POLYGON_OFFSET_FILL);
}

TextureId GLRenderDevice::UploadTexture(int width, int height, const uint8_t* rgba) {
    Flush();
    if (width > m_maxTextureSize || height > m_maxTextureSize)
        return 0;
    DrainErrors();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    if (texture == 0)
        return 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    // Rows bottom first, as GL stores them.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    const bool failed = glGetError() != GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, GetBoundTexture().texture);
    if (failed) {
        glDeleteTextures(1, &texture);
        return 0;
    }
    m_textures.insert(texture);
    return texture;
}

void GLRenderDevice::ReleaseTexture(TextureId texture) {
    Flush();
    if (m_textures.erase(texture) == 0)
        return;
    glDeleteTextures(1, &texture);
    // The device has unbound it without a call: texturing may have just turned off.
    UpdateTexturingSwitch();
}
