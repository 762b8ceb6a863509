#pragma once

// The "Preferences" dialog: the autosave interval and the preview's frame rate.

#include "shell/SparvSettings.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;

class SparvDlgPreferences : public QDialog {
    Q_OBJECT

public:
    explicit SparvDlgPreferences(QWidget* parent);

    void SetSettings(const SparvSettings& settings);
    SparvSettings Settings() const;

private:
    QSpinBox* m_autosave;
    QCheckBox* m_uncapped;
};
