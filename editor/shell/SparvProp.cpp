#include "shell/SparvProp.h"

#include "widgets/SparvPropSubBool.h"
#include "widgets/SparvPropSubColour.h"
#include "widgets/SparvPropSubFloat.h"
#include "widgets/SparvPropSubInteger.h"
#include "widgets/SparvPropSubString.h"
#include "widgets/SparvPropSubVec3.h"

SparvProp::SparvProp(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SparvProp"));
    setMinimumSize(0, 0);
    m_editors = {new SparvPropSubFloat(this),  new SparvPropSubVec3(this),
                 new SparvPropSubString(this), new SparvPropSubInteger(this),
                 new SparvPropSubBool(this),   new SparvPropSubColour(this)};
    for (size_t slot = 0; slot < m_editors.size(); ++slot) {
        SparvPropSub* editor = m_editors[slot];
        editor->setObjectName(QStringLiteral("SparvPropSub%1").arg(slot + 1));
        connect(editor, &SparvPropSub::ApplyRequested, this,
                [this](int typeIndex, const QString& name, const FXVariable& value, bool all) {
                    if (all)
                        emit SetAtAllKeys(typeIndex, name, value);
                    else
                        emit SetAtKey(typeIndex, name, value);
                });
    }
}

int SparvProp::SlotOf(VarType kind) {
    switch (kind) {
    case VARTYPE_FLOAT:
        return 0;
    case VARTYPE_VECTOR3:
        return 1;
    case VARTYPE_STRING:
        return 2;
    case VARTYPE_INT:
        return 3;
    case VARTYPE_BOOL:
        return 4;
    case VARTYPE_COLOUR:
        return 5;
    default:
        return kNone;
    }
}

SparvPropSub* SparvProp::Shown() const {
    return m_current == kNone ? nullptr : SubEditor(m_current);
}

void SparvProp::Clear() {
    if (SparvPropSub* shown = Shown())
        shown->hide();
    m_current = kNone;
}

void SparvProp::Show(int typeIndex, const std::string& name, const FXVariable& value, bool oneKey,
                     bool available) {
    Clear();
    if (!available)
        return;
    const int slot = SlotOf(value.GetType());
    if (slot == kNone)
        return;
    m_current = slot;
    SparvPropSub* editor = SubEditor(slot);
    editor->Setup(typeIndex, name, value, oneKey);
    editor->show();
}

void SparvProp::Refresh(int typeIndex, const std::string& name, const FXVariable& value,
                        bool oneKey, bool available) {
    if (!available || m_current == kNone || SlotOf(value.GetType()) != m_current) {
        Show(typeIndex, name, value, oneKey, available);
        return;
    }
    Shown()->Setup(typeIndex, name, value, oneKey);
}
