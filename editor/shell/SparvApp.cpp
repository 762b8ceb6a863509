#include "shell/SparvApp.h"

#include "diag/Diag.h"
#include "runtime/FXManager.h"
#include "shell/RenderWindow.h"
#include "shell/SparvDoc.h"
#include "shell/SparvDocCommands.h"
#include "shell/SparvFrame.h"
#include "shell/SparvPlayback.h"
#include "shell/SparvPrompts.h"
#include "shell/SparvRecovery.h"
#include "shell/SparvView.h"
#include "stream/FilePath.h"
#include "stream/StandardAliases.h"
#include "widgets/SparvAbout.h"
#include "widgets/SparvDlgPreferences.h"
#include "widgets/SparvDlgType.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QSurfaceFormat>
#include <filesystem>
#include <fstream>

namespace {

// The style of a choice of the style chooser (Spray, Ring, Beam, Trail, Combo,
// Conditional, Sound, Light, Hyperspace, LensFlare); -1 for Sound, which has none.
int StyleOfChoice(int choice) {
    if (choice >= 0 && choice <= 5)
        return choice;
    if (choice >= 7 && choice <= 9)
        return choice - 1;
    return -1;
}

} // namespace

SparvApp::SparvApp(QObject* parent) : QObject(parent) {
    m_realTime.start();
    m_clock = [this] { return m_realTime.nsecsElapsed(); };
    RestartFrameTimer();
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &SparvApp::LoopPass);
    qApp->installEventFilter(this);
}

SparvApp::~SparvApp() {
    m_idleTimer.stop();
    // A clean exit: nothing is left to recover.
    m_recovery.reset();
    qApp->removeEventFilter(this);
    m_allocationLog.Stop();
    // The view empties the document (and shuts the runtime down) as it goes.
    m_frame.reset();
    m_playback.reset();
    m_document.reset();
}

void SparvApp::PrepareSurfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    // Frames follow the display's refresh unless the user asked for every frame the
    // machine can make.
    format.setSwapInterval(SparvSettings::Load().uncappedFrameRate ? 0 : 1);
    QSurfaceFormat::setDefaultFormat(format);
}

// ---- start-up -----------------------------------------------------------------------------

bool SparvApp::Startup(const QStringList& arguments) {
    if (!StartPlatform(arguments)) {
        Fail(QStringLiteral("Failed to initialize platform library."));
        return false;
    }
    if (!AddStandardAliases()) {
        Fail(QStringLiteral("Failed to path aliases."));
        return false;
    }
    // This editor has no inventory and no sound system to pump: those steps always succeed.

    m_recentFiles.Load();
    m_settings = SparvSettings::Load();
    m_uncapped = m_settings.uncappedFrameRate;
    m_document = std::make_unique<SparvDoc>();
    m_playback = std::make_unique<SparvPlayback>(*m_document);
    FileNew(); // the first document: no style prompt
    m_allocationLog.Start();

    m_frame->showNormal();
    m_frame->repaint();

    m_recovery = std::make_unique<SparvRecovery>(*m_document, m_recoveryFolder.isEmpty()
                                                                  ? SparvRecovery::DefaultFolder()
                                                                  : m_recoveryFolder);
    m_recovery->SetInterval(m_settings.autosaveSeconds);
    OfferRecovery();

    RestartFrameTimer();
    m_running = true;
    connect(m_playback.get(), &SparvPlayback::Changed, this, &SparvApp::Wake);
    connect(ActiveView()->Render(), &RenderWindow::InputArrived, this, &SparvApp::Wake);
    connect(ActiveView(), &SparvView::FramesWanted, this, &SparvApp::Wake);
    connect(ActiveView()->Render(), &RenderWindow::FramePresented, this, [this] {
        // The refresh has come: the next pass may draw.
        if (m_awaitingPresent) {
            m_awaitingPresent = false;
            m_idleTimer.start(0);
        }
    });
    Wake();
    return true;
}

bool SparvApp::StartPlatform(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption workingDirectory(
        QStringLiteral("wkdir"), QStringLiteral("Working directory."), QStringLiteral("directory"));
    parser.addOption(workingDirectory);
    // The program's other options are not this step's business.
    parser.parse(arguments);
    if (parser.isSet(workingDirectory)) {
        const QString directory = parser.value(workingDirectory);
        if (!QDir::setCurrent(directory))
            dbTracefAux("Sparv: cannot change to the working directory '%s'",
                        directory.toLocal8Bit().constData());
    }
    return true;
}

void SparvApp::Fail(const QString& message) {
    SparvPrompts::Current().Message(nullptr, message, SparvPrompts::Buttons::Ok,
                                    SparvPrompts::Icon::Error);
}

