#include "widgets/TimeValueController.h"

#include "widgets/PointerWarp.h"
#include "widgets/TimeValueSelection.h"
#include "widgets/TimeValueView.h"
#include "widgets/TimeValueWnd.h"

#include <algorithm>
#include <cstdlib>

namespace {

QPoint ClampInto(QPoint point, const QRect& rect) {
    return {std::clamp(point.x(), rect.left(), std::max(rect.left(), rect.right())),
            std::clamp(point.y(), rect.top(), std::max(rect.top(), rect.bottom()))};
}

} // namespace

TimeValueController::TimeValueController(TimeValueWnd& window, TimeValueSelection& selection,
                                         TimeValueView& view, std::function<void()> changed)
    : m_window(window), m_selection(selection), m_view(view), m_changed(std::move(changed)) {}

void TimeValueController::SetKeys(KeyframeLink<float>* keys) {
    // The old list may be gone already: forget the drag without touching it (the window
    // cancels drags on lists that still live).
    m_captured = false;
    m_panning = false;
    m_ignoreNextMove = false;
    m_dragMode = kIdle;
    m_handleOffset = QPoint();
    m_keys = keys;
}

void TimeValueController::Changed() {
    if (m_changed)
        m_changed();
}

bool TimeValueController::HandleRects(std::array<QRect, 4>& handles) const {
    QRect box;
    if (!m_selection.PixelBox(box))
        return false;
    const int left = box.left();
    const int top = box.top();
    const int right = box.right();
    const int bottom = box.bottom();
    const int centreX = (left + right) / 2;
    const int centreY = (top + bottom) / 2;
    const int half = kHandleSize / 2;
    const int padX = std::max(0, half - (right - left) / 2);
    const int padY = std::max(0, half - (bottom - top) / 2);
    const QSize size(kHandleSize, kHandleSize);
    handles[kCentre] = QRect(QPoint(centreX - half, centreY - half), size);
    handles[kRight] = QRect(QPoint(right + padX, centreY - half), size);
    handles[kTop] = QRect(QPoint(centreX - half, top - padY - kHandleSize), size);
    handles[kCorner] = QRect(QPoint(right + padX, top - padY - kHandleSize), size);
    return true;
}

void TimeValueController::Press(QPoint point) {
    if (!m_keys)
        return;
    if (BoxMode() && m_selection.Count() >= 2) {
        bool handled = false;
        PressInBox(point, handled);
        if (handled)
            return;
        // Away from the handles the press selects as usual: with the box-mode toggle on,
        // the user must still be able to pick another group.
    }
    m_dragMode = kIdle;
    m_handleOffset = QPoint();
    const int hit = m_view.HitTest(point);
    if (hit < 0) {
        m_buttonDown = point;
        m_bandStartTime = m_bandTime = m_view.XToTime(point.x());
        m_bandStartValue = m_bandValue = m_view.YToValue(point.y());
        m_keys->OpenGesture(QStringLiteral("Insert Key"));
        m_window.viewport()->update();
    } else {
        m_selection.SelectOne(hit);
        m_dragMode = kMove;
        m_keys->OpenGesture(QStringLiteral("Move Key"));
        Changed();
        m_window.viewport()->update();
    }
    m_captured = true;
}

void TimeValueController::PressInBox(QPoint point, bool& handled) {
    std::array<QRect, 4> handles;
    if (!HandleRects(handles))
        return;
    int hit = -1;
    for (int i = 0; i < 4; ++i)
        if (handles[static_cast<size_t>(i)].contains(point))
            hit = i; // a later handle wins
    if (hit < 0)
        return;
    const QRect& square = handles[static_cast<size_t>(hit)];
    QPoint anchor;
    switch (hit) {
    case kCentre:
        anchor = QPoint(square.left() + kHandleSize / 2, square.top() + kHandleSize / 2);
        m_dragMode = kMove;
        break;
    case kRight:
        anchor = QPoint(square.left(), point.y());
        m_dragMode = kScaleTime;
        break;
    case kTop:
        anchor = QPoint(point.x(), square.top() + kHandleSize);
        m_dragMode = kScaleValue;
        break;
    default:
        anchor = QPoint(square.left(), square.top() + kHandleSize);
        m_dragMode = kScaleBoth;
        break;
    }
    // Instead of moving the pointer onto the anchor, the drag adds the distance to it.
    m_handleOffset = anchor - point;
    m_keys->OpenGesture(m_dragMode == kMove ? QStringLiteral("Move Keys")
                                            : QStringLiteral("Scale Keys"));
    m_captured = true;
    handled = true;
}

void TimeValueController::Move(QPoint point) {
    if (m_ignoreNextMove) {
        m_ignoreNextMove = false;
        return;
    }
    if (m_panning) {
        Pan(point);
        return;
    }
    if (!m_captured || !m_keys)
        return;
    const QRect client = m_view.ClientRect();
    if (m_dragMode >= kScaleTime) {
        const QPoint place = ClampInto(point + m_handleOffset, client);
        const float time = m_view.XToTime(place.x());
        const float value = m_view.YToValue(place.y());
        switch (m_dragMode) {
        case kScaleTime:
            m_selection.Scale(time, value, TimeValueSelection::kScaleTime);
            break;
        case kScaleValue:
            m_selection.Scale(time, value, TimeValueSelection::kScaleValue);
            break;
        case kScaleBoth:
            m_selection.Scale(time, value,
                              m_keepAspect ? TimeValueSelection::kScaleAspect
                                           : TimeValueSelection::kScaleBoth);
            break;
        default:
            m_selection.MoveTo(time, value);
            break;
        }
        AutoScroll(ClampInto(point, client));
        Changed();
        m_window.viewport()->update();
        return;
    }
    const QPoint place = ClampInto(point, client);
    if (m_dragMode != kRubberBand &&
        (std::abs(point.x() - m_buttonDown.x()) > TimeValueView::kPickRadius ||
         std::abs(point.y() - m_buttonDown.y()) > TimeValueView::kPickRadius))
        m_dragMode = kRubberBand;
    if (m_dragMode == kRubberBand) {
        m_bandTime = m_view.XToTime(place.x());
        m_bandValue = m_view.YToValue(place.y());
        m_window.viewport()->update();
    }
}

