#include "data/Schema.h"

#include "data/Database.h"
#include "data/QuestionnaireItems.h"
#include "data/Sql.h"

namespace Schema {

namespace {

using Sql::quoted;

Object table(const QString& name, const QStringList& columns)
{
    QStringList definitions;
    for (const QString& column : columns)
        definitions << quoted(column) + QStringLiteral(" TEXT");
    return { Object::Kind::Table, name,
        QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(name), definitions.join(QStringLiteral(", "))), 0, columns,
        QString(), QString() };
}

Object index(const QString& name, const QString& table, const QString& column)
{
    return { Object::Kind::Index, name,
        QStringLiteral("CREATE INDEX %1 ON %2(%3)").arg(name, table, quoted(column)), 0, { column }, table,
        QString() };
}

// An index of only the rows that meet `where`: a count of those rows reads the index alone.
Object partialIndex(const QString& name, const QString& table, const QString& column, const QString& where)
{
    Object object = index(name, table, column);
    object.sql += QStringLiteral(" WHERE ") + where;
    object.where = where;
    return object;
}

// A trigger that refuses every `event` (UPDATE, DELETE) of `table`'s rows.
Object refusal(const QString& name, const QString& table, const QString& event)
{
    return { Object::Kind::Trigger, name,
        QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 BEGIN SELECT RAISE(ABORT, 'the audit trail is kept as "
                       "written'); END")
            .arg(quoted(name), event, quoted(table)),
        0, {}, table, QString() };
}

Object since(int version, Object object)
{
    object.version = version;
    return object;
}

// Reads a quoted name from `sql` at `i` (on its opening mark) up to its closing mark; a doubled mark inside stands
// for itself.
QString quotedWord(const QString& sql, qsizetype& i, QChar close)
{
    QString word;
    ++i;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (c == close) {
            if (close != QLatin1Char(']') && i + 1 < sql.size() && sql.at(i + 1) == close) {
                word += close;
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        word += c;
        ++i;
    }
    return word;
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c.unicode() >= 0x80;
}

} // namespace

const QList<Object>& objects()
{
    static const QList<Object> all = {
        table(QStringLiteral("IDE"), Database::ideColumns()),
        table(QStringLiteral("Answer"), Database::answerColumns()),
        table(QStringLiteral("QU"), Database::quColumns()),
        table(QStringLiteral("Theme"), Database::themeColumns()),
        table(QStringLiteral("PPP"), { QStringLiteral("ID") }),
        index(QStringLiteral("IDE_Code"), QStringLiteral("IDE"), QStringLiteral("Code")),
        index(QStringLiteral("IDE_Group"), QStringLiteral("IDE"), QStringLiteral("Group")),
        index(QStringLiteral("IDE_FName"), QStringLiteral("IDE"), QStringLiteral("FName")),
        index(QStringLiteral("IDE_LName"), QStringLiteral("IDE"), QStringLiteral("LName")),
        index(QStringLiteral("Answer_Code"), QStringLiteral("Answer"), QStringLiteral("Code")),
        index(QStringLiteral("QU_ID"), QStringLiteral("QU"), QStringLiteral("ID")),
        // Version 1: pairs of examinees compared once, remembered so that one code brings back the other.
        since(1,
            table(QStringLiteral("ComparedPairs"),
                { QStringLiteral("FirstCode"), QStringLiteral("SecondCode"), QStringLiteral("Kind") })),
        // Version 2: links by which an examinee answers on a phone. The link's token is kept only as its hash;
        // Changed is when the state last changed, RevokedBy who revoked the link.
        since(2,
            table(QStringLiteral("Invitation"),
                { QStringLiteral("Code"), QStringLiteral("TokenHash"), QStringLiteral("Made"), QStringLiteral("Expires"),
                    QStringLiteral("State"), QStringLiteral("MadeBy"), QStringLiteral("Changed"),
                    QStringLiteral("RevokedBy") })),
        since(2, index(QStringLiteral("Invitation_TokenHash"), QStringLiteral("Invitation"), QStringLiteral("TokenHash"))),
        since(2, index(QStringLiteral("Invitation_Code"), QStringLiteral("Invitation"), QStringLiteral("Code"))),
        // Version 2: the complete answer rows, which the main window counts on every return to it.
        since(2,
            partialIndex(QStringLiteral("Answer_Complete"), QStringLiteral("Answer"), QStringLiteral("Code"),
                everyItemAnswered())),
        // Version 3: the audit trail, one line per change of an examinee's rows and per report, export, backup or
        // restore; When is UTC in ISO 8601 with milliseconds, so text order is time order. The program writes lines
        // and never changes one.
        since(3,
            table(QStringLiteral("AuditLog"),
                { QStringLiteral("When"), QStringLiteral("Who"), QStringLiteral("What"), QStringLiteral("Code"),
                    QStringLiteral("Detail") })),
        since(3, index(QStringLiteral("AuditLog_When"), QStringLiteral("AuditLog"), QStringLiteral("When"))),
        since(3, refusal(QStringLiteral("AuditLog_Unchanged"), QStringLiteral("AuditLog"), QStringLiteral("UPDATE"))),
        since(3, refusal(QStringLiteral("AuditLog_Undeleted"), QStringLiteral("AuditLog"), QStringLiteral("DELETE"))),
    };
    return all;
}

QString everyItemAnswered()
{
    QStringList answered;
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        answered << QStringLiteral("%1 <> ''").arg(quoted(QString::number(item)));
    return answered.join(QStringLiteral(" AND "));
}

QList<Object> objectsOf(int version)
{
    QList<Object> of;
    for (const Object& object : objects())
        if (object.version <= version)
            of << object;
    return of;
}

QStringList upgradeStatements(int from)
{
    QStringList statements;
    for (const Object& object : objects())
        if (object.version > from)
            statements << object.sql;
    return statements;
}

const Object* find(Object::Kind kind, const QString& name, int version)
{
    for (const Object& object : objects())
        if (object.kind == kind && object.version <= version && object.name.compare(name, Qt::CaseInsensitive) == 0)
            return &object;
    return nullptr;
}

QStringList tokens(const QString& sql)
{
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`')) {
            words << quotedWord(sql, i, c).toLower();
        } else if (c == QLatin1Char('[')) {
            words << quotedWord(sql, i, QLatin1Char(']')).toLower();
        } else if (c == QLatin1Char('\'')) {
            // A text value keeps its case and its mark, so it never matches a name.
            words << QLatin1Char('\'') + quotedWord(sql, i, c);
        } else if (isWordCharacter(c)) {
            const qsizetype start = i;
            while (i < n && isWordCharacter(sql.at(i)))
                ++i;
            words << sql.mid(start, i - start).toLower();
        } else {
            words << QString(c);
            ++i;
        }
    }
    return words;
}

bool sameDefinition(const QString& a, const QString& b)
{
    return tokens(a) == tokens(b);
}

} // namespace Schema
