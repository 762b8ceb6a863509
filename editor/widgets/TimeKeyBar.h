#pragma once

// A bar along the time axis with one marker per key, the common ground of the colour
// gradient bar and the vector key bar: mapping between time and pixels, hit testing, the
// selected key and the mouse.
//
// With the client rectangle 0..width, times 0.0 to 1.0 map onto the span from x = 3 to
// width - 5: x = 3 + truncate(t x W), W = width - 8.
//
//   left button    on a key: selects it; elsewhere: inserts a key there whose value lies
//                  on the straight line between its neighbours, and selects it (nothing
//                  outside the first and last key); then drags the selected key, which
//                  stays 4 pixels' worth of time inside its neighbours (the first and the
//                  last key do not move)
//   right button   deletes the key under the pointer, never the first or the last one,
//                  and selects the first key
//
// The press opens a gesture of the key list and the release closes it. Notify reports a
// change of the selection or of the keys.

#include "shell/KeyframeLinkBase.h"

#include <QPointer>
#include <QWidget>

class TimeKeyBar : public QWidget {
    Q_OBJECT

public:
    // A key is hit when its marker lies less than this many pixels from the pointer.
    static constexpr int kHitDistance = 5;
    static constexpr int kSpanLeft = 3;
    static constexpr int kSpanRightMargin = 5;

    explicit TimeKeyBar(QWidget* parent);

    KeyframeLinkBase* KeyList() const { return m_keys; }
    // The selected key's index; kept within the key list (0 when there are no keys).
    int Selected() const { return m_selected; }
    void SetSelected(int index);
    bool IsDragging() const { return m_dragging; }

    int TimeToX(float time) const;
    float XToTime(int x) const;
    // The first key (in index order) whose marker lies within reach of x; -1 when none.
    int HitTest(int x) const;

signals:
    void Notify();

protected:
    // Takes a key list (null: none); the selected index stays unless it falls outside.
    void SetKeyList(KeyframeLinkBase* keys);
    // Whether a drag reports each step through Notify.
    virtual bool NotifiesWhileDragging() const = 0;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void KeepSelectionInRange();
    void EndDrag();
    int SpanWidth() const;

    QPointer<KeyframeLinkBase> m_keys;
    int m_selected = 0;
    bool m_dragging = false;
};
