#include "shell/RenderWindow.h"

#include "diag/Diag.h"
#include "runtime/FXManager.h"
#include "scene/GLRenderDevice.h"
#include "shell/RenderWindowHook.h"
#include "shell/SparvWorld.h"

#include <QLabel>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QWheelEvent>
#include <optional>
#include <string>

namespace {

// Between the halves of the compare view, in device pixels, and the colour around panes.
constexpr int kPaneGap = 4;
constexpr float kSurroundGrey = 0.12f;

QLabel* NewPaneLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background: rgba(0, 0, 0, 150); padding: 2px 6px; }"));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->hide();
    return label;
}

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
    : QOpenGLWidget(parent), m_renderer(MakeGLDevice), m_preview(m_renderer),
      m_beforeLabel(NewPaneLabel(this, "BeforeLabel")), m_nowLabel(NewPaneLabel(this, "NowLabel")) {
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
    m_paneBuffer.reset();
    if (m_registered)
        WindowInterface::SetCurrent(m_previousWindow);
    m_hook.reset();
}

bool RenderWindow::AttachGL() {
    return MakeContextCurrent();
}

int RenderWindow::GetWidth() const {
    return m_paneSize.isEmpty() ? static_cast<int>(width() * devicePixelRatioF())
                                : m_paneSize.width();
}

int RenderWindow::GetHeight() const {
    return m_paneSize.isEmpty() ? static_cast<int>(height() * devicePixelRatioF())
                                : m_paneSize.height();
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
    PlaceLabels();
}

void RenderWindow::paintGL() {
    if (m_held)
        return; // the last frame stays in the framebuffer
    if (m_frameWaiting) {
        // The frame drawn by the idle loop is in the framebuffer already.
        m_frameWaiting = false;
        m_frameDrawnSincePaint = true;
        return;
    }
    // Exposed or resized between frames: draw the picture again without moving the effect.
    DrawFrame(0.0f, false);
}

void RenderWindow::Frame(float step) {
    if (m_held)
        return;
    if (!MakeContextCurrent()) {
        // No context yet (the window was never shown): the effect still moves on.
        if (FXManager* manager = FXManager::Instance())
            manager->Update(step);
        if (m_before) {
            SparvWorld::Scope scope(*m_before);
            m_before->Manager().Update(step);
        }
        m_simulatedSeconds += step;
        return;
    }
    DrawFrame(step, true);
    ++m_framesDrawn;
    m_frameWaiting = true;
    update();
}

void RenderWindow::Redraw() {
    if (m_held || !MakeContextCurrent())
        return;
    DrawFrame(0.0f, false);
    m_frameWaiting = true;
    update();
}

