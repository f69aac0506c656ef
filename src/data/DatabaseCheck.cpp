#include "data/DatabaseCheck.h"
#include "data/QuestionnaireItems.h"

#include "data/Engine.h"
#include "data/Schema.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>
#include <optional>

namespace DatabaseCheck {

namespace {

// SQLite's primary result codes that decide an outcome.
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteReadOnly = 8;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteCantOpen = 14;
constexpr int SqliteAuth = 23;
constexpr int SqliteNotADatabase = 26;
constexpr int SqlitePermission = 3;

int primaryCode(const QSqlError& error)
{
    bool number = false;
    const int code = error.nativeErrorCode().toInt(&number);
    return number ? (code & 0xFF) : -1;
}

Result outcomeOf(const QSqlError& error, Outcome otherwise)
{
    Result result;
    result.detail = error.text();
    switch (primaryCode(error)) {
    case SqliteBusy:
    case SqliteLocked:
        result.outcome = Outcome::Busy;
        break;
    case SqliteReadOnly:
        // Also a leftover journal that cannot be played back into a file that may not be written.
        result.outcome = Outcome::NotWritable;
        break;
    case SqliteCorrupt:
        result.outcome = Outcome::Damaged;
        break;
    case SqliteNotADatabase:
        result.outcome = Outcome::NotOurs;
        break;
    case SqliteCantOpen:
    case SqlitePermission:
    case SqliteAuth:
        result.outcome = Outcome::NoAccess;
        break;
    default:
        result.outcome = otherwise;
        break;
    }
    return result;
}

Result verdict(Outcome outcome, const QString& detail = QString())
{
    Result result;
    result.outcome = outcome;
    result.detail = detail;
    return result;
}

// A connection of the check's own, closed and removed on every way out.
class Probe {
public:
    Probe(const QString& path, int lockWaitMs)
        : m_name(QStringLiteral("t35_check_%1").arg(++s_counter))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        // Opened as a URI with mode=rw: read-write so a leftover journal is played back, and never created.
        QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        uri.setQuery(QStringLiteral("mode=rw"));
        db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(lockWaitMs));
    }
    ~Probe()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    static inline std::atomic<int> s_counter { 0 };
    QString m_name;
};

// What the schema says: nullopt when every table and index in it is ours and defined as the program defines it,
// else why not. A table of ours rebuilt another way (without row ids, with a constraint or a collation on a column)
// would pass a comparison of names and columns, and then fail the windows' first read or refuse every new examinee.
std::optional<Result> schemaVerdict(QSqlDatabase db)
{
    using Kind = Schema::Object::Kind;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // The first read: this is where a leftover journal is played back.
    if (!q.exec(Engine::sqlite().readSchemaVersion()) || !q.next())
        return outcomeOf(q.lastError(), Outcome::CannotOpen);
    const int version = q.value(0).toInt();
    q.finish();
    if (version > Schema::CurrentVersion)
        return verdict(Outcome::NotOurs, QStringLiteral("schema version %1 was made by a newer program").arg(version));
    if (version < 0)
        return verdict(Outcome::NotOurs, QStringLiteral("schema version %1 is not this program's").arg(version));
    if (!q.exec(QStringLiteral("SELECT type, name, sql FROM sqlite_master")))
        return outcomeOf(q.lastError(), Outcome::CannotOpen);
    QSet<QString> tables;
    while (q.next()) {
        const QString type = q.value(0).toString();
        const QString name = q.value(1).toString();
        const QString sql = q.value(2).toString();
        const bool isTable = type == QLatin1String("table");
        // SQLite's own tables (statistics, sequences) come and go with the engine's work.
        if (isTable && name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
            continue;
        if (!isTable && type != QLatin1String("index") && type != QLatin1String("trigger")) {
            // Views show what this program never wrote.
            return verdict(Outcome::NotOurs, QStringLiteral("%1 %2 is not this program's").arg(type, name));
        }
        // A trigger runs on its own whenever the program writes: only the trail's own, word for word, may be there.
        const Kind kind = isTable ? Kind::Table : type == QLatin1String("index") ? Kind::Index : Kind::Trigger;
        const Schema::Object* ours = Schema::find(kind, name, version);
        if (!ours)
            return verdict(Outcome::NotOurs, QStringLiteral("%1 %2 is not this program's").arg(type, name));
        if (!Schema::sameDefinition(sql, ours->sql))
            return verdict(
                Outcome::NotOurs, QStringLiteral("%1 %2 is not defined as this program defines it").arg(type, name));
        if (isTable)
            tables.insert(ours->name);
    }
    if (q.lastError().isValid())
        return outcomeOf(q.lastError(), Outcome::Damaged);

    // An index of ours may be missing (it only speeds up searches); a table may not.
    for (const Schema::Object& object : Schema::objectsOf(version))
        if (object.kind == Kind::Table && !tables.contains(object.name))
            return verdict(Outcome::NotOurs, QStringLiteral("table %1 is missing").arg(object.name));
    return std::nullopt;
}

std::optional<Result> pagesVerdict(QSqlDatabase db, Thoroughness thoroughness)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString pragma = thoroughness == Thoroughness::Full ? QStringLiteral("PRAGMA integrity_check")
                                                              : QStringLiteral("PRAGMA quick_check");
    if (!q.exec(pragma))
        return outcomeOf(q.lastError(), Outcome::Damaged);
    QStringList problems;
    while (q.next())
        problems << q.value(0).toString();
    if (q.lastError().isValid())
        return outcomeOf(q.lastError(), Outcome::Damaged);
    if (problems != QStringList { QStringLiteral("ok") })
        return verdict(Outcome::Damaged, problems.mid(0, 5).join(QLatin1Char('\n')));
    return std::nullopt;
}

