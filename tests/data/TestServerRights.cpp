#include "data/Audit.h"
#include "data/Database.h"
#include "data/Engine.h"
#include "data/Schema.h"
#include "data/ServerCheck.h"
#include "data/Rights.h"
#include "data/ServerRights.h"
#include "data/TableTransfer.h"
#include "support/TestServer.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// Counsellors' rights on a clinic's server, checked where they hold: through plain connections of each login, as
// psql or any other program would have, not only through the program's windows.
class TestServerRights : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void setUpOnAnOlderServerWithRowsTwice();
    void setUpTakesOverTheEarlierTableOfOwners();
    void foreignPoliciesAndTriggersAreStillRefused_data();
    void foreignPoliciesAndTriggersAreStillRefused();
    void eachCounsellorSeesOwnAndShared();
    void aCodeOfAnotherCounsellorIsTakenAndNothingMore();
    void onlyTheOwnCounsellorOrTheHeadDeletes();
    void noCounsellorWritesWhoseAnExamineeIs();
    void theServiceWritesOnlyInvitedAnswers_data();
    void theServiceWritesOnlyInvitedAnswers();
    void theProgramOpensAsACounsellor();
    void onlyTheHeadReplacesOrCopiesTheClinicsRows_data();
    void onlyTheHeadReplacesOrCopiesTheClinicsRows();
    void theTrailKeepsEveryChangeOfAnExaminee();
    void noCounsellorReadsOrChangesTheTrail();

private:
    // A login role of this case in `group` ("" for none); its name.
    QString login(const QString& suffix, const QString& group);
    bool setUp(const QString& formerCounsellor = QString());

    std::optional<ServerAddress> m_server;
    QStringList m_roles;
};

namespace {

// A plain connection of the test's own, as the given login.
class Raw {
public:
    Raw(const ServerAddress& server, const QString& user = QString())
        : m_name(QStringLiteral("rights_%1").arg(++s_counter))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setDatabaseName(server.database);
        db.setUserName(user.isEmpty() ? server.user : user);
        if (!db.open())
            qWarning("raw connection: %s", qPrintable(db.lastError().text()));
        QSqlQuery(db).exec(QStringLiteral("SET search_path TO public"));
    }
    ~Raw()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    // Runs a statement: the server's code of its failure ("" when it ran), and the rows it changed.
    QString run(const QString& sql, int* changed = nullptr)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.exec(sql))
            return q.lastError().nativeErrorCode().isEmpty() ? QStringLiteral("?") : q.lastError().nativeErrorCode();
        if (changed)
            *changed = q.numRowsAffected();
        return QString();
    }
    bool exec(const QString& sql)
    {
        const QString code = run(sql);
        if (!code.isEmpty())
            qWarning("%s: %s", qPrintable(sql), qPrintable(code));
        return code.isEmpty();
    }
    QStringList column(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        QStringList values;
        if (!q.exec(sql))
            return { QStringLiteral("error ") + q.lastError().nativeErrorCode() };
        while (q.next())
            values << q.value(0).toString();
        values.sort();
        return values;
    }
    QVariant scalar(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }

private:
    static inline int s_counter = 0;
    QString m_name;
};

QString registerSql(const QString& code)
{
    return QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"FName\") VALUES ('%1', 'name of %1')").arg(code);
}

QString answerSql(const QString& code)
{
    return QStringLiteral("INSERT INTO \"Answer\" (\"Code\", \"1\") VALUES ('%1', '3')").arg(code);
}

const QString codes = QStringLiteral("SELECT \"Code\" FROM \"IDE\"");
const QString answerCodes = QStringLiteral("SELECT \"Code\" FROM \"Answer\"");

} // namespace

void TestServerRights::init()
{
    T35_SKIP_WITHOUT_SERVER();
    m_server = TestServer::freshProgramDatabase();
    QVERIFY(m_server);
}

void TestServerRights::cleanup()
{
    if (m_server)
        TestServer::drop(*m_server);
    m_server.reset();
    for (const QString& role : std::as_const(m_roles))
        TestServer::execAsAdmin(QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(role));
    m_roles.clear();
}

