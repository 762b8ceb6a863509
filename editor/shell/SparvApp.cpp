#include "shell/SparvApp.h"

#include "diag/Diag.h"
#include "shell/SparvDoc.h"
#include "shell/SparvDocCommands.h"
#include "shell/SparvFrame.h"
#include "shell/SparvPlayback.h"
#include "shell/SparvPrompts.h"
#include "shell/SparvView.h"
#include "stream/FilePath.h"
#include "stream/StandardAliases.h"
#include "widgets/SparvAbout.h"
#include "widgets/SparvDlgType.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QKeyEvent>
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
    m_idleTimer.setInterval(0);
    connect(&m_idleTimer, &QTimer::timeout, this, &SparvApp::Idle);
    qApp->installEventFilter(this);
}

SparvApp::~SparvApp() {
    m_idleTimer.stop();
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
    m_document = std::make_unique<SparvDoc>();
    m_playback = std::make_unique<SparvPlayback>(*m_document);
    FileNew(); // the first document: no style prompt
    m_allocationLog.Start();

    m_frame->showNormal();
    m_frame->repaint();

    RestartFrameTimer();
    m_running = true;
    if (m_idleLoopEnabled)
        m_idleTimer.start();
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
    // In the background there are no frames to make: the idle loop rests instead of
    // spinning.
    if (m_idleLoopEnabled && m_frame) {
        if (running)
            m_idleTimer.start();
        else
            m_idleTimer.stop();
    }
}

void SparvApp::SetIdleLoopEnabled(bool enabled) {
    m_idleLoopEnabled = enabled;
    if (!enabled)
        m_idleTimer.stop();
    else if (m_running)
        m_idleTimer.start();
}

SparvView* SparvApp::ActiveView() const {
    return m_frame ? m_frame->ActiveView() : nullptr;
}

bool SparvApp::Idle() {
    if (m_running) {
        float dt = static_cast<float>(static_cast<double>(Now() - m_frameTimerStart) * 1e-9);
        RestartFrameTimer();
        // A stall (a modal dialog, a slow frame) never moves the effect on by more.
        if (dt > kMaxFrameStep)
            dt = kMaxFrameStep;
        if (SparvView* view = ActiveView()) {
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

void SparvApp::About() {
    SparvAbout dialog(m_frame.get());
    dialog.exec();
}
