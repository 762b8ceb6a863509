#pragma once

// An OpenGL context with no window: EGL on Mesa's surfaceless platform, drawing into an
// off-screen framebuffer of a fixed size. Tests, benchmarks and sparv-fx render through it
// with the same GL back end the editor uses on screen.
//
// Single-threaded: the context is current on the thread that created it (or last called
// MakeCurrent). Contexts may coexist; they share one EGL display, kept open until the
// process ends.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class HeadlessGLContext {
public:
    // A GL 3.3 (or later) core context with a width × height framebuffer (RGBA8 colour,
    // 24-bit depth, 8-bit stencil), current and bound when it returns. Null when the
    // machine has no surfaceless EGL, no GL 3.3 core or the size is not positive; reason
    // (when given) then says why.
    static std::unique_ptr<HeadlessGLContext> Create(int width, int height,
                                                     std::string* reason = nullptr);
    ~HeadlessGLContext();
    HeadlessGLContext(const HeadlessGLContext&) = delete;
    HeadlessGLContext& operator=(const HeadlessGLContext&) = delete;

    // Makes the context current on this thread and binds its framebuffer; false when EGL
    // refuses.
    bool MakeCurrent();
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The driver's name and GL version, such as "llvmpipe (LLVM 15.0.6, 256 bits) / 4.5
    // (Core Profile) Mesa 22.3.6": for logs.
    const std::string& Description() const { return m_description; }

    // Waits until everything drawn so far is in the framebuffer: for timing.
    void Finish() const;

    // The framebuffer's pixels, width × height RGBA bytes, the top row first (as image files
    // keep them). Waits for drawing to finish. The context must be current.
    std::vector<uint8_t> ReadPixels() const;

private:
    HeadlessGLContext() = default;
    bool Initialise(int width, int height, std::string& reason);

    void* m_display = nullptr; // EGLDisplay
    void* m_context = nullptr; // EGLContext
    uint32_t m_framebuffer = 0;
    uint32_t m_colour = 0; // renderbuffers
    uint32_t m_depthStencil = 0;
    int m_width = 0;
    int m_height = 0;
    std::string m_description;
};