QString TestServerRights::login(const QString& suffix, const QString& group)
{
    const QString name = m_server->database + QLatin1Char('_') + suffix;
    const QString made = TestServer::execAsAdmin(QStringLiteral("CREATE ROLE \"%1\" LOGIN%2")
                                                     .arg(name, group.isEmpty() ? QString()
                                                                                : QStringLiteral(" IN ROLE ") + group));
    if (!made.isNull()) {
        qWarning("%s", qPrintable(made));
        return QString();
    }
    m_roles << name;
    return name;
}

bool TestServerRights::setUp(const QString& formerCounsellor)
{
    std::unique_ptr<Database> db = Database::onServer(*m_server);
    if (!db->open().ok())
        return false;
    const QString problem = ServerRights::setUp(*db, formerCounsellor);
    if (!problem.isNull())
        qWarning("set up: %s", qPrintable(problem));
    return problem.isNull();
}

void TestServerRights::setUpOnAnOlderServerWithRowsTwice()
{
    {
        Raw admin(*m_server);
        QVERIFY(admin.exec(registerSql(QStringLiteral("11"))));
        QVERIFY(admin.exec(registerSql(QStringLiteral("12"))));
        QVERIFY(admin.exec(answerSql(QStringLiteral("11"))));
        // A version-1 server: no invitations yet.
        QVERIFY(admin.exec(QStringLiteral("DROP TABLE \"Invitation\"")));
        QVERIFY(admin.exec(QStringLiteral("DROP INDEX \"Answer_Complete\"")));
        QVERIFY(admin.exec(QStringLiteral("UPDATE \"SchemaVersion\" SET \"Version\" = 1")));
    }
    const QString former = login(QStringLiteral("former"), QString());
    QVERIFY(!former.isEmpty());
    // The former login becomes a counsellor holding every examinee already there; a second run changes nothing.
    for (int run = 0; run < 2; ++run) {
        QVERIFY(setUp(former));
        Raw admin(*m_server);
        QCOMPARE(admin.scalar(QStringLiteral("SELECT \"Version\" FROM \"SchemaVersion\"")).toInt(),
            Schema::ServerRightsVersion);
        QCOMPARE(admin.column(QStringLiteral("SELECT \"Code\" || ':' || \"Counsellor\" FROM \"IDE\"")),
            QStringList({ QStringLiteral("11:") + former, QStringLiteral("12:") + former }));
        QCOMPARE(admin.column(QStringLiteral("SELECT \"Code\" || ':' || \"Counsellor\" FROM \"Answer\"")),
            QStringList { QStringLiteral("11:") + former });
        QCOMPARE(admin.column(codes), QStringList({ QStringLiteral("11"), QStringLiteral("12") }));
        Raw asFormer(*m_server, former);
        QCOMPARE(asFormer.column(codes), QStringList({ QStringLiteral("11"), QStringLiteral("12") }));
        QCOMPARE(asFormer.column(answerCodes), QStringList { QStringLiteral("11") });
        // The program opens it as its own.
        std::unique_ptr<Database> db = Database::onServer(*m_server);
        const Database::OpenResult opened = db->open();
        QVERIFY2(opened.ok(), qPrintable(opened.error));
        QCOMPARE(opened.status, Database::OpenStatus::Opened);
    }
}

