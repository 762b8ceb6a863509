#pragma once

// The commands for showing an effect to others: File > Export Animation, Bake Flip-book
// and Save Snapshot, and the opening of review snapshots (File > Open, the recent-file
// list, the command line), with their dialogs and questions (through SparvPrompts).
//
// Exports and bakes draw headless (fx/review) in a runtime world of their own with the
// document's types and the preview's scene, so the preview's own effect is left as it is:
// it is paused while the job runs (frames and repaints wait, see SparvView::SetHeld) and
// goes on afterwards. A progress bar with Cancel shows the frames; a failed or cancelled
// job leaves no file, and a failure is reported with its reason.
//
// A snapshot opened is shown read-only: the document takes its types, the preview its
// scene and moment; Save As adopts the types into the working directory.
//
// In the command route it comes after the document's commands.

#include "review/FXAnimationExport.h"
#include "review/FXFlipbookBaker.h"
#include "review/FXSnapshot.h"
#include "shell/SparvCommands.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QWidget;
class SparvDoc;
class SparvPlayback;
class SparvView;

class SparvReviewCommands : public QObject, public SparvCommandTarget {
    Q_OBJECT

public:
    SparvReviewCommands(SparvDoc& document, SparvPlayback& playback, SparvView& view,
                        QWidget* dialogParent);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, SparvCommandState& state) override;

    // The dialog, then the export; false when cancelled or failed (the failure reported).
    bool ExportAnimation();
    // Exports the document's main type: settings' type name, scene and speed are the
    // preview's; the rest as given. With progress, a progress bar with Cancel shows.
    // reason: why it failed.
    FXReviewOutcome Export(FXExportSettings settings, bool progress, QString* reason);
    bool BakeFlipbook();
    FXReviewOutcome Bake(FXBakeSettings settings, bool progress, QString* reason);

    // The note dialog, the file chooser, then the snapshot.
    bool SaveSnapshot();
    // Writes a snapshot of the frame the preview shows: a frame reached in real time is
    // first rebuilt at its moment (paused), so the file holds exactly what is shown.
    bool WriteSnapshot(const QString& path, const QString& note, QString* reason);
    // Opens a review snapshot read-only, telling what differs from the working directory
    // and which files are missing; a refused file is reported with the reader's reason and
    // changes nothing.
    bool OpenSnapshot(const QString& path);
    // Before Save As of a snapshot: asks before types that differ from their files replace
    // them, and marks every type to write. False when the user declines.
    bool AdoptSnapshotTypes();

    // What the last snapshot opened said about its types and files.
    const std::vector<FXSnapshotTypeStatus>& SnapshotStatuses() const { return m_statuses; }
    const std::vector<FXSnapshotMissingFile>& SnapshotMissingFiles() const { return m_missing; }

    static bool IsSnapshotPath(const QString& path);

private:
    using Job = std::function<FXReviewOutcome(const FXReviewProgress&)>;
    // Runs a job in a world of its own with the document's types, the preview held.
    FXReviewOutcome RunJob(const QString& title, bool progress, const Job& job);
    void Warn(const QString& text);
    // Tells how a job ended: done in the status line (true), cancelled there too, a
    // failure in a message box.
    bool Report(FXReviewOutcome outcome, const QString& done, const QString& cancelled,
                const QString& failed);
    // A default output path in the working directory: the main type's name with suffix.
    QString DefaultPath(const QString& suffix) const;

    SparvDoc& m_document;
    SparvPlayback& m_playback;
    SparvView& m_view;
    QPointer<QWidget> m_dialogParent;
    std::vector<FXSnapshotTypeStatus> m_statuses;
    std::vector<FXSnapshotMissingFile> m_missing;
};
