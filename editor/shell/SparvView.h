#pragma once

// The document's only view: it owns and lays out every pane of the main window. A 2 x 2
// splitter holds the render window (upper left), the keyframe editor host (lower left),
// the type tree (upper right) and the property panel (lower right); below it the time bar,
// the Play and Stop buttons and the five-part status line. The view turns document hints
// into pane refreshes, carries out playback and the View menu, receives the panes'
// messages (selection changed, time scrubbed, set a value at the current key or at all
// keys) and runs the frame the idle loop asks for.
//
// Beside Play and Stop it offers the playback speed, Step and Step Back, and while
// comparing, how many edits back the left half shows. Stepping rebuilds the moment it
// shows from time 0 with the run's seed, in the equal steps a headless render takes, so
// stepping back and forth shows the same pictures, and so does a render of a review
// snapshot of that moment.

#include "definitions/FXProperty.h"
#include "review/FXReviewScene.h"
#include "shell/KeyframeLinks.h"
#include "shell/SparvCommands.h"
#include "shell/SparvPlayback.h"

#include <QElapsedTimer>
#include <QWidget>
#include <string>

class QComboBox;
class QPushButton;
class QSpinBox;
class QSplitter;
class RenderWindow;
class SparvAttr;
class SparvDoc;
class SparvKeyframeEditors;
class SparvProp;
class SparvStatusLine;
class SparvTime;

class SparvView : public QWidget, public SparvCommandTarget {
    Q_OBJECT

public:
    // Initial splitter sizes in pixels.
    static constexpr int kRow0Height = 400;
    static constexpr int kRow1Height = 180;
    static constexpr int kColumn0Width = 950;
    static constexpr int kColumn1Width = 200;

    // The property selected in the type tree, as the panes read it.
    struct SelectedProperty {
        int typeIndex = -1;
        int propertyIndex = -1;
        FXProperty property;
        // What the property panel edits: the element at the time bar's current key for a
        // plain array, the value itself otherwise.
        FXVariable value;
        bool oneKey = false;    // value is one element of a plain array
        bool available = false; // a plain array has an element at the current key
    };

    SparvView(SparvDoc& document, SparvPlayback& playback, QWidget* parent);
    ~SparvView() override;

    SparvDoc& Document() const { return m_document; }
    SparvPlayback& Playback() const { return m_playback; }

    // After each new document: starts the runtime if it is not running.
    void InitialUpdate();
    // A new list of types (sameTypes: the same types, renamed or saved): the tree is
    // built anew, the panel cleared, the time bar rewound.
    void OnTypesReplaced(bool sameTypes);
    // A property changed (or kept its value): the time bar's length, the panel, the tree's
    // branch below the property and the keyframe editor follow it.
    void OnPropertyChanged(int typeIndex, const QString& name);
    void OnPlaybackChanged(SparvPlayback::Change change);
    // The selected property, or false when nothing is selected or the type refuses the
    // index.
    bool ReadSelectedProperty(SelectedProperty& out) const;
    // One frame of the idle loop: camera input, the effect advanced by dt seconds (0 while
    // paused) and drawn, the time bar and the status line.
    void Frame(float dt);
    // Frames drawn per second of real time over the last whole second.
    double FrameRate() const { return m_frameRate; }
    // Makes the preview's GL context current, so that the runtime may make and free GL
    // objects outside painting (types prepared, released or deleted).
    void MakeContextCurrent();

    // --- reviewing --------------------------------------------------------------------
    // Rebuilds the effect, paused, at seconds since its start: every world started afresh
    // from the run's seed (a new run's, when newRun) and advanced in equal steps of at most
    // kFXReviewMaxStep, each drawn, as a headless render reaches that moment.
    void ShowMoment(double seconds, bool newRun);
    // Step (forward) or Step Back: 1/30 s from the moment shown, rebuilt; from stopped, a
    // new run's first step.
    void Step(int direction);
    // A moment to rebuild: for a looping effect far into its run, the same point of a loop
    // nearer the start, so that a rebuild stays short; other moments as they are.
    double ReplayTime(double seconds) const;
    // The compare view on or off; edits: how many edits back the left half shows (held
    // within what the undo stack has).
    void SetComparing(bool comparing);
    bool Comparing() const { return m_comparing; }
    void SetCompareEdits(int edits);
    int CompareEdits() const;
    // Everything besides the effect that decides the picture: the run's seed, the camera,
    // background, grids, gravity, wind and emitter placement.
    FXReviewScene CurrentScene() const;
    // Takes a scene over (a review snapshot's): the seed becomes the fixed seed, and a size
    // (when not empty) the size the effect is drawn at.
    void ApplyScene(const FXReviewScene& scene, const QSize& size);
    // While held (a job draws with a context of its own), no frame is drawn, the window is
    // not repainted and the idle loop rests.
    void SetHeld(bool held);
    bool Held() const { return m_held; }

