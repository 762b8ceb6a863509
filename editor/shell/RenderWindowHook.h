#pragma once

// Passes the mouse wheel over the preview's splitter on to the render window, and lets
// every event through unchanged. The render window takes the wheel and does nothing with
// it: the camera zooms only by mouse motion.

#include <QObject>
#include <QPointer>
#include <QWidget>

class RenderWindowHook : public QObject {
    Q_OBJECT

public:
    // Hooks parent (the splitter holding the render window) until destroyed.
    RenderWindowHook(QWidget* parent, QWidget* renderWindow);
    ~RenderWindowHook() override;

    // Wheel events that reached the render window through the hook.
    int ForwardedWheelEvents() const { return m_forwarded; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_parent;
    QPointer<QWidget> m_renderWindow;
    int m_forwarded = 0;
    bool m_forwarding = false;
};
