#pragma once

// The editor's command numbers (menu entries, accelerators and buttons) and the interface
// of the objects a command is routed through: the active view, the document, the frame
// and the application, in that order, plus the panes that hook accelerators (FxAccelHook).

namespace SparvCommand {
enum Id : int {
    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    FileRecentFirst = 57616, // the recent-file entries take 57616 to 57625
    FileRecentLast = 57625,
    FileExit = 57665,
    Copy = 57634,
    Cut = 57635,
    Paste = 57637,
    HelpAbout = 57664,

    FixRandom = 146,
    NextField = 32771,     // Tab
    PreviousField = 32772, // Shift+Tab
    Apply = 32773,         // Enter
    StopPlayback = 32774,  // Esc
    CtrlLeft = 32775,
    CtrlRight = 32776,
    CtrlUp = 32777,
    CtrlDown = 32778,
    PreviousProperty = 32779, // Alt+Up
    NextProperty = 32780,     // Alt+Down
    NextKeyMark = 32781,      // Ctrl+Z
    PreviousKeyMark = 32782,  // Ctrl+A
    Gravity = 32783,
    Wind = 32784,
    BackgroundColour = 32785,
    GridXZ = 32786,
    ChooseModel = 32787,
    ShowModel = 32788,
    EmitterPosition = 32789,
    Statgraph = 32790,
    Wireframe = 32791,
    GridXY = 32792,
    EditUndo = 32793,
    EditRedo = 32794,
    Preferences = 32795,

    // Reviewing an effect.
    SpeedFirst = 32800, // one entry per playback speed, slowest first: 32800 to 32805
    SpeedLast = 32805,
    SpeedSlower = 32806, // [
    SpeedFaster = 32807, // ]
    SpeedNormal = 32808, // backslash
    StepForward = 32809, // .
    StepBack = 32810,    // ,
    CompareWithBefore = 32811,
    ExportAnimation = 32812,
    BakeFlipbook = 32813,
    SaveSnapshot = 32814,

    PlayButton = 1005,
    StopButton = 1006,
};
} // namespace SparvCommand

#include <QString>

// What a menu entry shows for a command: whether it can be chosen, its check mark and,
// when not empty, a text replacing the entry's own (Undo names what it undoes).
struct SparvCommandState {
    bool enabled = true;
    bool checked = false;
    QString text;
};

class SparvCommandTarget {
public:
    virtual ~SparvCommandTarget() = default;
    // Carries the command out; false when this object has no handler for it (the command
    // then goes on to the next object of the route).
    virtual bool OnCommand(int id) = 0;
    // Fills in the state of a command this object handles; false when it has no handler.
    virtual bool OnUpdateCommand(int /*id*/, SparvCommandState& /*state*/) { return false; }
};
