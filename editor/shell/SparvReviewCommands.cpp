#include "shell/SparvReviewCommands.h"

#include "runtime/FXManager.h"
#include "shell/RenderWindow.h"
#include "shell/SparvDoc.h"
#include "shell/SparvFormat.h"
#include "shell/SparvPlayback.h"
#include "shell/SparvPrompts.h"
#include "shell/SparvStatusLine.h"
#include "shell/SparvView.h"
#include "shell/SparvWorld.h"
#include "shell/TypeProxy.h"
#include "widgets/SparvDlgBake.h"
#include "widgets/SparvDlgExport.h"
#include "widgets/SparvDlgSnapshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QProgressDialog>
#include <algorithm>
#include <memory>

namespace {

const QString kSnapshotFilter = QStringLiteral("Review snapshots (*.sparvsnap)");

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString Absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

const char* const kSpeedNotes[] = {"1/8", "1/4", "1/2", "normal", "2 \u00d7", "4 \u00d7"};

} // namespace

SparvReviewCommands::SparvReviewCommands(SparvDoc& document, SparvPlayback& playback,
                                         SparvView& view, QWidget* dialogParent)
    : m_document(document), m_playback(playback), m_view(view), m_dialogParent(dialogParent) {}

bool SparvReviewCommands::IsSnapshotPath(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("sparvsnap"), Qt::CaseInsensitive) == 0;
}

bool SparvReviewCommands::OnCommand(int id) {
    switch (id) {
    case SparvCommand::ExportAnimation:
        ExportAnimation();
        return true;
    case SparvCommand::BakeFlipbook:
        BakeFlipbook();
        return true;
    case SparvCommand::SaveSnapshot:
        SaveSnapshot();
        return true;
    default:
        return false;
    }
}

bool SparvReviewCommands::OnUpdateCommand(int id, SparvCommandState& state) {
    switch (id) {
    case SparvCommand::ExportAnimation:
    case SparvCommand::BakeFlipbook:
    case SparvCommand::SaveSnapshot:
        state.enabled = m_document.TypeAt(0) != nullptr;
        return true;
    default:
        return false;
    }
}

void SparvReviewCommands::Warn(const QString& text) {
    SparvPrompts::Current().Message(m_dialogParent, text, SparvPrompts::Buttons::Ok,
                                    SparvPrompts::Icon::Warning);
}

QString SparvReviewCommands::DefaultPath(const QString& suffix) const {
    const FXType* main = m_document.TypeAt(0);
    QString name = main ? QString::fromStdString(main->GetName()) : QStringLiteral("effect");
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QDir::current().filePath(name + suffix);
}

// ---- jobs ---------------------------------------------------------------------------------

FXReviewOutcome SparvReviewCommands::RunJob(const QString& title, bool progress, const Job& job) {
    if (!FXManager::Instance())
        return FXReviewOutcome::Failed;
    // The job draws with a GL context of its own: the preview's must not be current, nor
    // become current while the job runs.
    m_view.SetHeld(true);
    m_view.Render()->doneCurrent();
    const Vector3 gravity = *FXGetGravity();
    const Vector3 wind = *FXGetWind();
    std::unique_ptr<QProgressDialog> dialog;
    if (progress) {
        dialog = std::make_unique<QProgressDialog>(title, QStringLiteral("Cancel"), 0, 1,
                                                   m_dialogParent);
        dialog->setObjectName(QStringLiteral("ReviewProgress"));
        dialog->setWindowTitle(title);
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setMinimumDuration(0);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setValue(0);
    }
    FXReviewOutcome outcome = FXReviewOutcome::Failed;
    {
        SparvWorld world;
        SparvWorld::Scope scope(world);
        for (int i = 0; i < m_document.TypeCount(); ++i)
            world.Manager().TypeAdd(std::make_shared<TypeProxy>(m_document.SharedTypeAt(i)));
        QProgressDialog* shown = dialog.get();
        outcome = job([shown](int done, int total) {
            if (!shown)
                return true;
            shown->setMaximum(std::max(total, 1));
            shown->setValue(done); // a modal progress dialog handles events here
            QCoreApplication::processEvents();
            // Painting may have made a window's context current: the job's comes back with
            // its next frame.
            if (QOpenGLContext* current = QOpenGLContext::currentContext())
                current->doneCurrent();
            return !shown->wasCanceled();
        });
    }
    FXSetGravity(gravity);
    FXSetWind(wind);
    dialog.reset();
    m_view.SetHeld(false);
    return outcome;
}