// A file shorter than its header says was cut short (a copy that stopped half-way): seen without reading its pages.
// The header's page count counts only when the change counter beside it matches (SQLite's own rule).
std::optional<Result> lengthVerdict(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return verdict(Outcome::NoAccess, file.errorString());
    const QByteArray header = file.read(100);
    if (header.size() < 100)
        return verdict(Outcome::Damaged, QStringLiteral("the file is shorter than its header"));
    const auto number = [&header](int at, int bytes) {
        quint64 value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | static_cast<quint8>(header.at(at + i));
        return value;
    };
    const quint64 pageSize = number(16, 2) == 1 ? 65536 : number(16, 2);
    const quint64 pages = number(28, 4);
    if (pages == 0 || number(24, 4) != number(92, 4))
        return std::nullopt;
    if (static_cast<quint64>(file.size()) < pages * pageSize)
        return verdict(Outcome::Damaged,
                       QStringLiteral("the file holds %1 bytes of its %2 pages").arg(file.size()).arg(pages));
    return std::nullopt;
}

std::optional<Result> questionnaireVerdict(QSqlDatabase db)
{
    // The questionnaire is part of the file: without its 35 statements no test can be given.
    QSqlQuery items(db);
    QStringList numbers;
    for (int i = 1; i <= QuestionnaireItemCount; ++i)
        numbers << QStringLiteral("'%1'").arg(i);
    if (!items.exec(QStringLiteral("SELECT COUNT(DISTINCT ID) FROM QU WHERE ID IN (%1) AND COALESCE(QUs, '') <> ''")
                        .arg(numbers.join(QLatin1Char(','))))
        || !items.next())
        return outcomeOf(items.lastError(), Outcome::Damaged);
    if (items.value(0).toInt() != QuestionnaireItemCount)
        return verdict(Outcome::Damaged, QStringLiteral("the questionnaire has lost statements"));
    return std::nullopt;
}

// A write that is rolled back: the file must take a lock for writing, and its folder the journal.
std::optional<Result> writeVerdict(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return outcomeOf(q.lastError(), Outcome::CannotOpen);
    const int version = q.value(0).toInt();
    q.finish();
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return outcomeOf(q.lastError(), Outcome::NotWritable);
    // Writing the same version number changes page 1, which opens the journal beside the file.
    const bool written = q.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
    const QSqlError error = q.lastError();
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    if (!written)
        return outcomeOf(error, Outcome::NotWritable);
    return std::nullopt;
}

bool isThemeRowMissing(QSqlDatabase db)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM Theme")) && q.next() && q.value(0).toInt() == 0;
}

} // namespace

QString journalPath(const QString& path)
{
    return path + QStringLiteral("-journal");
}

Result inspect(const QString& path, Thoroughness thoroughness, int lockWaitMs)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        if (QFileInfo::exists(journalPath(path)))
            return verdict(Outcome::JournalWithoutFile);
        return verdict(Outcome::Missing);
    }
    if (!info.isFile())
        return verdict(Outcome::NotOurs, QStringLiteral("not a file"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return verdict(Outcome::NoAccess, file.errorString());
    const QByteArray header = file.read(100);
    file.close();
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3\0", 16)))
        return verdict(Outcome::NotOurs, QStringLiteral("not an SQLite database"));
    // Bytes 18 and 19 are 2 in a write-ahead-log database; this program never makes one, and opening one would
    // leave files of its own beside it.
    if (header.at(18) != 1 || header.at(19) != 1)
        return verdict(Outcome::NotOurs, QStringLiteral("not a rollback-journal database"));

    Probe probe(path, lockWaitMs);
    QSqlDatabase db = probe.db();
    if (!db.open())
        return outcomeOf(db.lastError(), Outcome::CannotOpen);
    if (std::optional<Result> refused = schemaVerdict(db))
        return *refused;
    // After the first read, which played back any journal left beside the file.
    if (thoroughness == Thoroughness::Layout) {
        if (std::optional<Result> refused = lengthVerdict(path))
            return *refused;
    } else if (std::optional<Result> refused = pagesVerdict(db, thoroughness)) {
        return *refused;
    }
    if (std::optional<Result> refused = questionnaireVerdict(db))
        return *refused;
    const bool themeRowMissing = isThemeRowMissing(db);
    if (std::optional<Result> refused = writeVerdict(db))
        return *refused;
    Result result = verdict(Outcome::Ours);
    result.themeRowMissing = themeRowMissing;
    return result;
}

Result readEveryPage(QSqlDatabase db)
{
    if (std::optional<Result> refused = pagesVerdict(db, Thoroughness::Quick))
        return *refused;
    return verdict(Outcome::Ours);
}

const char* outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Ours:
        return "Ours";
    case Outcome::Missing:
        return "Missing";
    case Outcome::JournalWithoutFile:
        return "JournalWithoutFile";
    case Outcome::NotOurs:
        return "NotOurs";
    case Outcome::Damaged:
        return "Damaged";
    case Outcome::Busy:
        return "Busy";
    case Outcome::NoAccess:
        return "NoAccess";
    case Outcome::NotWritable:
        return "NotWritable";
    case Outcome::CannotOpen:
        return "CannotOpen";
    }
    return "?";
}

} // namespace DatabaseCheck
