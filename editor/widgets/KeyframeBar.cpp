#include "widgets/KeyframeBar.h"

#include <QPainter>
#include <qdrawutil.h>

KeyframeBar::KeyframeBar(QWidget* parent) : TimeKeyBar(parent) {
    setObjectName(QStringLiteral("SparvTimeValue"));
}

void KeyframeBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    KeyframeLink<Vector3>* keys = Keys();
    const int count = keys ? keys->Count() : 0;
    const int top = 2;
    const int bottom = height() - 3;
    const int middle = top + (bottom - top) / 2;
    painter.setPen(QPen(Qt::black, 0));
    for (int i = 0; i < count; ++i) {
        const int x = TimeToX(keys->Time(i));
        const QPoint diamond[] = {{x, top}, {x + 4, middle}, {x, bottom}, {x - 4, middle}};
        painter.drawPolygon(diamond, 4);
        if (i == Selected()) {
            const QPoint right[] = {{x + 2, top}, {x + 6, middle}, {x + 2, bottom}};
            const QPoint left[] = {{x - 2, top}, {x - 6, middle}, {x - 2, bottom}};
            painter.drawPolyline(right, 3);
            painter.drawPolyline(left, 3);
        }
    }
    qDrawWinPanel(&painter, rect(), palette(), true);
}
