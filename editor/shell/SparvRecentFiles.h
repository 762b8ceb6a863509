#pragma once

// The recent-file list of the File menu: up to ten host paths, most recent first, kept in
// the per-user settings under "Sparv" (group "Recent File List", keys File1 to File10).

#include <QObject>
#include <QStringList>

class SparvRecentFiles : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxEntries = 10;

    explicit SparvRecentFiles(QObject* parent = nullptr);

    // Reads the list from the settings.
    void Load();
    // Puts path at the top (removing an earlier entry of the same path), drops entries past
    // the tenth and writes the list back to the settings.
    void Add(const QString& path);
    const QStringList& Entries() const { return m_entries; }

signals:
    void Changed();

private:
    void Store() const;

    QStringList m_entries;
};
