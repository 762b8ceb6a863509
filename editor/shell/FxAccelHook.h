#pragma once

// Lets a pane receive the accelerator commands pressed while the keyboard focus is in one
// of its controls. The main frame offers every accelerator command to the hooks before
// routing it on: a hook whose hooked control holds the focus hands the command to its
// owner, when the owner pane is enabled. The type tree hooks its tree control, the time
// bar its slider, each property sub-editor itself.
//
// Hooks of one control form a chain, newest first; a hook is removed from wherever it is
// in the chain when it is unhooked or destroyed, or when its control is destroyed.

#include <QPointer>
#include <QWidget>

class SparvCommandTarget;

class FxAccelHook {
public:
    // Hooks control at once when given; ownerPane is the pane whose enabled state decides
    // and owner the receiver of the commands (usually the same object).
    FxAccelHook(QWidget* control, QWidget* ownerPane, SparvCommandTarget* owner);
    ~FxAccelHook();
    FxAccelHook(const FxAccelHook&) = delete;
    FxAccelHook& operator=(const FxAccelHook&) = delete;

    // Hooks another control (null: unhooks).
    void HookTo(QWidget* control);
    QWidget* Control() const { return m_control; }

    // Offers an accelerator command to the hooks, newest first; true when one of them
    // handed it to an owner that handled it.
    static bool Deliver(int id);

private:
    QPointer<QWidget> m_control;
    QPointer<QWidget> m_ownerPane;
    SparvCommandTarget* m_owner;
};
