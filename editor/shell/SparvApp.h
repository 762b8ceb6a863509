#pragma once

// The editor's application object: it prepares the engine environment (working directory,
// path aliases), creates the document with its main frame and preview view, shows the
// window and then drives the editor from idle time. Every idle pass measures the real time
// since the last one, scales it by the playback speed and limits it to 0.05 seconds, lets the
// playback restart a finished effect and lets the view simulate and draw one frame. It also owns
// File New, About, the recent-file list and a log of the allocations of each idle pass.
//
// The idle loop runs only while frames change: while an effect plays, while a stopped
// effect winds down and while the camera moves. Otherwise it waits for the next event, so
// an editor left open all day costs nothing. Its passes follow the display's refresh (the
// next pass comes when the last frame is on the screen), or, with the uncapped frame rate,
// come as fast as the machine allows.

#include "shell/SparvAllocationLog.h"
#include "shell/SparvCommands.h"
#include "shell/SparvRecentFiles.h"
#include "shell/SparvSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

class SparvDoc;
class SparvFrame;
class SparvPlayback;
class SparvRecovery;
class SparvView;

class SparvApp : public QObject, public SparvCommandTarget {
    Q_OBJECT

public:
    // The longest step one idle pass gives the effect, in seconds (of the effect: real time
    // times the playback speed).
    static constexpr float kMaxFrameStep = 0.05f;

    explicit SparvApp(QObject* parent = nullptr);
    ~SparvApp() override;

    // The OpenGL context every window of the program asks for; call before the
    // QApplication is made.
    static void PrepareSurfaceFormat();

    // The start-up sequence; false (after telling the user why) ends the program before
    // any window is shown. arguments: the command line, program name first.
    bool Startup(const QStringList& arguments);
    // One pass of the idle loop; always true (idle passes go on).
    bool Idle();
    // Resets and restarts the frame timer and switches frames (and the idle loop) on or
    // off; the main frame calls it when the application becomes active or inactive.
    void SetRunning(bool running);
    bool IsRunning() const { return m_running; }

    // Where recovery copies are kept (before Startup; tests use a folder of their own).
    void SetRecoveryFolder(const QString& folder) { m_recoveryFolder = folder; }
    SparvRecovery* Recovery() const { return m_recovery.get(); }
    // Offers the changes an editor left when it ended without a clean exit.
    void OfferRecovery();

    // The idle loop; tests switch it off and call Idle.
    void SetIdleLoopEnabled(bool enabled);
    // Starts the idle loop if it waits (an effect starts playing, the camera moves).
    void Wake();
    // Whether the loop has frames to make: something plays, winds down or moves.
    bool NeedsFrames() const;
    // Passes as fast as the machine allows instead of one per refresh of the display.
    void SetUncappedFrameRate(bool uncapped);
    bool UncappedFrameRate() const { return m_uncapped; }
    // Replaces the frame timer's clock (nanoseconds of real time); tests use their own.
    void SetClock(std::function<qint64()> nanoseconds);

    SparvDoc* Document() const { return m_document.get(); }
    SparvPlayback* Playback() const { return m_playback.get(); }
    SparvFrame* Frame() const { return m_frame.get(); }
    SparvView* ActiveView() const;
    SparvRecentFiles& RecentFiles() { return m_recentFiles; }
    SparvAllocationLog& AllocationLog() { return m_allocationLog; }
    // The style the next new document's type gets.
    int NextNewStyle() const { return m_nextNewStyle; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, SparvCommandState& state) override;
    // File New: the style chooser (not for the first document), then a new document.
    void FileNew();
    // Opens an FX file named on the command line (an absolute host path), or the type of a
    // bare name below the FX root, as File Open would, with the same messages.
    void OpenFromCommandLine(const QString& fileOrName);
    void About();
    // The preferences dialog; what it changes applies at once and is kept.
    void Preferences();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    qint64 Now() const;
    void RestartFrameTimer();
    // Platform library: the working directory of the "wkdir" option.
    bool StartPlatform(const QStringList& arguments);
    void Fail(const QString& message);
    void NewDocumentProcedure();
    // One pass of the loop, then the next one scheduled or the loop put to rest.
    void LoopPass();

    std::function<qint64()> m_clock;
    qint64 m_frameTimerStart = 0;
    bool m_running = false;
    int m_nextNewStyle = 1; // Ring
    bool m_skipStylePromptOnce = true;
    bool m_reportKeyDown = false; // F12 held: the allocation report is written
    QElapsedTimer m_realTime;
    QTimer m_idleTimer;
    bool m_idleLoopEnabled = true;
    bool m_looping = false;         // passes follow each other until nothing changes
    bool m_awaitingPresent = false; // the last frame is on its way to the screen
    bool m_uncapped = false;
    SparvRecentFiles m_recentFiles;
    SparvAllocationLog m_allocationLog;
    std::unique_ptr<SparvDoc> m_document;
    std::unique_ptr<SparvPlayback> m_playback;
    std::unique_ptr<SparvFrame> m_frame;
    SparvSettings m_settings;
    QString m_recoveryFolder;
    std::unique_ptr<SparvRecovery> m_recovery;
};
