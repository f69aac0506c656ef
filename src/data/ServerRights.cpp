#include "data/ServerRights.h"

#include "data/Database.h"
#include "data/LibPq.h"
#include "data/QuestionnaireItems.h"
#include "data/Schema.h"
#include "data/Sql.h"
#include "data/Transaction.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>


namespace ServerRights {

namespace {

using Sql::quoted;

// Who is asking, read once per statement rather than once per row.
const QString me = QStringLiteral("(SELECT CAST(session_user AS text))");

// IDE and Answer rows carry their counsellor, so a counsellor's own rows are told by a column of the row itself and a
// search of thousands of rows costs about what it costs without rights: no lookup per row. Only a row of another
// counsellor asks whether it is shared with the login, one look in the sharing's key (a list of every code shared
// with the login, hashed, would be read again by each statement that meets one such row, a first screen's read too).
QString sharedWithMe(const QString& code)
{
    return QStringLiteral("\"SharedWithMe\"(%1)").arg(code);
}

// A row of no counsellor (registered before rights were set up, with nobody named at setup) is anyone's.
QString mineRow(const QString& table)
{
    const QString counsellor = quoted(table) + QStringLiteral(".\"Counsellor\"");
    return QStringLiteral("(%1 = %2 OR %1 IS NULL)").arg(counsellor, me);
}

QString seenRow(const QString& table)
{
    return QStringLiteral("(%1 OR %2)").arg(mineRow(table), sharedWithMe(quoted(table) + QStringLiteral(".\"Code\"")));
}

// Invitations and remembered pairs go with their examinee's code. The lookups are functions running as the owner,
// since a counsellor may not read whose the other codes are: each answers only whether a code is another's, which
// "code taken" tells anyway. These tables are read by code, a few rows at a time.
QString seen(const QString& code)
{
    return QStringLiteral("(\"NotOthers\"(%1) OR %2)").arg(code, sharedWithMe(code));
}

QString heldByMe(const QString& code)
{
    return QStringLiteral("(\"HeldByMe\"(%1))").arg(code);
}

QString column(const QString& table, const QString& name)
{
    return quoted(table) + QLatin1Char('.') + quoted(name);
}

// A policy made afresh, so running the setup again brings an older wording up to date.
QStringList policy(const QString& table, const QString& name, const QString& rest)
{
    return { QStringLiteral("DROP POLICY IF EXISTS %1 ON %2").arg(quoted(name), quoted(table)),
        QStringLiteral("CREATE POLICY %1 ON %2 %3").arg(quoted(name), quoted(table), rest) };
}

QStringList trigger(const QString& table, const QString& name, const QString& rest)
{
    return { QStringLiteral("DROP TRIGGER IF EXISTS %1 ON %2").arg(quoted(name), quoted(table)),
        QStringLiteral("CREATE TRIGGER %1 %2").arg(quoted(name), rest.arg(quoted(table))) };
}

QString role(const QString& name)
{
    return QStringLiteral("DO $$BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '%1') THEN "
                          "CREATE ROLE %2 NOLOGIN; END IF; END$$")
        .arg(name, quoted(name));
}

const QStringList& programTables()
{
    static const QStringList names { QStringLiteral("SchemaVersion"), QStringLiteral("IDE"), QStringLiteral("Answer"),
        QStringLiteral("QU"), QStringLiteral("Theme"), QStringLiteral("PPP"), QStringLiteral("ComparedPairs"),
        QStringLiteral("Invitation") };
    return names;
}

// The tables whose rows carry their counsellor.
const QStringList& ownedTables()
{
    static const QStringList names { QStringLiteral("IDE"), QStringLiteral("Answer") };
    return names;
}

// The tables whose every insert, update and delete the server writes into the audit trail.
const QStringList& auditedTables()
{
    static const QStringList names { QStringLiteral("IDE"), QStringLiteral("Answer"), QStringLiteral("ComparedPairs"),
        QStringLiteral("Invitation"), QStringLiteral("ExamineeShare") };
    return names;
}

} // namespace

namespace {

QList<Table> sharingAndTrail(const QStringList& shareIndexes)
{
    return {
        { QStringLiteral("ExamineeShare"),
            { { QStringLiteral("Code"), QStringLiteral("text") }, { QStringLiteral("Colleague"), QStringLiteral("text") } },
            shareIndexes },
        { QStringLiteral("AuditLog"),
            { { QStringLiteral("When"), QStringLiteral("timestamp with time zone") },
                { QStringLiteral("Who"), QStringLiteral("text") }, { QStringLiteral("What"), QStringLiteral("text") },
                { QStringLiteral("Code"), QStringLiteral("text") }, { QStringLiteral("Detail"), QStringLiteral("text") } },
            {} },
    };
}

QStringList auditTriggers()
{
    QStringList names;
    for (const QString& table : auditedTables())
        names << table + QLatin1Char('/') + table + QStringLiteral("_Audit");
    return names;
}

// The policies this program makes, or those the earlier program made (IDE's writes alone told apart, and the sharing
// in one policy for every command).
QStringList policiesOf(bool earlier)
{
    const QStringList changingTables = earlier ? QStringList { QStringLiteral("IDE") } : ownedTables();
    QStringList names;
    for (const QString& table : { QStringLiteral("IDE"), QStringLiteral("Answer"), QStringLiteral("ComparedPairs"),
             QStringLiteral("Invitation"), QStringLiteral("ExamineeShare") })
        names << table + QStringLiteral("/Head") << table + QStringLiteral("/Counsellor");
    for (const QString& table : changingTables)
        names << table + QStringLiteral("/CounsellorAdds") << table + QStringLiteral("/CounsellorChanges")
              << table + QStringLiteral("/CounsellorDeletes");
    names << QStringLiteral("IDE/Service") << QStringLiteral("Answer/Service") << QStringLiteral("Answer/ServiceWrites")
          << QStringLiteral("Invitation/Service") << QStringLiteral("Invitation/ServiceWrites")
          << QStringLiteral("ExamineeShare/CounsellorShares");
    if (!earlier)
        names << QStringLiteral("ExamineeShare/CounsellorTakesBack");
    return names;
}

} // namespace

const Layout& layout()
{
    static const Layout now = [] {
        Layout l;
        l.tables = sharingAndTrail({ QStringLiteral("ExamineeShare_pkey"), QStringLiteral("ExamineeShare_Colleague") });
        for (const QString& table : ownedTables())
            l.additions.append({ table, { { QStringLiteral("Counsellor"), QStringLiteral("text") } },
                table == QLatin1String("IDE") ? QStringList { QStringLiteral("IDE_Counsellor") } : QStringList() });
        l.triggers = QStringList { QStringLiteral("IDE/IDE_Owner"), QStringLiteral("IDE/IDE_OwnerMoved"),
                         QStringLiteral("IDE/IDE_OwnerGone"), QStringLiteral("Answer/Answer_Owner") }
            + auditTriggers();
        l.policies = policiesOf(false);
        return l;
    }();
    return now;
}

const Layout& earlierLayout()
{
    static const Layout earlier = [] {
        Layout l;
        l.tables = QList<Table> { { QStringLiteral("ExamineeOwner"),
                       { { QStringLiteral("Code"), QStringLiteral("text") },
                           { QStringLiteral("Counsellor"), QStringLiteral("text") } },
                       { QStringLiteral("ExamineeOwner_pkey") } } }
            + sharingAndTrail({ QStringLiteral("ExamineeShare_pkey") });
        l.triggers = QStringList { QStringLiteral("IDE/IDE_Owner"), QStringLiteral("IDE/IDE_OwnerMoved"),
                         QStringLiteral("IDE/IDE_OwnerGone") }
            + auditTriggers();
        l.policies = policiesOf(true);
        return l;
    }();
    return earlier;
}

QStringList setupStatements(const QString& database, const QString& schema, const QString& formerCounsellor)
{
    const QString head = quoted(HeadRole);
    const QString counsellor = quoted(CounsellorRole);
    const QString service = quoted(ServiceRole);
    const QString staff = head + QStringLiteral(", ") + counsellor;
    const QString all = staff + QStringLiteral(", ") + service;
    const QString path = QStringLiteral("SET search_path = %1, pg_temp").arg(quoted(schema));

    QStringList s;
    // Dropping what is not there yet is no news on a first run.
    s << QStringLiteral("SET LOCAL client_min_messages = warning");
    s << role(HeadRole) << role(CounsellorRole) << role(ServiceRole);
    s << QStringLiteral("CREATE TABLE IF NOT EXISTS \"ExamineeShare\" (\"Code\" text NOT NULL, "
                        "\"Colleague\" text NOT NULL, PRIMARY KEY (\"Code\", \"Colleague\"))")
      << QStringLiteral("CREATE INDEX IF NOT EXISTS \"ExamineeShare_Colleague\" ON \"ExamineeShare\" "
                        "(\"Colleague\", \"Code\")");
    s << QStringLiteral("CREATE TABLE IF NOT EXISTS \"AuditLog\" (\"When\" timestamptz NOT NULL DEFAULT clock_timestamp(), "
                        "\"Who\" text NOT NULL DEFAULT session_user, \"What\" text NOT NULL, \"Code\" text, "
                        "\"Detail\" text)");
    // Each examinee's rows carry their counsellor; an index of the counsellor beside the code and the group lets
    // a counsellor's lookups and group searches read the index alone, as they do without rights.
    for (const QString& table : ownedTables())
        s << QStringLiteral("ALTER TABLE %1 ADD COLUMN IF NOT EXISTS \"Counsellor\" text").arg(quoted(table));
    s << QStringLiteral("CREATE INDEX IF NOT EXISTS \"IDE_Counsellor\" ON \"IDE\" (\"Group\") "
                        "INCLUDE (\"Counsellor\", \"Code\")");
    // The administrator who sets up owns every table, so no counsellor's login passes by the policies as an owner
    // would.
    for (const QString& table :
        programTables() + QStringList { QStringLiteral("ExamineeShare"), QStringLiteral("AuditLog") })
        s << QStringLiteral("ALTER TABLE %1 OWNER TO CURRENT_USER").arg(quoted(table));

    // Who held what is written into the rows without a line in the trail for each: a server set up by an earlier
    // program kept it in a table of its own, which goes; rows of nobody go to the counsellor named at setup.
    for (const QString& table : ownedTables())
        s << QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER USER").arg(quoted(table));
    s << QStringLiteral("DO $$BEGIN IF to_regclass('\"ExamineeOwner\"') IS NOT NULL THEN "
                        "UPDATE \"IDE\" i SET \"Counsellor\" = o.\"Counsellor\" FROM \"ExamineeOwner\" o "
                        "WHERE o.\"Code\" = i.\"Code\" AND i.\"Counsellor\" IS NULL; "
                        "UPDATE \"Answer\" a SET \"Counsellor\" = o.\"Counsellor\" FROM \"ExamineeOwner\" o "
                        "WHERE o.\"Code\" = a.\"Code\" AND a.\"Counsellor\" IS NULL; "
                        "DROP TABLE \"ExamineeOwner\"; END IF; END$$");
    if (!formerCounsellor.isEmpty()) {
        const QString who = QStringLiteral("'") + QString(formerCounsellor).replace(QLatin1Char('\''), QStringLiteral("''"))
            + QLatin1Char('\'');
        for (const QString& table : ownedTables())
            s << QStringLiteral("UPDATE %1 SET \"Counsellor\" = %2 WHERE \"Counsellor\" IS NULL").arg(quoted(table), who);
    }
    for (const QString& table : ownedTables())
        s << QStringLiteral("ALTER TABLE %1 ENABLE TRIGGER USER").arg(quoted(table));

    // Whose a new row is, set by the server as it is stored (whatever the program sent): the counsellor of the
    // examinee's other row when there is one, else the login; sharing is moved with the code and forgotten with it.
    // These run as the owner, since no counsellor may read the other rows' counsellors.
    s << QStringLiteral("CREATE OR REPLACE FUNCTION \"ExamineeRegistered\"() RETURNS trigger LANGUAGE plpgsql "
                        "SECURITY DEFINER %1 AS $$BEGIN "
                        "DELETE FROM \"ExamineeShare\" WHERE \"Code\" = NEW.\"Code\"; "
                        "NEW.\"Counsellor\" := COALESCE((SELECT a.\"Counsellor\" FROM \"Answer\" a "
                        "WHERE a.\"Code\" = NEW.\"Code\" AND a.\"Counsellor\" IS NOT NULL LIMIT 1), session_user); "
                        "RETURN NEW; END$$")
             .arg(path)
      << QStringLiteral("CREATE OR REPLACE FUNCTION \"AnswerOwned\"() RETURNS trigger LANGUAGE plpgsql "
                        "SECURITY DEFINER %1 AS $$BEGIN "
                        "NEW.\"Counsellor\" := COALESCE((SELECT i.\"Counsellor\" FROM \"IDE\" i "
                        "WHERE i.\"Code\" = NEW.\"Code\" AND i.\"Counsellor\" IS NOT NULL LIMIT 1), session_user); "
                        "RETURN NEW; END$$")
             .arg(path)
      << QStringLiteral("CREATE OR REPLACE FUNCTION \"ExamineeRecoded\"() RETURNS trigger LANGUAGE plpgsql "
                        "SECURITY DEFINER %1 AS $$BEGIN "
                        "IF NEW.\"Code\" IS DISTINCT FROM OLD.\"Code\" THEN "
                        "DELETE FROM \"ExamineeShare\" WHERE \"Code\" = NEW.\"Code\"; "
                        "UPDATE \"ExamineeShare\" SET \"Code\" = NEW.\"Code\" WHERE \"Code\" = OLD.\"Code\"; "
                        "END IF; RETURN NULL; END$$")
             .arg(path)
      << QStringLiteral("CREATE OR REPLACE FUNCTION \"ExamineeRemoved\"() RETURNS trigger LANGUAGE plpgsql "
                        "SECURITY DEFINER %1 AS $$BEGIN "
                        "DELETE FROM \"ExamineeShare\" WHERE \"Code\" = OLD.\"Code\"; "
                        "RETURN NULL; END$$")
             .arg(path);
    s << QStringLiteral("CREATE OR REPLACE FUNCTION \"NotOthers\"(code text) RETURNS boolean LANGUAGE sql STABLE "
                        "SECURITY DEFINER %1 AS $$SELECT NOT EXISTS (SELECT 1 FROM \"IDE\" "
                        "WHERE \"Code\" = code AND \"Counsellor\" <> session_user) AND NOT EXISTS (SELECT 1 FROM "
                        "\"Answer\" WHERE \"Code\" = code AND \"Counsellor\" <> session_user)$$")
             .arg(path)
      << QStringLiteral("CREATE OR REPLACE FUNCTION \"HeldByMe\"(code text) RETURNS boolean LANGUAGE sql STABLE "
                        "SECURITY DEFINER %1 AS $$SELECT EXISTS (SELECT 1 FROM \"IDE\" "
                        "WHERE \"Code\" = code AND \"Counsellor\" = session_user)$$")
             .arg(path)
      << QStringLiteral("CREATE OR REPLACE FUNCTION \"SharedWithMe\"(code text) RETURNS boolean LANGUAGE sql STABLE "
                        "SECURITY DEFINER %1 AS $$SELECT EXISTS (SELECT 1 FROM \"ExamineeShare\" "
                        "WHERE \"Code\" = code AND \"Colleague\" = session_user)$$")
             .arg(path);
    // Whether a code is any examinee's, the one thing a counsellor may learn of another's examinee.
    s << QStringLiteral("CREATE OR REPLACE FUNCTION \"CodeTaken\"(code text) RETURNS boolean LANGUAGE sql STABLE "
                        "SECURITY DEFINER %1 AS $$SELECT EXISTS (SELECT 1 FROM \"IDE\" WHERE \"Code\" = code)$$")
             .arg(path);
    // The audit trail: written by the server, as the owner, for every change of an examinee's rows, with the login
    // as who; and by the program, through "Note", for what the server cannot see (a report printed, an export).
    // Nobody but the owner changes or deletes a line.
    s << QStringLiteral("CREATE OR REPLACE FUNCTION \"Audited\"() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER %1 "
                        "AS $$DECLARE r jsonb; BEGIN "
                        "r := to_jsonb(CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END); "
                        "INSERT INTO \"AuditLog\" (\"Who\", \"What\", \"Code\", \"Detail\") VALUES (session_user, "
                        "TG_TABLE_NAME || ' ' || lower(TG_OP), COALESCE(r->>'Code', r->>'FirstCode'), "
                        "COALESCE(r->>'SecondCode', r->>'Colleague', r->>'State')); "
                        "RETURN NULL; END$$")
             .arg(path)
      << QStringLiteral("CREATE OR REPLACE FUNCTION \"Note\"(what text, code text, detail text) RETURNS void "
                        "LANGUAGE sql SECURITY DEFINER %1 AS $$INSERT INTO \"AuditLog\" (\"Who\", \"What\", "
                        "\"Code\", \"Detail\") VALUES (session_user, what, code, detail)$$")
             .arg(path);
    for (const QString& table : auditedTables())
        s << trigger(table, table + QStringLiteral("_Audit"),
            QStringLiteral("AFTER INSERT OR UPDATE OR DELETE ON %1 FOR EACH ROW EXECUTE FUNCTION \"Audited\"()"));
    // What only the head may do (replacing the clinic's rows with a backup's, copying a data file in) begins by
    // asking this, so a counsellor's program is refused by the server too.
    s << QStringLiteral("CREATE OR REPLACE FUNCTION \"HeadOnly\"() RETURNS void LANGUAGE plpgsql %1 AS $$BEGIN "
                        "IF NOT pg_has_role(session_user, '%2', 'MEMBER') THEN "
                        "RAISE EXCEPTION 'only the head of the clinic may do this' USING ERRCODE = '42501'; "
                        "END IF; END$$")
             .arg(path, HeadRole);
    for (const QString& function : { QStringLiteral("\"ExamineeRegistered\"()"), QStringLiteral("\"AnswerOwned\"()"),
             QStringLiteral("\"ExamineeRecoded\"()"), QStringLiteral("\"ExamineeRemoved\"()"),
             QStringLiteral("\"CodeTaken\"(text)"), QStringLiteral("\"NotOthers\"(text)"),
             QStringLiteral("\"HeldByMe\"(text)"), QStringLiteral("\"SharedWithMe\"(text)"),
             QStringLiteral("\"Audited\"()"),
             QStringLiteral("\"Note\"(text, text, text)"), QStringLiteral("\"HeadOnly\"()") })
        s << QStringLiteral("REVOKE ALL ON FUNCTION %1 FROM PUBLIC").arg(function);
    s << QStringLiteral("GRANT EXECUTE ON FUNCTION \"CodeTaken\"(text), \"NotOthers\"(text), \"HeldByMe\"(text), "
                        "\"SharedWithMe\"(text), "
                        "\"HeadOnly\"(), \"Note\"(text, text, text) TO %1")
             .arg(staff)
      << QStringLiteral("GRANT SELECT ON \"AuditLog\" TO %1").arg(head);
    s << trigger(QStringLiteral("IDE"), QStringLiteral("IDE_Owner"),
        QStringLiteral("BEFORE INSERT ON %1 FOR EACH ROW EXECUTE FUNCTION \"ExamineeRegistered\"()"));
    s << trigger(QStringLiteral("Answer"), QStringLiteral("Answer_Owner"),
        QStringLiteral("BEFORE INSERT ON %1 FOR EACH ROW EXECUTE FUNCTION \"AnswerOwned\"()"));
    s << trigger(QStringLiteral("IDE"), QStringLiteral("IDE_OwnerMoved"),
        QStringLiteral("AFTER UPDATE OF \"Code\" ON %1 FOR EACH ROW EXECUTE FUNCTION \"ExamineeRecoded\"()"));
    s << trigger(QStringLiteral("IDE"), QStringLiteral("IDE_OwnerGone"),
        QStringLiteral("AFTER DELETE ON %1 FOR EACH ROW EXECUTE FUNCTION \"ExamineeRemoved\"()"));

    s << QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2").arg(quoted(database), all)
      << QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(quoted(schema), all)
      << QStringLiteral("GRANT SELECT ON \"SchemaVersion\" TO %1").arg(staff)
      << QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON \"QU\", \"Theme\", \"PPP\", \"ComparedPairs\", "
                        "\"Invitation\" TO %1")
             .arg(staff)
      << QStringLiteral("GRANT SELECT, INSERT, DELETE ON \"ExamineeShare\" TO %1").arg(staff);
    // Every column of an examinee's rows but whose they are.
    for (const QString& table : ownedTables()) {
        QStringList columns;
        for (const QString& name : table == QLatin1String("IDE") ? Database::ideColumns() : Database::answerColumns())
            columns << quoted(name);
        s << QStringLiteral("REVOKE UPDATE ON %1 FROM %2").arg(quoted(table), staff)
          << QStringLiteral("GRANT SELECT, INSERT, DELETE ON %1 TO %2").arg(quoted(table), staff)
          << QStringLiteral("GRANT UPDATE (%1) ON %2 TO %3").arg(columns.join(QStringLiteral(", ")), quoted(table), staff);
    }
    // The questionnaire service: the questionnaire, the clinic's name, invitations and their state, answer sheets
    // and their 35 answers; of IDE the codes alone.
    QStringList items;
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        items << quoted(QString::number(item));
    s << QStringLiteral("GRANT SELECT ON \"SchemaVersion\", \"QU\", \"Theme\", \"Invitation\", \"Answer\" TO %1").arg(service)
      << QStringLiteral("GRANT SELECT (rowid, \"Code\") ON \"IDE\" TO %1").arg(service)
      << QStringLiteral("GRANT UPDATE (\"State\", \"Changed\") ON \"Invitation\" TO %1").arg(service)
      << QStringLiteral("GRANT UPDATE (%1) ON \"Answer\" TO %2").arg(items.join(QStringLiteral(", ")), service);

