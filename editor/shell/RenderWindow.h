#pragma once

// The live OpenGL preview in the upper-left pane: the orbit camera, its mouse controller,
// the renderer and the frame statistics (all inside FXPreview), drawn through an
// FXRendererGL into this widget's GL context.
//
// Frames are drawn when the idle loop asks (Frame), not when Qt paints: the effect moves on
// even while the window is covered. Qt's own paint only shows the last frame again, or
// draws one without advancing the effect when there is none (first show, resize).
//
// The window shows the effect over its whole area, or in panes: side by side when
// comparing (the effect before the last edits on the left, in a world of its own, as it is
// now on the right), or one pane of a fixed size, centred, when a review snapshot gives
// the size its frame was made at. Each pane is drawn at its own size into a framebuffer of
// that size and copied into place, so it shows what a view of that size alone would show.

#include "host/WindowInterface.h"
#include "runtime/FXMouseController.h"
#include "runtime/FXPreview.h"
#include "runtime/FXRendererGL.h"

#include <QOpenGLWidget>
#include <QString>
#include <memory>
#include <vector>

class QLabel;
class QOpenGLFramebufferObject;
class RenderWindowHook;
class SparvWorld;

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
    // Draws the effects again as they stand, without advancing them.
    void Redraw();
    // While held, nothing is drawn (a job draws with another context); the last frame stays.
    void SetHeld(bool held) { m_held = held; }
    bool Held() const { return m_held; }
    // Restarts the lens flares' fade-in, as a picture rebuilt from time 0 has it.
    void SetDisplayTime(float seconds) { m_preview.SetDisplayTime(seconds); }
    // Seconds of effect handed to the runtime by Frame since construction (every world
    // advances by the same).
    double SimulatedSeconds() const { return m_simulatedSeconds; }

    // Side by side: before (a world of its own, not owned) on the left, the current runtime
    // on the right, each labelled; null ends it.
    void SetCompare(SparvWorld* before, const QString& beforeLabel, const QString& nowLabel);
    bool Comparing() const { return m_before != nullptr; }
    // One pane of size pixels (device pixels), centred and scaled down to fit, labelled; an
    // empty size ends it.
    void SetFixedSize(const QSize& size, const QString& label);
    // The size in device pixels the current runtime's effect is drawn at: the window's, its
    // half when comparing, or the fixed size.
    QSize EffectViewSize() const;
    // Where in the window (device pixels, top-left origin) the panes are shown: the
    // current runtime's pane and, when comparing, the other one.
    QRect NowPaneRect() const;
    QRect BeforePaneRect() const;
    // The labels over the panes, for tests.
    QString BeforeLabel() const;
    QString NowLabel() const;

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
    struct Pane {
        SparvWorld* world; // null: the current runtime
        QRect target;      // in the window, device pixels, top-left origin
        QSize size;        // drawn at, device pixels
    };
    std::vector<Pane> Panes() const;
    void DrawFrame(float step, bool advance);
    // One pane drawn into the pane framebuffer, then copied into the window's.
    void DrawPane(const Pane& pane, float step, bool advance);
    void PlaceLabels();

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

    bool m_held = false;
    double m_simulatedSeconds = 0.0;
    SparvWorld* m_before = nullptr;
    QSize m_fixedSize;
    QSize m_paneSize; // while a pane is drawn: what GetWidth and GetHeight answer
    std::unique_ptr<QOpenGLFramebufferObject> m_paneBuffer;
    QLabel* m_beforeLabel;
    QLabel* m_nowLabel;

    bool m_showModel = true;
    QString m_modelName;
    int m_wheelEvents = 0;
    int m_framesDrawn = 0;
};
