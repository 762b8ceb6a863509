#pragma once

// Notices files changed on disk by other tools (a text editor, a script, sparv-fx): the
// file of every type of the document, and the textures, texture animations, meshes and
// lens flares its types name.
//
// - A type file that changed: a type without unsaved changes is read again (one undo
//   step) and a playing preview starts again from the beginning; a type with unsaved
//   changes asks once whether to reload and lose them or keep them.
// - A texture is read again in place and shows in the next frame; a mesh, texture
//   animation or lens flare is read again when the preview starts again (at once, when
//   it plays).
// - A file that disappears is reported once; the document keeps its copy of the type.
//
// Writes in several steps (a temporary file renamed over the old one) settle into one
// change; a file whose content is what Sparv last read or wrote (its own saves) changes
// nothing.

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>

class QWidget;
class SparvDoc;
class SparvPlayback;

class SparvFileWatcher : public QObject {
    Q_OBJECT

public:
    // How long the files must be quiet before a change counts, in milliseconds.
    static constexpr int kSettleMilliseconds = 200;

    SparvFileWatcher(SparvDoc& document, SparvPlayback& playback, QWidget* dialogParent);

    // Called before a texture is read again: the view makes its GL context current.
    void SetBeforeRuntimeChange(std::function<void()> hook) {
        m_beforeRuntimeChange = std::move(hook);
    }
    // The files watched, host paths.
    QStringList WatchedFiles() const;

signals:
    // A type was read again from its changed file.
    void TypeReloaded(int typeIndex);
    // A texture, mesh, texture animation or lens flare was read again.
    void AssetReloaded(const QString& path);

private:
    struct Watched {
        int typeIndex = -1; // the type of a type file; -1 for an asset
        QByteArray digest;  // of the content last read or written by Sparv
        bool missing = false;
    };

    // Watches what the document's types name now.
    void Rescan();
    void OnPathChanged(const QString& path);
    void Settle();
    void TypeFileChanged(const QString& path, int typeIndex);
    void AssetChanged(const QString& path);
    void Watch(const QString& path, int typeIndex);
    void BeforeRuntimeChange() const;
    static QByteArray Digest(const QString& path);

    SparvDoc& m_document;
    SparvPlayback& m_playback;
    QPointer<QWidget> m_dialogParent;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QSet<QString> m_pending;
    std::map<QString, Watched> m_files;
    std::function<void()> m_beforeRuntimeChange;
};