    for (const QString& table : { QStringLiteral("IDE"), QStringLiteral("Answer"), QStringLiteral("ComparedPairs"),
             QStringLiteral("Invitation"), QStringLiteral("ExamineeShare") }) {
        s << QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(quoted(table));
        s << policy(table, QStringLiteral("Head"), QStringLiteral("FOR ALL TO %1 USING (true) WITH CHECK (true)").arg(head));
    }
    // A counsellor's own examinees and those shared with them: seen, registered, changed, answered; deleting, of
    // the details and of the answers, is the examinee's own counsellor's.
    for (const QString& table : ownedTables()) {
        s << policy(table, QStringLiteral("Counsellor"), QStringLiteral("FOR SELECT TO %1 USING %2").arg(counsellor, seenRow(table)));
        s << policy(table, QStringLiteral("CounsellorAdds"),
            QStringLiteral("FOR INSERT TO %1 WITH CHECK %2").arg(counsellor, seenRow(table)));
        s << policy(table, QStringLiteral("CounsellorChanges"),
            QStringLiteral("FOR UPDATE TO %1 USING %2 WITH CHECK %2").arg(counsellor, seenRow(table)));
        s << policy(table, QStringLiteral("CounsellorDeletes"),
            QStringLiteral("FOR DELETE TO %1 USING %2").arg(counsellor, mineRow(table)));
    }
    s << policy(QStringLiteral("IDE"), QStringLiteral("Service"), QStringLiteral("FOR SELECT TO %1 USING (true)").arg(service));
    const QString answerCode = column(QStringLiteral("Answer"), QStringLiteral("Code"));
    s << policy(QStringLiteral("Answer"), QStringLiteral("Service"), QStringLiteral("FOR SELECT TO %1 USING (true)").arg(service));
    // The service writes the answers of a code only while a link of it is open or being answered.
    const QString invited = QStringLiteral("EXISTS (SELECT 1 FROM \"Invitation\" v WHERE v.\"Code\" = %1 "
                                           "AND v.\"State\" IN ('open', 'answering'))")
                                .arg(answerCode);
    s << policy(QStringLiteral("Answer"), QStringLiteral("ServiceWrites"),
        QStringLiteral("FOR UPDATE TO %1 USING (%2) WITH CHECK (%2)").arg(service, invited));
    const QString invitationCode = column(QStringLiteral("Invitation"), QStringLiteral("Code"));
    s << policy(QStringLiteral("Invitation"), QStringLiteral("Counsellor"),
        QStringLiteral("FOR ALL TO %1 USING %2 WITH CHECK %2").arg(counsellor, seen(invitationCode)));
    s << policy(QStringLiteral("Invitation"), QStringLiteral("Service"),
        QStringLiteral("FOR SELECT TO %1 USING (true)").arg(service));
    s << policy(QStringLiteral("Invitation"), QStringLiteral("ServiceWrites"),
        QStringLiteral("FOR UPDATE TO %1 USING (true) WITH CHECK (true)").arg(service));
    const QString pairSeen = QStringLiteral("(%1 AND %2)")
                                 .arg(seen(column(QStringLiteral("ComparedPairs"), QStringLiteral("FirstCode"))),
                                     seen(column(QStringLiteral("ComparedPairs"), QStringLiteral("SecondCode"))));
    s << policy(QStringLiteral("ComparedPairs"), QStringLiteral("Counsellor"),
        QStringLiteral("FOR ALL TO %1 USING %2 WITH CHECK %2").arg(counsellor, pairSeen));
    // A counsellor sees the sharing of their own examinees and what is shared with them, and shares only their own.
    const QString shareCode = column(QStringLiteral("ExamineeShare"), QStringLiteral("Code"));
    s << policy(QStringLiteral("ExamineeShare"), QStringLiteral("Counsellor"),
        QStringLiteral("FOR SELECT TO %1 USING (\"Colleague\" = %2 OR %3)").arg(counsellor, me, heldByMe(shareCode)));
    // Sharing and taking back are policies of their own, not one for every command: one that also applied to reading
    // would put the owner's lookup before "is it mine?" when the examinees' policies read what is shared with me.
    s << policy(QStringLiteral("ExamineeShare"), QStringLiteral("CounsellorShares"),
        QStringLiteral("FOR INSERT TO %1 WITH CHECK %2").arg(counsellor, heldByMe(shareCode)));
    s << policy(QStringLiteral("ExamineeShare"), QStringLiteral("CounsellorTakesBack"),
        QStringLiteral("FOR DELETE TO %1 USING %2").arg(counsellor, heldByMe(shareCode)));

