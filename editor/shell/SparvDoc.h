#pragma once

// The editor's single document: the FX types being edited (index 0 is the main type, the
// one a file stands for; the others are types it refers to, loaded for editing), whether
// each has unsaved changes, and the undo stack of every change made to them. It opens and
// saves types, and reports what went wrong as text for the user interface to show: the
// document itself asks no questions and opens no windows.
//
// Every change of a type goes through one door, ApplyPropertyChange with a PropertyEdit:
// the document resolves the edit against the current value, and a change the type takes
// becomes one command on the undo stack. Undo and redo write through the same private
// function, which sets the property, gives the type a new revision and announces the
// change (PropertyChanged). A type has unsaved changes while its revision differs from
// its revision at the last save, so undoing back to the saved state clears the mark.
//
// The document owns its types. The preview plays them through proxies (SparvPlayback), so
// the runtime's registry can be cleared at any time without touching the document's data.

#include "definitions/FXType.h"
#include "shell/PropertyEdit.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <vector>

class PropertyEditCommand;

class SparvDoc : public QObject {
    Q_OBJECT

public:
    enum class EditResult {
        Applied,   // the type took a new value: one undo step (or merged into the last)
        Unchanged, // the type already held that value: nothing to undo
        Refused,   // the edit cannot apply or the type refused the value: nothing changed
    };

    // What a save wrote and what it could not write, by type name.
    struct SaveReport {
        QStringList saved;
        QStringList failed;
        bool Succeeded() const { return failed.isEmpty(); }
    };

    // Quick repeated edits of one property (Enter held down, a value typed again and
    // again) within this many milliseconds of each other are one undo step.
    static constexpr qint64 kMergeMilliseconds = 500;

    explicit SparvDoc(QObject* parent = nullptr);
    ~SparvDoc() override;

    // Called before the document makes, releases or deletes types (they may hold
    // textures): the view makes its GL context current there.
    void SetBeforeRuntimeChange(std::function<void()> hook) {
        m_beforeRuntimeChange = std::move(hook);
    }
    // Replaces the clock of the merge window (milliseconds); tests use their own.
    void SetClock(std::function<qint64()> milliseconds) { m_clock = std::move(milliseconds); }

    // --- contents ----------------------------------------------------------------------
    // Empties the document, then creates the main type "Untitled" of the style (0 to 8;
    // any other style leaves the document empty). The new type is unsaved, the document
    // not modified.
    void NewDocument(int style);
    // Deletes every type, clears the undo stack and the title.
    void EmptyContents();
    // Replaces the document's types with the type of a file below the FX root of the
    // working directory. False, with the message for the user in failure and nothing
    // changed, when the file does not lie below the root ("Failed to find file") or the
    // type cannot be loaded ("Failed to load file").
    bool Load(const QString& hostPath, QString* failure = nullptr);
    // Writes every type with unsaved changes, in list order. The undo stack is marked
    // clean when nothing failed.
    SaveReport SaveAll();
    // Renames the main type to name (a type name, see TypeNameFromPath), writes it
    // whether or not it has unsaved changes, then saves every other type with unsaved
    // changes. When the main type cannot be written it keeps its old name.
    SaveReport SaveAs(const QString& name);

    // The type name a host path stands for: the path below the working directory's FX
    // root without its extension, in lower case; empty when the path does not lie below
    // that root (a file below another project's root included).
    static QString TypeNameFromPath(const QString& hostPath);
    // The host path of a type's file (which may not exist yet).
    static QString HostPathOfType(const QString& name);
    // The working directory's FX root as an absolute host path ending in '/'; empty when
    // no alias resolves it.
    static QString HostFXRoot();

    bool IsModified() const;
    const QString& Title() const { return m_title; }
    bool IsUntitled() const { return m_untitled; }

