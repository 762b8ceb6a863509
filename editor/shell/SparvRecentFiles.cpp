#include "shell/SparvRecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char* const kGroup = "Recent File List";

} // namespace

SparvRecentFiles::SparvRecentFiles(QObject* parent) : QObject(parent) {}

void SparvRecentFiles::Load() {
    QSettings settings(QStringLiteral("Sparv"), QStringLiteral("Sparv"));
    settings.beginGroup(QLatin1String(kGroup));
    m_entries.clear();
    for (int i = 1; i <= kMaxEntries; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty())
            m_entries.append(path);
    }
    emit Changed();
}

void SparvRecentFiles::Add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_entries.removeAll(absolute);
    m_entries.prepend(absolute);
    while (m_entries.size() > kMaxEntries)
        m_entries.removeLast();
    Store();
    emit Changed();
}

void SparvRecentFiles::Store() const {
    QSettings settings(QStringLiteral("Sparv"), QStringLiteral("Sparv"));
    settings.beginGroup(QLatin1String(kGroup));
    for (int i = 1; i <= kMaxEntries; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_entries.size())
            settings.setValue(key, m_entries[i - 1]);
        else
            settings.remove(key);
    }
}