    s << QStringLiteral("UPDATE \"SchemaVersion\" SET \"Version\" = %1").arg(Schema::ServerRightsVersion);
    return s;
}

bool headOnly(Database& db)
{
    if (!db.isServer())
        return true;
    if (db.schemaVersion() < Schema::ServerRightsVersion)
        return true;
    return db.exec(QStringLiteral("SELECT \"HeadOnly\"()"));
}

QString setUp(Database& db, const QString& formerCounsellor)
{
    const std::optional<ServerAddress> server = db.server();
    if (!server)
        return QStringLiteral("rights are kept on a clinic's server only");
    Transaction transaction(db);
    if (!transaction.begun())
        return transaction.error();
    if (!formerCounsellor.isEmpty()) {
        QSqlQuery q(db.connection());
        if (!db.prepare(q, QStringLiteral("SELECT COUNT(*) FROM pg_roles WHERE rolname = ? AND rolcanlogin")))
            return db.lastError();
        q.addBindValue(formerCounsellor);
        if (!db.exec(q) || !q.next())
            return db.lastError();
        if (q.value(0).toInt() != 1)
            return QStringLiteral("there is no login role %1 on the server").arg(formerCounsellor);
    }
    for (const QString& statement : setupStatements(server->database, server->schemaName(), formerCounsellor))
        if (!db.exec(statement))
            return db.lastError();
    if (!formerCounsellor.isEmpty()
        && !db.exec(QStringLiteral("GRANT %1 TO %2").arg(quoted(CounsellorRole), quoted(formerCounsellor))))
        return db.lastError();
    if (!transaction.commit())
        return transaction.error();
    db.setSchemaVersion(Schema::ServerRightsVersion);
    return QString();
}

