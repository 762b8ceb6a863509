#include "shell/SparvDoc.h"

#include "definitions/FXFile.h"
#include "definitions/FXTypeFactory.h"
#include "definitions/FXTypeRegistry.h"
#include "stream/FilePath.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

const char* const kNewTypeName = "Untitled";

// An absolute path with its folder's symbolic links resolved, so that paths to one file
// compare equal whichever way they were spelled; the file itself need not exist.
QString CanonicalPath(const QString& hostPath) {
    const QFileInfo file(QDir::cleanPath(QFileInfo(hostPath).absoluteFilePath()));
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? file.absoluteFilePath() : folder + QLatin1Char('/') + file.fileName();
}

bool SameTypeName(const std::string& a, const char* b) {
    return FXLowerCase(a.c_str()) == FXLowerCase(b);
}

// Why a type refused a value that has the property's kind.
QString RefusalReason(const FXType& type, const std::string& name) {
    double minimum = 0.0;
    double maximum = 0.0;
    const FXParam* param = type.FindParam(name.c_str());
    if (param && param->Range(minimum, maximum))
        return QStringLiteral("the value must lie between %1 and %2").arg(minimum).arg(maximum);
    return QStringLiteral("the value is not allowed here");
}

} // namespace

// One undo step: the changes of one or more properties, each with the value and revision
// before and after. A command made by the door has been carried out already when it is
// pushed, so its first redo does nothing.
class PropertyEditCommand : public QUndoCommand {
public:
    struct Change {
        int typeIndex;
        std::string name;
        FXVariable before;
        FXVariable after;
        quint64 beforeRevision;
        quint64 afterRevision;
    };

    // carriedOut: the changes are in the types already (the door wrote them); otherwise
    // the push carries them out.
    PropertyEditCommand(SparvDoc& document, const QString& text, qint64 time, bool gesture,
                        bool carriedOut = true)
        : QUndoCommand(text), m_document(document), m_lastTime(time), m_gesture(gesture),
          m_carriedOut(carriedOut) {}

    int id() const override { return 1; }

    void undo() override {
        for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change)
            m_document.Write(change->typeIndex, change->name, change->before,
                             change->beforeRevision);
    }

    void redo() override {
        if (m_carriedOut) {
            m_carriedOut = false;
            return;
        }
        for (const Change& change : m_changes)
            m_document.Write(change.typeIndex, change.name, change.after, change.afterRevision);
    }

    // Quick repeated edits of the same single property become one step; gestures are
    // whole already.
    bool mergeWith(const QUndoCommand* command) override {
        const auto* other = static_cast<const PropertyEditCommand*>(command);
        if (m_gesture || other->m_gesture || m_changes.size() != 1 || other->m_changes.size() != 1)
            return false;
        Change& mine = m_changes.front();
        const Change& theirs = other->m_changes.front();
        if (mine.typeIndex != theirs.typeIndex || mine.name != theirs.name ||
            other->m_lastTime - m_lastTime > SparvDoc::kMergeMilliseconds)
            return false;
        mine.after = theirs.after;
        mine.afterRevision = theirs.afterRevision;
        m_lastTime = other->m_lastTime;
        if (mine.after == mine.before) {
            // Back where it started: the step goes, and so does the new revision.
            m_document.Write(mine.typeIndex, mine.name, mine.before, mine.beforeRevision);
            setObsolete(true);
        }
        return true;
    }

    // Adds a change, or updates the change of the same property made earlier in the same
    // command (keeping its value and revision before).
    void Record(Change change) {
        for (Change& earlier : m_changes) {
            if (earlier.typeIndex == change.typeIndex && earlier.name == change.name) {
                earlier.after = std::move(change.after);
                earlier.afterRevision = change.afterRevision;
                return;
            }
        }
        m_changes.push_back(std::move(change));
    }

    // The revision a type gets from this command: the one its first change gave it, so a
    // gesture gives each type one new revision however often it writes.
    quint64 RevisionFor(int typeIndex, quint64 fresh) const {
        for (const Change& change : m_changes)
            if (change.typeIndex == typeIndex)
                return change.afterRevision;
        return fresh;
    }

    bool Empty() const { return m_changes.empty(); }
    const std::vector<Change>& Changes() const { return m_changes; }
    // Whether every property holds its value from before again.
    bool ChangesNothing() const {
        return std::all_of(m_changes.begin(), m_changes.end(),
                           [](const Change& change) { return change.after == change.before; });
    }