void TestServerRights::setUpTakesOverTheEarlierTableOfOwners()
{
    const QString first = login(QStringLiteral("first"), QString());
    QVERIFY(setUp(first));
    const QString second = login(QStringLiteral("second"), ServerRights::CounsellorRole);
    {
        // As an earlier setup left it: whose each code is in a table of its own, the rows themselves unmarked.
        Raw admin(*m_server);
        for (const QString& table : { QStringLiteral("IDE"), QStringLiteral("Answer") }) {
            for (const char* name : { "Counsellor", "CounsellorAdds", "CounsellorChanges", "CounsellorDeletes" })
                QVERIFY(admin.exec(QStringLiteral("DROP POLICY \"%1\" ON \"%2\"").arg(QLatin1String(name), table)));
            QVERIFY(admin.exec(QStringLiteral("ALTER TABLE \"%1\" DROP COLUMN \"Counsellor\"").arg(table)));
        }
        QVERIFY(admin.exec(QStringLiteral("DROP TRIGGER \"Answer_Owner\" ON \"Answer\"")));
        QVERIFY(admin.exec(QStringLiteral("DROP INDEX \"ExamineeShare_Colleague\"")));
        QVERIFY(admin.exec(QStringLiteral("DROP POLICY \"CounsellorTakesBack\" ON \"ExamineeShare\"")));
        for (const char* name : { "Counsellor", "CounsellorAdds", "CounsellorChanges", "CounsellorDeletes" })
            QVERIFY(admin.exec(QStringLiteral("CREATE POLICY \"%1\" ON \"IDE\" USING (false)").arg(QLatin1String(name))));
        QVERIFY(admin.exec(QStringLiteral("CREATE POLICY \"Counsellor\" ON \"Answer\" USING (false)")));
        QVERIFY(admin.exec(QStringLiteral("CREATE TABLE \"ExamineeOwner\" (\"Code\" text PRIMARY KEY, "
                                          "\"Counsellor\" text NOT NULL)")));
        QVERIFY(admin.exec(QStringLiteral("INSERT INTO \"ExamineeOwner\" VALUES ('21', '%1'), ('22', '%2')")
                               .arg(first, second)));
        QVERIFY(admin.exec(QStringLiteral("ALTER TABLE \"IDE\" DISABLE TRIGGER USER")));
        QVERIFY(admin.exec(QStringLiteral("ALTER TABLE \"Answer\" DISABLE TRIGGER USER")));
        for (const QString& code : { QStringLiteral("21"), QStringLiteral("22") }) {
            QVERIFY(admin.exec(registerSql(code)));
            QVERIFY(admin.exec(answerSql(code)));
        }
        QVERIFY(admin.exec(QStringLiteral("ALTER TABLE \"IDE\" ENABLE TRIGGER USER")));
        QVERIFY(admin.exec(QStringLiteral("ALTER TABLE \"Answer\" ENABLE TRIGGER USER")));
    }
    // The program still opens it, and setting up again brings it up to date.
    QVERIFY(setUp(first));
    Raw asSecond(*m_server, second);
    QCOMPARE(asSecond.column(codes), QStringList { QStringLiteral("22") });
    QCOMPARE(asSecond.column(answerCodes), QStringList { QStringLiteral("22") });
    Raw admin(*m_server);
    QCOMPARE(admin.scalar(QStringLiteral("SELECT to_regclass('\"ExamineeOwner\"') IS NULL")).toBool(), true);
    // Taking the owners over is no change of an examinee's: the trail has no line of it.
    QCOMPARE(admin.scalar(QStringLiteral("SELECT COUNT(*) FROM \"AuditLog\"")).toInt(), 0);
    std::unique_ptr<Database> db = Database::onServer(*m_server);
    QCOMPARE(db->open().status, Database::OpenStatus::Opened);
}

void TestServerRights::foreignPoliciesAndTriggersAreStillRefused_data()
{
    QTest::addColumn<QString>("statement");
    QTest::newRow("a policy of someone else's")
        << "CREATE POLICY \"Snoop\" ON \"IDE\" FOR SELECT TO PUBLIC USING (true)";
    QTest::newRow("a trigger of someone else's")
        << "CREATE TRIGGER \"Copy\" AFTER INSERT ON \"Answer\" FOR EACH ROW EXECUTE FUNCTION \"ExamineeRemoved\"()";
    QTest::newRow("one of ours gone") << "DROP POLICY \"Counsellor\" ON \"Answer\"";
    QTest::newRow("a rule") << "CREATE RULE \"Quiet\" AS ON DELETE TO \"IDE\" DO INSTEAD NOTHING";
    QTest::newRow("a column added to the sharing") << "ALTER TABLE \"ExamineeShare\" ADD COLUMN \"Note\" text";
    QTest::newRow("the counsellors' index gone") << "DROP INDEX \"IDE_Counsellor\"";
}

