#include "widgets/ValueChooser.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <qdrawutil.h>

ValueChooser::ValueChooser(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void ValueChooser::SetValue(float value) {
    m_value = value;
    update();
}

void ValueChooser::resizeEvent(QResizeEvent* event) {
    m_rebuild = true;
    m_image = QImage();
    QWidget::resizeEvent(event);
}

void ValueChooser::paintEvent(QPaintEvent* /*event*/) {
    const int w = width();
    const int h = height();
    if (m_rebuild && w > 0 && h > 0) {
        m_image = QImage(w, h, QImage::Format_RGB32);
        float grey = 1.0f;
        for (int y = 0; y < h; ++y) {
            const int level = static_cast<int>(std::clamp(grey, 0.0f, 1.0f) * 255.0f);
            auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(y));
            std::fill(line, line + w, qRgb(level, level, level));
            grey -= 1.0f / static_cast<float>(h);
        }
        m_rebuild = false;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
    qDrawWinPanel(&painter, rect(), palette(), true);
    const int y = static_cast<int>(static_cast<float>(h) - static_cast<float>(h) * m_value);
    painter.setPen(QPen(Qt::red, 0));
    painter.drawLine(2, y - 2, w - 3, y - 2);
    painter.drawLine(2, y + 2, w - 3, y + 2);
}

void ValueChooser::Pick(int y) {
    y = std::clamp(y, 0, height());
    m_value = height() > 0 ? 1.0f - static_cast<float>(y) / static_cast<float>(height()) : 0.0f;
    update();
    emit Picked();
}

void ValueChooser::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    Pick(event->position().toPoint().y());
}

void ValueChooser::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging)
        Pick(event->position().toPoint().y());
}

void ValueChooser::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    emit Released();
}

void ValueChooser::focusOutEvent(QFocusEvent* event) {
    if (m_dragging) {
        m_dragging = false;
        emit Released();
    }
    QWidget::focusOutEvent(event);
}
