#include "shell/SparvDoc.h"

#include "definitions/FXFile.h"
#include "definitions/FXTypeFactory.h"
#include "math/Random.h"
#include "runtime/FXManager.h"
#include "shell/SparvPrompts.h"
#include "shell/SparvRecentFiles.h"
#include "shell/TypeProxy.h"
#include "stream/FilePath.h"
#include "widgets/SparvDlgEmitPos.h"
#include "widgets/SparvDlgGlobals.h"

#include <QFileInfo>
#include <QWidget>
#include <limits>

namespace {

const char* const kNewTypeName = "Untitled";
const QString kLuaFilter = QStringLiteral("Lua files (*.lua)");

// The FX root as a host path in the given stream mode, or empty when no alias resolves it.
QString HostFXRoot(int mode) {
    std::string host;
    if (!FilePath::ConvertFromAlias(FXPathPrefix(), host, mode))
        return {};
    return QString::fromStdString(host);
}

bool SameTypeName(const std::string& a, const char* b) {
    return FXLowerCase(a.c_str()) == FXLowerCase(b);
}

} // namespace

SparvDoc::SparvDoc(QObject* parent) : QObject(parent) {}

SparvDoc::~SparvDoc() {
    EmptyContents();
}

// ---- document framework ---------------------------------------------------------------

bool SparvDoc::NewDocument(int style) {
    EmptyContents();
    SetModified(false);
    if (std::shared_ptr<FXType> type = FXNewType(style, kNewTypeName)) {
        m_types.push_back(std::move(type));
        m_unsaved.push_back(true);
    }
    m_untitled = true;
    Reset();
    emit Updated(kHintNewTypes);
    return true;
}

bool SparvDoc::OpenDocument(const QString& path) {
    SavePromptOfOpen();
    Load(path);
    return true;
}

void SparvDoc::EmptyContents() {
    BeforeRuntimeChange();
    if (m_runtimeStarted) {
        m_runtimeStarted = false;
        m_instance = kNullFXHandle;
        FXManager::Shutdown();
    }
    DeleteTypes();
    SetTitle(QString());
}

bool SparvDoc::SaveModified() {
    if (!m_modified)
        return true;
    switch (SparvPrompts::Current().Message(
        m_dialogParent, QStringLiteral("Do you want to save the changes you made?"),
        SparvPrompts::Buttons::YesNoCancel, SparvPrompts::Icon::Question)) {
    case SparvPrompts::Answer::Cancel:
        return false;
    case SparvPrompts::Answer::Yes:
        Save();
        return true;
    default:
        return true;
    }
}

void SparvDoc::SetModified(bool modified) {
    m_modified = modified;
}

void SparvDoc::SetTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    emit TitleChanged(title);
}

void SparvDoc::DeleteTypes() {
    m_types.clear();
    m_unsaved.clear();
}

void SparvDoc::BeforeRuntimeChange() const {
    if (m_beforeRuntimeChange)
        m_beforeRuntimeChange();
}

void SparvDoc::Message(const QString& text) {
    SparvPrompts::Current().Message(m_dialogParent, text, SparvPrompts::Buttons::Ok);
}

// ---- commands -----------------------------------------------------------------------------

bool SparvDoc::OnCommand(int id) {
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
    case SparvCommand::Gravity:
        if (m_state == kStopped)
            GlobalVectorDialog(false);
        return true;
    case SparvCommand::Wind:
        if (m_state == kStopped)
            GlobalVectorDialog(true);
        return true;
    case SparvCommand::EmitterPosition:
        EmitterDialog();
        return true;
    default:
        return false;
    }
}