std::vector<RenderWindow::Pane> RenderWindow::Panes() const {
    const double ratio = devicePixelRatioF();
    const int w = std::max(1, static_cast<int>(width() * ratio));
    const int h = std::max(1, static_cast<int>(height() * ratio));
    if (m_before) {
        // Even widths: a line down the middle of an odd one may end a row apart from
        // where a view of that size alone ends it.
        const int half = std::max(2, (w - kPaneGap) / 2 / 2 * 2);
        return {{m_before, QRect(0, 0, half, h), QSize(half, h)},
                {nullptr, QRect(w - half, 0, half, h), QSize(half, h)}};
    }
    if (!m_fixedSize.isEmpty()) {
        QSize shown = m_fixedSize;
        if (shown.width() > w || shown.height() > h)
            shown = shown.scaled(QSize(w, h), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        return {{nullptr,
                 QRect((w - shown.width()) / 2, (h - shown.height()) / 2, shown.width(),
                       shown.height()),
                 m_fixedSize}};
    }
    return {};
}

void RenderWindow::DrawFrame(float step, bool advance) {
    if (advance)
        m_simulatedSeconds += step;
    const std::vector<Pane> panes = Panes();
    if (panes.empty()) {
        m_preview.Resize(GetWidth(), GetHeight());
        if (advance)
            m_preview.Frame(step, GetWidth(), GetHeight());
        else
            m_preview.Redraw(GetWidth(), GetHeight());
        return;
    }
    QOpenGLExtraFunctions* gl = context()->extraFunctions();
    gl->glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
    gl->glViewport(0, 0, GetWidth(), GetHeight());
    gl->glClearColor(kSurroundGrey, kSurroundGrey, kSurroundGrey, 1.0f);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    for (const Pane& pane : panes)
        DrawPane(pane, step, advance);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
}

void RenderWindow::DrawPane(const Pane& pane, float step, bool advance) {
    if (!m_paneBuffer || m_paneBuffer->size() != pane.size)
        m_paneBuffer = std::make_unique<QOpenGLFramebufferObject>(
            pane.size, QOpenGLFramebufferObject::CombinedDepthStencil);
    m_paneBuffer->bind();
    m_paneSize = pane.size;
    m_preview.Resize(pane.size.width(), pane.size.height());
    {
        std::optional<SparvWorld::Scope> scope;
        if (pane.world)
            scope.emplace(*pane.world);
        if (advance)
            m_preview.Frame(step, pane.size.width(), pane.size.height());
        else
            m_preview.Redraw(pane.size.width(), pane.size.height());
    }
    m_paneSize = {};
    // Into its place in the window; GL counts rows from the bottom.
    QOpenGLExtraFunctions* gl = context()->extraFunctions();
    const int windowHeight = GetHeight();
    const QRect& target = pane.target;
    gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, m_paneBuffer->handle());
    gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, defaultFramebufferObject());
    gl->glBlitFramebuffer(0, 0, pane.size.width(), pane.size.height(), target.left(),
                          windowHeight - target.top() - target.height(),
                          target.left() + target.width(), windowHeight - target.top(),
                          GL_COLOR_BUFFER_BIT, target.size() == pane.size ? GL_NEAREST : GL_LINEAR);
}

void RenderWindow::SetCompare(SparvWorld* before, const QString& beforeLabel,
                              const QString& nowLabel) {
    m_before = before;
    m_beforeLabel->setText(beforeLabel);
    m_nowLabel->setText(nowLabel);
    PlaceLabels();
}

void RenderWindow::SetFixedSize(const QSize& size, const QString& label) {
    m_fixedSize = size;
    if (!m_before)
        m_nowLabel->setText(label);
    PlaceLabels();
}

QSize RenderWindow::EffectViewSize() const {
    for (const Pane& pane : Panes())
        if (!pane.world)
            return pane.size;
    return {GetWidth(), GetHeight()};
}

QRect RenderWindow::NowPaneRect() const {
    for (const Pane& pane : Panes())
        if (!pane.world)
            return pane.target;
    return {0, 0, GetWidth(), GetHeight()};
}

QRect RenderWindow::BeforePaneRect() const {
    for (const Pane& pane : Panes())
        if (pane.world)
            return pane.target;
    return {};
}

QString RenderWindow::BeforeLabel() const {
    return m_beforeLabel->isVisible() ? m_beforeLabel->text() : QString();
}

QString RenderWindow::NowLabel() const {
    return m_nowLabel->isVisible() ? m_nowLabel->text() : QString();
}

void RenderWindow::PlaceLabels() {
    const double ratio = devicePixelRatioF();
    auto place = [ratio](QLabel* label, const QRect& pane, bool show) {
        label->setVisible(show && !label->text().isEmpty());
        if (!label->isVisible())
            return;
        label->adjustSize();
        label->move(static_cast<int>(pane.left() / ratio) + 6,
                    static_cast<int>(pane.top() / ratio) + 6);
        label->raise();
    };
    const bool panes = m_before || !m_fixedSize.isEmpty();
    place(m_beforeLabel, BeforePaneRect(), m_before != nullptr);
    place(m_nowLabel, NowPaneRect(), panes);
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