// ---- idle loop ----------------------------------------------------------------------------

qint64 SparvApp::Now() const {
    return m_clock();
}

void SparvApp::RestartFrameTimer() {
    m_frameTimerStart = Now();
}

void SparvApp::SetClock(std::function<qint64()> nanoseconds) {
    m_clock = std::move(nanoseconds);
    RestartFrameTimer();
}

void SparvApp::SetRunning(bool running) {
    RestartFrameTimer();
    m_running = running;
    // In the background there are no frames to make: the idle loop rests.
    if (running)
        Wake();
}

void SparvApp::SetIdleLoopEnabled(bool enabled) {
    m_idleLoopEnabled = enabled;
    m_idleTimer.stop();
    m_looping = false;
    m_awaitingPresent = false;
    if (enabled)
        Wake();
}

void SparvApp::SetUncappedFrameRate(bool uncapped) {
    m_uncapped = uncapped;
    Wake();
}

bool SparvApp::NeedsFrames() const {
    const SparvView* view = ActiveView();
    if (!m_running || !view || !m_playback || view->Held())
        return false;
    if (m_playback->IsPlaying() || view->Render()->CameraMoving())
        return true;
    // A stopped effect winds down until its last instance is gone; a paused one holds.
    const FXManager* manager = FXManager::Instance();
    return !m_playback->IsPaused() && manager && manager->LiveCount() > 0;
}

void SparvApp::Wake() {
    if (!m_idleLoopEnabled || !m_frame || m_looping || !NeedsFrames())
        return;
    // The first step after a rest starts from now, not from the last frame before it.
    RestartFrameTimer();
    m_looping = true;
    m_idleTimer.start(0);
}

void SparvApp::LoopPass() {
    // Frames while the window is hidden are never presented: a slow pace keeps the effect
    // moving without waiting for a refresh that does not come.
    constexpr int kPresentWaitMilliseconds = 50;
    m_awaitingPresent = false;
    Idle();
    if (!NeedsFrames()) {
        m_looping = false;
        return;
    }
    if (m_uncapped) {
        m_idleTimer.start(0);
    } else {
        m_awaitingPresent = true;
        m_idleTimer.start(kPresentWaitMilliseconds);
    }
}

SparvView* SparvApp::ActiveView() const {
    return m_frame ? m_frame->ActiveView() : nullptr;
}

bool SparvApp::Idle() {
    if (m_running) {
        // Real time at the playback's speed.
        float dt = static_cast<float>(static_cast<double>(Now() - m_frameTimerStart) * 1e-9 *
                                      m_playback->Speed());
        RestartFrameTimer();
        // A stall (a modal dialog, a slow frame) never moves the effect on by more.
        if (dt > kMaxFrameStep)
            dt = kMaxFrameStep;
        // A job holding the view runs in a runtime of its own: nothing here may touch it.
        if (SparvView* view = ActiveView(); view && !view->Held()) {
            view->MakeContextCurrent();
            m_playback->Update();
            view->Frame(dt);
        }
    }
    if (m_reportKeyDown && !m_allocationLog.Records().empty()) {
        std::string path;
        if (FilePath::ConvertFromAlias("LOG:allocations.txt", path, FilePath::kModeRelative)) {
            std::error_code ignored;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
            std::ofstream(path, std::ios::app) << m_allocationLog.Report();
        }
    }
    m_allocationLog.Clear();
    m_allocationLog.SetCaptureStacks(m_reportKeyDown);
    return true;
}

bool SparvApp::eventFilter(QObject* watched, QEvent* event) {
    // F12 held down asks for the allocation report of every idle pass.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F12 && !key->isAutoRepeat())
            m_reportKeyDown = event->type() == QEvent::KeyPress;
    } else if (event->type() == QEvent::ApplicationDeactivate) {
        m_reportKeyDown = false;
    }
    return QObject::eventFilter(watched, event);
}

// ---- commands -----------------------------------------------------------------------------

bool SparvApp::OnCommand(int id) {
    if (id == SparvCommand::FileNew) {
        FileNew();
        return true;
    }
    if (id == SparvCommand::HelpAbout) {
        About();
        return true;
    }
    if (id == SparvCommand::Preferences) {
        Preferences();
        return true;
    }
    if (id >= SparvCommand::FileRecentFirst && id <= SparvCommand::FileRecentLast) {
        const int index = id - SparvCommand::FileRecentFirst;
        const QStringList& entries = m_recentFiles.Entries();
        if (index < entries.size() && m_frame) {
            // A copy: opening the file reorders the list.
            const QString path = entries[index];
            m_frame->DocCommands().OpenPath(path);
        }
        return true;
    }
    return false;
}

