#pragma once

// The live OpenGL preview in the upper-left pane: the orbit camera, its mouse controller,
// the renderer and the frame statistics (all inside FXPreview), drawn through an
// FXRendererGL into this widget's GL context.
//
// Frames are drawn when the idle loop asks (Frame), not when Qt paints: the effect moves on
// even while the window is covered. Qt's own paint only shows the last frame again, or
// draws one without advancing the effect when there is none (first show, resize).

#include "host/WindowInterface.h"
#include "runtime/FXMouseController.h"
#include "runtime/FXPreview.h"
#include "runtime/FXRendererGL.h"

#include <QOpenGLWidget>
#include <QString>
#include <memory>

class RenderWindowHook;

class RenderWindow : public QOpenGLWidget, public WindowInterface {
    Q_OBJECT

public:
    // Pointer motion per pixel, in the mouse controller's units (500 pixels turn the
    // camera by 120 degrees).
    static constexpr float kMotionPerPixel = 1.0f / 500.0f;

    explicit RenderWindow(QWidget* parent);
    ~RenderWindow() override;

    // WindowInterface: the widget's context and size in device pixels; Qt shows the frame.
    bool AttachGL() override;
    int GetWidth() const override;
    int GetHeight() const override;
    void Present() override {}

    // Makes the widget's context current (with its framebuffer bound), so that GL objects
    // can be made or deleted outside painting; false before the context exists.
    bool MakeContextCurrent();
    bool IsInitialised() const { return m_initialised; }

    // Once per frame, before Frame: right button held orbits, right and left together zoom.
    void CameraInput();
    // Whether the camera is being moved (the orbit button is held).
    bool CameraMoving() const { return m_buttons.testFlag(Qt::RightButton); }
    // Advances the effects by step seconds and draws them.
    void Frame(float step);

    FXPreview& Preview() { return m_preview; }
    FXRendererGL& Renderer() { return m_renderer; }
    FXOrbitCamera& Camera() { return m_preview.Camera(); }
    // The grid's cell size for the camera distance of the last frame.
    float GridCellSize() const { return m_preview.GridCellSize(); }
    // Hooks the parent window so the wheel over it reaches this window (call once parented).
    void HookParent();
    RenderWindowHook* Hook() const { return m_hook.get(); }
    // Wheel events received; they do nothing.
    int WheelEvents() const { return m_wheelEvents; }

    bool ShowModel() const { return m_showModel; }
    void SetShowModel(bool show) { m_showModel = show; }
    // The model to draw under the effect. Nothing draws one yet, and the name is ignored.
    void SetModel(const QString& name);
    const QString& ModelName() const { return m_modelName; }

    // Frames drawn by Frame since construction.
    int FramesDrawn() const { return m_framesDrawn; }

signals:
    // A frame drawn by Frame has reached the screen (once per composed frame).
    void FramePresented();
    // A mouse button was pressed or released, or the mouse moved with one held: the
    // camera may move.
    void InputArrived();

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void DrawFrame(float step);

    FXRendererGL m_renderer;
    FXPreview m_preview;
    FXMouseController m_controller;
    std::unique_ptr<RenderWindowHook> m_hook;
    WindowInterface* m_previousWindow = nullptr; // the registration token
    bool m_registered = false;
    bool m_initialised = false;
    bool m_frameWaiting = false; // drawn by Frame, not yet shown by Qt
    bool m_frameDrawnSincePaint = false;

    bool m_holdingMouse = false;
    Qt::MouseButtons m_buttons;
    QPointF m_lastPointer;
    QPointF m_motion; // pixels since the last camera input
    float m_accumulatedTurn = 0.0f;

    bool m_showModel = true;
    QString m_modelName;
    int m_wheelEvents = 0;
    int m_framesDrawn = 0;
};
