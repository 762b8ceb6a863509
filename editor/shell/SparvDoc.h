#pragma once

// The editor's single document: the FX types being edited (index 0 is the main type, the
// one a file stands for; the others are types it refers to, loaded for editing), which of
// them have unsaved changes, the preview's playback state with its one live instance, the
// fix-random switch and the emitter placement. It carries out File Open, Save and Save As,
// the Gravity, Wind and Emitter Position commands and the save prompts, and announces every
// change to the views with an update hint (Updated).
//
// The document owns its types. To play them it empties the runtime's registry and
// registers a TypeProxy for each, so the registry can be cleared at any time without
// touching the document's data.

#include "definitions/FXType.h"
#include "math/Math.h"
#include "runtime/FXHandle.h"
#include "shell/SparvCommands.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QWidget;
class SparvRecentFiles;

class SparvDoc : public QObject, public SparvCommandTarget {
    Q_OBJECT

public:
    // Update hints sent to the views.
    enum Hint : int {
        kHintRestarted = 0, // the instance was (re)started by a command
        kHintNewTypes = 1,  // the list of types was replaced or renamed
        kHintStopped = 2,   // playback was stopped
        kHintProperty = 3,  // a property of a type changed
        kHintLooped = 4,    // a finished effect was restarted by the update loop
    };
    enum State : int { kStopped = 0, kPlaying = 1, kPaused = 2 };

    explicit SparvDoc(QObject* parent = nullptr);
    ~SparvDoc() override;

    // Where message boxes and dialogs are centred (the main frame).
    void SetDialogParent(QWidget* parent) { m_dialogParent = parent; }
    // Where Load records the files it opened.
    void SetRecentFiles(SparvRecentFiles* recentFiles) { m_recentFiles = recentFiles; }
    // Called before the document makes, releases or deletes what the runtime draws with
    // (types and instances hold textures): the view makes its GL context current there.
    void SetBeforeRuntimeChange(std::function<void()> hook) {
        m_beforeRuntimeChange = std::move(hook);
    }

    // --- document framework ------------------------------------------------------------
    // Empties the document, then creates the main type "Untitled" of the style (0 to 8;
    // any other style leaves the document empty). Always true.
    bool NewDocument(int style);
    // The recent-file list's open: the save prompt of Open, then Load. Always true.
    bool OpenDocument(const QString& path);
    // Shuts the runtime down if this document started it, deletes every type and clears
    // the title.
    void EmptyContents();
    // Asked before the document is discarded or the application closes: false when the
    // user cancels.
    bool SaveModified();
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified);
    const QString& Title() const { return m_title; }
    bool IsUntitled() const { return m_untitled; }

    // --- commands ----------------------------------------------------------------------
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, SparvCommandState& state) override;
    void Open();
    // Loads the type of a file below the FX root, replacing the document's types.
    void Load(const QString& hostPath);
    void Save();
    void SaveAs();
    // Saves every type with unsaved changes; false when one of them failed.
    bool SaveAll();
    // The Gravity (wind false) or Wind dialog.
    void GlobalVectorDialog(bool wind);
    void EmitterDialog();

    // The type name a host path stands for: the path below the FX root without its
    // extension, in lower case; empty when the path does not lie below the root.
    static QString TypeNameFromPath(const QString& hostPath);

    // --- types -------------------------------------------------------------------------
    int TypeCount() const { return static_cast<int>(m_types.size()); }
    FXType* TypeAt(int index) const;
    // The index of the type of that name, loading and appending it when the document has
    // none; -1 when it cannot be loaded.
    int FindOrLoadType(const char* name);
    void SetTypeUnsaved(int index, bool unsaved);
    bool IsTypeUnsaved(int index) const;
    // Hands the value to the type's SetProperty; a taken value sets the modified flag.
    // Sends hint 3 either way.
    void ApplyPropertyChange(int typeIndex, const char* name, const FXVariable& value);

    // --- playback ----------------------------------------------------------------------
    int State() const { return m_state; }
    bool IsPlaying() const { return m_state == kPlaying; }
    bool IsPaused() const { return m_state == kPaused; }
    void Play();
    void Stop();
    void Pause() { m_state = kPaused; }
    void Resume() { m_state = kPlaying; }
    // Once per idle pass: while playing, restarts an effect whose instance has finished.
    void Update();
    bool FixRandom() const { return m_fixRandom; }
    void SetFixRandom(bool fixRandom) { m_fixRandom = fixRandom; }
    // Starts the FX runtime once; called when the view is first shown after a new
    // document.
    void EnsureRuntime();
    bool RuntimeStarted() const { return m_runtimeStarted; }
    FXHandle Instance() const { return m_instance; }

    // --- emitter -----------------------------------------------------------------------
    const Matrix4& EmitterTransform() const { return m_emitterTransform; }
    float EmitterScale() const { return m_emitterScale; }
    float EmitterLength() const { return m_emitterLength; }
    const Vector3& EmitterVelocity() const { return m_emitterVelocity; }

signals:
    void Updated(int hint);
    void TitleChanged(const QString& title);

private:
    // Playback stopped and the title taken from the main type, after the list changed.
    void Reset();
    // Stops playback, then offers to save a modified document (Open and the recent files).
    void SavePromptOfOpen();
    void Restart(bool fromUpdateLoop);
    void SetTitle(const QString& title);
    void DeleteTypes();
    void Message(const QString& text);
    void BeforeRuntimeChange() const;

    bool m_runtimeStarted = false;
    std::vector<std::shared_ptr<FXType>> m_types;
    std::vector<bool> m_unsaved;
    int m_state = kStopped;
    FXHandle m_instance;
    bool m_untitled = false;
    bool m_fixRandom = false;
    Matrix4 m_emitterTransform;
    float m_emitterScale = 1.0f;
    float m_emitterLength = 1.0f;
    Vector3 m_emitterVelocity{0.0f, 0.0f, 0.0f};

    bool m_modified = false;
    QString m_title;
    QPointer<QWidget> m_dialogParent;
    SparvRecentFiles* m_recentFiles = nullptr;
    std::function<void()> m_beforeRuntimeChange;
};
