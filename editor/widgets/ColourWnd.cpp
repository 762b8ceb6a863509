#include "widgets/ColourWnd.h"

#include "scene/HSVConversion.h"

#include <QPainter>
#include <qdrawutil.h>

ColourWnd::ColourWnd(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("preview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ColourWnd::SetHsv(float hue, float saturation, float value) {
    float r = 0.0f, g = 0.0f, b = 0.0f;
    HSVConversion::HSVToRGB(hue, saturation, value, r, g, b);
    m_colour = QColor(static_cast<int>(r * 255.0f), static_cast<int>(g * 255.0f),
                      static_cast<int>(b * 255.0f));
    update();
}

void ColourWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), m_colour);
    qDrawWinPanel(&painter, rect(), palette(), true);
}
