#pragma once

// The file a dialog writes: a line for its path and a Browse button that opens the
// save-file chooser. The dialogs that write one file (Export Animation, Bake Flip-book)
// hold one and keep themselves open while it is empty.

#include <QString>
#include <QWidget>

class QLineEdit;

class SaveFileField : public QWidget {
    Q_OBJECT

public:
    // title and filter: the chooser's window title and file-type filter.
    SaveFileField(QWidget* parent, const QString& title, const QString& filter);

    void SetPath(const QString& path);
    // The path as typed, without surrounding blanks.
    QString Path() const;
    // The chooser; a chosen file replaces the path.
    void Browse();
    // True when there is no path: the line then takes the focus, for the user to type one.
    bool FocusIfEmpty();

signals:
    void PathChanged();

private:
    QLineEdit* m_path;
    QString m_title;
    QString m_filter;
};
