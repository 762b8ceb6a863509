#pragma once

// The main window: the menus and accelerators of the editor, with the preview view as its
// whole client area. Commands from menus and accelerators are routed to the active view
// first, then the document, the review commands, the frame and the application; accelerator
// commands are offered to the panes' accelerator hooks before that. The window keeps a minimum size
// of 700 x 344 and switches the application's frame loop off while the application is in the
// background.

#include "shell/SparvCommands.h"

#include <QMainWindow>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class SparvApp;
class SparvDoc;
class SparvDocCommands;
class SparvFileWatcher;
class SparvPlayback;
class SparvReviewCommands;
class SparvView;

class SparvFrame : public QMainWindow, public SparvCommandTarget {
    Q_OBJECT

public:
    static constexpr int kMinimumWidth = 700;
    static constexpr int kMinimumHeight = 344;

    SparvFrame(SparvApp& app, SparvDoc& document, SparvPlayback& playback);
    ~SparvFrame() override;

    SparvView* ActiveView() const { return m_view; }
    // The document's commands: file, undo and global dialogs, with their questions.
    SparvDocCommands& DocCommands() const { return *m_docCommands; }
    // Export, bake and review snapshots.
    SparvReviewCommands& ReviewCommands() const { return *m_reviewCommands; }
    // What notices the document's files changing on disk.
    SparvFileWatcher& FileWatcher() const { return *m_fileWatcher; }
    // The menu entry or accelerator of a command, or null.
    QAction* Action(int id) const;
    QMenu* Menu(const QString& title) const;

    // Sends a command along the route; fromAccelerator offers it to the hooks first.
    // True when something handled it.
    bool RouteCommand(int id, bool fromAccelerator = false);
    // Asks the route for every command's enabled state and check mark.
    void UpdateCommandStates();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, SparvCommandState& state) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddCommand(QMenu* menu, int id, const QString& text,
                        const QList<QKeySequence>& keys = {}, bool checkable = false);
    void BuildMenus();
    void BuildAccelerators();
    // The objects a command is offered to, in order.
    std::vector<SparvCommandTarget*> Route();
    void RebuildRecentFiles();
    void UpdateCaption(const QString& title);

    SparvApp& m_app;
    SparvDoc& m_document;
    SparvPlayback& m_playback;
    SparvView* m_view;
    std::unique_ptr<SparvDocCommands> m_docCommands;
    std::unique_ptr<SparvReviewCommands> m_reviewCommands;
    std::unique_ptr<SparvFileWatcher> m_fileWatcher;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentPlaceholder = nullptr;
    QAction* m_recentEnd = nullptr; // separator after the recent files
    std::map<int, QAction*> m_actions;
    std::vector<QAction*> m_recentActions;
};
