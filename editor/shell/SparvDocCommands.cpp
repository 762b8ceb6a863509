#include "shell/SparvDocCommands.h"

#include "runtime/FXManager.h"
#include "shell/SparvDoc.h"
#include "shell/SparvPlayback.h"
#include "shell/SparvPrompts.h"
#include "shell/SparvRecentFiles.h"
#include "widgets/SparvDlgEmitPos.h"
#include "widgets/SparvDlgGlobals.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kLuaFilter = QStringLiteral("Lua files (*.lua)");
// Open also takes review snapshots.
const QString kOpenFilter = kLuaFilter + QStringLiteral(";;Review snapshots (*.sparvsnap)");

bool IsSnapshot(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("sparvsnap"), Qt::CaseInsensitive) == 0;
}

} // namespace

SparvDocCommands::SparvDocCommands(SparvDoc& document, SparvPlayback& playback,
                                   SparvRecentFiles& recentFiles, QWidget* dialogParent)
    : m_document(document), m_playback(playback), m_recentFiles(recentFiles),
      m_dialogParent(dialogParent) {}

bool SparvDocCommands::OnCommand(int id) {
    switch (id) {
    case SparvCommand::FileOpen:
        Open();
        return true;
    case SparvCommand::FileSave:
        Save();
        return true;
    case SparvCommand::FileSaveAs:
        SaveAs();
        return true;
    case SparvCommand::EditUndo:
        Undo();
        return true;
    case SparvCommand::EditRedo:
        Redo();
        return true;
    case SparvCommand::Gravity:
    case SparvCommand::Wind:
        if (m_playback.IsStopped())
            GlobalVectorDialog(id == SparvCommand::Wind);
        return true;
    case SparvCommand::EmitterPosition:
        EmitterDialog();
        return true;
    default:
        return false;
    }
}

bool SparvDocCommands::OnUpdateCommand(int id, SparvCommandState& state) {
    const QUndoStack& stack = m_document.UndoStack();
    switch (id) {
    case SparvCommand::Gravity:
    case SparvCommand::Wind:
        state.enabled = m_playback.IsStopped();
        return true;
    case SparvCommand::EditUndo:
        state.enabled = m_playback.IsStopped() && stack.canUndo();
        state.text =
            stack.canUndo() ? QStringLiteral("&Undo ") + stack.undoText() : QStringLiteral("&Undo");
        return true;
    case SparvCommand::EditRedo:
        state.enabled = m_playback.IsStopped() && stack.canRedo();
        state.text =
            stack.canRedo() ? QStringLiteral("&Redo ") + stack.redoText() : QStringLiteral("&Redo");
        return true;
    case SparvCommand::FileOpen:
    case SparvCommand::FileSave:
    case SparvCommand::FileSaveAs:
    case SparvCommand::EmitterPosition:
        state.enabled = true;
        return true;
    default:
        return false;
    }
}

void SparvDocCommands::Message(const QString& text, bool warning) {
    SparvPrompts::Current().Message(m_dialogParent, text, SparvPrompts::Buttons::Ok,
                                    warning ? SparvPrompts::Icon::Warning
                                            : SparvPrompts::Icon::Information);
}

// ---- opening ------------------------------------------------------------------------------

void SparvDocCommands::SavePromptOfOpen() {
    if (!m_playback.IsStopped())
        m_playback.Stop();
    // Cancel goes on as No does: the file to open is chosen next.
    if (m_document.IsModified() &&
        SparvPrompts::Current().Message(m_dialogParent, QStringLiteral("Do you want to save?"),
                                        SparvPrompts::Buttons::YesNoCancel,
                                        SparvPrompts::Icon::Question) == SparvPrompts::Answer::Yes)
        Save();
}

void SparvDocCommands::Open() {
    SavePromptOfOpen();
    const QString path = SparvPrompts::Current().OpenFile(m_dialogParent, QStringLiteral("Open"),
                                                          SparvDoc::HostFXRoot(), kOpenFilter);
    if (!path.isEmpty())
        Load(path);
}

void SparvDocCommands::OpenPath(const QString& hostPath) {
    SavePromptOfOpen();
    Load(hostPath);
}

bool SparvDocCommands::Load(const QString& hostPath) {
    if (IsSnapshot(hostPath) && m_openSnapshot) {
        if (!m_openSnapshot(hostPath))
            return false;
        m_recentFiles.Add(hostPath);
        return true;
    }
    QString failure;
    if (!m_document.Load(hostPath, &failure)) {
        Message(failure, true);
        return false;
    }
    m_recentFiles.Add(hostPath);
    return true;
}

