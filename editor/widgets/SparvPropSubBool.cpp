#include "widgets/SparvPropSubBool.h"

#include <QCheckBox>

SparvPropSubBool::SparvPropSubBool(QWidget* parent)
    : SparvPropSub(parent), m_check(new QCheckBox(this)) {
    m_check->setObjectName(QStringLiteral("value"));
    m_check->setGeometry(Edges(2, 27, 164, 52));
}

void SparvPropSubBool::SetValue(const FXVariable& value) {
    if (value.GetType() != VARTYPE_BOOL)
        return;
    m_check->setChecked(value.GetBool());
    m_check->setFocus(Qt::OtherFocusReason);
}

void SparvPropSubBool::GetValue(FXVariable& out) const {
    out.Clear();
    out.SetBool(m_check->isChecked());
}