private:
    SparvDoc& m_document;
    std::vector<Change> m_changes;
    qint64 m_lastTime;
    bool m_gesture;
    bool m_carriedOut;
};

SparvDoc::SparvDoc(QObject* parent) : QObject(parent) {
    m_elapsed.start();
    m_clock = [this] { return m_elapsed.elapsed(); };
    connect(&m_undoStack, &QUndoStack::cleanChanged, this, &SparvDoc::NotifyModified);
}

SparvDoc::~SparvDoc() {
    m_gesture.reset();
    EmptyContents();
}

QString SparvDoc::HostFXRoot() {
    std::string host;
    if (!FilePath::ConvertFromAlias(FXPathPrefix(), host, FilePath::kModeAbsolute))
        return {};
    QString root = QDir::cleanPath(QString::fromStdString(host));
    if (const QString canonical = QFileInfo(root).canonicalFilePath(); !canonical.isEmpty())
        root = canonical;
    return root + QLatin1Char('/');
}

// ---- contents -----------------------------------------------------------------------------

void SparvDoc::NewDocument(int style) {
    EmptyContents();
    if (std::shared_ptr<FXType> type = FXNewType(style, kNewTypeName)) {
        const quint64 revision = NextRevision();
        m_types.push_back({std::move(type), revision, revision, true});
    }
    m_untitled = true;
    SetTitle(m_types.empty() ? QString() : QString::fromStdString(m_types.front().type->GetName()));
    NotifyModified();
    emit TypesReplaced(false);
}

void SparvDoc::EmptyContents() {
    m_readOnly = false;
    m_gestureDepth = 0;
    m_gesture.reset();
    m_undoStack.clear();
    BeforeRuntimeChange();
    DeleteTypes();
    SetTitle(QString());
    NotifyModified();
}

void SparvDoc::DeleteTypes() {
    m_types.clear();
}

void SparvDoc::BeforeRuntimeChange() const {
    if (m_beforeRuntimeChange)
        m_beforeRuntimeChange();
}

void SparvDoc::SetTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    emit TitleChanged(title);
}

QString SparvDoc::TypeNameFromPath(const QString& hostPath) {
    const QString root = HostFXRoot().toLower();
    if (root.size() <= 1 || hostPath.isEmpty())
        return {};
    const QString path = CanonicalPath(hostPath).toLower();
    if (!path.startsWith(root))
        return {};
    QString name = path.mid(root.size());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > name.lastIndexOf(QLatin1Char('/')))
        name.truncate(dot);
    return name;
}

QString SparvDoc::HostPathOfType(const QString& name) {
    std::string host;
    FilePath::ConvertFromAlias(FXTypeFilePath(name.toUtf8().constData()), host,
                               FilePath::kModeAbsolute);
    return QString::fromStdString(host);
}

bool SparvDoc::Load(const QString& hostPath, QString* failure) {
    const QString name = TypeNameFromPath(hostPath);
    if (name.isEmpty()) {
        if (failure)
            *failure = QStringLiteral("Failed to find file");
        return false;
    }
    std::shared_ptr<FXType> type = FXTypeRegistry::Load(name.toUtf8().constData());
    if (!type) {
        if (failure)
            *failure = QStringLiteral("Failed to load file");
        return false;
    }
    EmptyContents();
    AddType(std::move(type), false);
    m_untitled = false;
    SetTitle(QString::fromStdString(m_types.front().type->GetName()));
    NotifyModified();
    emit TypesReplaced(false);
    return true;
}

bool SparvDoc::SaveType(int index) {
    Entry& entry = m_types[static_cast<size_t>(index)];
    // An editor's save reaches the disk before it counts as done.
    if (!FXTypeRegistry::Save(*entry.type, true))
        return false;
    entry.savedRevision = entry.revision;
    entry.neverSaved = false;
    emit TypeSaved(index);
    return true;
}

