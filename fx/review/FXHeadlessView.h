#pragma once

// The editor's preview without a window: an off-screen OpenGL context, the GL renderer
// and FXPreview, drawing the live FX runtime as the preview does, and its pictures read
// back (opaque, or with a transparent background and straight alpha). sparv-fx render,
// the animation export, the flip-book baker and snapshot renders draw through it; the
// editor can too, for pictures that do not depend on its window.
//
// The FX runtime (FXManager) must be started by the caller and outlive the view. While a
// view exists its render device is the runtime's render table and its context is current;
// both are handed back when it is destroyed (a window toolkit makes its own context
// current again before it paints).

#include "review/FXReviewScene.h"
#include "scene/Image.h"

#include <memory>
#include <string>

class FXPreview;
class FXRendererGL;
class GLRenderDevice;
class HeadlessGLContext;
class HeadlessWindow;

class FXHeadlessView {
public:
    // A view of width x height pixels (1 to 8192 each). Null, with a reason, when the
    // machine has no headless OpenGL or the size is out of range.
    static std::unique_ptr<FXHeadlessView> Create(int width, int height, std::string* reason);
    ~FXHeadlessView();
    FXHeadlessView(const FXHeadlessView&) = delete;
    FXHeadlessView& operator=(const FXHeadlessView&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // The view part of a scene: camera, background and grids, for the frames that follow.
    void SetScene(const FXReviewScene& scene);
    // Pictures with a transparent background (a clear alpha of 0, coverage alpha, straight
    // alpha read back) or opaque ones (the default).
    void SetTransparent(bool transparent);
    bool Transparent() const { return m_transparent; }

    // Starts the effect from time 0: destroys every live instance, seeds the random
    // generator, sets gravity and wind, and creates a top-level instance of typeName with
    // the scene's placement; then applies the scene's view. An empty name or "-" starts
    // nothing (the scene alone). False, with a reason, when no instance can be created.
    bool Start(const std::string& typeName, const FXReviewScene& scene, std::string* reason);
    // Advances the effects by seconds (>= 0) in equal steps of at most kFXReviewMaxStep,
    // drawing a frame at each; 0 draws one frame without advancing.
    void Advance(double seconds);
    // Seconds advanced since Start.
    double Time() const { return m_time; }

    // The last frame drawn, top row first: alpha 255, or straight alpha when transparent.
    Image Picture();

    // The matrices of the last frame: a point p reaches clip space as p x view x
    // projection.
    const Matrix4& ViewMatrix() const;
    const Matrix4& ProjectionMatrix() const;
    FXPreview& Preview() { return *m_preview; }

private:
    FXHeadlessView() = default;

    std::unique_ptr<HeadlessGLContext> m_context;
    std::unique_ptr<HeadlessWindow> m_window;
    std::unique_ptr<FXRendererGL> m_renderer;
    std::unique_ptr<FXPreview> m_preview;
    GLRenderDevice* m_device = nullptr; // owned by the renderer
    int m_width = 0;
    int m_height = 0;
    Colour m_background{0.25f, 0.25f, 0.25f, 1.0f};
    bool m_transparent = false;
    double m_time = 0.0;
};