    // Message 0x8001 from the type tree: the selection changed.
    void OnSelectionChanged();
    // Message 0x8002 from the time bar: the user scrubbed by step seconds.
    void OnTimeScrubbed(float oldTime, float step);
    // Messages 0x8003 and 0x8004 from the property panel: a new value for the property of
    // a type, at the time bar's current key or at every key of a plain array. A value the
    // type refuses changes nothing; the status line says why.
    void OnSetValue(int typeIndex, const QString& name, const FXVariable& value, bool allKeys);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, SparvCommandState& state) override;

    RenderWindow* Render() const { return m_renderWindow; }
    SparvKeyframeEditors* KeyframeEditors() const { return m_keyframeEditors; }
    SparvAttr* TypeTree() const { return m_typeTree; }
    SparvProp* PropertyPanel() const { return m_propertyPanel; }
    SparvTime* TimeBar() const { return m_timeBar; }
    QPushButton* PlayButton() const { return m_playButton; }
    QPushButton* StopButton() const { return m_stopButton; }
    QComboBox* SpeedBox() const { return m_speedBox; }
    QPushButton* StepBackButton() const { return m_stepBackButton; }
    QPushButton* StepButton() const { return m_stepButton; }
    QSpinBox* CompareEditsBox() const { return m_compareEdits; }
    SparvStatusLine* StatusLine() const { return m_statusLine; }
    KeyframeFloatLink& FloatLink() { return m_floatLink; }
    KeyframeColourLink& ColourLink() { return m_colourLink; }
    KeyframeVector3Link& Vector3Link() { return m_vector3Link; }
    QSplitter* Splitter() const { return m_splitter; }

signals:
    // Playback changed state: the commands' enabled states may have changed.
    void CommandStatesChanged();
    // Frames may be wanted again (a hold ended): the idle loop should look.
    void FramesWanted();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlayButtonAction();
    void StopButtonAction();
    void ButtonStates();
    void WriteStatus();
    // The panel shows the selected property again (the value, or the key, changed).
    void RefreshPanel();
    // One key mark per element of a selected plain array, none otherwise.
    void UpdateKeyMarks(const SelectedProperty& selected);
    void BackgroundColourDialog();
    void ChooseModelDialog();
    void SyncRows(QSplitter* source);
    // The time bar spans the main type's duration, or one loop of a looping effect.
    void UpdateTimeBarLength();
    // The effect as it was before the chosen edits goes to the left half again.
    void RefreshCompare();
    void OnSpeedChosen(int index);

    SparvDoc& m_document;
    SparvPlayback& m_playback;
    QSplitter* m_splitter;    // columns
    QSplitter* m_leftColumn;  // render window over keyframe host
    QSplitter* m_rightColumn; // type tree over property panel
    RenderWindow* m_renderWindow;
    SparvKeyframeEditors* m_keyframeEditors;
    SparvAttr* m_typeTree;
    SparvProp* m_propertyPanel;
    SparvTime* m_timeBar;
    QPushButton* m_playButton;
    QPushButton* m_stopButton;
    QComboBox* m_speedBox;
    QPushButton* m_stepBackButton;
    QPushButton* m_stepButton;
    QSpinBox* m_compareEdits;
    SparvStatusLine* m_statusLine;
    KeyframeFloatLink m_floatLink;
    KeyframeColourLink m_colourLink;
    KeyframeVector3Link m_vector3Link;
    // Frames drawn per second of real time, measured over the last second.
    QElapsedTimer m_frameRateClock;
    int m_framesCounted = 0;
    double m_frameRate = 0.0;
    bool m_syncingRows = false;
    bool m_comparing = false;
    int m_compareEditsWanted = 1;
    bool m_held = false;
    // Steps count from an origin, so that steps forward and back come back to the same
    // time to the bit.
    double m_stepOrigin = 0.0;
    int m_stepIndex = 0;
    double m_lastStepTime = -1.0;
};
