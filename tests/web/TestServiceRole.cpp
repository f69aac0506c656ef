#include "WebFixture.h"

#include "questionnaire/Keying.h"
#include "data/ServerRights.h"
#include "support/TestServer.h"
#include "web/ServiceRole.h"

#include <QSqlError>
#include <QSqlQuery>

// The service's own login role on a clinic's server: with the rights ServiceRole grants it answers the questionnaire
// through a link, and it can read no name nor change anything else.
class TestServiceRole : public QObject {
    Q_OBJECT

private slots:
    void answersButCannotReadNames();
    void answersAsAMemberOfTheServiceGroup();
};

void TestServiceRole::answersButCannotReadNames()
{
    T35_SKIP_WITHOUT_SERVER();
    QString role;
    {
        WebFixture admin(TestProgram::OnServer);
        const ServerAddress server = *admin.program.server();
        role = server.database + QStringLiteral("_web");
        QVERIFY(TestServer::execAsAdmin(QStringLiteral("CREATE ROLE \"%1\" LOGIN").arg(role)).isNull());
        for (const QString& statement : ServiceRole::grantStatements(role, server.database))
            QVERIFY(admin.program.exec(statement));

        ServerAddress asService = server;
        asService.user = role;
        std::unique_ptr<Database> db = Database::onServer(asService);
        const Database::OpenResult opened = db->open();
        QVERIFY2(opened.ok(), qPrintable(opened.error + opened.connectionError.text()));
        QuestionnaireService service(*db, [&admin] { return admin.now; });
        auto call = [&](const QByteArray& method, const QString& action, const QByteArray& body = {}) {
            return service.handle({ method, admin.link(action), body, QStringLiteral("192.0.2.1") });
        };
        const WebResponse intro = call("GET", QString());
        QCOMPARE(intro.status, 200);
        QVERIFY(QString::fromUtf8(intro.body).contains(WebFixture::ClinicName));
        QCOMPARE(call("GET", QStringLiteral("7")).status, 200);
        QCOMPARE(call("POST", QStringLiteral("7"), "option=1").status, 303);
        QCOMPARE(call("GET", QStringLiteral("review")).status, 200);
        QCOMPARE(call("POST", QStringLiteral("finish")).status, 303);
        QCOMPARE(admin.program.answer(WebFixture::Code, 7), QString::number(scoreForOption(7, 1)));
        QCOMPARE(admin.program.scalar(QStringLiteral("SELECT State FROM Invitation")).toString(), QStringLiteral("finished"));

        const QStringList refused {
            QStringLiteral("SELECT \"FName\" FROM \"IDE\""),
            QStringLiteral("SELECT * FROM \"IDE\""),
            QStringLiteral("SELECT \"LName\" FROM \"IDE\""),
            QStringLiteral("UPDATE \"Answer\" SET \"Code\" = 'x'"),
            QStringLiteral("UPDATE \"Invitation\" SET \"Expires\" = '2099-01-01T00:00:00Z'"),
            QStringLiteral("INSERT INTO \"Invitation\" (\"Code\") VALUES ('1')"),
            QStringLiteral("DELETE FROM \"Answer\""),
            QStringLiteral("UPDATE \"QU\" SET \"QUs\" = ''"),
            QStringLiteral("UPDATE \"Theme\" SET \"Name\" = ''"),
        };
        for (const QString& statement : refused) {
            QSqlQuery q(db->connection());
            QVERIFY2(!q.exec(statement), qPrintable(statement));
            QCOMPARE(q.lastError().nativeErrorCode(), QStringLiteral("42501"));
        }
    }
    QVERIFY(TestServer::execAsAdmin(QStringLiteral("DROP ROLE \"%1\"").arg(role)).isNull());
}

// On a server set up with counsellors' rights the service's login only joins the service's group: it answers through
// a link as before, and writes no answer of a code whose invitation is over.
void TestServiceRole::answersAsAMemberOfTheServiceGroup()
{
    T35_SKIP_WITHOUT_SERVER();
    QString role;
    {
        WebFixture admin(TestProgram::OnServer);
        const ServerAddress server = *admin.program.server();
        QVERIFY(ServerRights::setUp(admin.program.database(), QString()).isNull());
        role = server.database + QStringLiteral("_web");
        QVERIFY(TestServer::execAsAdmin(
            QStringLiteral("CREATE ROLE \"%1\" LOGIN IN ROLE %2").arg(role, ServerRights::ServiceRole))
                    .isNull());

        ServerAddress asService = server;
        asService.user = role;
        std::unique_ptr<Database> db = Database::onServer(asService);
        const Database::OpenResult opened = db->open();
        QVERIFY2(opened.ok(), qPrintable(opened.error + opened.connectionError.text()));
        QuestionnaireService service(*db, [&admin] { return admin.now; });
        auto call = [&](const QByteArray& method, const QString& action, const QByteArray& body = {}) {
            return service.handle({ method, admin.link(action), body, QStringLiteral("192.0.2.1") });
        };
        QCOMPARE(call("GET", QStringLiteral("7")).status, 200);
        QCOMPARE(call("POST", QStringLiteral("7"), "option=1").status, 303);
        QCOMPARE(call("POST", QStringLiteral("finish")).status, 303);
        QCOMPARE(admin.program.answer(WebFixture::Code, 7), QString::number(scoreForOption(7, 1)));

        // The link is finished: the service's login can no longer write that examinee's answers, even by hand.
        QSqlQuery q(db->connection());
        QVERIFY(q.exec(QStringLiteral("UPDATE \"Answer\" SET \"8\" = '1' WHERE \"Code\" = '%1'").arg(WebFixture::Code)));
        QCOMPARE(q.numRowsAffected(), 0);
        QVERIFY(!q.exec(QStringLiteral("SELECT \"FName\" FROM \"IDE\"")));
        QCOMPARE(q.lastError().nativeErrorCode(), QStringLiteral("42501"));
    }
    QVERIFY(TestServer::execAsAdmin(QStringLiteral("DROP ROLE \"%1\"").arg(role)).isNull());
}

QTEST_GUILESS_MAIN(TestServiceRole)
#include "TestServiceRole.moc"