void TestServerRights::foreignPoliciesAndTriggersAreStillRefused()
{
    QFETCH(QString, statement);
    QVERIFY(setUp());
    Raw admin(*m_server);
    QVERIFY(admin.exec(statement));
    std::unique_ptr<Database> db = Database::onServer(*m_server);
    const Database::OpenResult opened = db->open();
    QCOMPARE(opened.status, Database::OpenStatus::Refused);
    QCOMPARE(opened.check, DatabaseCheck::Outcome::NotOurs);
}

void TestServerRights::eachCounsellorSeesOwnAndShared()
{
    QVERIFY(setUp());
    const QString head = login(QStringLiteral("head"), ServerRights::HeadRole);
    const QString first = login(QStringLiteral("first"), ServerRights::CounsellorRole);
    const QString second = login(QStringLiteral("second"), ServerRights::CounsellorRole);
    QVERIFY(!head.isEmpty() && !first.isEmpty() && !second.isEmpty());
    Raw asFirst(*m_server, first);
    Raw asSecond(*m_server, second);
    Raw asHead(*m_server, head);
    for (const QString& code : { QStringLiteral("101"), QStringLiteral("102") }) {
        QVERIFY(asFirst.exec(registerSql(code)));
        QVERIFY(asFirst.exec(answerSql(code)));
    }
    QVERIFY(asSecond.exec(registerSql(QStringLiteral("201"))));
    QVERIFY(asSecond.exec(answerSql(QStringLiteral("201"))));
    QVERIFY(asSecond.exec(QStringLiteral(
        "INSERT INTO \"ComparedPairs\" (\"FirstCode\", \"SecondCode\", \"Kind\") VALUES ('201', '201', 'x')")));
    QVERIFY(asHead.exec(registerSql(QStringLiteral("301"))));

    const QStringList firsts { QStringLiteral("101"), QStringLiteral("102") };
    QCOMPARE(asFirst.column(codes), firsts);
    QCOMPARE(asFirst.column(answerCodes), firsts);
    QCOMPARE(asFirst.column(QStringLiteral("SELECT \"FirstCode\" FROM \"ComparedPairs\"")), QStringList());
    QCOMPARE(asSecond.column(codes), QStringList { QStringLiteral("201") });
    QCOMPARE(asSecond.column(answerCodes), QStringList { QStringLiteral("201") });
    QCOMPARE(asHead.column(codes),
        QStringList({ QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("201"), QStringLiteral("301") }));
    QCOMPARE(asHead.column(QStringLiteral("SELECT \"FirstCode\" FROM \"ComparedPairs\"")),
        QStringList { QStringLiteral("201") });
    // A foreign examinee can be neither changed nor its answers written.
    int changed = -1;
    QVERIFY(asSecond.run(QStringLiteral("UPDATE \"IDE\" SET \"FName\" = 'x' WHERE \"Code\" = '101'"), &changed).isEmpty());
    QCOMPARE(changed, 0);
    QVERIFY(asSecond.run(QStringLiteral("UPDATE \"Answer\" SET \"2\" = '1' WHERE \"Code\" = '101'"), &changed).isEmpty());
    QCOMPARE(changed, 0);

    // Shared with the second counsellor, and taken back.
    QVERIFY(asFirst.exec(QStringLiteral("INSERT INTO \"ExamineeShare\" (\"Code\", \"Colleague\") VALUES ('101', '%1')")
                             .arg(second)));
    QCOMPARE(asSecond.column(codes), QStringList({ QStringLiteral("101"), QStringLiteral("201") }));
    QCOMPARE(asSecond.column(answerCodes), QStringList({ QStringLiteral("101"), QStringLiteral("201") }));
    QVERIFY(asSecond.run(QStringLiteral("UPDATE \"Answer\" SET \"2\" = '1' WHERE \"Code\" = '101'"), &changed).isEmpty());
    QCOMPARE(changed, 1);
    // Only the examinee's own counsellor shares it.
    QCOMPARE(asSecond.run(QStringLiteral("INSERT INTO \"ExamineeShare\" (\"Code\", \"Colleague\") VALUES ('101', '%1')")
                              .arg(head)),
        QStringLiteral("42501"));
    QCOMPARE(asSecond.run(QStringLiteral("INSERT INTO \"ExamineeShare\" (\"Code\", \"Colleague\") VALUES ('102', '%1')")
                              .arg(second)),
        QStringLiteral("42501"));
    QVERIFY(asFirst.exec(QStringLiteral("DELETE FROM \"ExamineeShare\" WHERE \"Code\" = '101'")));
    QCOMPARE(asSecond.column(codes), QStringList { QStringLiteral("201") });
}

