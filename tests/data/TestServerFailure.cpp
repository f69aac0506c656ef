#include "data/ServerAddress.h"
#include "data/ServerFailure.h"
#include "settings/ServerFailureSentence.h"
#include "ui/MessageCatalogue.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using ServerFailure::Reason;
Q_DECLARE_METATYPE(ServerFailure::Reason)

namespace QTest {
template <> char* toString(const ServerFailure::Reason& reason)
{
    return qstrdup(ServerFailure::reasonName(reason));
}
} // namespace QTest

class TestServerFailure : public QObject {
    Q_OBJECT
private slots:
    void classify_data();
    void classify();
    void sentenceNamesServer_data();
    void sentenceNamesServer();
    void platformTextIsLibpqs();
    void eachReasonItsOwnSentence();
    void missingSocketIsRefused();
    void closedPortIsRefused();
    void silentServerGivesNoAnswer();
};

namespace {

// What QPSQL makes of a failed connection: its own words as the driver text, libpq's as the database text.
QSqlError connectionError(const QString& libpq)
{
    return QSqlError(QStringLiteral("QPSQL: Unable to connect"), libpq, QSqlError::ConnectionError);
}

ServerAddress clinic()
{
    ServerAddress a;
    a.host = QStringLiteral("clinic-server");
    a.database = QStringLiteral("clinic");
    a.user = QStringLiteral("counsellor");
    return a;
}

// Connects through Qt's driver the way the program does and gives back what the driver said.
QSqlError connectTo(const QString& host, int port, const QString& options = {})
{
    QSqlError error;
    const QString name = QStringLiteral("failure-probe");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(host);
        db.setPort(port);
        db.setDatabaseName(QStringLiteral("clinic"));
        db.setUserName(QStringLiteral("counsellor"));
        db.setConnectOptions(options);
        if (!db.open())
            error = db.lastError();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

} // namespace

void TestServerFailure::classify_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Reason>("reason");
    // libpq 15's own words, as a failed connection leaves them.
    QTest::newRow("tcp refused") << QStringLiteral(
        "connection to server at \"127.0.0.1\", port 1 failed: Connection refused\n"
        "\tIs the server running on that host and accepting TCP/IP connections?\n")
                                 << Reason::Refused;
    QTest::newRow("tcp refused, name and address")
        << QStringLiteral("connection to server at \"localhost\" (::1), port 5433 failed: Connection refused\n"
                          "\tIs the server running on that host and accepting TCP/IP connections?")
        << Reason::Refused;
    QTest::newRow("no socket") << QStringLiteral(
        "connection to server on socket \"/run/pg/.s.PGSQL.5432\" failed: No such file or directory\n"
        "\tIs the server running locally and accepting connections on that socket?")
                               << Reason::Refused;
    QTest::newRow("unknown host") << QStringLiteral(
        "could not translate host name \"no-such-host.invalid\" to address: Name or service not known\n")
                                  << Reason::UnknownHost;
    QTest::newRow("no name service") << QStringLiteral(
        "could not translate host name \"clinic-server\" to address: Temporary failure in name resolution")
                                     << Reason::UnknownHost;
    QTest::newRow("timeout") << QStringLiteral(
        "connection to server at \"10.0.0.9\", port 5432 failed: timeout expired\n")
                             << Reason::NoAnswer;
    QTest::newRow("timeout on socket") << QStringLiteral(
        "connection to server on socket \"/tmp/x/.s.PGSQL.5432\" failed: timeout expired")
                                       << Reason::NoAnswer;
    QTest::newRow("no route") << QStringLiteral(
        "connection to server at \"10.0.0.9\", port 5432 failed: No route to host\n"
        "\tIs the server running on that host and accepting TCP/IP connections?")
                              << Reason::NoAnswer;
    QTest::newRow("unreachable") << QStringLiteral(
        "connection to server at \"10.0.0.9\", port 5432 failed: Network is unreachable\n"
        "\tIs the server running on that host and accepting TCP/IP connections?")
                                 << Reason::NoAnswer;
    QTest::newRow("no password") << QStringLiteral(
        "connection to server on socket \"/tmp/c/.s.PGSQL.5432\" failed: fe_sendauth: no password supplied\n")
                                 << Reason::NoPassword;
    QTest::newRow("password refused") << QStringLiteral(
        "connection to server on socket \"/tmp/c/.s.PGSQL.5432\" failed: FATAL:  password authentication failed "
        "for user \"counsellor\"\n") << Reason::PasswordRefused;
    QTest::newRow("database missing") << QStringLiteral(
        "connection to server on socket \"/tmp/c/.s.PGSQL.5432\" failed: FATAL:  database \"nosuch\" does not exist\n")
                                      << Reason::DatabaseMissing;
    QTest::newRow("user missing") << QStringLiteral(
        "connection to server at \"clinic\" (192.168.1.5), port 5432 failed: FATAL:  role \"nobody\" does not exist")
                                  << Reason::UserMissing;
    QTest::newRow("no hba entry") << QStringLiteral(
        "connection to server at \"clinic\" (192.168.1.5), port 5432 failed: FATAL:  no pg_hba.conf entry for host "
        "\"192.168.1.7\", user \"counsellor\", database \"clinic\", no encryption")
                                  << Reason::NotAllowed;
    QTest::newRow("peer") << QStringLiteral(
        "connection to server on socket \"/run/pg/.s.PGSQL.5432\" failed: FATAL:  Peer authentication failed for user "
        "\"counsellor\"") << Reason::NotAllowed;
    // A database whose name reads like another failure is still a missing database.
    QTest::newRow("odd database name") << QStringLiteral(
        "connection to server on socket \"/tmp/c/.s.PGSQL.5432\" failed: FATAL:  database \"Connection refused\" "
        "does not exist") << Reason::DatabaseMissing;
    QTest::newRow("closed at once") << QStringLiteral(
        "server closed the connection unexpectedly\n\tThis probably means the server terminated abnormally\n"
        "\tbefore or while processing the request.")
                                    << Reason::Other;
    QTest::newRow("starting up") << QStringLiteral(
        "connection to server on socket \"/tmp/c/.s.PGSQL.5432\" failed: FATAL:  the database system is starting up")
                                 << Reason::Other;
    QTest::newRow("nothing said") << QString() << Reason::Other;
}