void TimeValueController::AutoScroll(QPoint point) {
    const QRect client = m_view.ClientRect();
    if (point.y() < client.top() + kAutoScrollBorder)
        m_window.ScrollRows(+1);
    else if (point.y() > client.bottom() - kAutoScrollBorder)
        m_window.ScrollRows(-1);
    if (point.x() < client.left() + kAutoScrollBorder)
        m_window.ScrollColumns(-1);
    else if (point.x() > client.right() - kAutoScrollBorder)
        m_window.ScrollColumns(+1);
}

void TimeValueController::Release(QPoint point) {
    if (!m_captured)
        return;
    m_captured = false;
    if (m_keys) {
        const QPoint place = ClampInto(point, m_view.ClientRect());
        const float time = m_view.XToTime(place.x());
        const float value = m_view.YToValue(place.y());
        if (m_dragMode == kIdle) {
            // A click on empty space inserts a key there, inside the allowed range only.
            const float clickTime = m_view.XToTime(point.x());
            const float clickValue = m_view.YToValue(point.y());
            if (clickTime >= m_view.TimeMin() && clickTime <= m_view.TimeMax() &&
                clickValue >= m_view.ValueMin() && clickValue <= m_view.ValueMax()) {
                m_selection.Clear();
                m_selection.SelectOne(m_keys->Insert(clickTime, clickValue));
                Changed();
            }
        } else if (m_dragMode == kRubberBand) {
            m_selection.SelectBetween(m_bandStartTime, m_bandStartValue, time, value);
        }
        m_keys->CloseGesture();
    }
    m_window.viewport()->update();
    Changed();
    m_dragMode = kIdle;
    m_handleOffset = QPoint();
}

void TimeValueController::DeleteUnder(QPoint point) {
    if (!m_keys || m_keys->Count() <= 2)
        return;
    m_selection.Clear();
    const int hit = m_view.HitTest(point);
    if (hit > 0 && hit < m_keys->Count() - 1) {
        m_keys->OpenGesture(QStringLiteral("Delete Key"));
        m_keys->Erase(hit);
        m_keys->CloseGesture();
    }
    Changed();
    m_window.viewport()->update();
}

void TimeValueController::DeleteSelected() {
    if (!m_keys)
        return;
    m_keys->OpenGesture(QStringLiteral("Delete Keys"));
    m_selection.DeleteSelected();
    m_keys->CloseGesture();
    m_window.viewport()->update();
    Changed();
}

void TimeValueController::PanStart(QPoint point) {
    m_panning = true;
    m_panAnchor = point;
}

void TimeValueController::PanEnd() {
    m_panning = false;
    m_ignoreNextMove = false;
}

void TimeValueController::Pan(QPoint point) {
    const int dx = m_panAnchor.x() - point.x();
    const int dy = m_panAnchor.y() - point.y();
    bool movedX = true;
    bool movedY = true;
    if (dx >= 2)
        m_window.ScrollColumns(-1);
    else if (dx <= -2)
        m_window.ScrollColumns(+1);
    else
        movedX = false;
    if (dy >= 2)
        m_window.ScrollRows(+1);
    else if (dy <= -2)
        m_window.ScrollRows(-1);
    else
        movedY = false;
    if (!movedX && !movedY)
        return;
    // Back to the anchor where the pointer can be moved, so panning never runs into the
    // screen's edge; elsewhere the anchor follows the pointer on the axes that scrolled.
    if (PointerWarp::MoveTo(*m_window.viewport(), m_panAnchor)) {
        m_ignoreNextMove = true;
        return;
    }
    if (movedX)
        m_panAnchor.setX(point.x());
    if (movedY)
        m_panAnchor.setY(point.y());
}

void TimeValueController::SetBoxKey(bool down) {
    const bool before = BoxMode();
    m_boxKey = down;
    if (before && !BoxMode())
        BoxModeOff();
    else
        m_window.viewport()->update();
}

void TimeValueController::SetBoxLatch(bool on) {
    const bool before = BoxMode();
    m_boxLatch = on;
    if (before && !BoxMode())
        BoxModeOff();
    else
        m_window.viewport()->update();
}

void TimeValueController::BoxModeOff() {
    if (m_dragMode == kScaleTime || m_dragMode == kScaleValue || m_dragMode == kScaleBoth) {
        m_dragMode = kIdle;
        if (m_keys && m_captured) {
            m_captured = false;
            m_keys->CloseGesture();
        }
    }
    m_window.viewport()->update();
}

void TimeValueController::Cancel() {
    if (m_keys && m_captured)
        m_keys->CloseGesture();
    m_captured = false;
    m_panning = false;
    m_ignoreNextMove = false;
    m_dragMode = kIdle;
    m_handleOffset = QPoint();
}
