#pragma once

// The curve window's mouse and keyboard state machine.
//
//   left button        on a key: select it and drag it; on empty space: a click inserts a
//                      key there (inside the allowed range), a drag selects with a rubber
//                      band
//   right button       deletes the key under the pointer (never the first or the last one)
//   middle button      pans: each move of 2 pixels or more scrolls one cell
//   Delete             deletes the selected keys (never the first or the last one)
//   Alt held, or the   box mode: with two or more keys selected, four handles around the
//   box-mode toggle    group move it (centre knob) or scale it in time (right), in value
//                      (top) or both (corner; Ctrl keeps the box's aspect)
//
// Handles and panning work from relative motion: a handle drag acts as if the pointer had
// been put on the handle's anchor (the group's centre, an edge of the box), and panning
// keeps its anchor with the pointer where the pointer cannot be moved back by program.
//
// Each user action is one gesture of the key list (see KeyframeLinkBase.h): a press opens
// it, the release closes it.

#include "shell/KeyframeLink.h"

#include <QPoint>
#include <QRect>
#include <array>
#include <functional>

class TimeValueSelection;
class TimeValueView;
class TimeValueWnd;

class TimeValueController {
public:
    enum DragMode : int {
        kIdle = 0,
        kRubberBand = 1,
        kScaleTime = 2,
        kScaleValue = 3,
        kScaleBoth = 4,
        kMove = 5,
    };
    enum Handle : int { kCentre = 0, kRight = 1, kTop = 2, kCorner = 3 };
    static constexpr int kHandleSize = 16;
    // Distance from an edge of the window within which a drag scrolls.
    static constexpr int kAutoScrollBorder = 5;

    TimeValueController(TimeValueWnd& window, TimeValueSelection& selection, TimeValueView& view,
                        std::function<void()> changed);

    // Takes another key list, dropping any drag without a word to the old list (which
    // may be destroyed already); Cancel first to end the drag's gesture properly.
    void SetKeys(KeyframeLink<float>* keys);

    void Press(QPoint point);
    void Move(QPoint point);
    void Release(QPoint point);
    void DeleteUnder(QPoint point);
    void DeleteSelected();
    void PanStart(QPoint point);
    void PanEnd();
    // Alt held (box key), the panel's toggle (box latch); box mode is on while either is.
    void SetBoxKey(bool down);
    void SetBoxLatch(bool on);
    bool BoxLatch() const { return m_boxLatch; }
    bool BoxMode() const { return m_boxKey || m_boxLatch; }
    void SetKeepAspect(bool on) { m_keepAspect = on; }
    // Ends whatever drag is going on (the window was hidden or given other keys).
    void Cancel();

    DragMode Mode() const { return m_dragMode; }
    bool IsCaptured() const { return m_captured; }
    bool IsPanning() const { return m_panning; }
    // The rubber band's corners (time, value), valid in kRubberBand.
    float BandStartTime() const { return m_bandStartTime; }
    float BandStartValue() const { return m_bandStartValue; }
    float BandTime() const { return m_bandTime; }
    float BandValue() const { return m_bandValue; }
    // The four handles' squares around the group's pixel box; false without a group.
    bool HandleRects(std::array<QRect, 4>& handles) const;

private:
    void PressInBox(QPoint point, bool& handled);
    void BoxModeOff();
    void Pan(QPoint point);
    void AutoScroll(QPoint point);
    void Changed();

    TimeValueWnd& m_window;
    TimeValueSelection& m_selection;
    TimeValueView& m_view;
    KeyframeLink<float>* m_keys = nullptr;
    std::function<void()> m_changed;

    DragMode m_dragMode = kIdle;
    bool m_boxKey = false;
    bool m_boxLatch = false;
    bool m_ignoreNextMove = false;
    bool m_keepAspect = false;
    bool m_captured = false;
    bool m_panning = false;
    QPoint m_buttonDown;
    float m_bandStartTime = 0.0f;
    float m_bandStartValue = 0.0f;
    float m_bandTime = 0.0f;
    float m_bandValue = 0.0f;
    QPoint m_panAnchor;
    // Added to the pointer while a handle is dragged: from where it was pressed to the
    // handle's anchor.
    QPoint m_handleOffset;
};
