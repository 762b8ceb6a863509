#include "host/HeadlessGLContext.h"

#include "scene/GLRenderDevice.h"

#include <cstdio>
#include <cstring>
#include <epoxy/egl.h>
#include <epoxy/gl.h>

namespace {

bool HasExtension(const char* extensions, const char* name) {
    if (!extensions)
        return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + 1, name)) {
        const bool starts = at == extensions || at[-1] == ' ';
        const bool ends = at[length] == ' ' || at[length] == '\0';
        if (starts && ends)
            return true;
    }
    return false;
}

EGLDisplay SurfacelessDisplay(std::string& reason) {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        reason = "EGL has no surfaceless platform (EGL_MESA_platform_surfaceless)";
        return EGL_NO_DISPLAY;
    }
    // EGL 1.5 has eglGetPlatformDisplay; older libraries only the extension's entry point.
    auto* getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplay"));
    if (!getPlatformDisplay)
        getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        reason = "EGL offers neither eglGetPlatformDisplay nor eglGetPlatformDisplayEXT";
        return EGL_NO_DISPLAY;
    }
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY)
        reason = "EGL has no surfaceless display";
    return display;
}

std::string ErrorText(const char* what) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string(what) + " failed (EGL error " + code + ")";
}

} // namespace

std::unique_ptr<HeadlessGLContext> HeadlessGLContext::Create(int width, int height,
                                                             std::string* reason) {
    std::unique_ptr<HeadlessGLContext> context(new HeadlessGLContext);
    std::string why;
    if (!context->Initialise(width, height, why)) {
        if (reason)
            *reason = why;
        return nullptr;
    }
    return context;
}

bool HeadlessGLContext::Initialise(int width, int height, std::string& reason) {
    if (width <= 0 || height <= 0) {
        reason = "framebuffer size " + std::to_string(width) + " x " + std::to_string(height) +
                 " is not positive";
        return false;
    }
    EGLDisplay display = SurfacelessDisplay(reason);
    if (display == EGL_NO_DISPLAY)
        return false;
    if (!eglInitialize(display, nullptr, nullptr)) {
        reason = ErrorText("eglInitialize");
        return false;
    }
    m_display = display;

    if (!HasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context")) {
        reason = "EGL cannot make a context current without a surface";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        reason = ErrorText("eglBindAPI(OpenGL)");
        return false;
    }
    // No surface kind asked for (the default asks for windows, which this platform lacks):
    // drawing goes to a framebuffer object.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1) {
        reason = "EGL has no configuration that renders with desktop OpenGL";
        return false;
    }
    // Not forward-compatible: such contexts refuse lines wider than one pixel.
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        3,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext eglContext = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (eglContext == EGL_NO_CONTEXT) {
        reason = ErrorText("eglCreateContext(OpenGL 3.3 core)");
        return false;
    }
    m_context = eglContext;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, eglContext)) {
        reason = ErrorText("eglMakeCurrent");
        return false;
    }
    if (epoxy_gl_version() < 33 || !epoxy_is_desktop_gl()) {
        reason = "the context is not desktop OpenGL 3.3 or later";
        return false;
    }

    m_width = width;
    m_height = height;
    glGenFramebuffers(1, &m_framebuffer);
    glGenRenderbuffers(1, &m_colour);
    glGenRenderbuffers(1, &m_depthStencil);
    glBindRenderbuffer(GL_RENDERBUFFER, m_colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, m_depthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              m_depthStencil);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(status));
        reason = std::string("the off-screen framebuffer is incomplete (") + code + ")";
        return false;
    }
    glViewport(0, 0, width, height);

    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    m_description = std::string(renderer ? renderer : "?") + " / " + (version ? version : "?");
    return true;
}

HeadlessGLContext::~HeadlessGLContext() {
    if (!m_display)
        return;
    EGLDisplay display = m_display;
    // Whatever context is current now stays current, unless it is this one.
    const EGLContext previous = eglGetCurrentContext();
    const EGLDisplay previousDisplay = eglGetCurrentDisplay();
    const EGLSurface previousDraw = eglGetCurrentSurface(EGL_DRAW);
    const EGLSurface previousRead = eglGetCurrentSurface(EGL_READ);
    if (m_context) {
        // The GL objects belong to this context: make it current to delete them.
        if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_context)) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDeleteFramebuffers(1, &m_framebuffer);
            glDeleteRenderbuffers(1, &m_colour);
            glDeleteRenderbuffers(1, &m_depthStencil);
        }
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, m_context);
        if (previous != EGL_NO_CONTEXT && previous != m_context)
            eglMakeCurrent(previousDisplay, previousDraw, previousRead, previous);
    }
    // The display stays initialised: EGL hands every caller the same one, and terminating
    // it unloads the driver, which then leaks what it still held and must load again for
    // the next context. EGL tears it down when the process exits.
}

bool HeadlessGLContext::MakeCurrent() {
    // Draws a device keeps waiting belong to the context current until now.
    if (eglGetCurrentContext() != EGL_NO_CONTEXT)
        GLRenderDevice::FlushAll();
    if (!eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_context))
        return false;
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    return true;
}

void HeadlessGLContext::Finish() const {
    GLRenderDevice::FlushAll();
    glFinish();
}

std::vector<uint8_t> HeadlessGLContext::ReadPixels() const {
    GLRenderDevice::FlushAll();
    const size_t rowBytes = static_cast<size_t>(m_width) * 4;
    std::vector<uint8_t> bottomFirst(rowBytes * static_cast<size_t>(m_height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, bottomFirst.data());
    std::vector<uint8_t> topFirst(bottomFirst.size());
    for (int row = 0; row < m_height; ++row)
        std::memcpy(&topFirst[static_cast<size_t>(row) * rowBytes],
                    &bottomFirst[static_cast<size_t>(m_height - 1 - row) * rowBytes], rowBytes);
    return topFirst;
}
