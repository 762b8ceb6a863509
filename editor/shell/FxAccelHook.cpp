#include "shell/FxAccelHook.h"

#include "shell/SparvCommands.h"

#include <QApplication>
#include <algorithm>
#include <vector>

namespace {

// Every hooked hook, newest first. User-interface thread only.
std::vector<FxAccelHook*>& Hooks() {
    static std::vector<FxAccelHook*> hooks;
    return hooks;
}

} // namespace

FxAccelHook::FxAccelHook(QWidget* control, QWidget* ownerPane, SparvCommandTarget* owner)
    : m_ownerPane(ownerPane), m_owner(owner) {
    HookTo(control);
}

FxAccelHook::~FxAccelHook() {
    HookTo(nullptr);
}

void FxAccelHook::HookTo(QWidget* control) {
    auto& hooks = Hooks();
    hooks.erase(std::remove(hooks.begin(), hooks.end(), this), hooks.end());
    m_control = control;
    if (control)
        hooks.insert(hooks.begin(), this);
}

bool FxAccelHook::Deliver(int id) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return false;
    // A copy: an owner may hook or unhook while it handles the command.
    const std::vector<FxAccelHook*> hooks = Hooks();
    for (FxAccelHook* hook : hooks) {
        QWidget* control = hook->m_control;
        if (!control || (focus != control && !control->isAncestorOf(focus)))
            continue;
        if (hook->m_ownerPane && !hook->m_ownerPane->isEnabled())
            continue;
        if (hook->m_owner && hook->m_owner->OnCommand(id))
            return true;
    }
    return false;
}
