#pragma once

// File > Save Snapshot: the note that goes with a review snapshot, what the reviewer
// should look at ("the sparks fade too early").

#include <QDialog>

class QPlainTextEdit;

class SparvDlgSnapshot : public QDialog {
    Q_OBJECT

public:
    // description: what the snapshot will hold (effect, time), shown above the note.
    SparvDlgSnapshot(QWidget* parent, const QString& description);

    void SetNote(const QString& note);
    QString Note() const;

private:
    QPlainTextEdit* m_note;
};