SparvDoc::SaveReport SparvDoc::SaveAll() {
    SaveReport report;
    for (int i = 0; i < TypeCount(); ++i) {
        if (!IsTypeUnsaved(i))
            continue;
        const QString name = QString::fromStdString(TypeAt(i)->GetName());
        (SaveType(i) ? report.saved : report.failed).append(name);
    }
    if (report.Succeeded()) {
        m_undoStack.setClean();
        m_untitled = false;
        emit TypesReplaced(true);
    }
    NotifyModified();
    return report;
}

SparvDoc::SaveReport SparvDoc::SaveAs(const QString& name) {
    SaveReport report;
    if (m_types.empty() || name.isEmpty())
        return report;
    FXType& main = *m_types.front().type;
    const std::string oldName = main.GetName();
    main.SetName(name.toUtf8().constData());
    if (!SaveType(0)) {
        // The document keeps the name of the file it still stands for.
        main.SetName(oldName.c_str());
        report.failed.append(name);
        return report;
    }
    // A snapshot's types now have a file: they are the document's to edit.
    m_readOnly = false;
    SetTitle(QString::fromStdString(main.GetName()));
    report.saved.append(QString::fromStdString(main.GetName()));
    const SaveReport others = SaveAll();
    report.saved += others.saved;
    report.failed += others.failed;
    if (!report.Succeeded())
        emit TypesReplaced(true); // renamed, though not everything is saved
    return report;
}

bool SparvDoc::IsModified() const {
    if (!m_undoStack.isClean())
        return true;
    return std::any_of(m_types.begin(), m_types.end(), [](const Entry& entry) {
        return !entry.neverSaved && entry.revision != entry.savedRevision;
    });
}

void SparvDoc::NotifyModified() {
    const bool modified = IsModified();
    if (modified == m_modified)
        return;
    m_modified = modified;
    emit ModifiedChanged(modified);
}

// ---- types --------------------------------------------------------------------------------

FXType* SparvDoc::TypeAt(int index) const {
    return index >= 0 && index < TypeCount() ? m_types[static_cast<size_t>(index)].type.get()
                                             : nullptr;
}

std::shared_ptr<FXType> SparvDoc::SharedTypeAt(int index) const {
    return index >= 0 && index < TypeCount() ? m_types[static_cast<size_t>(index)].type : nullptr;
}

int SparvDoc::FindOrLoadType(const char* name) {
    for (size_t i = 0; i < m_types.size(); ++i)
        if (SameTypeName(m_types[i].type->GetName(), name))
            return static_cast<int>(i);
    std::shared_ptr<FXType> type = FXTypeRegistry::Load(name);
    if (!type)
        return -1;
    return AddType(std::move(type), false);
}

bool SparvDoc::IsTypeUnsaved(int index) const {
    if (index < 0 || index >= TypeCount())
        return false;
    const Entry& entry = m_types[static_cast<size_t>(index)];
    return entry.neverSaved || entry.revision != entry.savedRevision;
}

int SparvDoc::AddType(std::shared_ptr<FXType> type, bool unsaved) {
    const quint64 revision = NextRevision();
    // No revision is 0: an unsaved type differs from its file until it is saved.
    m_types.push_back({std::move(type), revision, unsaved ? 0 : revision, false});
    NotifyModified();
    emit TypeAdded(TypeCount() - 1);
    return TypeCount() - 1;
}

bool SparvDoc::IsTypeChanged(int index) const {
    if (index < 0 || index >= TypeCount())
        return false;
    const Entry& entry = m_types[static_cast<size_t>(index)];
    return entry.revision != entry.savedRevision;
}

