#include "widgets/SparvPropSubFloat.h"

#include <QLineEdit>

SparvPropSubFloat::SparvPropSubFloat(QWidget* parent)
    : SparvPropSub(parent), m_text(NewTextBox(Edges(17, 27, 194, 52), QStringLiteral("value"))) {}

void SparvPropSubFloat::SetValue(const FXVariable& value) {
    if (value.GetType() != VARTYPE_FLOAT)
        return;
    ShowText(m_text, FormatNumber(value.GetFloat()));
    m_text->setFocus(Qt::OtherFocusReason);
}

void SparvPropSubFloat::GetValue(FXVariable& out) const {
    out.Clear();
    if (const std::optional<float> number = ParseNumber(m_text->text()))
        out.SetFloat(*number);
}
