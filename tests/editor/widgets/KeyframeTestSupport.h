#pragma once

// Helpers of the keyframe editor tests: a link that counts its changes and gestures and
// checks that the gesture hooks pair up, key lists in one line, mouse and wheel events
// with the buttons held that a drag needs, and a fixture with Qt up, prompts recorded,
// pointer warping off (so no real pointer motion mixes with the events a test sends) and
// a clean clipboard.

#include "editor/widgets/DialogTestSupport.h"
#include "shell/KeyframeLink.h"
#include "widgets/PointerWarp.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <initializer_list>
#include <vector>

namespace keyframe_test {

template <class T>
class CountingLink : public KeyframeLink<T> {
public:
    using Key = typename KeyframeLink<T>::Key;

    explicit CountingLink(std::initializer_list<Key> keys = {}) {
        this->Reload(std::vector<Key>(keys));
    }

    int changes = 0;
    int changesOutsideGestures = 0;
    int begun = 0;
    int ended = 0;
    bool badPairing = false; // a Begin inside a gesture, or an End outside one
    std::vector<QString> labels;

    void Changed() override {
        ++changes;
        if (!m_inGesture)
            ++changesOutsideGestures;
    }
    void BeginGesture(const QString& label) override {
        badPairing |= m_inGesture;
        m_inGesture = true;
        ++begun;
        labels.push_back(label);
    }
    void EndGesture() override {
        badPairing |= !m_inGesture;
        m_inGesture = false;
        ++ended;
    }
    bool InGesture() const { return m_inGesture; }
    // The gestures begun, when each has ended and they paired up; -1 otherwise.
    int Gestures() const { return begun == ended && !badPairing && !m_inGesture ? begun : -1; }
    void ResetCounts() {
        changes = changesOutsideGestures = begun = ended = 0;
        labels.clear();
    }

private:
    bool m_inGesture = false;
};

using FloatLink = CountingLink<float>;
using ColourLink = CountingLink<Colour>;
using VectorLink = CountingLink<Vector3>;

// Mouse events sent straight to a widget, with the buttons a drag holds.
inline void Mouse(QWidget* widget, QEvent::Type type, QPoint point, Qt::MouseButton button,
                  Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(point), QPointF(widget->mapToGlobal(point)), button, held,
                      modifiers);
    QApplication::sendEvent(widget, &event);
}
inline void Press(QWidget* widget, QPoint point, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Mouse(widget, QEvent::MouseButtonPress, point, button, button, modifiers);
}
inline void MoveTo(QWidget* widget, QPoint point, Qt::MouseButtons held = Qt::LeftButton,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Mouse(widget, QEvent::MouseMove, point, Qt::NoButton, held, modifiers);
}
inline void Release(QWidget* widget, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(widget, QEvent::MouseButtonRelease, point, button, Qt::NoButton);
}
inline void Click(QWidget* widget, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    Press(widget, point, button);
    Release(widget, point, button);
}
// Press at from, steps moves along the straight line to to, release there.
inline void Drag(QWidget* widget, QPoint from, QPoint to, int steps = 10,
                 Qt::MouseButton button = Qt::LeftButton) {
    Press(widget, from, button);
    for (int i = 1; i <= steps; ++i)
        MoveTo(widget, from + (to - from) * i / steps, button);
    Release(widget, to, button);
}
// One notch of the wheel; positive: away from the user.
inline void Wheel(QWidget* widget, QPoint point, int notches) {
    QWheelEvent event(QPointF(point), QPointF(widget->mapToGlobal(point)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(widget, &event);
}

// Types text into a field as the user would (key by key), then Enter.
inline void Type(QWidget* field, const QString& text, bool enter = true) {
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier); // select all
    QTest::keyClicks(field, text);
    if (enter)
        QTest::keyClick(field, Qt::Key_Return);
}

class KeyframeTest : public dialog_test::DialogTest {
protected:
    KeyframeTest() {
        PointerWarp::SetAvailable(false);
        QGuiApplication::clipboard()->clear();
    }
    ~KeyframeTest() override { PointerWarp::Reset(); }

    // Shows a top-level widget and waits until it can take the keyboard.
    static void Show(QWidget* widget) {
        widget->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(widget));
        widget->activateWindow();
        QApplication::setActiveWindow(widget);
    }
    // Shows a keyframe editor of the given size editing keys, with the counts at zero.
    template <class Editor, class Link>
    static void Open(Editor& editor, QSize size, Link& keys) {
        editor.resize(size);
        Show(&editor);
        editor.SetKeys(&keys);
        keys.ResetCounts();
    }
};

} // namespace keyframe_test