bool SparvDoc::ReloadType(int index, QString* failure) {
    FXType* type = TypeAt(index);
    std::shared_ptr<FXType> disk = type ? FXTypeRegistry::Load(type->GetName().c_str()) : nullptr;
    if (!disk) {
        if (failure)
            *failure = QStringLiteral("Failed to load file");
        return false;
    }
    FXPropertyList now;
    FXPropertyList read;
    type->GetProperties(now);
    disk->GetProperties(read);
    auto command = std::make_unique<PropertyEditCommand>(
        *this, QStringLiteral("Reload ") + QString::fromStdString(type->GetName()), Now(), true,
        false);
    const quint64 before = Revision(index);
    const quint64 after = NextRevision();
    auto current = now.begin();
    for (const FXProperty& property : read) {
        if (current != now.end() && current->name == property.name &&
            !(current->value == property.value))
            command->Record({index, property.name, current->value, property.value, before, after});
        if (current != now.end())
            ++current;
    }
    Entry& entry = m_types[static_cast<size_t>(index)];
    if (!command->Empty())
        m_undoStack.push(command.release());
    entry.savedRevision = entry.revision;
    entry.neverSaved = false;
    // Every type as its file holds it: nothing to save.
    bool changed = false;
    for (int i = 0; i < TypeCount(); ++i)
        changed = changed || IsTypeChanged(i);
    if (!changed)
        m_undoStack.setClean();
    NotifyModified();
    return true;
}

void SparvDoc::MarkTypeUnsaved(int index) {
    if (index < 0 || index >= TypeCount())
        return;
    m_types[static_cast<size_t>(index)].savedRevision = 0; // no revision is 0
    NotifyModified();
}

void SparvDoc::RestoreType(std::shared_ptr<FXType> type, bool main) {
    m_undoStack.clear();
    BeforeRuntimeChange();
    int index = main && !m_types.empty() ? 0 : -1;
    for (int i = 0; i < TypeCount() && index < 0; ++i)
        if (SameTypeName(m_types[static_cast<size_t>(i)].type->GetName(), type->GetName().c_str()))
            index = i;
    if (index < 0) {
        AddType(std::move(type), true);
    } else {
        Entry& entry = m_types[static_cast<size_t>(index)];
        entry.type = std::move(type);
        entry.revision = NextRevision();
        entry.savedRevision = 0;
        entry.neverSaved = false;
    }
    if (main)
        SetTitle(QString::fromStdString(m_types.front().type->GetName()));
    NotifyModified();
    emit TypesReplaced(false);
}

quint64 SparvDoc::Revision(int index) const {
    return index >= 0 && index < TypeCount() ? m_types[static_cast<size_t>(index)].revision : 0;
}

bool SparvDoc::PropertyValue(int typeIndex, const std::string& name, FXVariable& out) const {
    const FXType* type = TypeAt(typeIndex);
    return type && type->GetPropertyValue(name.c_str(), out);
}

// ---- the door -----------------------------------------------------------------------------

QString SparvDoc::EditLabel(int typeIndex, const std::string& name) const {
    QString label = QStringLiteral("Change ") + QString::fromStdString(name);
    if (typeIndex > 0 && typeIndex < TypeCount())
        label += QStringLiteral(" (") + QString::fromStdString(TypeAt(typeIndex)->GetName()) +
                 QLatin1Char(')');
    return label;
}

SparvDoc::EditResult SparvDoc::ApplyPropertyChange(const PropertyEdit& edit, QString* reason) {
    if (m_readOnly) {
        if (reason)
            *reason = QStringLiteral("a review snapshot is read-only (Save As makes it a document "
                                     "of the working directory)");
        emit PropertyChanged(edit.typeIndex, QString::fromStdString(edit.name));
        return EditResult::Refused;
    }
    FXType* type = TypeAt(edit.typeIndex);
    FXVariable before;
    if (!type || !type->GetPropertyValue(edit.name.c_str(), before)) {
        if (reason)
            *reason = QStringLiteral("there is no such property");
        return EditResult::Refused;
    }
    const QString name = QString::fromStdString(edit.name);
    FXVariable candidate;
    if (!ResolvePropertyEdit(before, edit, candidate, reason)) {
        emit PropertyChanged(edit.typeIndex, name);
        return EditResult::Refused;
    }
    if (!type->SetProperty(edit.name.c_str(), candidate)) {
        if (reason)
            *reason = RefusalReason(*type, edit.name);
        emit PropertyChanged(edit.typeIndex, name);
        return EditResult::Refused;
    }
    // What the type keeps (strings are normalised on the way in).
    FXVariable after;
    type->GetPropertyValue(edit.name.c_str(), after);
    if (after == before) {
        emit PropertyChanged(edit.typeIndex, name);
        return EditResult::Unchanged;
    }

    const quint64 beforeRevision = Revision(edit.typeIndex);
    if (m_gesture) {
        if (m_gesture->text().isEmpty())
            m_gesture->setText(EditLabel(edit.typeIndex, edit.name));
        const quint64 revision = m_gesture->RevisionFor(edit.typeIndex, NextRevision());
        m_gesture->Record({edit.typeIndex, edit.name, before, after, beforeRevision, revision});
        Write(edit.typeIndex, edit.name, after, revision);
        return EditResult::Applied;
    }
    const quint64 revision = NextRevision();
    auto* command =
        new PropertyEditCommand(*this, EditLabel(edit.typeIndex, edit.name), Now(), false);
    command->Record({edit.typeIndex, edit.name, before, after, beforeRevision, revision});
    Write(edit.typeIndex, edit.name, after, revision);
    m_undoStack.push(command);
    NotifyModified();
    return EditResult::Applied;
}