QString addCounsellor(Database& db, const QString& name, bool head, const QString& password)
{
    QSqlDatabase connection = db.connection();
    const QVariant handle = connection.driver() ? connection.driver()->handle() : QVariant();
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return QStringLiteral("not connected to a server");
    PGconn* pg = *static_cast<PGconn* const*>(handle.constData());
    // The server is sent the verifier alone: the password itself never leaves this computer.
    const QByteArray user = name.toUtf8();
    QByteArray typed = password.toUtf8();
    const LibPq::Calls& pq = LibPq::calls();
    if (!pq.found())
        return QStringLiteral("libpq not loaded");
    char* verifier = pq.encryptPassword(pg, typed.constData(), user.constData(), "scram-sha-256");
    typed.fill('\0');
    if (!verifier)
        return QString::fromUtf8(pq.errorMessage(pg)).trimmed();
    const QString secret = QString::fromLatin1(verifier);
    pq.freemem(verifier);
    const QString statement = QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2' IN ROLE %3")
                                  .arg(quoted(name), secret, quoted(head ? HeadRole : CounsellorRole));
    return db.exec(statement) ? QString() : db.lastError();
}

Standing standing(Database& db)
{
    if (!db.isServer())
        return Standing::None;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    // A server never set up with rights has no head and no counsellors, whatever roles the cluster holds.
    if (db.schemaVersion() < Schema::ServerRightsVersion)
        return Standing::None;
    const QString member = QStringLiteral("EXISTS (SELECT 1 FROM pg_roles r WHERE r.rolname = '%1' "
                                          "AND pg_has_role(session_user, r.oid, 'MEMBER'))");
    if (!q.exec(QStringLiteral("SELECT %1, %2").arg(member.arg(HeadRole), member.arg(CounsellorRole))) || !q.next())
        return Standing::None;
    if (q.value(0).toBool())
        return Standing::Head;
    return q.value(1).toBool() ? Standing::Counsellor : Standing::None;
}

} // namespace ServerRights
