#include "shell/SparvFileWatcher.h"

#include "scene/Texture.h"
#include "shell/SparvDoc.h"
#include "shell/SparvPlayback.h"
#include "shell/SparvPrompts.h"
#include "stream/FilePath.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace {

bool IsTexture(const QString& suffix) {
    static const QSet<QString> kTextures = {QStringLiteral("tga"), QStringLiteral("png"),
                                            QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                            QStringLiteral("bmp")};
    return kTextures.contains(suffix);
}

bool IsAsset(const QString& suffix) {
    static const QSet<QString> kOthers = {QStringLiteral("anim"), QStringLiteral("kmo"),
                                          QStringLiteral("akmo"), QStringLiteral("flare")};
    return IsTexture(suffix) || kOthers.contains(suffix);
}

} // namespace

SparvFileWatcher::SparvFileWatcher(SparvDoc& document, SparvPlayback& playback,
                                   QWidget* dialogParent)
    : m_document(document), m_playback(playback), m_dialogParent(dialogParent) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &SparvFileWatcher::Settle);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &SparvFileWatcher::OnPathChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString& dir) {
        // A file renamed over a watched one, or made again, shows as a change of its folder.
        const QString prefix = QDir::cleanPath(dir) + QLatin1Char('/');
        for (const auto& [path, watched] : m_files)
            if (path.startsWith(prefix) && !path.mid(prefix.size()).contains(QLatin1Char('/')))
                OnPathChanged(path);
    });
    connect(&m_document, &SparvDoc::TypesReplaced, this, &SparvFileWatcher::Rescan);
    connect(&m_document, &SparvDoc::TypeAdded, this, &SparvFileWatcher::Rescan);
    connect(&m_document, &SparvDoc::PropertyChanged, this,
            [this](int typeIndex, const QString& name) {
                // Only a name can bring a new file to watch.
                FXVariable value;
                if (m_document.PropertyValue(typeIndex, name.toStdString(), value) &&
                    value.GetType() == VARTYPE_STRING)
                    Rescan();
            });
    connect(&m_document, &SparvDoc::TypeSaved, this, [this](int typeIndex) {
        // Sparv's own write: its content is known, so the change it makes is no news.
        const FXType* type = m_document.TypeAt(typeIndex);
        if (!type)
            return;
        const QString path =
            QDir::cleanPath(SparvDoc::HostPathOfType(QString::fromStdString(type->GetName())));
        Watch(path, typeIndex);
        Watched& watched = m_files[path];
        watched.digest = Digest(path);
        watched.missing = false;
    });
    Rescan();
}

void SparvFileWatcher::BeforeRuntimeChange() const {
    if (m_beforeRuntimeChange)
        m_beforeRuntimeChange();
}

QStringList SparvFileWatcher::WatchedFiles() const {
    QStringList files;
    for (const auto& [path, watched] : m_files)
        files.append(path);
    return files;
}

QByteArray SparvFileWatcher::Digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result();
}

void SparvFileWatcher::Watch(const QString& path, int typeIndex) {
    auto [entry, added] = m_files.try_emplace(path);
    if (added || entry->second.typeIndex != typeIndex) {
        entry->second.typeIndex = typeIndex;
        entry->second.digest = Digest(path);
        entry->second.missing = false;
    }
    if (!m_watcher.files().contains(path))
        m_watcher.addPath(path);
    const QString folder = QFileInfo(path).absolutePath();
    if (!m_watcher.directories().contains(folder))
        m_watcher.addPath(folder);
}

