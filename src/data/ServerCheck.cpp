#include "data/ServerCheck.h"

#include "data/Engine.h"
#include "data/QuestionnaireItems.h"
#include "data/Schema.h"
#include "data/ServerRights.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace ServerCheck {

namespace {

using DatabaseCheck::Outcome;

const QString versionTable = QStringLiteral("SchemaVersion");

Result verdict(Outcome outcome, const QString& detail = QString())
{
    Result result;
    result.outcome = outcome;
    result.detail = detail;
    return result;
}

Result unreadable(const QSqlQuery& q)
{
    return verdict(Engine::server().isBusy(q.lastError()) ? Outcome::Busy : Outcome::CannotOpen, q.lastError().text());
}

struct Relation {
    char kind = 0; // the server's relkind: r table, i index, S sequence, v view, ...
    bool unique = false;
};

// What the catalogue says of the connection's schema beside its relations: each table's columns with their types,
// the triggers and the row-level policies (each "table/name", sorted) and how many rules there are.
struct Catalogue {
    struct Attribute {
        QString table;
        QString column;
        QString type;
    };
    QList<Attribute> attributes;
    QStringList triggers;
    QStringList policies;
    int rules = 0;
};

// The catalogue is read in one batch of statements, each result in turn, so the check takes one round trip to the
// server for all of it: the schema, the program's tables elsewhere, the relations, the columns, the triggers, the
// policies and the rules. None of them can fail for want of a table.
const QStringList& catalogueStatements()
{
    static const QStringList statements = {
        QStringLiteral("SELECT current_schema()"),
        // The program's tables in any other schema: a second set (made where the server's default path led) would
        // split the clinic's data between them.
        QStringLiteral("SELECT DISTINCT n.nspname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                       "WHERE c.relname IN ('SchemaVersion', 'IDE', 'Answer') AND c.relkind IN ('r', 'p', 'v') "
                       "AND n.nspname <> current_schema() AND n.nspname NOT LIKE 'pg\\_%' "
                       "AND n.nspname <> 'information_schema' ORDER BY 1"),
        QStringLiteral("SELECT c.relname, c.relkind, COALESCE(i.indisunique, false) FROM pg_class c "
                       "JOIN pg_namespace n ON n.oid = c.relnamespace "
                       "LEFT JOIN pg_index i ON i.indexrelid = c.oid WHERE n.nspname = current_schema()"),
        // From the catalogue itself: the information schema shows a counsellor only the columns granted to them.
        QStringLiteral("SELECT c.relname, a.attname, format_type(a.atttypid, a.atttypmod) FROM pg_attribute a "
                       "JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
                       "WHERE n.nspname = current_schema() AND c.relkind = 'r' AND a.attnum > 0 "
                       "AND NOT a.attisdropped ORDER BY c.relname, a.attnum"),
        QStringLiteral("SELECT c.relname, t.tgname FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid "
                       "JOIN pg_namespace n ON n.oid = c.relnamespace "
                       "WHERE NOT t.tgisinternal AND n.nspname = current_schema()"),
        QStringLiteral("SELECT c.relname, p.polname FROM pg_policy p JOIN pg_class c ON c.oid = p.polrelid "
                       "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = current_schema()"),
        QStringLiteral("SELECT COUNT(*) FROM pg_rewrite r JOIN pg_class c ON c.oid = r.ev_class "
                       "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = current_schema()"),
    };
    return statements;
}

// Moves to the batch's next result; false when it failed (its error is the query's).
bool nextResult(QSqlQuery& q)
{
    return q.nextResult() && !q.lastError().isValid();
}

// Whether what the schema holds is what the program makes for `version`, with `rights` when it was set up with them:
// Ours, or why not.
Result compare(const Catalogue& catalogue, int version, const QHash<QString, Relation>& relations,
    const ServerRights::Layout* rights)
{
    // Everything there must be what the program makes for that version, and all of it.
    QHash<QString, QStringList> tableColumns;
    QSet<QString> expected { versionTable };
    QSet<QString> uniqueIndexes;
    tableColumns.insert(versionTable, { QStringLiteral("Version") });
    for (const Schema::Object& object : Schema::objectsOf(qMin(version, Schema::ServerVersion))) {
        expected << object.name;
        if (object.kind == Schema::Object::Kind::Table) {
            tableColumns.insert(object.name, QStringList { Engine::server().rowIdentity() } + object.columns);
            expected << object.name + QStringLiteral("_pkey") << object.name + QStringLiteral("_rowid_seq");
        } else if (object.where.isEmpty() && object.columns.value(0) == QLatin1String("Code")
            && (object.table == QLatin1String("IDE") || object.table == QLatin1String("Answer"))) {
            // Unique as the server makes them (Engine): one row per examinee; an examinee may have many invitations.
            uniqueIndexes << object.name;
        }
    }
    const bool withRights = rights != nullptr;
    QHash<QString, QString> rightsTypes; // "table/column" -> type
    if (withRights) {
        for (const ServerRights::Table& table : rights->tables) {
            expected << table.name;
            for (const QString& index : table.indexes)
                expected << index;
            QStringList columns;
            for (const ServerRights::Column& column : table.columns) {
                columns << column.name;
                rightsTypes.insert(table.name + QLatin1Char('/') + column.name, column.type);
            }
            tableColumns.insert(table.name, columns);
        }
        for (const ServerRights::Table& table : rights->additions) {
            for (const QString& index : table.indexes)
                expected << index;
            for (const ServerRights::Column& column : table.columns) {
                tableColumns[table.name] << column.name;
                rightsTypes.insert(table.name + QLatin1Char('/') + column.name, column.type);
            }
        }
    }
    for (auto it = relations.cbegin(); it != relations.cend(); ++it)
        if (!expected.contains(it.key()))
            return verdict(Outcome::NotOurs, QStringLiteral("%1 is not this program's").arg(it.key()));
    for (const QString& name : expected) {
        const auto it = relations.constFind(name);
        if (it == relations.cend())
            return verdict(Outcome::NotOurs, QStringLiteral("%1 is missing").arg(name));
        if (uniqueIndexes.contains(name) && !it->unique)
            return verdict(Outcome::NotOurs, QStringLiteral("%1 is not unique").arg(name));
    }

    QHash<QString, QStringList> found;
    for (const Catalogue::Attribute& attribute : catalogue.attributes) {
        const QString& table = attribute.table;
        const QString& column = attribute.column;
        const QString& type = attribute.type;
        const QString rightsType = rightsTypes.value(table + QLatin1Char('/') + column);
        const QString wanted = !rightsType.isEmpty() ? rightsType
            : table == versionTable                  ? QStringLiteral("integer")
            : column == Engine::server().rowIdentity() ? QStringLiteral("bigint")
                                                       : QStringLiteral("text");
        if (type != wanted)
            return verdict(Outcome::NotOurs, QStringLiteral("%1.%2 is of type %3").arg(table, column, type));
        found[table] << column;
    }
    for (auto it = tableColumns.cbegin(); it != tableColumns.cend(); ++it)
        if (found.value(it.key()) != it.value())
            return verdict(Outcome::NotOurs, QStringLiteral("the columns of %1 are not this program's").arg(it.key()));

    // Triggers would write on their own whenever the program writes; and rules (a copy of every row elsewhere, or a
    // write quietly done instead of the program's) and row-level policies would hide rows or refuse writes the
    // program takes for stored. A server set up with rights has the program's own triggers and policies, and only
    // those.
    QStringList ourTriggers = withRights ? rights->triggers : QStringList();
    QStringList ourPolicies = withRights ? rights->policies : QStringList();
    ourTriggers.sort();
    ourPolicies.sort();
    if (catalogue.triggers != ourTriggers)
        return verdict(Outcome::NotOurs, QStringLiteral("triggers on the tables"));
    if (catalogue.rules > 0)
        return verdict(Outcome::NotOurs, QStringLiteral("rules on the tables"));
    if (catalogue.policies != ourPolicies)
        return verdict(Outcome::NotOurs, QStringLiteral("row-level policies on the tables"));

    return verdict(Outcome::Ours);
}

} // namespace

