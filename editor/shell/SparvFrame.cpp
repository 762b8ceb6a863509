#include "shell/SparvFrame.h"

#include "shell/FxAccelHook.h"
#include "shell/SparvApp.h"
#include "shell/SparvDoc.h"
#include "shell/SparvDocCommands.h"
#include "shell/SparvFileWatcher.h"
#include "shell/SparvPlayback.h"
#include "shell/SparvRecentFiles.h"
#include "shell/SparvReviewCommands.h"
#include "shell/SparvView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMenu>
#include <QMenuBar>

SparvFrame::SparvFrame(SparvApp& app, SparvDoc& document, SparvPlayback& playback)
    : m_app(app), m_document(document), m_playback(playback),
      m_view(new SparvView(document, playback, this)),
      m_docCommands(
          std::make_unique<SparvDocCommands>(document, playback, app.RecentFiles(), this)),
      m_reviewCommands(std::make_unique<SparvReviewCommands>(document, playback, *m_view, this)),
      m_fileWatcher(std::make_unique<SparvFileWatcher>(document, playback, this)) {
    m_fileWatcher->SetBeforeRuntimeChange([this] { m_view->MakeContextCurrent(); });
    m_docCommands->SetSnapshotHandlers(
        [this](const QString& path) { return m_reviewCommands->OpenSnapshot(path); },
        [this] { return m_reviewCommands->AdoptSnapshotTypes(); });
    setObjectName(QStringLiteral("SparvFrame"));
    setCentralWidget(m_view);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(1200, 800);
    BuildMenus();
    BuildAccelerators();

    connect(&m_document, &SparvDoc::TitleChanged, this, &SparvFrame::UpdateCaption);
    // Undo and Redo name what they undo, and follow the stack.
    connect(&m_document.UndoStack(), &QUndoStack::indexChanged, this,
            &SparvFrame::UpdateCommandStates);
    connect(&m_document, &SparvDoc::TypesReplaced, this, &SparvFrame::UpdateCommandStates);
    connect(&m_playback, &SparvPlayback::Changed, this, &SparvFrame::UpdateCommandStates);
    connect(m_view, &SparvView::CommandStatesChanged, this, &SparvFrame::UpdateCommandStates);
    connect(&m_app.RecentFiles(), &SparvRecentFiles::Changed, this,
            &SparvFrame::RebuildRecentFiles);
    connect(
        qApp, &QGuiApplication::applicationStateChanged, this,
        [this](Qt::ApplicationState state) { m_app.SetRunning(state == Qt::ApplicationActive); });
    UpdateCaption(m_document.Title());
    RebuildRecentFiles();
    UpdateCommandStates();
}

SparvFrame::~SparvFrame() {
    // The view empties the document as it goes: nothing of that may reach this half-gone
    // frame any more.
    disconnect(&m_document, nullptr, this, nullptr);
    disconnect(&m_document.UndoStack(), nullptr, this, nullptr);
    disconnect(&m_playback, nullptr, this, nullptr);
    disconnect(&m_app.RecentFiles(), nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
    m_fileWatcher.reset();
    m_reviewCommands.reset();
    delete m_view;
    m_view = nullptr;
}

QAction* SparvFrame::AddCommand(QMenu* menu, int id, const QString& text,
                                const QList<QKeySequence>& keys, bool checkable) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setCheckable(checkable);
    if (menu) {
        menu->addAction(action);
        connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
    } else {
        // An accelerator without a menu entry: offered to the hooked panes first.
        addAction(action);
        connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id, true); });
    }
    m_actions[id] = action;
    return action;
}