void TestServerRights::aCodeOfAnotherCounsellorIsTakenAndNothingMore()
{
    QVERIFY(setUp());
    const QString first = login(QStringLiteral("first"), ServerRights::CounsellorRole);
    const QString second = login(QStringLiteral("second"), ServerRights::CounsellorRole);
    Raw asFirst(*m_server, first);
    Raw asSecond(*m_server, second);
    QVERIFY(asFirst.exec(registerSql(QStringLiteral("500"))));
    QCOMPARE(asSecond.scalar(QStringLiteral("SELECT \"CodeTaken\"('500')")).toBool(), true);
    QCOMPARE(asSecond.scalar(QStringLiteral("SELECT \"CodeTaken\"('501')")).toBool(), false);
    // Registering it anyway meets the code's uniqueness, which the program says as "code taken".
    std::unique_ptr<Database> db = Database::onServer([&] {
        ServerAddress address = *m_server;
        address.user = second;
        return address;
    }());
    QVERIFY(db->open().ok());
    QSqlQuery insert(db->connection());
    QVERIFY(!insert.exec(registerSql(QStringLiteral("500"))));
    QVERIFY(Engine::server().isCodeTaken(insert.lastError()));
    QCOMPARE(asSecond.column(codes), QStringList());
    // The function answers "taken?" and nothing else: whose the other codes are is not to be read, and no
    // counsellor moves an examinee to themselves.
    QCOMPARE(asSecond.column(QStringLiteral("SELECT \"Counsellor\" FROM \"IDE\"")), QStringList());
    QCOMPARE(asFirst.run(QStringLiteral("UPDATE \"IDE\" SET \"Counsellor\" = '%1'").arg(second)),
        QStringLiteral("42501"));
}