Result inspect(QSqlDatabase db)
{
    // Not forward-only: every result of a batch is fetched with the first.
    QSqlQuery q(db);
    if (!q.exec(catalogueStatements().join(QStringLiteral("; "))) || !q.next())
        return unreadable(q);
    if (q.value(0).isNull())
        return verdict(Outcome::CannotOpen, QStringLiteral("no schema of the search path exists"));

    if (!nextResult(q))
        return unreadable(q);
    QStringList elsewhere;
    while (q.next())
        elsewhere << q.value(0).toString();
    if (!elsewhere.isEmpty())
        return verdict(Outcome::NotOurs,
            QStringLiteral("this program's tables are also in the schema %1").arg(elsewhere.join(QStringLiteral(", "))));

    if (!nextResult(q))
        return unreadable(q);
    QHash<QString, Relation> relations;
    while (q.next()) {
        const QString kind = q.value(1).toString();
        relations.insert(
            q.value(0).toString(), Relation { kind.isEmpty() ? '\0' : kind.at(0).toLatin1(), q.value(2).toBool() });
    }
    if (relations.isEmpty())
        return verdict(Outcome::Missing);

    Catalogue catalogue;
    if (!nextResult(q))
        return unreadable(q);
    while (q.next())
        catalogue.attributes.append({ q.value(0).toString(), q.value(1).toString(), q.value(2).toString() });
    for (QStringList* names : { &catalogue.triggers, &catalogue.policies }) {
        if (!nextResult(q))
            return unreadable(q);
        while (q.next())
            *names << q.value(0).toString() + QLatin1Char('/') + q.value(1).toString();
        names->sort();
    }
    if (!nextResult(q) || !q.next())
        return unreadable(q);
    catalogue.rules = q.value(0).toInt();

    const auto isTable = [&](const QString& name) {
        const auto it = relations.constFind(name);
        return it != relations.cend() && it->kind == 'r';
    };
    if (!isTable(versionTable))
        return verdict(Outcome::NotOurs, QStringLiteral("no schema version"));
    // The version and, when their tables are there, the questionnaire's items and the settings rows, in one more
    // batch: a table that is not there fails the batch, and a database without them is not ours anyway.
    QStringList ids;
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        ids << QStringLiteral("'%1'").arg(item);
    const bool rowsReadable = isTable(QStringLiteral("QU")) && isTable(QStringLiteral("Theme"));
    QStringList reads { Engine::server().readSchemaVersion() };
    if (rowsReadable)
        reads << QStringLiteral("SELECT COUNT(DISTINCT \"ID\") FROM \"QU\" WHERE \"ID\" IN (%1) "
                                "AND COALESCE(\"QUs\", '') <> ''")
                     .arg(ids.join(QLatin1Char(',')))
              << QStringLiteral("SELECT COUNT(*) FROM \"Theme\"");
    if (!q.exec(reads.join(QStringLiteral("; "))))
        return unreadable(q);
    QList<int> versions;
    while (q.next())
        versions << (q.value(0).isNull() ? -1 : q.value(0).toInt());
    if (versions.size() != 1 || versions.first() < 0)
        return verdict(Outcome::NotOurs, QStringLiteral("the schema version is not one number"));
    const int version = versions.first();
    if (version > Schema::ServerRightsVersion)
        return verdict(Outcome::NotOurs, QStringLiteral("schema version %1 of a newer program").arg(version));

    // A server set up with rights by an earlier program is still opened (and set up again brings it up to date).
    Result compared = compare(catalogue, version, relations,
        version >= Schema::ServerRightsVersion ? &ServerRights::layout() : nullptr);
    if (compared.outcome == Outcome::NotOurs && version >= Schema::ServerRightsVersion
        && compare(catalogue, version, relations, &ServerRights::earlierLayout()).outcome == Outcome::Ours)
        compared = verdict(Outcome::Ours);
    if (compared.outcome != Outcome::Ours)
        return compared;

    // The tables compared as the program's, so both counts were read with the version.
    if (!rowsReadable || !nextResult(q) || !q.next())
        return unreadable(q);
    if (q.value(0).toInt() != QuestionnaireItemCount)
        return verdict(Outcome::Damaged, QStringLiteral("the questionnaire has lost items"));
    if (!nextResult(q) || !q.next())
        return unreadable(q);
    Result result = verdict(Outcome::Ours);
    result.version = version;
    result.themeRowMissing = q.value(0).toInt() == 0;
    for (const Catalogue::Attribute& attribute : catalogue.attributes)
        result.columns[attribute.table] << attribute.column;
    return result;
}

} // namespace ServerCheck
