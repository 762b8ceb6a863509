#include "widgets/SparvDlgSnapshot.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

SparvDlgSnapshot::SparvDlgSnapshot(QWidget* parent, const QString& description)
    : QDialog(parent), m_note(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Save Snapshot"));
    auto* what = new QLabel(description, this);
    what->setWordWrap(true);
    auto* label = new QLabel(QStringLiteral("&Note for the reviewer:"), this);
    label->setBuddy(m_note);
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setTabChangesFocus(true);
    m_note->setMinimumSize(m_note->fontMetrics().averageCharWidth() * 56,
                           m_note->fontMetrics().lineSpacing() * 6);

    auto* buttonBox =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    buttonBox->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Save..."));
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addWidget(label);
    layout->addWidget(m_note, 1);
    layout->addWidget(buttonBox);
    m_note->setFocus(Qt::OtherFocusReason);
}

void SparvDlgSnapshot::SetNote(const QString& note) {
    m_note->setPlainText(note);
}

QString SparvDlgSnapshot::Note() const {
    return m_note->toPlainText();
}