void TestServerFailure::classify()
{
    QFETCH(QString, text);
    QFETCH(Reason, reason);
    QCOMPARE(ServerFailure::classify(text), reason);
    QCOMPARE(ServerFailure::classify(connectionError(text)), reason);
}

void TestServerFailure::sentenceNamesServer_data()
{
    QTest::addColumn<Reason>("reason");
    QTest::addColumn<QString>("named"); // what the sentence must name beside the server
    QTest::newRow("refused") << Reason::Refused << QString();
    QTest::newRow("unknown host") << Reason::UnknownHost << QString();
    QTest::newRow("no answer") << Reason::NoAnswer << QString();
    QTest::newRow("no password") << Reason::NoPassword << QStringLiteral("counsellor");
    QTest::newRow("password refused") << Reason::PasswordRefused << QStringLiteral("counsellor");
    QTest::newRow("user missing") << Reason::UserMissing << QStringLiteral("counsellor");
    QTest::newRow("not allowed") << Reason::NotAllowed << QStringLiteral("counsellor");
    QTest::newRow("database missing") << Reason::DatabaseMissing << QStringLiteral("clinic");
    QTest::newRow("other") << Reason::Other << QString();
}

void TestServerFailure::sentenceNamesServer()
{
    QFETCH(Reason, reason);
    QFETCH(QString, named);
    const QString sentence = ServerFailure::sentence(reason, clinic());
    QVERIFY2(sentence.contains(clinic().displayName()), qPrintable(sentence));
    if (!named.isEmpty())
        QVERIFY2(sentence.contains(QChar(0x2066) + named + QChar(0x2069)), qPrintable(sentence));
    QVERIFY(!sentence.contains(QLatin1Char('%')));
    // The program's spelling: Arabic yeh, never the Persian one.
    QVERIFY(!sentence.contains(QChar(0x06CC)));
}

void TestServerFailure::platformTextIsLibpqs()
{
    const QString words = QStringLiteral(
        "connection to server on socket \"/tmp/c/.s.PGSQL.5432\" failed: FATAL:  database \"clinic\" does not exist");
    QCOMPARE(ServerFailure::platformText(connectionError(words + QLatin1Char('\n'))), words);
    // Without libpq's words, the driver's own.
    QCOMPARE(ServerFailure::platformText(connectionError(QString())), QStringLiteral("QPSQL: Unable to connect"));
}

void TestServerFailure::eachReasonItsOwnSentence()
{
    QSet<QString> sentences;
    const Reason all[] = { Reason::Refused, Reason::UnknownHost, Reason::NoAnswer, Reason::NoPassword,
        Reason::PasswordRefused, Reason::UserMissing, Reason::NotAllowed, Reason::DatabaseMissing, Reason::Other };
    for (Reason reason : all)
        sentences.insert(ServerFailure::sentence(reason, clinic()));
    QCOMPARE(sentences.size(), int(std::size(all)));
}

void TestServerFailure::missingSocketIsRefused()
{
    QTemporaryDir folder;
    const QSqlError error = connectTo(folder.path(), 5432);
    QCOMPARE(error.type(), QSqlError::ConnectionError);
    QCOMPARE(ServerFailure::classify(error), Reason::Refused);
}

void TestServerFailure::closedPortIsRefused()
{
    // A port of this computer that was free a moment ago: nothing listens on it.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(s >= 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    QCOMPARE(::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const int port = ntohs(address.sin_port);
    ::close(s);
    const QSqlError error = connectTo(QStringLiteral("127.0.0.1"), port);
    QCOMPARE(ServerFailure::classify(error), Reason::Refused);
}

void TestServerFailure::silentServerGivesNoAnswer()
{
    // A socket that takes the connection and never says a word, as a server that hangs does.
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral(".s.PGSQL.5432")));
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(s >= 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    QVERIFY(size_t(path.size()) < sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    QCOMPARE(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    QCOMPARE(::listen(s, 4), 0);
    const QSqlError error = connectTo(folder.path(), 5432, QStringLiteral("connect_timeout=1"));
    ::close(s);
    QCOMPARE(ServerFailure::classify(error), Reason::NoAnswer);
}

QTEST_GUILESS_MAIN(TestServerFailure)
#include "TestServerFailure.moc"
