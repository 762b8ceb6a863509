#include "widgets/HueSatChooser.h"

#include "scene/HSVConversion.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <qdrawutil.h>

HueSatChooser::HueSatChooser(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("hueSaturation"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::CrossCursor);
}

void HueSatChooser::SetHueSaturation(float hue, float saturation) {
    m_hue = hue;
    m_saturation = saturation;
    update();
}

void HueSatChooser::resizeEvent(QResizeEvent* event) {
    m_rebuild = true;
    m_image = QImage();
    QWidget::resizeEvent(event);
}

void HueSatChooser::paintEvent(QPaintEvent* /*event*/) {
    const int w = width();
    const int h = height();
    if (m_rebuild && w > 0 && h > 0) {
        m_image = QImage(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(y));
            const float saturation = 1.0f - static_cast<float>(y) / static_cast<float>(h);
            for (int x = 0; x < w; ++x) {
                float r = 0.0f, g = 0.0f, b = 0.0f;
                HSVConversion::HSVToRGB(static_cast<float>(x) / static_cast<float>(w), saturation,
                                        1.0f, r, g, b);
                line[x] = qRgb(static_cast<int>(r * 255.0f), static_cast<int>(g * 255.0f),
                               static_cast<int>(b * 255.0f));
            }
        }
        m_rebuild = false;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
    qDrawWinPanel(&painter, rect(), palette(), true);
    const int x = static_cast<int>(static_cast<float>(w) * m_hue);
    const int y = static_cast<int>(static_cast<float>(h) - static_cast<float>(h) * m_saturation);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(x - 2, y - 2, 4, 4));
}

void HueSatChooser::Pick(QPoint point) {
    const int x = std::clamp(point.x(), 0, width());
    const int y = std::clamp(point.y(), 0, height());
    m_hue = width() > 0 ? static_cast<float>(x) / static_cast<float>(width()) : 0.0f;
    m_saturation =
        height() > 0 ? 1.0f - static_cast<float>(y) / static_cast<float>(height()) : 0.0f;
    update();
    emit Picked();
}

void HueSatChooser::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    Pick(event->position().toPoint());
}

void HueSatChooser::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging)
        Pick(event->position().toPoint());
}

void HueSatChooser::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    emit Released();
}

void HueSatChooser::focusOutEvent(QFocusEvent* event) {
    if (m_dragging) {
        m_dragging = false;
        emit Released();
    }
    QWidget::focusOutEvent(event);
}