void SparvDoc::BeginGesture(const QString& label) {
    if (m_gestureDepth++ == 0)
        m_gesture = std::make_unique<PropertyEditCommand>(*this, label, Now(), true);
}

void SparvDoc::Undo() {
    emit HistoryAboutToMove();
    m_undoStack.undo();
}

void SparvDoc::Redo() {
    emit HistoryAboutToMove();
    m_undoStack.redo();
}

void SparvDoc::EndGesture() {
    if (m_gestureDepth == 0 || --m_gestureDepth > 0)
        return;
    std::unique_ptr<PropertyEditCommand> gesture = std::move(m_gesture);
    if (gesture->Empty())
        return;
    if (gesture->ChangesNothing()) {
        // A drag that came back to where it started: nothing to undo, nothing unsaved.
        gesture->undo();
        NotifyModified();
        return;
    }
    m_undoStack.push(gesture.release());
    NotifyModified();
}

void SparvDoc::Write(int typeIndex, const std::string& name, const FXVariable& value,
                     quint64 revision) {
    Entry& entry = m_types[static_cast<size_t>(typeIndex)];
    entry.type->SetProperty(name.c_str(), value);
    entry.revision = revision;
    emit PropertyChanged(typeIndex, QString::fromStdString(name));
    NotifyModified();
}

// ---- the past -----------------------------------------------------------------------------

std::vector<std::shared_ptr<FXType>> SparvDoc::TypesBefore(int edits) const {
    std::vector<std::shared_ptr<FXType>> copies;
    for (const Entry& entry : m_types) {
        FXPropertyList properties;
        entry.type->GetProperties(properties);
        copies.push_back(
            FXBuildType(entry.type->GetStyle(), entry.type->GetName().c_str(), properties));
    }
    // The values before each change, latest step first, as undoing would write them.
    const int last = m_undoStack.index();
    const int first = last - std::clamp(edits, 0, last);
    for (int step = last - 1; step >= first; --step) {
        const auto* command = dynamic_cast<const PropertyEditCommand*>(m_undoStack.command(step));
        if (!command)
            continue;
        const auto& changes = command->Changes();
        for (auto change = changes.rbegin(); change != changes.rend(); ++change)
            if (change->typeIndex >= 0 && change->typeIndex < static_cast<int>(copies.size()) &&
                copies[static_cast<size_t>(change->typeIndex)])
                copies[static_cast<size_t>(change->typeIndex)]->SetProperty(change->name.c_str(),
                                                                            change->before);
    }
    return copies;
}

// ---- review snapshots ---------------------------------------------------------------------

void SparvDoc::LoadSnapshot(std::vector<std::shared_ptr<FXType>> types, const QString& title) {
    EmptyContents();
    for (std::shared_ptr<FXType>& type : types)
        if (type)
            AddType(std::move(type), false);
    m_untitled = true;
    m_readOnly = !m_types.empty();
    SetTitle(title);
    NotifyModified();
    emit TypesReplaced(false);
}