FXReviewOutcome SparvReviewCommands::Export(FXExportSettings settings, bool progress,
                                            QString* reason) {
    const FXType* main = m_document.TypeAt(0);
    if (!main) {
        if (reason)
            *reason = QStringLiteral("there is no effect to export");
        return FXReviewOutcome::Failed;
    }
    settings.typeName = main->GetName();
    settings.scene = m_view.CurrentScene();
    settings.speed = m_playback.Speed();
    std::string why;
    const FXReviewOutcome outcome =
        RunJob(QStringLiteral("Exporting %1")
                   .arg(QFileInfo(QString::fromStdString(settings.outputPath)).fileName()),
               progress, [&](const FXReviewProgress& report) {
                   return FXAnimationExport::Run(settings, report, why);
               });
    if (reason)
        *reason = QString::fromStdString(why);
    return outcome;
}

bool SparvReviewCommands::ExportAnimation() {
    if (!m_document.TypeAt(0))
        return false;
    SparvDlgExport dialog(
        m_dialogParent,
        QString::fromUtf8(
            kSpeedNotes[static_cast<size_t>(std::clamp(m_playback.SpeedIndex(), 0, 5))]));
    dialog.SetPath(DefaultPath(QStringLiteral(".gif")));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    FXExportSettings settings;
    settings.outputPath = Absolute(dialog.Path()).toStdString();
    settings.frames = dialog.Frames();
    settings.fps = dialog.Fps();
    settings.width = dialog.FrameWidth();
    settings.height = dialog.FrameHeight();
    settings.transparent = dialog.Transparent();
    QString reason;
    const FXReviewOutcome outcome = Export(settings, true, &reason);
    return Report(
        outcome,
        QStringLiteral("Exported %1 frames to %2").arg(settings.frames).arg(Native(dialog.Path())),
        QStringLiteral("Export cancelled: nothing was written"),
        QStringLiteral("Failed to export the animation to '%1': %2")
            .arg(Native(dialog.Path()), reason));
}

bool SparvReviewCommands::Report(FXReviewOutcome outcome, const QString& done,
                                 const QString& cancelled, const QString& failed) {
    switch (outcome) {
    case FXReviewOutcome::Done:
        m_view.StatusLine()->SetText(0, done);
        return true;
    case FXReviewOutcome::Cancelled:
        m_view.StatusLine()->SetText(0, cancelled);
        return false;
    case FXReviewOutcome::Failed:
        Warn(failed);
        return false;
    }
    return false;
}

FXReviewOutcome SparvReviewCommands::Bake(FXBakeSettings settings, bool progress, QString* reason) {
    const FXType* main = m_document.TypeAt(0);
    if (!main) {
        if (reason)
            *reason = QStringLiteral("there is no effect to bake");
        return FXReviewOutcome::Failed;
    }
    settings.typeName = main->GetName();
    settings.scene = m_view.CurrentScene();
    // Added light is kept exactly over black.
    settings.scene.background = {0.0f, 0.0f, 0.0f, 1.0f};
    std::string why;
    FXBakeLayout layout;
    const FXReviewOutcome outcome =
        RunJob(QStringLiteral("Baking %1")
                   .arg(QFileInfo(QString::fromStdString(settings.sheetPath)).fileName()),
               progress, [&](const FXReviewProgress& report) {
                   return FXFlipbookBaker::Run(settings, report, layout, why);
               });
    if (reason)
        *reason = QString::fromStdString(why);
    return outcome;
}