void TestServerRights::onlyTheOwnCounsellorOrTheHeadDeletes()
{
    QVERIFY(setUp());
    const QString head = login(QStringLiteral("head"), ServerRights::HeadRole);
    const QString first = login(QStringLiteral("first"), ServerRights::CounsellorRole);
    const QString second = login(QStringLiteral("second"), ServerRights::CounsellorRole);
    Raw asFirst(*m_server, first);
    Raw asSecond(*m_server, second);
    Raw asHead(*m_server, head);
    for (const QString& code : { QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3") }) {
        QVERIFY(asFirst.exec(registerSql(code)));
        QVERIFY(asFirst.exec(answerSql(code)));
    }
    QVERIFY(asFirst.exec(QStringLiteral("INSERT INTO \"ExamineeShare\" (\"Code\", \"Colleague\") VALUES ('1', '%1')")
                             .arg(second)));
    // A shared colleague sees it but cannot delete it; nor can another counsellor, who does not even see it.
    int changed = -1;
    for (const QString& code : { QStringLiteral("1"), QStringLiteral("2") }) {
        for (const QString& table : { QStringLiteral("IDE"), QStringLiteral("Answer") }) {
            QVERIFY(asSecond.run(QStringLiteral("DELETE FROM \"%1\" WHERE \"Code\" = '%2'").arg(table, code), &changed)
                        .isEmpty());
            QCOMPARE(changed, 0);
        }
    }
    // The program deletes the details first and the answers after, in one transaction.
    QVERIFY(asFirst.exec(QStringLiteral("BEGIN")));
    QVERIFY(asFirst.run(QStringLiteral("DELETE FROM \"IDE\" WHERE \"Code\" = '1'"), &changed).isEmpty());
    QCOMPARE(changed, 1);
    QVERIFY(asFirst.run(QStringLiteral("DELETE FROM \"Answer\" WHERE \"Code\" = '1'"), &changed).isEmpty());
    QCOMPARE(changed, 1);
    QVERIFY(asFirst.exec(QStringLiteral("COMMIT")));
    QVERIFY(asHead.run(QStringLiteral("DELETE FROM \"IDE\" WHERE \"Code\" = '2'"), &changed).isEmpty());
    QCOMPARE(changed, 1);
    QCOMPARE(asHead.column(codes), QStringList { QStringLiteral("3") });
    QCOMPARE(asHead.column(QStringLiteral("SELECT \"Code\" FROM \"ExamineeShare\"")), QStringList());
    // A code deleted by one counsellor may be registered by another, whose it then is.
    QVERIFY(asSecond.exec(registerSql(QStringLiteral("1"))));
    QCOMPARE(asSecond.column(codes), QStringList { QStringLiteral("1") });
    QCOMPARE(asFirst.column(codes), QStringList { QStringLiteral("3") });
}

void TestServerRights::noCounsellorWritesWhoseAnExamineeIs()
{
    QVERIFY(setUp());
    const QString first = login(QStringLiteral("first"), ServerRights::CounsellorRole);
    const QString head = login(QStringLiteral("head"), ServerRights::HeadRole);
    for (const QString& who : { first, head }) {
        Raw as(*m_server, who);
        QVERIFY(as.exec(registerSql(who.right(4))));
        for (const QString& statement :
            { QStringLiteral("UPDATE \"IDE\" SET \"Counsellor\" = 'x'"),
                QStringLiteral("UPDATE \"Answer\" SET \"Counsellor\" = 'x'"),
                QStringLiteral("UPDATE \"SchemaVersion\" SET \"Version\" = 2"),
                QStringLiteral("DROP POLICY \"Counsellor\" ON \"IDE\""),
                QStringLiteral("ALTER TABLE \"IDE\" DISABLE ROW LEVEL SECURITY") })
            QCOMPARE(as.run(statement), QStringLiteral("42501"));
        // Whatever the program sends, the server writes the login.
        QVERIFY(as.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"Counsellor\") VALUES ('%1x', 'x')").arg(who.right(4))));
        QCOMPARE(as.column(QStringLiteral("SELECT \"Counsellor\" FROM \"IDE\" WHERE \"Code\" = '%1x'").arg(who.right(4))),
            QStringList { who });
    }
}

void TestServerRights::theServiceWritesOnlyInvitedAnswers_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("changed");
    QTest::newRow("open") << "open" << 1;
    QTest::newRow("answering") << "answering" << 1;
    QTest::newRow("finished") << "finished" << 0;
    QTest::newRow("revoked") << "revoked" << 0;
    QTest::newRow("no invitation") << "" << 0;
}

void TestServerRights::theServiceWritesOnlyInvitedAnswers()
{
    QFETCH(QString, state);
    QFETCH(int, changed);
    QVERIFY(setUp());
    const QString service = login(QStringLiteral("web"), ServerRights::ServiceRole);
    {
        Raw admin(*m_server);
        QVERIFY(admin.exec(registerSql(QStringLiteral("700"))));
        QVERIFY(admin.exec(answerSql(QStringLiteral("700"))));
        QVERIFY(admin.exec(registerSql(QStringLiteral("701"))));
        QVERIFY(admin.exec(answerSql(QStringLiteral("701"))));
        if (!state.isEmpty())
            QVERIFY(admin.exec(
                QStringLiteral("INSERT INTO \"Invitation\" (\"Code\", \"State\") VALUES ('700', '%1')").arg(state)));
        // Another code's open link opens nothing of this one.
        QVERIFY(admin.exec(QStringLiteral("INSERT INTO \"Invitation\" (\"Code\", \"State\") VALUES ('701', 'open')")));
    }
    Raw asService(*m_server, service);
    int rows = -1;
    QVERIFY(asService.run(QStringLiteral("UPDATE \"Answer\" SET \"5\" = '2' WHERE \"Code\" = '700'"), &rows).isEmpty());
    QCOMPARE(rows, changed);
    QCOMPARE(asService.run(QStringLiteral("SELECT \"FName\" FROM \"IDE\"")), QStringLiteral("42501"));
    QCOMPARE(asService.column(codes), QStringList({ QStringLiteral("700"), QStringLiteral("701") }));
    QCOMPARE(asService.run(QStringLiteral("UPDATE \"Answer\" SET \"Code\" = '9'")), QStringLiteral("42501"));
}