    // --- types -------------------------------------------------------------------------
    int TypeCount() const { return static_cast<int>(m_types.size()); }
    FXType* TypeAt(int index) const;
    // The same type, shared: the preview's proxies keep it alive while the runtime holds
    // them.
    std::shared_ptr<FXType> SharedTypeAt(int index) const;
    // The index of the type of that name, loading and appending it when the document has
    // none; -1 when it cannot be loaded.
    int FindOrLoadType(const char* name);
    // Appends a type made elsewhere (a restored recovery copy); unsaved: it holds changes
    // its file does not. Returns its index.
    int AddType(std::shared_ptr<FXType> type, bool unsaved);
    // Whether the type has changes its file does not hold (always, for a new type that
    // was never saved).
    bool IsTypeUnsaved(int index) const;
    // Whether the type was changed since it was loaded, made or last saved (a new type
    // that nobody edited has no changes worth keeping).
    bool IsTypeChanged(int index) const;
    // Reads a type's file again (it changed on disk) into the type, as one undo step
    // ("Reload spark"); afterwards the type matches its file. False, with the reason, when
    // the file cannot be read: the type is then unchanged.
    bool ReloadType(int index, QString* failure = nullptr);
    // The type's file is gone: the type holds what the file held, and is unsaved until it
    // is saved again.
    void MarkTypeUnsaved(int index);
    // Puts a type restored from a recovery copy into the document, marked unsaved: in
    // place of the type of the same name (of the main type, when main), or appended.
    // The undo stack starts afresh; the views get the new list of types.
    void RestoreType(std::shared_ptr<FXType> type, bool main);
    // The type's revision: a number that changes with every change of its properties and
    // comes back when an undo restores an earlier state.
    quint64 Revision(int index) const;
    // The current value of a property; false when the type or property does not exist.
    bool PropertyValue(int typeIndex, const std::string& name, FXVariable& out) const;

    // --- the door ----------------------------------------------------------------------
    // Applies one edit. A change the type takes is pushed on the undo stack (or merged
    // into the last command: same property within a gesture or within the merge window).
    // PropertyChanged is emitted in every case, so views show what the type holds. reason
    // receives why an edit was refused.
    EditResult ApplyPropertyChange(const PropertyEdit& edit, QString* reason = nullptr);
    // Edits between BeginGesture and the matching EndGesture (a drag, a group move, a
    // paste) are one undo step, however many values they write; label names it ("Move
    // Key on Radius"; by default it is named after its first edit). Gestures nest.
    void BeginGesture(const QString& label = {});
    void EndGesture();
    QUndoStack& UndoStack() { return m_undoStack; }
    // One step back or forward in the history; the editors finish their open gestures
    // first (HistoryAboutToMove).
    void Undo();
    void Redo();
    // The label of the undo step of an edit of a property ("Change Duration").
    QString EditLabel(int typeIndex, const std::string& name) const;

    // --- the past ----------------------------------------------------------------------
    // How many edits can be undone from the current state.
    int UndoableEdits() const { return m_undoStack.index(); }
    // Copies of the types as they were before the last edits (edits undo steps back, held
    // within 0 to UndoableEdits()), in the list's order: what undoing them would give,
    // without undoing anything. The copies are the caller's.
    std::vector<std::shared_ptr<FXType>> TypesBefore(int edits) const;

    // --- review snapshots --------------------------------------------------------------
    // Replaces the document's types with a review snapshot's (the main type first),
    // read-only: edits are refused until Save As adopts the types into the working
    // directory. title names the snapshot for the window's caption.
    void LoadSnapshot(std::vector<std::shared_ptr<FXType>> types, const QString& title);
    // Whether the document shows a review snapshot that has not been saved as a document.
    bool IsReadOnly() const { return m_readOnly; }

signals:
    // A property of a type changed (or was refused and keeps its value).
    void PropertyChanged(int typeIndex, const QString& name);
    // The list of types was replaced (new, open), or renamed and saved (sameTypes).
    void TypesReplaced(bool sameTypes);
    void TitleChanged(const QString& title);
    void ModifiedChanged(bool modified);
    // A type was written to its file.
    void TypeSaved(int index);
    // An undo or redo is about to happen: gestures still open must end before it.
    void HistoryAboutToMove();
    // A type was appended to the list (one the main type spawns, loaded for the tree).
    void TypeAdded(int index);

private:
    friend class PropertyEditCommand;

    struct Entry {
        std::shared_ptr<FXType> type;
        quint64 revision = 0;
        quint64 savedRevision = 0;
        bool neverSaved = false; // a new type: unsaved whatever its revision
    };

    // The one writer of property values: sets the property, takes the revision,
    // announces the change.
    void Write(int typeIndex, const std::string& name, const FXVariable& value, quint64 revision);
    quint64 NextRevision() { return ++m_lastRevision; }
    void SetTitle(const QString& title);
    void DeleteTypes();
    void BeforeRuntimeChange() const;
    void NotifyModified();
    bool SaveType(int index);
    qint64 Now() const { return m_clock(); }

    std::vector<Entry> m_types;
    QUndoStack m_undoStack;
    quint64 m_lastRevision = 0;
    bool m_untitled = false;
    bool m_readOnly = false;
    bool m_modified = false; // last state announced by ModifiedChanged
    QString m_title;

    // The gesture in progress: its command collects the edits until the gesture ends.
    int m_gestureDepth = 0;
    std::unique_ptr<PropertyEditCommand> m_gesture;

    QElapsedTimer m_elapsed;
    std::function<qint64()> m_clock;
    std::function<void()> m_beforeRuntimeChange;
};