void SparvFileWatcher::Rescan() {
    std::map<QString, int> wanted;
    for (int i = 0; i < m_document.TypeCount(); ++i) {
        const FXType& type = *m_document.TypeAt(i);
        const QString file =
            QDir::cleanPath(SparvDoc::HostPathOfType(QString::fromStdString(type.GetName())));
        // A review snapshot's types are not its files.
        if (!m_document.IsReadOnly() && QFileInfo(file).isFile())
            wanted[file] = i;
        FXPropertyList properties;
        type.GetProperties(properties);
        for (const FXProperty& property : properties) {
            if (property.value.GetType() != VARTYPE_STRING || !*property.value.String())
                continue;
            std::string host;
            if (!FilePath::ConvertFromAlias(property.value.String(), host, FilePath::kModeAbsolute))
                continue;
            const QFileInfo asset(QString::fromStdString(host));
            if (asset.isFile() && IsAsset(asset.suffix().toLower()))
                wanted.emplace(QDir::cleanPath(asset.absoluteFilePath()), -1);
        }
    }
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (wanted.count(it->first)) {
            ++it;
            continue;
        }
        m_watcher.removePath(it->first);
        it = m_files.erase(it);
    }
    for (const auto& [path, typeIndex] : wanted)
        Watch(path, typeIndex);
    // Folders no watched file lives in any more.
    for (const QString& folder : m_watcher.directories()) {
        const QString prefix = folder + QLatin1Char('/');
        const bool used = std::any_of(m_files.begin(), m_files.end(), [&](const auto& file) {
            return file.first.startsWith(prefix);
        });
        if (!used)
            m_watcher.removePath(folder);
    }
}

void SparvFileWatcher::OnPathChanged(const QString& path) {
    if (!m_files.count(path))
        return;
    m_pending.insert(path);
    m_settle.start();
}

void SparvFileWatcher::Settle() {
    const QSet<QString> pending = std::exchange(m_pending, {});
    for (const QString& path : pending) {
        const auto found = m_files.find(path);
        if (found == m_files.end())
            continue;
        Watched& watched = found->second;
        if (!QFileInfo::exists(path)) {
            if (watched.missing)
                continue; // reported already
            watched.missing = true;
            if (watched.typeIndex >= 0)
                m_document.MarkTypeUnsaved(watched.typeIndex);
            SparvPrompts::Current().Message(
                m_dialogParent,
                QStringLiteral("%1 was removed from the disk.\n%2")
                    .arg(QDir::toNativeSeparators(path),
                         watched.typeIndex >= 0
                             ? QStringLiteral("Sparv keeps the effect; save it to write the "
                                              "file again.")
                             : QStringLiteral("The preview keeps what it has read.")),
                SparvPrompts::Buttons::Ok, SparvPrompts::Icon::Warning);
            continue;
        }
        // Renamed over or made again: the watch follows the new file.
        if (!m_watcher.files().contains(path))
            m_watcher.addPath(path);
        const QByteArray digest = Digest(path);
        if (digest == watched.digest && !watched.missing)
            continue;
        watched.digest = digest;
        watched.missing = false;
        if (watched.typeIndex >= 0)
            TypeFileChanged(path, watched.typeIndex);
        else
            AssetChanged(path);
    }
}

void SparvFileWatcher::TypeFileChanged(const QString& path, int typeIndex) {
    if (m_document.IsTypeChanged(typeIndex) &&
        SparvPrompts::Current().Choose(
            m_dialogParent,
            QStringLiteral("%1 was changed on the disk, and Sparv has unsaved changes to it.")
                .arg(QDir::toNativeSeparators(path)),
            {QStringLiteral("Reload from disk and lose your changes"),
             QStringLiteral("Keep my changes")},
            SparvPrompts::Icon::Warning, QStringLiteral("File Changed")) != 0)
        return;
    BeforeRuntimeChange();
    QString failure;
    if (!m_document.ReloadType(typeIndex, &failure)) {
        SparvPrompts::Current().Message(
            m_dialogParent,
            QStringLiteral("%1 was changed on the disk but cannot be read (%2); Sparv keeps what "
                           "it has.")
                .arg(QDir::toNativeSeparators(path), failure),
            SparvPrompts::Buttons::Ok, SparvPrompts::Icon::Warning);
        return;
    }
    if (m_playback.IsPlaying())
        m_playback.Play(); // from the beginning, with what the file now holds
    emit TypeReloaded(typeIndex);
}

void SparvFileWatcher::AssetChanged(const QString& path) {
    BeforeRuntimeChange();
    if (IsTexture(QFileInfo(path).suffix().toLower()))
        TextureRegistry::instance()->reload(path.toUtf8().constData());
    else if (m_playback.IsPlaying())
        m_playback.Play(); // meshes and animations are read when the effect starts
    emit AssetReloaded(path);
}
