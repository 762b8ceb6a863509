#include "widgets/SparvDlgGlobals.h"

#include "widgets/FloatField.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

SparvDlgGlobals::SparvDlgGlobals(QWidget* parent, const QString& caption)
    : QDialog(parent), m_xField(new FloatField(this)), m_yField(new FloatField(this)),
      m_zField(new FloatField(this)) {
    setWindowTitle(caption);
    m_xField->setObjectName(QStringLiteral("x"));
    m_yField->setObjectName(QStringLiteral("y"));
    m_zField->setObjectName(QStringLiteral("z"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("X"), m_xField);
    form->addRow(QStringLiteral("Y"), m_yField);
    form->addRow(QStringLiteral("Z"), m_zField);

    auto* buttonBox =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttonBox);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    SetValues(m_x, m_y, m_z);
    m_xField->setFocus(Qt::OtherFocusReason);
}

void SparvDlgGlobals::SetValues(float x, float y, float z) {
    m_x = x;
    m_y = y;
    m_z = z;
    m_xField->SetValue(x);
    m_yField->SetValue(y);
    m_zField->SetValue(z);
}

void SparvDlgGlobals::accept() {
    if (FloatField::ReadAll(this, {{m_xField, &m_x}, {m_yField, &m_y}, {m_zField, &m_z}}))
        QDialog::accept();
}
