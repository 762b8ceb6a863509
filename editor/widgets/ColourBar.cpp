#include "widgets/ColourBar.h"

#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <qdrawutil.h>

namespace {

int Byte(float component) {
    return static_cast<int>(std::clamp(component, 0.0f, 1.0f) * 255.0f);
}

// The outline of the rectangle whose corners are (left, top) and (right, bottom), right and
// bottom not included.
void Outline(QPainter& painter, int left, int top, int right, int bottom, const QColor& colour) {
    painter.setPen(QPen(colour, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(left, top, right - 1 - left, bottom - 1 - top));
}

// A vertical line from top to bottom, bottom not included.
void Vertical(QPainter& painter, int x, int top, int bottom, const QColor& colour) {
    painter.setPen(QPen(colour, 0));
    painter.drawLine(x, top, x, bottom - 1);
}

} // namespace

ColourBar::ColourBar(QWidget* parent) : TimeKeyBar(parent) {
    setObjectName(QStringLiteral("ColourBar"));
}

void ColourBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const QRect upper(QPoint(0, 0), QPoint(w - 1, h / 2 - 1));
    const QRect lower(QPoint(0, h / 2), QPoint(w - 1, h - 1));
    painter.fillRect(rect(), Qt::white);

    KeyframeLink<Colour>* keys = Keys();
    const int count = keys ? keys->Count() : 0;
    const int span = w - kSpanRightMargin - kSpanLeft;
    if (count >= 2) {
        const auto& list = keys->Keys();
        for (int i = 0; i + 1 < count; ++i) {
            const TimeColour& from = list[static_cast<size_t>(i)];
            const TimeColour& to = list[static_cast<size_t>(i + 1)];
            const int x0 = TimeToX(from.time) - kSpanLeft;
            const int x1 = TimeToX(to.time) - kSpanLeft;
            for (int x = std::max(x0, -kSpanLeft); x <= x1 && x <= span + kSpanRightMargin; ++x) {
                const float f =
                    x1 > x0 ? static_cast<float>(x - x0) / static_cast<float>(x1 - x0) : 0.0f;
                const Colour c = KeyframeBlend(from.value, to.value, f);
                const int column = kSpanLeft + x;
                painter.setPen(QColor(Byte(c.r), Byte(c.g), Byte(c.b)));
                painter.drawLine(column, upper.top(), column, upper.bottom());
                painter.setPen(QColor(Byte(c.a), Byte(c.a), Byte(c.a)));
                painter.drawLine(column, lower.top(), column, lower.bottom());
            }
        }
    }

    for (const QRect& half : {upper, lower}) {
        const int top = half.top();
        const int bottom = half.bottom() + 1;
        for (int i = 0; i < count; ++i) {
            const int x = TimeToX(keys->Time(i));
            Outline(painter, x - 2, top + 2, x + 2, bottom - 3, Qt::black);
            Outline(painter, x - 1, top + 3, x + 1, bottom - 4, Qt::white);
            if (i == Selected()) {
                Vertical(painter, x - 3, top + 2, bottom - 2, Qt::white);
                Vertical(painter, x + 3, top + 2, bottom - 2, Qt::white);
                Vertical(painter, x - 4, top + 2, bottom - 2, Qt::black);
                Vertical(painter, x + 4, top + 2, bottom - 2, Qt::black);
            }
        }
        qDrawWinPanel(&painter, half, palette(), true);
    }
}