bool SparvDoc::OnUpdateCommand(int id, SparvCommandState& state) {
    switch (id) {
    case SparvCommand::Gravity:
    case SparvCommand::Wind:
        state.enabled = m_state == kStopped;
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

void SparvDoc::SavePromptOfOpen() {
    if (m_state != kStopped)
        Stop();
    // Cancel goes on as No does: the file to open is chosen next.
    if (m_modified &&
        SparvPrompts::Current().Message(m_dialogParent, QStringLiteral("Do you want to save?"),
                                        SparvPrompts::Buttons::YesNoCancel,
                                        SparvPrompts::Icon::Question) == SparvPrompts::Answer::Yes)
        Save();
}

void SparvDoc::Open() {
    SavePromptOfOpen();
    const QString path = SparvPrompts::Current().OpenFile(
        m_dialogParent, QStringLiteral("Open"), HostFXRoot(FilePath::kModeAbsolute), kLuaFilter);
    if (path.isEmpty())
        return;
    Load(path);
}

QString SparvDoc::TypeNameFromPath(const QString& hostPath) {
    const QString path = hostPath.toLower();
    const QString root = HostFXRoot(FilePath::kModeRelative).toLower();
    if (root.isEmpty())
        return {};
    const qsizetype found = path.indexOf(root);
    if (found < 0)
        return {};
    QString name = path.mid(found + root.size());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

void SparvDoc::Load(const QString& hostPath) {
    const QString name = TypeNameFromPath(hostPath);
    if (name.isEmpty()) {
        Message(QStringLiteral("Failed to find file"));
        return;
    }
    FXManager* manager = FXManager::Instance();
    std::shared_ptr<FXType> type = manager ? manager->TypeLoad(name.toUtf8().constData()) : nullptr;
    if (!type) {
        Message(QStringLiteral("Failed to load file"));
        return;
    }
    if (m_recentFiles)
        m_recentFiles->Add(hostPath);
    BeforeRuntimeChange();
    manager->Reset();
    DeleteTypes();
    m_types.push_back(std::move(type));
    m_unsaved.push_back(false);
    m_untitled = false;
    Reset();
    emit Updated(kHintNewTypes);
}

void SparvDoc::Save() {
    if (m_untitled)
        SaveAs();
    else
        SaveAll();
}

void SparvDoc::SaveAs() {
    if (m_types.empty())
        return;
    FXType& main = *m_types.front();
    const QString initial = HostFXRoot(FilePath::kModeAbsolute) +
                            QString::fromStdString(main.GetName()) + QStringLiteral(".lua");
    QString path = SparvPrompts::Current().SaveFile(m_dialogParent, QStringLiteral("Save As"),
                                                    initial, kLuaFilter);
    if (path.isEmpty())
        return;
    // The chooser's default extension.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".lua");
    const QString name = TypeNameFromPath(path);
    if (name.isEmpty()) {
        // A type is stored below the FX root under its name; elsewhere it has none.
        Message(QStringLiteral("Failed to find file"));
        return;
    }
    main.SetName(name.toUtf8().constData());
    SetTitle(QString::fromStdString(main.GetName()));
    SaveAll();
}

bool SparvDoc::SaveAll() {
    if (m_state != kStopped)
        Stop();
    FXManager* manager = FXManager::Instance();
    QString report;
    bool failed = false;
    for (size_t i = 0; i < m_types.size(); ++i) {
        if (!m_unsaved[i])
            continue;
        const QString name = QString::fromStdString(m_types[i]->GetName());
        if (manager && manager->TypeSave(*m_types[i])) {
            m_unsaved[i] = false;
            report += name + QLatin1Char('\n');
        } else {
            Message(QStringLiteral("Failed to save file '%1', perhaps it is read-only").arg(name));
            failed = true;
        }
    }
    if (!report.isEmpty())
        Message(report + QStringLiteral("\nSaved Successfully"));
    if (failed)
        return false;
    SetModified(false);
    m_untitled = false;
    emit Updated(kHintNewTypes);
    return true;
}

void SparvDoc::GlobalVectorDialog(bool wind) {
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

void SparvDoc::EmitterDialog() {
    SparvDlgEmitPos dialog(m_dialogParent);
    dialog.SetTransform(m_emitterTransform);
    dialog.SetScale(m_emitterScale);
    dialog.SetLength(m_emitterLength);
    dialog.SetVelocity(m_emitterVelocity);
    dialog.SetMarkers({}); // the preview has no markers to offer
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_emitterTransform = dialog.Transform();
    m_emitterScale = dialog.Scale();
    m_emitterLength = dialog.Length();
    m_emitterVelocity = dialog.Velocity();
    // Scale, length and velocity wait for the next restart.
    if (m_state == kPlaying)
        if (FXManager* manager = FXManager::Instance())
            manager->SetTransform(m_instance, m_emitterTransform);
}

// ---- types --------------------------------------------------------------------------------

FXType* SparvDoc::TypeAt(int index) const {
    return index >= 0 && index < TypeCount() ? m_types[static_cast<size_t>(index)].get() : nullptr;
}

int SparvDoc::FindOrLoadType(const char* name) {
    for (size_t i = 0; i < m_types.size(); ++i)
        if (SameTypeName(m_types[i]->GetName(), name))
            return static_cast<int>(i);
    FXManager* manager = FXManager::Instance();
    std::shared_ptr<FXType> type = manager ? manager->TypeLoad(name) : nullptr;
    if (!type)
        return -1;
    m_types.push_back(std::move(type));
    m_unsaved.push_back(false);
    return TypeCount() - 1;
}

void SparvDoc::SetTypeUnsaved(int index, bool unsaved) {
    if (index >= 0 && index < TypeCount())
        m_unsaved[static_cast<size_t>(index)] = unsaved;
}

bool SparvDoc::IsTypeUnsaved(int index) const {
    return index >= 0 && index < TypeCount() && m_unsaved[static_cast<size_t>(index)];
}

void SparvDoc::ApplyPropertyChange(int typeIndex, const char* name, const FXVariable& value) {
    if (FXType* type = TypeAt(typeIndex); type && type->SetProperty(name, value))
        SetModified(true);
    emit Updated(kHintProperty);
}

// ---- playback -----------------------------------------------------------------------------

void SparvDoc::Reset() {
    m_state = kStopped;
    SetTitle(m_types.empty() ? QString() : QString::fromStdString(m_types.front()->GetName()));
}

void SparvDoc::Play() {
    m_state = kPlaying;
    if (m_fixRandom)
        RandomSeed(0);
    Restart(false);
}

void SparvDoc::Stop() {
    m_state = kStopped;
    if (FXManager* manager = FXManager::Instance())
        manager->Stop(m_instance);
    emit Updated(kHintStopped);
}

void SparvDoc::Restart(bool fromUpdateLoop) {
    FXManager* manager = FXManager::Instance();
    if (!manager)
        return;
    BeforeRuntimeChange();
    if (!m_instance.IsNull()) {
        manager->Destroy(m_instance);
        m_instance = kNullFXHandle;
    }
    manager->TypeReleaseAll();
    manager->Reset();
    for (const std::shared_ptr<FXType>& type : m_types)
        manager->TypeAdd(std::make_shared<TypeProxy>(type));
    manager->ResetStats();
    if (!m_types.empty()) {
        m_instance = manager->Create(m_types.front()->GetName().c_str(), nullptr, 1);
        manager->SetTransform(m_instance, m_emitterTransform);
        manager->SetScale(m_instance, m_emitterScale);
        manager->SetLength(m_instance, m_emitterLength);
        manager->SetVelocity(m_instance, m_emitterVelocity);
    }
    emit Updated(fromUpdateLoop ? kHintLooped : kHintRestarted);
}

void SparvDoc::Update() {
    if (m_types.empty() || m_state != kPlaying)
        return;
    const FXManager* manager = FXManager::Instance();
    if (m_instance.IsNull() || !manager || !manager->IsAlive(m_instance)) {
        m_instance = kNullFXHandle;
        Restart(true);
    }
}

void SparvDoc::EnsureRuntime() {
    if (m_runtimeStarted)
        return;
    m_runtimeStarted = true;
    FXManager::Startup();
    FXManager::Instance()->SetMaxUpdateStep(std::numeric_limits<float>::max());
}