bool SparvApp::OnUpdateCommand(int id, SparvCommandState& state) {
    state.enabled = true;
    return id == SparvCommand::FileNew || id == SparvCommand::HelpAbout ||
           id == SparvCommand::Preferences ||
           (id >= SparvCommand::FileRecentFirst && id <= SparvCommand::FileRecentLast);
}

void SparvApp::FileNew() {
    if (m_skipStylePromptOnce) {
        m_skipStylePromptOnce = false;
    } else {
        SparvDlgType dialog(m_frame.get());
        if (dialog.exec() != QDialog::Accepted)
            return;
        // "Sound" has no style: the new type keeps the style chosen before.
        if (const int style = StyleOfChoice(dialog.Choice()); style >= 0)
            m_nextNewStyle = style;
    }
    NewDocumentProcedure();
}

void SparvApp::NewDocumentProcedure() {
    if (!m_frame) {
        // The first document brings the main frame and its view.
        m_frame = std::make_unique<SparvFrame>(*this, *m_document, *m_playback);
    } else if (!m_frame->DocCommands().SaveModified()) {
        return;
    }
    SparvView* view = m_frame->ActiveView();
    view->MakeContextCurrent();
    // A new document starts on a fresh runtime, which is running before the type tree
    // loads the types the new one refers to.
    m_playback->ShutdownRuntime();
    view->InitialUpdate();
    m_document->NewDocument(m_nextNewStyle);
}

void SparvApp::OpenFromCommandLine(const QString& fileOrName) {
    if (!m_frame)
        return;
    const QString path = QFileInfo(fileOrName).isAbsolute()
                             ? fileOrName
                             : SparvDoc::HostPathOfType(fileOrName.toLower());
    m_frame->ActiveView()->MakeContextCurrent();
    m_frame->DocCommands().OpenPath(path);
}

void SparvApp::OfferRecovery() {
    const std::vector<SparvRecovery::Session> sessions = m_recovery->Leftovers();
    if (sessions.empty())
        return;
    // One session at a time, the newest first; the others wait for the next start.
    const SparvRecovery::Session& session = sessions.front();
    const QString folder = QDir::toNativeSeparators(session.folder);
    if (!session.unreadable.isEmpty()) {
        SparvPrompts::Current().Message(
            m_frame.get(),
            QStringLiteral("Changes left by an earlier session cannot be read (%1).\nThey are "
                           "kept in %2.")
                .arg(session.unreadable, folder),
            SparvPrompts::Buttons::Ok, SparvPrompts::Icon::Warning);
        return;
    }
    QString list;
    for (const SparvRecovery::Copy& copy : session.copies)
        list += QStringLiteral("\n    %1%2, copied at %3")
                    .arg(copy.typeName,
                         copy.original.isEmpty()
                             ? QStringLiteral(" (never saved)")
                             : QStringLiteral(" (") + QDir::toNativeSeparators(copy.original) +
                                   QLatin1Char(')'),
                         QLocale::system().toString(copy.written, QLocale::ShortFormat));
    const int choice = SparvPrompts::Current().Choose(
        m_frame.get(),
        QStringLiteral("Sparv ended without saving these changes:\n%1\n\nRestore them into the "
                       "document (unsaved, for you to save), or discard them?")
            .arg(list),
        {QStringLiteral("Restore"), QStringLiteral("Discard"), QStringLiteral("Decide Later")},
        SparvPrompts::Icon::Question, QStringLiteral("Recover Changes"));
    if (choice == 1) {
        SparvRecovery::Discard(session);
        return;
    }
    if (choice != 0)
        return;
    ActiveView()->MakeContextCurrent();
    QStringList unreadable;
    if (!m_recovery->Restore(session, &unreadable))
        SparvPrompts::Current().Message(
            m_frame.get(),
            QStringLiteral("These copies cannot be read and are kept in %1:\n%2")
                .arg(folder, unreadable.join(QLatin1Char('\n'))),
            SparvPrompts::Buttons::Ok, SparvPrompts::Icon::Warning);
}

void SparvApp::Preferences() {
    SparvDlgPreferences dialog(m_frame.get());
    dialog.SetSettings(m_settings);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_settings = dialog.Settings();
    m_settings.Store();
    if (m_recovery)
        m_recovery->SetInterval(m_settings.autosaveSeconds);
    SetUncappedFrameRate(m_settings.uncappedFrameRate);
}

void SparvApp::About() {
    SparvAbout dialog(m_frame.get());
    dialog.exec();
}
