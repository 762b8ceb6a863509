#pragma once

// The part of a keyframe link that does not depend on the kind of key: the key-list
// operations a key bar needs (times only), the change hook, the gesture bracket and the
// signal that tells an attached editor its keys were replaced from outside.
//
// Contract between the keyframe editors and a link (KeyframeLink<T> adds the typed half):
//
// - The link holds the working copy of one property's keys, sorted by time (0.0 is birth,
//   1.0 the end of an effect's normalised life). The editors read and change the keys only
//   through the link's operations; every operation that changes the keys calls Changed()
//   exactly once, after the change. Operations given an index out of range change nothing
//   and call nothing.
//
// - Gestures. An editor brackets every user action that changes keys with
//   OpenGesture(label) and CloseGesture(): a mouse drag from press to release, a group move
//   or scale, a delete, a colour picked or dragged in a chooser, typing in a field (until
//   Enter or the focus leaves), a paste. The link turns that bracket into the virtual hooks
//   BeginGesture(label) and EndGesture(): BeginGesture is called right before the first
//   change inside the bracket (the keys still hold their old values then), EndGesture when
//   the bracket closes, and neither when the bracket saw no change (a click that only
//   selects). So hooks always come in pairs, are never nested, and enclose one or more
//   Changed() calls. Opening a gesture while one is open closes the first. A change outside
//   any bracket is a step of its own (no hooks).
//
// - Replacement from outside. Whoever changes the property behind the editors' back (undo,
//   redo, a reload of the document) calls Reload() on the link (KeyframeLink<T>). The link
//   takes the keys without calling Changed() and emits KeysReplaced(); the attached editor
//   repaints and brings its selection back into range. Reloading keys equal to the working
//   copy does nothing at all, so a link may reload on every change report of its property,
//   its own writes included, also from inside Changed(). A reload does not close an open
//   gesture; the owner of the undo history should call CloseGesture() on every link before
//   it undoes or redoes, so a half-typed field does not reach into the undo.
//
// - Lifetime. Editors point to links and never own them. A link may be destroyed while an
//   editor still points to it: the editors watch QObject::destroyed and forget it. A link
//   destroyed inside a gesture calls no hook any more.

#include "definitions/FXVariable.h"

#include <QObject>
#include <QString>
#include <vector>

class KeyframeLinkBase : public QObject {
    Q_OBJECT

public:
    explicit KeyframeLinkBase(QObject* parent = nullptr);
    ~KeyframeLinkBase() override;

    // The property kind of the keys (VARTYPE_ARRAY_TIMEFLOAT, ...TIMECOLOUR, ...TIMEVECTOR3).
    virtual VarType Kind() const = 0;
    virtual int Count() const = 0;
    // The time of key index; 0.0 for an index out of range.
    virtual float Time(int index) const = 0;
    // Sets the time of key index, keeping its value. The caller keeps the keys in order.
    virtual void SetTime(int index, float time) = 0;
    // Inserts a key at time whose value lies on the straight line between the keys around
    // it, after every key whose time is less than or equal to time. Returns its index, or -1
    // (nothing inserted) when time does not lie between two keys: before the first key, at
    // or after the last one, or with fewer than two keys.
    virtual int InsertInterpolated(float time) = 0;
    virtual void Erase(int index) = 0;
    // Erases every key whose index is in indices, in one change; indices may come in any
    // order and repeat, and those out of range are ignored. Nothing happens (no Changed)
    // when no index is in range.
    virtual void EraseSet(const std::vector<int>& indices) = 0;

    // Called after every change of the keys. Does nothing here; the final links write the
    // keys into their property.
    virtual void Changed() {}
    // Hooks of the gesture bracket (see above). Do nothing here.
    virtual void BeginGesture(const QString& label);
    virtual void EndGesture() {}

    // The editors' gesture bracket; label names the action for the undo history
    // ("Move Key").
    void OpenGesture(const QString& label);
    void CloseGesture();
    bool IsGestureOpen() const { return m_gestureOpen; }

signals:
    // The keys were replaced from outside (Reload); the count may differ.
    void KeysReplaced();

protected:
    // Every operation calls this before it changes the keys: begins a pending gesture.
    void BeforeChange();

private:
    QString m_gestureLabel;
    bool m_gestureOpen = false;
    bool m_gestureBegun = false;
};