// ---- saving -------------------------------------------------------------------------------

bool SparvDocCommands::Save() {
    return m_document.IsUntitled() ? SaveAs() : SaveAll();
}

bool SparvDocCommands::SaveAll() {
    if (!m_playback.IsStopped())
        m_playback.Stop();
    const SparvDoc::SaveReport report = m_document.SaveAll();
    return Report(report.saved, report.failed);
}

bool SparvDocCommands::SaveAs() {
    const FXType* main = m_document.TypeAt(0);
    if (!main)
        return false;
    const QString initial = SparvDoc::HostPathOfType(QString::fromStdString(main->GetName()));
    QString path = SparvPrompts::Current().SaveFile(m_dialogParent, QStringLiteral("Save As"),
                                                    initial, kLuaFilter);
    if (path.isEmpty())
        return false;
    // The chooser's default extension; the question about replacing a file is about the
    // file that will be written.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".lua");
    if (QFileInfo::exists(path) &&
        SparvPrompts::Current().Message(
            m_dialogParent,
            QStringLiteral("%1 already exists.\nDo you want to replace it?")
                .arg(QDir::toNativeSeparators(path)),
            SparvPrompts::Buttons::YesNo, SparvPrompts::Icon::Warning) != SparvPrompts::Answer::Yes)
        return false;
    const QString name = SparvDoc::TypeNameFromPath(path);
    if (name.isEmpty()) {
        // A type is stored below the FX root under its name; elsewhere it has none.
        Message(QStringLiteral("Failed to find file"), true);
        return false;
    }
    if (m_document.IsReadOnly() && m_adoptSnapshot && !m_adoptSnapshot())
        return false;
    if (!m_playback.IsStopped())
        m_playback.Stop();
    const SparvDoc::SaveReport report = m_document.SaveAs(name);
    return Report(report.saved, report.failed);
}

bool SparvDocCommands::Report(const QStringList& saved, const QStringList& failed) {
    for (const QString& name : failed)
        Message(QStringLiteral("Failed to save file '%1', perhaps it is read-only").arg(name),
                true);
    if (!saved.isEmpty())
        Message(saved.join(QLatin1Char('\n')) + QStringLiteral("\n\nSaved Successfully"));
    return failed.isEmpty();
}

bool SparvDocCommands::SaveModified() {
    if (!m_document.IsModified())
        return true;
    switch (SparvPrompts::Current().Message(
        m_dialogParent, QStringLiteral("Do you want to save the changes you made?"),
        SparvPrompts::Buttons::YesNoCancel, SparvPrompts::Icon::Question)) {
    case SparvPrompts::Answer::Cancel:
        return false;
    case SparvPrompts::Answer::Yes:
        // What could not be written stays open rather than being lost.
        return Save();
    default:
        return true;
    }
}

// ---- undo ---------------------------------------------------------------------------------

void SparvDocCommands::Undo() {
    if (m_playback.IsStopped())
        m_document.Undo();
}

void SparvDocCommands::Redo() {
    if (m_playback.IsStopped())
        m_document.Redo();
}

// ---- dialogs ------------------------------------------------------------------------------

void SparvDocCommands::GlobalVectorDialog(bool wind) {
    SparvDlgGlobals dialog(m_dialogParent,
                           wind ? QStringLiteral("Wind") : QStringLiteral("Gravity"));
    const Vector3 current = *(wind ? FXGetWind() : FXGetGravity());
    dialog.SetValues(current.x, current.y, current.z);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const Vector3 entered{dialog.X(), dialog.Y(), dialog.Z()};
    if (wind)
        FXSetWind(entered);
    else
        FXSetGravity(entered);
}

void SparvDocCommands::EmitterDialog() {
    SparvDlgEmitPos dialog(m_dialogParent);
    dialog.SetTransform(m_playback.EmitterTransform());
    dialog.SetScale(m_playback.EmitterScale());
    dialog.SetLength(m_playback.EmitterLength());
    dialog.SetVelocity(m_playback.EmitterVelocity());
    dialog.SetMarkers({}); // the preview has no markers to offer
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_playback.SetEmitter(dialog.Transform(), dialog.Scale(), dialog.Length(), dialog.Velocity());
}
