#include "widgets/TimeKeyBar.h"

#include "widgets/PointerWarp.h"

#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

TimeKeyBar::TimeKeyBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void TimeKeyBar::SetKeyList(KeyframeLinkBase* keys) {
    if (m_keys) {
        EndDrag();
        disconnect(m_keys, nullptr, this, nullptr);
    }
    m_keys = keys;
    if (keys) {
        // A drag goes on (the link may reload from inside one of its writes); a selected
        // key that no longer exists falls back to the first, which does not move.
        connect(keys, &KeyframeLinkBase::KeysReplaced, this, [this] {
            KeepSelectionInRange();
            update();
            emit Notify();
        });
        connect(keys, &QObject::destroyed, this, [this] {
            m_dragging = false;
            update();
            emit Notify();
        });
    }
    KeepSelectionInRange();
    update();
}

void TimeKeyBar::SetSelected(int index) {
    m_selected = index;
    KeepSelectionInRange();
    update();
}

void TimeKeyBar::KeepSelectionInRange() {
    if (m_selected < 0 || !m_keys || m_selected >= m_keys->Count())
        m_selected = 0;
}

int TimeKeyBar::SpanWidth() const {
    return width() - kSpanRightMargin - kSpanLeft;
}

int TimeKeyBar::TimeToX(float time) const {
    const double x = kSpanLeft + std::trunc(static_cast<double>(time) * SpanWidth());
    return static_cast<int>(std::clamp(x, -1.0e6, 1.0e6));
}

float TimeKeyBar::XToTime(int x) const {
    const int span = SpanWidth();
    return span > 0 ? static_cast<float>(x - kSpanLeft) / static_cast<float>(span) : 0.0f;
}

int TimeKeyBar::HitTest(int x) const {
    if (!m_keys)
        return -1;
    for (int i = 0; i < m_keys->Count(); ++i)
        if (std::abs(TimeToX(m_keys->Time(i)) - x) < kHitDistance)
            return i;
    return -1;
}

void TimeKeyBar::mousePressEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    const int hit = HitTest(x);
    if (!m_keys)
        return;
    if (event->button() == Qt::LeftButton) {
        if (hit >= 0) {
            m_keys->OpenGesture(QStringLiteral("Move Key"));
            m_selected = hit;
        } else {
            // Outside the first and last key there is nothing to blend between: nothing is
            // inserted, and nothing is dragged.
            m_keys->OpenGesture(QStringLiteral("Insert Key"));
            const int inserted = m_keys->InsertInterpolated(XToTime(x));
            if (inserted < 0) {
                m_keys->CloseGesture();
                return;
            }
            m_selected = inserted;
        }
        update();
        emit Notify();
        m_dragging = true;
    } else if (event->button() == Qt::RightButton) {
        if (m_keys->Count() <= 2)
            return;
        if (hit > 0 && hit < m_keys->Count() - 1) {
            m_keys->OpenGesture(QStringLiteral("Delete Key"));
            m_keys->Erase(hit);
            m_keys->CloseGesture();
            m_selected = 0;
            emit Notify();
            update();
        }
    }
}

void TimeKeyBar::mouseMoveEvent(QMouseEvent* event) {
    if (!m_keys || !m_dragging)
        return;
    const int count = m_keys->Count();
    if (count <= 2 || m_selected <= 0 || m_selected >= count - 1)
        return;
    const QPoint point = event->position().toPoint();
    float time = XToTime(point.x());
    // Four pixels' worth of time over the whole width.
    const float gap = 4.0f / static_cast<float>(std::max(1, width()));
    const float lower = m_keys->Time(m_selected - 1) + gap;
    const float upper = m_keys->Time(m_selected + 1) - gap;
    if (lower > upper)
        return; // neighbours already closer than that: the key stays
    const float clamped = std::clamp(time, lower, upper);
    if (clamped != time) {
        time = clamped;
        // Where the pointer cannot be moved back, it simply runs ahead of the key.
        PointerWarp::MoveTo(*this, QPoint(TimeToX(time), point.y()));
    }
    m_keys->SetTime(m_selected, time);
    update();
    if (NotifiesWhileDragging())
        emit Notify();
}

void TimeKeyBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        EndDrag();
}

void TimeKeyBar::hideEvent(QHideEvent* event) {
    EndDrag();
    QWidget::hideEvent(event);
}

void TimeKeyBar::EndDrag() {
    if (m_dragging && m_keys)
        m_keys->CloseGesture();
    m_dragging = false;
}