void SparvFrame::BuildMenus() {
    using namespace SparvCommand;
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    AddCommand(m_fileMenu, FileNew, QStringLiteral("&New"), {QKeySequence(Qt::CTRL | Qt::Key_N)});
    AddCommand(m_fileMenu, FileOpen, QStringLiteral("&Open..."),
               {QKeySequence(Qt::CTRL | Qt::Key_O)});
    AddCommand(m_fileMenu, FileSave, QStringLiteral("&Save"), {QKeySequence(Qt::CTRL | Qt::Key_S)});
    AddCommand(m_fileMenu, FileSaveAs, QStringLiteral("Save &As..."));
    m_fileMenu->addSeparator();
    AddCommand(m_fileMenu, ExportAnimation, QStringLiteral("&Export Animation..."));
    AddCommand(m_fileMenu, BakeFlipbook, QStringLiteral("&Bake Flip-book..."));
    AddCommand(m_fileMenu, SaveSnapshot, QStringLiteral("Save Sna&pshot..."));
    m_fileMenu->addSeparator();
    m_recentPlaceholder = m_fileMenu->addAction(QStringLiteral("Recent File"));
    m_recentPlaceholder->setEnabled(false);
    m_recentEnd = m_fileMenu->addSeparator();
    AddCommand(m_fileMenu, FileExit, QStringLiteral("E&xit"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    // Ctrl+Z and Ctrl+A are the time bar's key-mark keys.
    AddCommand(edit, EditUndo, QStringLiteral("&Undo"),
               {QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    AddCommand(
        edit, EditRedo, QStringLiteral("&Redo"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    AddCommand(edit, EmitterPosition, QStringLiteral("&Emitter Position"));
    AddCommand(edit, BackgroundColour, QStringLiteral("Background &Colour"));
    AddCommand(edit, Gravity, QStringLiteral("&Gravity"));
    AddCommand(edit, Wind, QStringLiteral("&Wind"));
    edit->addSeparator();
    AddCommand(edit, Preferences, QStringLiteral("&Preferences..."));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    AddCommand(view, GridXZ, QStringLiteral("&Grid XZ"), {}, true);
    AddCommand(view, GridXY, QStringLiteral("Grid XY"), {}, true);
    AddCommand(view, ShowModel, QStringLiteral("&Model"), {}, true);
    AddCommand(view, Statgraph, QStringLiteral("&Statgraph"), {}, true);
    AddCommand(view, Wireframe, QStringLiteral("&Wireframe"), {}, true);
    AddCommand(view, FixRandom, QStringLiteral("Fix Random"), {}, true);
    view->addSeparator();
    AddCommand(view, ChooseModel, QStringLiteral("&Choose Model..."));
    view->addSeparator();
    QMenu* speed = view->addMenu(QStringLiteral("Playback S&peed"));
    const QString speeds[] = {QStringLiteral("1/8"),      QStringLiteral("1/4"),
                              QStringLiteral("1/2"),      QStringLiteral("&Normal"),
                              QStringLiteral("2 \u00d7"), QStringLiteral("4 \u00d7")};
    for (int i = 0; i <= SpeedLast - SpeedFirst; ++i)
        AddCommand(speed, SpeedFirst + i, speeds[i], {}, true);
    speed->addSeparator();
    AddCommand(speed, SpeedSlower, QStringLiteral("&Slower"), {QKeySequence(Qt::Key_BracketLeft)});
    AddCommand(speed, SpeedFaster, QStringLiteral("&Faster"), {QKeySequence(Qt::Key_BracketRight)});
    AddCommand(speed, SpeedNormal, QStringLiteral("Normal Spee&d"),
               {QKeySequence(Qt::Key_Backslash)});
    AddCommand(view, StepForward, QStringLiteral("S&tep"), {QKeySequence(Qt::Key_Period)});
    AddCommand(view, StepBack, QStringLiteral("Step &Back"), {QKeySequence(Qt::Key_Comma)});
    view->addSeparator();
    AddCommand(view, CompareWithBefore, QStringLiteral("Compare with &Before"),
               {QKeySequence(Qt::CTRL | Qt::Key_B)}, true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddCommand(help, HelpAbout, QStringLiteral("&About Sparv..."));

    for (QMenu* menu : {m_fileMenu, edit, view, speed, help})
        connect(menu, &QMenu::aboutToShow, this, &SparvFrame::UpdateCommandStates);
}

void SparvFrame::BuildAccelerators() {
    using namespace SparvCommand;
    AddCommand(nullptr, Copy, QStringLiteral("Copy"),
               {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    AddCommand(nullptr, Cut, QStringLiteral("Cut"),
               {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    AddCommand(nullptr, Paste, QStringLiteral("Paste"),
               {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    AddCommand(nullptr, NextField, QStringLiteral("Next field"), {QKeySequence(Qt::Key_Tab)});
    AddCommand(nullptr, PreviousField, QStringLiteral("Previous field"),
               {QKeySequence(Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::SHIFT | Qt::Key_Tab)});
    AddCommand(nullptr, Apply, QStringLiteral("Apply"),
               {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    AddCommand(nullptr, StopPlayback, QStringLiteral("Stop"), {QKeySequence(Qt::Key_Escape)});
    AddCommand(nullptr, CtrlLeft, QStringLiteral("Ctrl+Left"),
               {QKeySequence(Qt::CTRL | Qt::Key_Left)});
    AddCommand(nullptr, CtrlRight, QStringLiteral("Ctrl+Right"),
               {QKeySequence(Qt::CTRL | Qt::Key_Right)});
    AddCommand(nullptr, CtrlUp, QStringLiteral("Ctrl+Up"), {QKeySequence(Qt::CTRL | Qt::Key_Up)});
    AddCommand(nullptr, CtrlDown, QStringLiteral("Ctrl+Down"),
               {QKeySequence(Qt::CTRL | Qt::Key_Down)});
    AddCommand(nullptr, PreviousProperty, QStringLiteral("Previous property"),
               {QKeySequence(Qt::ALT | Qt::Key_Up)});
    AddCommand(nullptr, NextProperty, QStringLiteral("Next property"),
               {QKeySequence(Qt::ALT | Qt::Key_Down)});
    AddCommand(nullptr, NextKeyMark, QStringLiteral("Next key"),
               {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    AddCommand(nullptr, PreviousKeyMark, QStringLiteral("Previous key"),
               {QKeySequence(Qt::CTRL | Qt::Key_A)});
}

void SparvFrame::RebuildRecentFiles() {
    for (QAction* action : m_recentActions) {
        m_fileMenu->removeAction(action);
        m_actions.erase(action->data().toInt());
        action->deleteLater();
    }
    m_recentActions.clear();
    const QStringList& entries = m_app.RecentFiles().Entries();
    m_recentPlaceholder->setVisible(entries.isEmpty());
    for (int i = 0; i < entries.size(); ++i) {
        const int id = SparvCommand::FileRecentFirst + i;
        auto* action = new QAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(entries[i])), this);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
        m_fileMenu->insertAction(m_recentEnd, action);
        m_recentActions.push_back(action);
        m_actions[id] = action;
    }
}

QAction* SparvFrame::Action(int id) const {
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

QMenu* SparvFrame::Menu(const QString& title) const {
    for (QAction* action : menuBar()->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

bool SparvFrame::RouteCommand(int id, bool fromAccelerator) {
    // Commands may create, release or delete what the runtime drew with.
    m_view->MakeContextCurrent();
    bool handled = fromAccelerator && FxAccelHook::Deliver(id);
    if (!handled) {
        for (SparvCommandTarget* target : Route()) {
            if (target->OnCommand(id)) {
                handled = true;
                break;
            }
        }
    }
    UpdateCommandStates();
    return handled;
}

std::vector<SparvCommandTarget*> SparvFrame::Route() {
    return {m_view, m_docCommands.get(), m_reviewCommands.get(), this, &m_app};
}

void SparvFrame::UpdateCommandStates() {
    for (const auto& [id, action] : m_actions) {
        SparvCommandState state;
        for (SparvCommandTarget* target : Route())
            if (target->OnUpdateCommand(id, state))
                break;
        action->setEnabled(state.enabled);
        if (!state.text.isEmpty())
            action->setText(state.text);
        if (action->isCheckable())
            action->setChecked(state.checked);
    }
}

bool SparvFrame::OnCommand(int id) {
    if (id == SparvCommand::FileExit) {
        close();
        return true;
    }
    return false;
}

bool SparvFrame::OnUpdateCommand(int id, SparvCommandState&) {
    return id == SparvCommand::FileExit;
}

void SparvFrame::closeEvent(QCloseEvent* event) {
    m_view->MakeContextCurrent();
    if (m_docCommands->SaveModified())
        event->accept();
    else
        event->ignore();
}

void SparvFrame::UpdateCaption(const QString& title) {
    setWindowTitle(QStringLiteral("Sparv - ") + title);
}