bool SparvReviewCommands::BakeFlipbook() {
    if (!m_document.TypeAt(0))
        return false;
    SparvDlgBake dialog(m_dialogParent);
    dialog.SetPath(DefaultPath(QStringLiteral("_sheet.png")));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    FXBakeSettings settings;
    settings.sheetPath = Absolute(dialog.Path()).toStdString();
    settings.columns = dialog.Columns();
    settings.rows = dialog.Rows();
    settings.fps = dialog.Fps();
    settings.cellSize = dialog.CellSize();
    QString reason;
    const FXReviewOutcome outcome = Bake(settings, true, &reason);
    return Report(
        outcome,
        QStringLiteral("Baked %1 x %2 frames into %3 and %4")
            .arg(settings.columns)
            .arg(settings.rows)
            .arg(Native(dialog.Path()),
                 Native(QString::fromStdString(
                     FXFlipbookBaker::AnimationPathFor(settings.sheetPath)))),
        QStringLiteral("Bake cancelled: nothing was written"),
        QStringLiteral("Failed to bake the flip-book '%1': %2").arg(Native(dialog.Path()), reason));
}

// ---- snapshots ----------------------------------------------------------------------------

bool SparvReviewCommands::SaveSnapshot() {
    const FXType* main = m_document.TypeAt(0);
    if (!main)
        return false;
    SparvDlgSnapshot dialog(
        m_dialogParent,
        QStringLiteral("A review snapshot holds %1 and every type it uses, and shows the frame "
                       "the preview shows now, with its camera and settings.")
            .arg(QString::fromStdString(main->GetName())));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QString path = SparvPrompts::Current().SaveFile(m_dialogParent, QStringLiteral("Save Snapshot"),
                                                    DefaultPath(QStringLiteral(".sparvsnap")),
                                                    kSnapshotFilter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".sparvsnap");
    if (QFileInfo::exists(path) &&
        SparvPrompts::Current().Message(
            m_dialogParent,
            QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(Native(path)),
            SparvPrompts::Buttons::YesNo, SparvPrompts::Icon::Warning) != SparvPrompts::Answer::Yes)
        return false;
    QString reason;
    if (!WriteSnapshot(path, dialog.Note(), &reason)) {
        Warn(QStringLiteral("Failed to save the snapshot '%1': %2").arg(Native(path), reason));
        return false;
    }
    m_view.StatusLine()->SetText(0, QStringLiteral("Saved the snapshot %1").arg(Native(path)));
    return true;
}

bool SparvReviewCommands::WriteSnapshot(const QString& path, const QString& note, QString* reason) {
    const FXType* main = m_document.TypeAt(0);
    if (!main) {
        if (reason)
            *reason = QStringLiteral("there is no effect");
        return false;
    }
    // The frame shown, exactly as a render of the snapshot will draw it.
    if (m_playback.IsPlaying())
        m_playback.Pause();
    if (m_playback.IsStopped())
        m_view.ShowMoment(0.0, true);
    else if (!m_playback.IsExact() || m_playback.Time() > FXSnapshot::kMaxTime)
        m_view.ShowMoment(std::min(m_view.ReplayTime(m_playback.Time()), FXSnapshot::kMaxTime),
                          false);

    FXSnapshot snapshot;
    std::string why;
    const bool captured = snapshot.CaptureTypes(
        main->GetName(),
        [this](const std::string& name) -> const FXType* {
            // The document's types hold the edits; the others are as their files hold them.
            for (int i = 0; i < m_document.TypeCount(); ++i)
                if (FXLowerCase(m_document.TypeAt(i)->GetName().c_str()) ==
                    FXLowerCase(name.c_str()))
                    return m_document.TypeAt(i);
            FXManager* manager = FXManager::Instance();
            const FXType* found = manager ? manager->TypeFind(name.c_str()) : nullptr;
            // A stand-in of the document lists no properties: never one to capture.
            return dynamic_cast<const TypeProxy*>(found) ? nullptr : found;
        },
        &why);
    if (!captured) {
        if (reason)
            *reason = QString::fromStdString(why);
        return false;
    }
    snapshot.scene = m_view.CurrentScene();
    snapshot.time = m_playback.Time();
    const QSize size = m_view.Render()->EffectViewSize();
    snapshot.width = std::clamp(size.width(), 1, 8192);
    snapshot.height = std::clamp(size.height(), 1, 8192);
    snapshot.note = note.toStdString();
    if (!snapshot.Write(Absolute(path).toStdString(), &why)) {
        if (reason)
            *reason = QString::fromStdString(why);
        return false;
    }
    return true;
}