void TestServerRights::theProgramOpensAsACounsellor()
{
    {
        std::unique_ptr<Database> before = Database::onServer(*m_server);
        QVERIFY(before->open().ok());
        QCOMPARE(ServerRights::standing(*before), ServerRights::Standing::None);
        // Without rights nobody is named and nothing is refused.
        QVERIFY(!Rights::whoIsWorking(*before).isSomebody());
        QVERIFY(Rights::may(*before, Rights::Act::ReadAuditTrail));
    }
    QVERIFY(setUp());
    const QString first = login(QStringLiteral("first"), ServerRights::CounsellorRole);
    const QString head = login(QStringLiteral("head"), ServerRights::HeadRole);
    {
        Raw admin(*m_server);
        QVERIFY(admin.exec(registerSql(QStringLiteral("۸۸"))));
    }
    for (const QString& who : { first, head }) {
        ServerAddress address = *m_server;
        address.user = who;
        std::unique_ptr<Database> db = Database::onServer(address);
        const Database::OpenResult opened = db->open();
        QVERIFY2(opened.ok(), qPrintable(opened.error));
        QCOMPARE(ServerRights::standing(*db),
            who == head ? ServerRights::Standing::Head : ServerRights::Standing::Counsellor);
        const Rights::Person person = Rights::whoIsWorking(*db);
        QCOMPARE(person.name, who);
        QCOMPARE(person.head, who == head);
        QCOMPARE(Rights::may(*db, Rights::Act::RestoreOntoServer), who == head);
        QCOMPARE(Rights::may(*db, Rights::Act::ReadAuditTrail), who == head);
    }
    // The cluster's administrator may do anything, as the head may.
    std::unique_ptr<Database> owner = Database::onServer(*m_server);
    QVERIFY(owner->open().ok());
    QCOMPARE(ServerRights::standing(*owner), ServerRights::Standing::Head);
}

void TestServerRights::onlyTheHeadReplacesOrCopiesTheClinicsRows_data()
{
    QTest::addColumn<bool>("replace");
    QTest::addColumn<bool>("asHead");
    QTest::newRow("restore, counsellor") << true << false;
    QTest::newRow("restore, head") << true << true;
    QTest::newRow("copy, counsellor") << false << false;
    QTest::newRow("copy, head") << false << true;
}

