#include "shell/RenderWindowHook.h"

#include <QCoreApplication>
#include <QWheelEvent>

RenderWindowHook::RenderWindowHook(QWidget* parent, QWidget* renderWindow)
    : m_parent(parent), m_renderWindow(renderWindow) {
    if (parent)
        parent->installEventFilter(this);
}

RenderWindowHook::~RenderWindowHook() {
    if (m_parent)
        m_parent->removeEventFilter(this);
}

bool RenderWindowHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_parent && event->type() == QEvent::Wheel && m_renderWindow && !m_forwarding) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPointF local = m_renderWindow->mapFromGlobal(wheel->globalPosition());
        QWheelEvent copy(local, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                         wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(),
                         wheel->source());
        m_forwarding = true;
        QCoreApplication::sendEvent(m_renderWindow, &copy);
        m_forwarding = false;
        ++m_forwarded;
    }
    return false;
}
