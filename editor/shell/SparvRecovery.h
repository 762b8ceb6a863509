#pragma once

// Autosave and recovery. Every interval (60 seconds unless the settings say otherwise; 0
// turns it off) each type of the document with unsaved changes is copied, atomically, into
// a folder of this session below the recovery folder in the user's application-data
// location, never next to or over the user's files. A save of a type removes its copy; a
// clean exit removes the session's folder.
//
// A session folder left by an editor that ended without a clean exit (its owner process
// is gone) holds changes that would otherwise be lost: at start-up they are offered for
// restoring into the document, marked unsaved, or for discarding. A copy that cannot be
// read is reported and kept, never deleted silently.
//
// A session folder holds "session.json" (the owner process and the copies: type name,
// the file it belongs to, whether it is the main type) and one FX file per copy.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <map>
#include <vector>

class SparvDoc;

class SparvRecovery : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultIntervalSeconds = 60;

    // The process that owns a session: its id and start time (so a reused id is not taken
    // for the owner) on this boot of the machine.
    struct Owner {
        qint64 pid = 0;
        QString started;
        QString boot;
        // This process.
        static Owner Current();
        bool IsAlive() const;
    };

    // One type's copy in a session folder.
    struct Copy {
        QString typeName;
        QString file;     // the copy, a host path
        QString original; // the file it belongs to (empty for a type never saved)
        bool main = false;
        QDateTime written;
    };

    // A session left by an editor that did not exit cleanly.
    struct Session {
        QString folder;
        QDateTime written;
        bool untitled = false; // its main type never had a file
        std::vector<Copy> copies;
        QString unreadable; // why the session's record cannot be read, if it cannot
    };

    // folder: where the sessions live (the application-data location's "recovery" folder
    // unless a test gives another); owner: the owning process (this one unless a test
    // plays another).
    SparvRecovery(SparvDoc& document, const QString& folder = DefaultFolder(),
                  const Owner& owner = Owner::Current());
    // A clean end: the session's folder goes.
    ~SparvRecovery() override;

    static QString DefaultFolder();
    // Seconds between autosaves; 0 turns autosaving off.
    void SetInterval(int seconds);
    int Interval() const { return m_interval; }

    // Copies every type whose changes are not copied yet, and drops the copies of types
    // that have none any more. False, with the reason, when a copy could not be written.
    bool Autosave(QString* failure = nullptr);
    // Removes this session's folder: nothing of it is left to recover.
    void Finish();
    // This session's copies, as they stand.
    std::vector<Copy> Copies() const;
    const QString& SessionFolder() const { return m_sessionFolder; }

    // Sessions whose owners are gone, newest first.
    std::vector<Session> Leftovers() const;
    // Restores a session's copies into the document (the main type's file opened first
    // when it still exists), each marked unsaved. unreadable receives the copies that
    // cannot be read: they and the session stay on disk; otherwise the session goes.
    bool Restore(const Session& session, QStringList* unreadable = nullptr);
    // Deletes a session's folder.
    static void Discard(const Session& session);

private:
    void WriteRecord();
    void DropCopy(int typeIndex);
    void OnTypesReplaced(bool sameTypes);

    SparvDoc& m_document;
    QString m_folder;
    QString m_sessionFolder;
    Owner m_owner;
    int m_interval = kDefaultIntervalSeconds;
    QTimer m_timer;
    int m_nextCopy = 1;
    // The copy of each type of the document, by index, with the revision it holds.
    struct Held {
        Copy copy;
        quint64 revision = 0;
    };
    std::map<int, Held> m_copies;
};
