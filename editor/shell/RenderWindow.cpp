#include "shell/RenderWindow.h"

#include "diag/Diag.h"
#include "runtime/FXManager.h"
#include "scene/GLRenderDevice.h"
#include "shell/RenderWindowHook.h"

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QWheelEvent>
#include <string>

namespace {

std::unique_ptr<RenderDevice> MakeGLDevice() {
    // Qt composes the window and swaps its buffers: the device only draws into the
    // widget's framebuffer.
    std::string reason;
    std::unique_ptr<GLRenderDevice> device = GLRenderDevice::Create({}, &reason);
    if (!device)
        dbTracefAux("RenderWindow: no OpenGL device: %s", reason.c_str());
    return device;
}

} // namespace

RenderWindow::RenderWindow(QWidget* parent)
    : QOpenGLWidget(parent), m_renderer(MakeGLDevice), m_preview(m_renderer) {
    setObjectName(QStringLiteral("RenderWindow"));
    // Frames are drawn outside paintGL; Qt must keep them until it shows them.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(0, 0);
    connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
        if (m_frameDrawnSincePaint) {
            m_frameDrawnSincePaint = false;
            emit FramePresented();
        }
    });
}

RenderWindow::~RenderWindow() {
    // The device's GL objects and the textures still uploaded go with the context current.
    MakeContextCurrent();
    if (m_registered)
        WindowInterface::SetCurrent(m_previousWindow);
    m_hook.reset();
}

bool RenderWindow::AttachGL() {
    return MakeContextCurrent();
}

int RenderWindow::GetWidth() const {
    return static_cast<int>(width() * devicePixelRatioF());
}

int RenderWindow::GetHeight() const {
    return static_cast<int>(height() * devicePixelRatioF());
}

bool RenderWindow::MakeContextCurrent() {
    if (!m_initialised || !context() || !context()->isValid())
        return false;
    makeCurrent();
    return true;
}

void RenderWindow::HookParent() {
    m_hook = std::make_unique<RenderWindowHook>(parentWidget(), this);
}

void RenderWindow::SetModel(const QString&) {
    // Nothing draws a model under the effect yet: the choice is not kept.
}

void RenderWindow::initializeGL() {
    m_initialised = true;
    m_preview.Initialise(this);
    if (!m_registered) {
        m_previousWindow = WindowInterface::SetCurrent(this);
        m_registered = true;
    }
}

void RenderWindow::resizeGL(int width, int height) {
    m_preview.Resize(width, height);
}

void RenderWindow::resizeEvent(QResizeEvent* event) {
    QOpenGLWidget::resizeEvent(event);
    m_preview.Resize(width(), height());
}

void RenderWindow::paintGL() {
    if (m_frameWaiting) {
        // The frame drawn by the idle loop is in the framebuffer already.
        m_frameWaiting = false;
        m_frameDrawnSincePaint = true;
        return;
    }
    // Exposed or resized between frames: draw the picture again without moving the effect.
    DrawFrame(0.0f);
}

void RenderWindow::Frame(float step) {
    if (!MakeContextCurrent()) {
        // No context yet (the window was never shown): the effect still moves on.
        if (FXManager* manager = FXManager::Instance())
            manager->Update(step);
        return;
    }
    DrawFrame(step);
    ++m_framesDrawn;
    m_frameWaiting = true;
    update();
}

void RenderWindow::DrawFrame(float step) {
    m_preview.Frame(step, GetWidth(), GetHeight());
}

void RenderWindow::CameraInput() {
    const bool orbitButton = m_buttons.testFlag(Qt::RightButton);
    const bool zoomButton = m_buttons.testFlag(Qt::LeftButton);
    bool active = false;
    if (!m_holdingMouse) {
        if (orbitButton)
            m_holdingMouse = true; // Qt holds the mouse for the widget while a button is down
    } else if (!orbitButton) {
        m_holdingMouse = false;
    } else {
        active = true;
    }
    if (!active) {
        setCursor(Qt::ArrowCursor);
        m_motion = {};
        return;
    }
    setCursor(Qt::BlankCursor);
    m_controller.SetMotion(static_cast<float>(m_motion.x()) * kMotionPerPixel,
                           static_cast<float>(m_motion.y()) * kMotionPerPixel);
    m_motion = {};
    m_controller.Step(Camera().OrbitState(), 0.0f, zoomButton, true, m_accumulatedTurn);
}

void RenderWindow::mousePressEvent(QMouseEvent* event) {
    m_buttons = event->buttons();
    m_lastPointer = event->position();
    setFocus(Qt::MouseFocusReason);
    emit InputArrived();
}

void RenderWindow::mouseReleaseEvent(QMouseEvent* event) {
    m_buttons = event->buttons();
    m_lastPointer = event->position();
    emit InputArrived();
}

void RenderWindow::mouseMoveEvent(QMouseEvent* event) {
    m_buttons = event->buttons();
    m_motion += event->position() - m_lastPointer;
    m_lastPointer = event->position();
    if (m_buttons != Qt::NoButton)
        emit InputArrived();
}

void RenderWindow::wheelEvent(QWheelEvent* event) {
    // The camera zooms by mouse motion only.
    ++m_wheelEvents;
    event->accept();
}
