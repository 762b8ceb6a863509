#include "widgets/SparvPropSubVec3.h"

#include <QLabel>
#include <QLineEdit>

SparvPropSubVec3::SparvPropSubVec3(QWidget* parent)
    : SparvPropSub(parent), m_boxes{NewTextBox(Edges(17, 27, 194, 52), QStringLiteral("x")),
                                    NewTextBox(Edges(17, 56, 194, 81), QStringLiteral("y")),
                                    NewTextBox(Edges(17, 85, 194, 110), QStringLiteral("z"))} {
    NewLabel(QStringLiteral("X"), Edges(4, 29, 17, 54));
    NewLabel(QStringLiteral("Y"), Edges(4, 58, 17, 83));
    NewLabel(QStringLiteral("Z"), Edges(4, 87, 17, 112));
}

void SparvPropSubVec3::SetValue(const FXVariable& value) {
    Vector3 vector;
    if (!value.GetVector3(vector))
        return;
    ShowText(m_boxes[0], FormatNumber(vector.x));
    ShowText(m_boxes[1], FormatNumber(vector.y));
    ShowText(m_boxes[2], FormatNumber(vector.z));
    m_boxes[0]->setFocus(Qt::OtherFocusReason);
}

void SparvPropSubVec3::GetValue(FXVariable& out) const {
    out.Clear();
    const std::optional<float> x = ParseNumber(m_boxes[0]->text());
    const std::optional<float> y = ParseNumber(m_boxes[1]->text());
    const std::optional<float> z = ParseNumber(m_boxes[2]->text());
    if (x && y && z)
        out.SetVector3({*x, *y, *z});
}
