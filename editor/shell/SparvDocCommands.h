#pragma once

// The document's commands at the edge of the user interface: File Open, Save and Save As,
// Undo and Redo, and the Gravity, Wind and Emitter Position dialogs. Here the questions
// are asked (through SparvPrompts), the choosers and dialogs run and the document's
// reasons shown; the document and the playback do the work.
//
// In the command route it takes the document's place: after the active view, before the
// main frame and the application.

#include "shell/SparvCommands.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;
class SparvDoc;
class SparvPlayback;
class SparvRecentFiles;

class SparvDocCommands : public QObject, public SparvCommandTarget {
    Q_OBJECT

public:
    SparvDocCommands(SparvDoc& document, SparvPlayback& playback, SparvRecentFiles& recentFiles,
                     QWidget* dialogParent);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, SparvCommandState& state) override;

    // Review snapshots are opened by others: open shows one (true when it did), adopt
    // prepares a snapshot's types for Save As (false: the user declined).
    void SetSnapshotHandlers(std::function<bool(const QString&)> open,
                             std::function<bool()> adopt) {
        m_openSnapshot = std::move(open);
        m_adoptSnapshot = std::move(adopt);
    }

    // File Open: the save prompt of Open, the chooser, then the file.
    void Open();
    // The save prompt of Open, then the file (the recent-file list, the command line).
    void OpenPath(const QString& hostPath);
    // Loads a file (an FX file, or a review snapshot), showing why when it cannot; true
    // when it was opened.
    bool Load(const QString& hostPath);
    // Save As for a document that never had a file, otherwise every unsaved type; true
    // when everything was written.
    bool Save();
    bool SaveAs();
    // Asked before the document is discarded or the application closes: false when the
    // user cancels.
    bool SaveModified();
    // Edits can be undone and redone only while playback is stopped.
    void Undo();
    void Redo();
    void GlobalVectorDialog(bool wind);
    void EmitterDialog();

private:
    void SavePromptOfOpen();
    bool SaveAll();
    // Shows each failure in its own warning box, then the names saved in one box.
    bool Report(const QStringList& saved, const QStringList& failed);
    void Message(const QString& text, bool warning = false);

    SparvDoc& m_document;
    SparvPlayback& m_playback;
    SparvRecentFiles& m_recentFiles;
    QPointer<QWidget> m_dialogParent;
    std::function<bool(const QString&)> m_openSnapshot;
    std::function<bool()> m_adoptSnapshot;
};
