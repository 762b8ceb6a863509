#include "widgets/TimeVector3Dlg.h"

#include "widgets/FloatField.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

TimeVector3Dlg::TimeVector3Dlg(QWidget* parent)
    : QWidget(parent), m_x(new FloatField), m_y(new FloatField), m_z(new FloatField),
      m_time(new FloatField) {
    setObjectName(QStringLiteral("TimeVector3Dlg"));
    m_x->setObjectName(QStringLiteral("x"));
    m_y->setObjectName(QStringLiteral("y"));
    m_z->setObjectName(QStringLiteral("z"));
    m_time->setObjectName(QStringLiteral("time"));
    m_time->setReadOnly(true);
    m_time->setToolTip(QStringLiteral("Drag the key on the bar to change its time"));

    auto* group = new QGroupBox(QStringLiteral("Value"), this);
    auto* form = new QFormLayout(group);
    form->setContentsMargins(6, 4, 6, 6);
    form->setVerticalSpacing(3);
    form->addRow(QStringLiteral("X:"), m_x);
    form->addRow(QStringLiteral("Y:"), m_y);
    form->addRow(QStringLiteral("Z:"), m_z);
    form->addRow(QStringLiteral("Time:"), m_time);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(group);

    for (FloatField* field : {m_x, m_y, m_z}) {
        connect(field, &QLineEdit::textChanged, this, [this] {
            if (!m_updating)
                emit Edited();
        });
        connect(field, &QLineEdit::editingFinished, this, [this, field] {
            if (!field->Value()) {
                const int index = field == m_x ? 0 : field == m_y ? 1 : 2;
                m_updating = true;
                field->SetValue(m_shown[index]);
                m_updating = false;
            }
            emit EditFinished();
        });
    }
}

void TimeVector3Dlg::SetKey(float time, float x, float y, float z) {
    m_updating = true;
    m_shown[0] = x;
    m_shown[1] = y;
    m_shown[2] = z;
    m_x->SetValue(x);
    m_y->SetValue(y);
    m_z->SetValue(z);
    m_time->SetValue(time);
    m_updating = false;
}

void TimeVector3Dlg::EnableFields(bool enabled) {
    for (FloatField* field : {m_x, m_y, m_z, m_time})
        field->setEnabled(enabled);
}

bool TimeVector3Dlg::FieldsEnabled() const {
    return m_x->isEnabled();
}

bool TimeVector3Dlg::Read(float& x, float& y, float& z) const {
    const auto vx = m_x->Value();
    const auto vy = m_y->Value();
    const auto vz = m_z->Value();
    if (!vx || !vy || !vz)
        return false;
    x = *vx;
    y = *vy;
    z = *vz;
    return true;
}