bool SparvReviewCommands::OpenSnapshot(const QString& path) {
    FXSnapshot snapshot;
    std::string why;
    if (!snapshot.Read(Absolute(path).toStdString(), &why)) {
        Warn(QStringLiteral("The review snapshot '%1' was refused: %2")
                 .arg(Native(path), QString::fromStdString(why)));
        return false;
    }
    std::vector<std::shared_ptr<FXType>> types = snapshot.BuildTypes();
    if (types.empty()) {
        Warn(QStringLiteral("The review snapshot '%1' holds no effect that can be shown")
                 .arg(Native(path)));
        return false;
    }
    m_statuses = snapshot.CompareWithFiles();
    m_missing = snapshot.MissingFiles();
    if (!m_playback.IsStopped())
        m_playback.Stop();
    m_view.MakeContextCurrent();
    m_document.LoadSnapshot(std::move(types), QFileInfo(path).fileName());
    m_view.ApplyScene(snapshot.scene, QSize(snapshot.width, snapshot.height));
    m_view.ShowMoment(snapshot.time, true);

    const QString note = QString::fromStdString(snapshot.note).simplified();
    m_view.StatusLine()->SetText(
        0, note.isEmpty()
               ? QStringLiteral("Review snapshot at %1 s").arg(SparvFormat::Fixed(snapshot.time, 2))
               : QStringLiteral("Note: ") + note);
    QStringList lines;
    for (const FXSnapshotTypeStatus& status : m_statuses) {
        const QString name = QString::fromStdString(status.name);
        switch (status.kind) {
        case FXSnapshotTypeStatus::Kind::Same:
            break;
        case FXSnapshotTypeStatus::Kind::Differs: {
            QStringList properties;
            for (const std::string& property : status.properties)
                properties << QString::fromStdString(property);
            lines << QStringLiteral("%1 differs from its file in the working directory (%2)")
                         .arg(name, properties.join(QStringLiteral(", ")));
            break;
        }
        case FXSnapshotTypeStatus::Kind::NoFile:
            lines << QStringLiteral("%1 has no file in the working directory").arg(name);
            break;
        case FXSnapshotTypeStatus::Kind::Unreadable:
            lines << QStringLiteral("%1: the working directory's file cannot be read (%2)")
                         .arg(name, QString::fromStdString(status.reason));
            break;
        }
    }
    for (const FXSnapshotMissingFile& missing : m_missing)
        lines << QStringLiteral("%1, %2: '%3' does not exist and is left out")
                     .arg(QString::fromStdString(missing.type),
                          QString::fromStdString(missing.property),
                          QString::fromStdString(missing.file));
    if (!lines.isEmpty())
        SparvPrompts::Current().Message(
            m_dialogParent,
            QStringLiteral("The review snapshot '%1' shows its own types, read-only:\n\n%2\n\n"
                           "Save As writes its types into the working directory.")
                .arg(QFileInfo(path).fileName(), lines.join(QLatin1Char('\n'))),
            SparvPrompts::Buttons::Ok, SparvPrompts::Icon::Information);
    return true;
}

bool SparvReviewCommands::AdoptSnapshotTypes() {
    if (!m_document.IsReadOnly())
        return true;
    std::vector<int> toWrite;
    QStringList replaced;
    for (int i = 1; i < m_document.TypeCount(); ++i) {
        const std::string name = m_document.TypeAt(i)->GetName();
        const auto status =
            std::find_if(m_statuses.begin(), m_statuses.end(),
                         [&](const FXSnapshotTypeStatus& entry) { return entry.name == name; });
        if (status == m_statuses.end() || status->kind == FXSnapshotTypeStatus::Kind::Same)
            continue;
        toWrite.push_back(i);
        if (status->kind != FXSnapshotTypeStatus::Kind::NoFile)
            replaced << QString::fromStdString(name);
    }
    if (!replaced.isEmpty() &&
        SparvPrompts::Current().Message(
            m_dialogParent,
            QStringLiteral("The snapshot's versions of these types replace their files in the "
                           "working directory:\n\n%1\n\nDo you want to go on?")
                .arg(replaced.join(QLatin1Char('\n'))),
            SparvPrompts::Buttons::YesNo, SparvPrompts::Icon::Warning) != SparvPrompts::Answer::Yes)
        return false;
    for (const int index : toWrite)
        m_document.MarkTypeUnsaved(index);
    return true;
}
