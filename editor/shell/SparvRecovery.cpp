#include "shell/SparvRecovery.h"

#include "definitions/FXFile.h"
#include "definitions/FXTypeFactory.h"
#include "diag/Diag.h"
#include "shell/SparvDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <unistd.h>

namespace {

const QString kRecord = QStringLiteral("session.json");

QString ReadFirstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readLine()).trimmed();
}

// The start time of a process (field 22 of its stat line), or empty when it is gone.
QString StartTimeOf(qint64 pid) {
    const QString line = ReadFirstLine(QStringLiteral("/proc/%1/stat").arg(pid));
    // The command name may hold spaces and parentheses: the fields count from the last ')'.
    const qsizetype close = line.lastIndexOf(QLatin1Char(')'));
    if (close < 0)
        return {};
    const QStringList fields = line.mid(close + 2).split(QLatin1Char(' '));
    constexpr int kStartTimeField = 22 - 3; // fields 1 and 2 come before the ')'
    return fields.size() > kStartTimeField ? fields[kStartTimeField] : QString();
}

QString BootId() {
    return ReadFirstLine(QStringLiteral("/proc/sys/kernel/random/boot_id"));
}

QJsonObject ToJson(const SparvRecovery::Copy& copy) {
    return {{QStringLiteral("type"), copy.typeName},
            {QStringLiteral("file"), QFileInfo(copy.file).fileName()},
            {QStringLiteral("original"), copy.original},
            {QStringLiteral("main"), copy.main},
            {QStringLiteral("written"), copy.written.toString(Qt::ISODate)}};
}

bool WriteJson(const QString& path, const QJsonObject& object) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(object).toJson());
    return file.commit();
}

// The type a copy holds, or null with the reason.
std::shared_ptr<FXType> ReadCopy(const SparvRecovery::Copy& copy, QString& reason) {
    int style = -1;
    FXPropertyList properties;
    std::string why;
    if (!FXReadFile(copy.file.toUtf8().constData(), style, properties, &why)) {
        reason = QString::fromStdString(why);
        return nullptr;
    }
    std::shared_ptr<FXType> type =
        FXBuildType(style, copy.typeName.toUtf8().constData(), properties);
    if (!type)
        reason = QStringLiteral("no such style");
    return type;
}

} // namespace

SparvRecovery::Owner SparvRecovery::Owner::Current() {
    const qint64 pid = ::getpid();
    return {pid, StartTimeOf(pid), BootId()};
}

bool SparvRecovery::Owner::IsAlive() const {
    return pid > 0 && boot == BootId() && !started.isEmpty() && StartTimeOf(pid) == started;
}

QString SparvRecovery::DefaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/recovery");
}

SparvRecovery::SparvRecovery(SparvDoc& document, const QString& folder, const Owner& owner)
    : m_document(document), m_folder(folder), m_owner(owner) {
    m_sessionFolder = QStringLiteral("%1/%2-%3")
                          .arg(m_folder)
                          .arg(owner.pid)
                          .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    connect(&m_document, &SparvDoc::TypeSaved, this, &SparvRecovery::DropCopy);
    connect(&m_document, &SparvDoc::TypesReplaced, this, &SparvRecovery::OnTypesReplaced);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        QString failure;
        if (!Autosave(&failure))
            dbTracefAux("Sparv: autosave failed: %s", failure.toLocal8Bit().constData());
    });
    SetInterval(m_interval);
}

SparvRecovery::~SparvRecovery() {
    Finish();
}

void SparvRecovery::SetInterval(int seconds) {
    m_interval = std::max(0, seconds);
    if (m_interval > 0)
        m_timer.start(m_interval * 1000);
    else
        m_timer.stop();
}

bool SparvRecovery::Autosave(QString* failure) {
    bool written = true;
    for (int i = 0; i < m_document.TypeCount(); ++i) {
        if (!m_document.IsTypeChanged(i)) {
            DropCopy(i);
            continue;
        }
        auto held = m_copies.find(i);
        if (held != m_copies.end() && held->second.revision == m_document.Revision(i))
            continue; // copied already
        if (!QDir().mkpath(m_sessionFolder)) {
            if (failure)
                *failure = QStringLiteral("cannot make %1").arg(m_sessionFolder);
            return false;
        }
        const FXType& type = *m_document.TypeAt(i);
        Copy copy;
        copy.typeName = QString::fromStdString(type.GetName());
        copy.file = held != m_copies.end()
                        ? held->second.copy.file
                        : QStringLiteral("%1/%2.lua").arg(m_sessionFolder).arg(m_nextCopy++);
        copy.original =
            m_document.IsUntitled() && i == 0 ? QString() : SparvDoc::HostPathOfType(copy.typeName);
        copy.main = i == 0;
        copy.written = QDateTime::currentDateTime();
        FXPropertyList properties;
        type.GetProperties(properties);
        std::string reason;
        if (!FXWriteFile(copy.file.toUtf8().constData(), type.GetStyle(), properties, &reason)) {
            if (failure)
                *failure = QString::fromStdString(reason);
            written = false;
            continue;
        }
        m_copies[i] = {copy, m_document.Revision(i)};
    }
    WriteRecord();
    return written;
}

void SparvRecovery::WriteRecord() {
    if (m_copies.empty()) {
        Finish();
        return;
    }
    QJsonArray copies;
    for (const auto& [index, held] : m_copies)
        copies.append(ToJson(held.copy));
    WriteJson(m_sessionFolder + QLatin1Char('/') + kRecord,
              {{QStringLiteral("pid"), m_owner.pid},
               {QStringLiteral("started"), m_owner.started},
               {QStringLiteral("boot"), m_owner.boot},
               {QStringLiteral("untitled"), m_document.IsUntitled()},
               {QStringLiteral("written"), QDateTime::currentDateTime().toString(Qt::ISODate)},
               {QStringLiteral("copies"), copies}});
}