void TestServerRights::onlyTheHeadReplacesOrCopiesTheClinicsRows()
{
    QFETCH(bool, replace);
    QFETCH(bool, asHead);
    QVERIFY(setUp());
    const QString who = asHead ? login(QStringLiteral("head"), ServerRights::HeadRole)
                               : login(QStringLiteral("first"), ServerRights::CounsellorRole);
    {
        Raw admin(*m_server);
        QVERIFY(admin.exec(registerSql(QStringLiteral("41"))));
    }
    QTemporaryDir folder;
    Database file(folder.path());
    QVERIFY(file.open().ok());
    QVERIFY(file.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('42')")));

    ServerAddress address = *m_server;
    address.user = who;
    std::unique_ptr<Database> server = Database::onServer(address);
    QVERIFY(server->open().ok());
    const TableTransfer::Result result
        = replace ? TableTransfer::replaceAll(file, *server) : TableTransfer::addExaminees(file, *server);
    QCOMPARE(result.ok, asHead);
    Raw admin(*m_server);
    if (asHead) {
        QCOMPARE(admin.column(codes),
            replace ? QStringList { QStringLiteral("42") } : QStringList({ QStringLiteral("41"), QStringLiteral("42") }));
    } else {
        QVERIFY(result.error.contains(QLatin1String("head of the clinic")));
        QCOMPARE(admin.column(codes), QStringList { QStringLiteral("41") });
    }
}

void TestServerRights::theTrailKeepsEveryChangeOfAnExaminee()
{
    QVERIFY(setUp());
    const QString first = login(QStringLiteral("first"), ServerRights::CounsellorRole);
    const QString head = login(QStringLiteral("head"), ServerRights::HeadRole);
    {
        Raw asFirst(*m_server, first);
        QVERIFY(asFirst.exec(registerSql(QStringLiteral("801"))));
        QVERIFY(asFirst.exec(answerSql(QStringLiteral("801"))));
        QVERIFY(asFirst.exec(QStringLiteral("UPDATE \"Answer\" SET \"2\" = '4' WHERE \"Code\" = '801'")));
        QVERIFY(asFirst.exec(
            QStringLiteral("INSERT INTO \"ExamineeShare\" (\"Code\", \"Colleague\") VALUES ('801', '%1')").arg(head)));
    }
    {
        ServerAddress address = *m_server;
        address.user = first;
        std::unique_ptr<Database> db = Database::onServer(address);
        QVERIFY(db->open().ok());
        QVERIFY(Audit::note(*db, QStringLiteral("report printed"), QStringLiteral("801"), QStringLiteral("PDF")));
        QVERIFY(db->beginTransaction());
        QVERIFY(db->exec(QStringLiteral("DELETE FROM \"IDE\" WHERE \"Code\" = '801'")));
        QVERIFY(db->exec(QStringLiteral("DELETE FROM \"Answer\" WHERE \"Code\" = '801'")));
        QVERIFY(db->commit());
    }
    Raw asHead(*m_server, head);
    const QStringList expected {
        first + QStringLiteral("|IDE insert|801|"),
        first + QStringLiteral("|Answer insert|801|"),
        first + QStringLiteral("|Answer update|801|"),
        first + QStringLiteral("|ExamineeShare insert|801|") + head,
        first + QStringLiteral("|report printed|801|PDF"),
        first + QStringLiteral("|IDE delete|801|"),
        first + QStringLiteral("|ExamineeShare delete|801|") + head,
        first + QStringLiteral("|Answer delete|801|"),
    };
    QStringList sorted = expected;
    sorted.sort();
    QCOMPARE(asHead.column(QStringLiteral("SELECT \"Who\" || '|' || \"What\" || '|' || COALESCE(\"Code\", '') || '|' "
                                          "|| COALESCE(\"Detail\", '') FROM \"AuditLog\"")),
        sorted);
    // In the order it happened.
    QCOMPARE(asHead.scalar(QStringLiteral("SELECT string_agg(\"What\", ',' ORDER BY \"When\") FROM \"AuditLog\"")).toString(),
        QStringLiteral("IDE insert,Answer insert,Answer update,ExamineeShare insert,report printed,IDE delete,"
                       "ExamineeShare delete,Answer delete"));
}

void TestServerRights::noCounsellorReadsOrChangesTheTrail()
{
    QVERIFY(setUp());
    const QString first = login(QStringLiteral("first"), ServerRights::CounsellorRole);
    const QString head = login(QStringLiteral("head"), ServerRights::HeadRole);
    Raw asFirst(*m_server, first);
    Raw asHead(*m_server, head);
    QVERIFY(asFirst.exec(registerSql(QStringLiteral("901"))));
    for (Raw* as : { &asFirst, &asHead }) {
        for (const QString& statement : { QStringLiteral("UPDATE \"AuditLog\" SET \"Who\" = 'x'"),
                 QStringLiteral("DELETE FROM \"AuditLog\""),
                 QStringLiteral("INSERT INTO \"AuditLog\" (\"What\") VALUES ('forged')"),
                 QStringLiteral("TRUNCATE \"AuditLog\"") })
            QCOMPARE(as->run(statement), QStringLiteral("42501"));
    }
    QCOMPARE(asFirst.run(QStringLiteral("SELECT * FROM \"AuditLog\"")), QStringLiteral("42501"));
    QCOMPARE(asHead.column(QStringLiteral("SELECT \"Who\" || ' ' || \"What\" FROM \"AuditLog\"")),
        QStringList { first + QStringLiteral(" IDE insert") });
}

QTEST_GUILESS_MAIN(TestServerRights)
#include "TestServerRights.moc"
