#include "widgets/SparvDlgType.h"

#include "definitions/FXStyle.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

struct ChoiceEntry {
    const char* label;
    int style;
};

constexpr ChoiceEntry kChoices[SparvDlgType::kChoiceCount] = {
    {"Spray", STYLE_SPRAY},
    {"Ring", STYLE_RING},
    {"Beam", STYLE_BEAM},
    {"Trail", STYLE_TRAIL},
    {"Combo", STYLE_COMBO},
    {"Conditional", STYLE_CONDITIONAL},
    {"Sound", -1},
    {"Light", STYLE_LIGHT},
    {"Hyperspace", STYLE_HYPERSPACE},
    {"LensFlare", STYLE_LENSFLARE},
};

constexpr int kRows = 5;

} // namespace

SparvDlgType::SparvDlgType(QWidget* parent) : QDialog(parent), m_buttons(new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("Choose new fx type"));

    auto* group = new QGroupBox(QStringLiteral("Type"), this);
    group->setObjectName(QStringLiteral("type"));
    auto* grid = new QGridLayout(group);
    // Two columns, filled top to bottom, so the tab and arrow-key order follows the index.
    for (int choice = 0; choice < kChoiceCount; ++choice) {
        const QString label = QString::fromLatin1(kChoices[choice].label);
        auto* button = new QRadioButton(label, group);
        button->setObjectName(QStringLiteral("type") + label);
        m_buttons->addButton(button, choice);
        grid->addWidget(button, choice % kRows, choice / kRows);
    }

    auto* buttonBox =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttonBox);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    SetChoice(m_choice);
}

void SparvDlgType::SetChoice(int choice) {
    if (QAbstractButton* button = m_buttons->button(choice)) {
        button->setChecked(true);
        button->setFocus(Qt::OtherFocusReason);
        m_choice = choice;
    }
}

int SparvDlgType::StyleOfChoice(int choice) {
    return choice >= 0 && choice < kChoiceCount ? kChoices[choice].style : -1;
}

void SparvDlgType::accept() {
    if (m_buttons->checkedId() >= 0)
        m_choice = m_buttons->checkedId();
    QDialog::accept();
}
