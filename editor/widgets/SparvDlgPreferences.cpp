#include "widgets/SparvDlgPreferences.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

SparvDlgPreferences::SparvDlgPreferences(QWidget* parent)
    : QDialog(parent), m_autosave(new QSpinBox(this)),
      m_uncapped(new QCheckBox(QStringLiteral("Uncapped frame rate"), this)) {
    setWindowTitle(QStringLiteral("Preferences"));
    m_autosave->setObjectName(QStringLiteral("autosave"));
    m_autosave->setRange(0, 3600);
    m_autosave->setSuffix(QStringLiteral(" s"));
    m_autosave->setSpecialValueText(QStringLiteral("Off"));
    m_autosave->setToolTip(QStringLiteral("How often unsaved changes are copied for recovery "
                                          "after a crash; Off keeps no copies."));
    m_uncapped->setObjectName(QStringLiteral("uncapped"));
    m_uncapped->setToolTip(QStringLiteral("Draw the preview as fast as the machine allows "
                                          "instead of once per refresh of the display, for "
                                          "measuring."));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Autosave every:"), m_autosave);
    form->addRow(m_uncapped);
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void SparvDlgPreferences::SetSettings(const SparvSettings& settings) {
    m_autosave->setValue(settings.autosaveSeconds);
    m_uncapped->setChecked(settings.uncappedFrameRate);
}

SparvSettings SparvDlgPreferences::Settings() const {
    SparvSettings settings;
    settings.autosaveSeconds = m_autosave->value();
    settings.uncappedFrameRate = m_uncapped->isChecked();
    return settings;
}
