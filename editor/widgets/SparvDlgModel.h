#pragma once

// "Select sgm to use": the model file shown in the preview, as a host path the user can type
// or pick with Browse. The caller works with aliased paths ("DATA:art/fx/box.kmo"); the
// dialog shows them as full host paths below the working directory.

#include <QDialog>

class QLineEdit;

class SparvDlgModel : public QDialog {
    Q_OBJECT

public:
    explicit SparvDlgModel(QWidget* parent = nullptr);

    // Shows aliased as the working directory, '/' and its host path (stream mode 1). An
    // empty path leaves the field empty; a path no alias resolves is shown as given.
    void SetPath(const QString& aliased);
    // The field as read when the dialog closed with OK (otherwise as set), turned back
    // into an aliased path: without the working directory SetPath added, through
    // FilePath::ConvertToAlias. Text that already is an aliased path, or that no alias
    // holds, comes back as it is; an empty field gives an empty path.
    QString Path() const;

    // Browse: the file chooser for ".kmo" models; a chosen file replaces the field.
    void Browse();

    void accept() override;

private:
    QLineEdit* m_pathField;
    QString m_text;
};