void SparvRecovery::DropCopy(int typeIndex) {
    const auto held = m_copies.find(typeIndex);
    if (held == m_copies.end())
        return;
    QFile::remove(held->second.copy.file);
    m_copies.erase(held);
    WriteRecord();
}

void SparvRecovery::OnTypesReplaced(bool sameTypes) {
    // A save keeps the types (their saves drop their copies); a new list of types ends
    // what the old one had to keep: the user has decided about its changes.
    if (sameTypes)
        return;
    m_copies.clear();
    Finish();
}

void SparvRecovery::Finish() {
    m_copies.clear();
    if (QFileInfo::exists(m_sessionFolder))
        QDir(m_sessionFolder).removeRecursively();
}

std::vector<SparvRecovery::Copy> SparvRecovery::Copies() const {
    std::vector<Copy> copies;
    for (const auto& [index, held] : m_copies)
        copies.push_back(held.copy);
    return copies;
}

std::vector<SparvRecovery::Session> SparvRecovery::Leftovers() const {
    std::vector<Session> sessions;
    const QFileInfoList folders =
        QDir(m_folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& folder : folders) {
        if (folder.absoluteFilePath() == QFileInfo(m_sessionFolder).absoluteFilePath())
            continue;
        Session session;
        session.folder = folder.absoluteFilePath();
        QFile file(session.folder + QLatin1Char('/') + kRecord);
        QJsonParseError error{};
        const QJsonDocument record = file.open(QIODevice::ReadOnly)
                                         ? QJsonDocument::fromJson(file.readAll(), &error)
                                         : QJsonDocument();
        if (!record.isObject()) {
            session.unreadable = file.exists() ? error.errorString()
                                               : QStringLiteral("the session's record is missing");
            sessions.push_back(std::move(session));
            continue;
        }
        const QJsonObject object = record.object();
        const Owner owner{object.value(QStringLiteral("pid")).toInteger(),
                          object.value(QStringLiteral("started")).toString(),
                          object.value(QStringLiteral("boot")).toString()};
        if (owner.IsAlive())
            continue; // another editor is running: its copies are its own
        session.untitled = object.value(QStringLiteral("untitled")).toBool();
        session.written =
            QDateTime::fromString(object.value(QStringLiteral("written")).toString(), Qt::ISODate);
        for (const QJsonValue& value : object.value(QStringLiteral("copies")).toArray()) {
            const QJsonObject entry = value.toObject();
            Copy copy;
            copy.typeName = entry.value(QStringLiteral("type")).toString();
            copy.file = session.folder + QLatin1Char('/') +
                        QFileInfo(entry.value(QStringLiteral("file")).toString()).fileName();
            copy.original = entry.value(QStringLiteral("original")).toString();
            copy.main = entry.value(QStringLiteral("main")).toBool();
            copy.written = QDateTime::fromString(entry.value(QStringLiteral("written")).toString(),
                                                 Qt::ISODate);
            session.copies.push_back(std::move(copy));
        }
        if (!session.copies.empty())
            sessions.push_back(std::move(session));
    }
    std::sort(sessions.begin(), sessions.end(),
              [](const Session& a, const Session& b) { return a.written > b.written; });
    return sessions;
}

bool SparvRecovery::Restore(const Session& session, QStringList* unreadable) {
    QStringList failed;
    std::vector<std::pair<const Copy*, std::shared_ptr<FXType>>> types;
    for (const Copy& copy : session.copies) {
        QString reason;
        if (std::shared_ptr<FXType> type = ReadCopy(copy, reason))
            types.emplace_back(&copy, std::move(type));
        else
            failed.append(QStringLiteral("%1 (%2): %3")
                              .arg(copy.typeName, QDir::toNativeSeparators(copy.file), reason));
    }
    // The main type first: the document stands for its file again when that still opens.
    std::stable_partition(types.begin(), types.end(),
                          [](const auto& entry) { return entry.first->main; });
    for (auto& [copy, type] : types) {
        if (copy->main) {
            const bool opened = !session.untitled && !copy->original.isEmpty() &&
                                QFileInfo::exists(copy->original) &&
                                m_document.Load(copy->original);
            if (!opened)
                m_document.NewDocument(type->GetStyle());
        }
        m_document.RestoreType(std::move(type), copy->main);
    }
    if (unreadable)
        *unreadable = failed;
    if (failed.isEmpty()) {
        Discard(session);
        return true;
    }
    // What was restored goes; what could not be read stays where it is, and in the record.
    for (const auto& [copy, type] : types)
        QFile::remove(copy->file);
    QFile file(session.folder + QLatin1Char('/') + kRecord);
    if (file.open(QIODevice::ReadOnly)) {
        QJsonObject record = QJsonDocument::fromJson(file.readAll()).object();
        file.close();
        QJsonArray kept;
        for (const QJsonValue& value : record.value(QStringLiteral("copies")).toArray())
            if (QFileInfo::exists(session.folder + QLatin1Char('/') +
                                  value.toObject().value(QStringLiteral("file")).toString()))
                kept.append(value);
        record.insert(QStringLiteral("copies"), kept);
        WriteJson(file.fileName(), record);
    }
    return false;
}

void SparvRecovery::Discard(const Session& session) {
    QDir(session.folder).removeRecursively();
}
