#include "WebFixture.h"

#include "data/QuestionnaireItems.h"
#include "questionnaire/Keying.h"
#include "scoring/ScoringSession.h"
#include "web/WebServer.h"

#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// The service over real sockets on this computer's loopback: what every response carries, the refusals the listener
// makes itself (size, slow clients, too many connections), TLS, and the whole path from a link to scored results.
class TestWebServer : public QObject {
    Q_OBJECT

private slots:
    void everyResponseCarriesTheHeaders_data();
    void everyResponseCarriesTheHeaders();
    void aRequestOverEightKilobytesIsRefused();
    void aSlowClientIsCutOff();
    void openConnectionsAreBounded();
    void phonesConnectingAtOnceAreAllTakenIn();
    void responsesKeepTheOrderOfTheirRequests();
    void theClientAddress_data();
    void theClientAddress();
    void fromALinkToScoredResults();
    void overTls();
    void randomRequestsWriteNothing();
};

namespace {

struct Served {
    explicit Served(WebServer::Limits limits = {}, std::optional<QSslConfiguration> tls = std::nullopt)
        : server([this](const WebRequest& request, WebServer::Reply reply) { web.service.handle(request, std::move(reply)); },
              limits)
    {
        QString error;
        if (!server.listen(QHostAddress::LocalHost, 0, tls, error))
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        base = QStringLiteral("%1://127.0.0.1:%2").arg(tls ? QStringLiteral("https") : QStringLiteral("http")).arg(server.port());
    }

    struct Reply {
        int status = 0;
        QByteArray body;
        QList<QNetworkReply::RawHeaderPair> headers;
        QByteArray header(const QByteArray& name) const
        {
            for (const auto& [key, value] : headers)
                if (key.compare(name, Qt::CaseInsensitive) == 0)
                    return value;
            return QByteArray();
        }
    };

    Reply send(const QByteArray& method, const QString& path, const QByteArray& body = QByteArray())
    {
        QNetworkRequest request(QUrl(base + path));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        if (!body.isEmpty())
            request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
        QNetworkReply* reply = manager.sendCustomRequest(request, method, body);
        if (base.startsWith(QLatin1String("https")))
            reply->ignoreSslErrors();
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!reply->isFinished() && !finished.wait(10000))
            QTest::qFail("no answer", __FILE__, __LINE__);
        Reply out;
        out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        out.body = reply->readAll();
        out.headers = reply->rawHeaderPairs();
        reply->deleteLater();
        return out;
    }

    WebFixture web;
    WebServer server;
    QNetworkAccessManager manager;
    QString base;
};

void checkHeaders(const Served::Reply& reply)
{
    QCOMPARE(reply.header("Content-Security-Policy"),
        QByteArray("default-src 'self'; form-action 'self'; frame-ancestors 'none'"));
    QCOMPARE(reply.header("X-Content-Type-Options"), QByteArray("nosniff"));
    QCOMPARE(reply.header("Referrer-Policy"), QByteArray("no-referrer"));
    QCOMPARE(reply.header("Cache-Control"), QByteArray("no-store"));
    QVERIFY(reply.header("Set-Cookie").isEmpty());
}

// Writes raw bytes and reads what comes back until the connection closes (or a second passes).
QByteArray rawExchange(quint16 port, const QByteArray& bytes)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(3000))
        return QByteArray();
    socket.write(bytes);
    QByteArray answer;
    QElapsedTimer waited;
    waited.start();
    while (socket.state() == QAbstractSocket::ConnectedState && waited.elapsed() < 1000
        && !(answer.startsWith("HTTP/1.1 ") && answer.contains("\r\n\r\n"))) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        socket.waitForReadyRead(20);
        answer += socket.readAll();
    }
    return answer + socket.readAll();
}

} // namespace

void TestWebServer::everyResponseCarriesTheHeaders_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("status");
    QTest::newRow("the introduction") << QByteArray("GET") << "" << 200;
    QTest::newRow("a choice") << QByteArray("POST") << "1" << 303;
    QTest::newRow("the font") << QByteArray("GET") << "/font/regular.ttf" << 200;
    QTest::newRow("an unknown route") << QByteArray("GET") << "/admin" << 404;
    QTest::newRow("an unknown link") << QByteArray("GET") << "/a/AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA" << 404;
    QTest::newRow("PUT") << QByteArray("PUT") << "1" << 405;
    QTest::newRow("DELETE") << QByteArray("DELETE") << "" << 405;
}

void TestWebServer::everyResponseCarriesTheHeaders()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, action);
    QFETCH(int, status);
    Served served;
    const QString path = action.startsWith(QLatin1Char('/')) ? action : served.web.link(action);
    const Served::Reply reply = served.send(method, path, method == "GET" ? QByteArray() : QByteArray("option=3"));
    QCOMPARE(reply.status, status);
    checkHeaders(reply);
    QCOMPARE(served.web.program.answer(WebFixture::Code, 1), status == 303 ? QString::number(scoreForOption(1, 3)) : QString());
}

void TestWebServer::aRequestOverEightKilobytesIsRefused()
{
    Served served;
    const Served::Reply small = served.send("POST", served.web.link(QStringLiteral("1")), "option=2&pad=" + QByteArray(7000, 'x'));
    QCOMPARE(small.status, 303);
    const Served::Reply large = served.send("POST", served.web.link(QStringLiteral("2")), "option=2&pad=" + QByteArray(9000, 'x'));
    QCOMPARE(large.status, 413);
    checkHeaders(large);
    const Served::Reply huge = served.send("POST", served.web.link(QStringLiteral("3")), "option=2&pad=" + QByteArray(2'000'000, 'x'));
    // Cut off while still sending: the client may see the refusal or only the connection closing.
    QVERIFY(huge.status == 413 || huge.status == 0);
    QCOMPARE(served.web.program.answer(WebFixture::Code, 1), QString::number(scoreForOption(1, 2)));
    QCOMPARE(served.web.program.answer(WebFixture::Code, 2), QString());
    QCOMPARE(served.web.program.answer(WebFixture::Code, 3), QString());
    // The service goes on answering.
    QCOMPARE(served.send("GET", served.web.link()).status, 303);
}

void TestWebServer::aSlowClientIsCutOff()
{
    WebServer::Limits limits;
    limits.requestMilliseconds = 300;
    Served served(limits);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, served.server.port());
    QVERIFY(socket.waitForConnected(3000));
    socket.write("POST " + served.web.link(QStringLiteral("1")).toLatin1() + " HTTP/1.1\r\nHost: x\r\nContent-Length: 8\r\n\r\nopt");
    QVERIFY(socket.waitForBytesWritten(1000));
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::UnconnectedState, 5000);
    QCOMPARE(served.web.program.answer(WebFixture::Code, 1), QString());
    QTRY_COMPARE(served.server.openConnections(), 0);
}

// A client that sends its next request before the last is answered (a choice, then the page of that item) gets the
// answers in the order it asked, and the page shows the choice just stored.
void TestWebServer::responsesKeepTheOrderOfTheirRequests()
{
    Served served;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, served.server.port());
    QVERIFY(socket.waitForConnected(3000));
    const QByteArray item = served.web.link(QStringLiteral("4")).toLatin1();
    socket.write("POST " + item + " HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                 "Content-Length: 8\r\n\r\noption=2"
                 "GET " + item + " HTTP/1.1\r\nHost: x\r\n\r\n");
    QByteArray answer;
    QTRY_VERIFY_WITH_TIMEOUT((answer += socket.readAll()).contains("</html>"), 10000);
    QVERIFY2(answer.startsWith("HTTP/1.1 303 "), answer.left(40).constData());
    const qsizetype second = answer.indexOf("HTTP/1.1 200 ");
    QVERIFY(second > 0);
    QVERIFY(answer.mid(second).contains("id=\"option2\" class=\"chosen\""));
    QCOMPARE(served.web.program.answer(WebFixture::Code, 4), QString::number(scoreForOption(4, 2)));
}

void TestWebServer::openConnectionsAreBounded()
{
    WebServer::Limits limits;
    limits.connections = 3;
    Served served(limits);
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int i = 0; i < 6; ++i) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        sockets.back()->connectToHost(QHostAddress::LocalHost, served.server.port());
        QVERIFY(sockets.back()->waitForConnected(3000));
        QTest::qWait(50);
    }
    QTRY_COMPARE(served.server.openConnections(), 3);
    int open = 0;
    QTest::qWait(200);
    for (auto& socket : sockets) {
        socket->waitForReadyRead(10);
        if (socket->state() == QAbstractSocket::ConnectedState)
            ++open;
    }
    QCOMPARE(open, 3);
    sockets.clear();
    QTRY_COMPARE(served.server.openConnections(), 0);
    QCOMPARE(served.send("GET", served.web.link()).status, 200);
}

void TestWebServer::phonesConnectingAtOnceAreAllTakenIn()
{
    // While the service is busy (here its loop does not run at all), phones that connect at once wait in the system's
    // queue: none is dropped to try again a second later.
    Served served;
    constexpr int Phones = 200;
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(served.server.port());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::vector<pollfd> phones;
    for (int i = 0; i < Phones; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        QVERIFY(fd >= 0);
        phones.push_back({ fd, POLLOUT, 0 });
        ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    QDeadlineTimer deadline(500);
    int connected = 0;
    while (connected < Phones && !deadline.hasExpired()) {
        ::poll(phones.data(), phones.size(), 50);
        connected = int(std::count_if(phones.cbegin(), phones.cend(), [](const pollfd& p) {
            int error = 0;
            socklen_t size = sizeof error;
            return (p.revents & POLLOUT) && ::getsockopt(p.fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
        }));
    }
    for (const pollfd& phone : phones)
        ::close(phone.fd);
    QCOMPARE(connected, Phones);
}

void TestWebServer::theClientAddress_data()
{
    QTest::addColumn<QString>("peer");
    QTest::addColumn<QByteArray>("forwarded");
    QTest::addColumn<QString>("client");
    QTest::newRow("direct") << "192.0.2.4" << QByteArray() << "192.0.2.4";
    QTest::newRow("a far peer cannot pretend") << "192.0.2.4" << QByteArray("10.0.0.1") << "192.0.2.4";
    QTest::newRow("behind the proxy") << "127.0.0.1" << QByteArray("203.0.113.9") << "203.0.113.9";
    QTest::newRow("the proxy's own address last") << "127.0.0.1" << QByteArray("10.9.9.9, 203.0.113.9") << "203.0.113.9";
    QTest::newRow("nonsense from the proxy") << "127.0.0.1" << QByteArray("bogus") << "127.0.0.1";
}

void TestWebServer::theClientAddress()
{
    QFETCH(QString, peer);
    QFETCH(QByteArray, forwarded);
    QFETCH(QString, client);
    QCOMPARE(WebServer::clientAddress(QHostAddress(peer), forwarded), client);
}

// On either engine (this test runs a second time on the server).
void TestWebServer::fromALinkToScoredResults()
{
    Served served;
    QCOMPARE(served.send("GET", served.web.link()).status, 200);
    QStringList expected;
    for (int item = 1; item <= QuestionnaireItemCount; ++item) {
        const int option = 1 + (item * 3) % 5;
        const Served::Reply chosen = served.send("POST", served.web.link(QString::number(item)), "option=" + QByteArray::number(option));
        QCOMPARE(chosen.status, 303);
        expected << QString::number(scoreForOption(item, option));
    }
    QCOMPARE(served.send("POST", served.web.link(QStringLiteral("finish"))).status, 303);
    QCOMPARE(served.send("GET", served.web.link(QStringLiteral("thanks"))).status, 200);
    ScoringSession scoring(served.web.program.database());
    QVERIFY(scoring.select(WebFixture::Code).selected());
    QCOMPARE(scoring.selectedAnswers(), expected);
    QCOMPARE(served.web.program.scalar(QStringLiteral("SELECT State FROM Invitation")).toString(), QStringLiteral("finished"));
}

void TestWebServer::overTls()
{
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS backend");
    QTemporaryDir dir;
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
        { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
            QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
            QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-keyout"), dir.filePath(QStringLiteral("key.pem")),
            QStringLiteral("-out"), dir.filePath(QStringLiteral("cert.pem")) });
    QVERIFY(openssl.waitForFinished(30000));
    QCOMPARE(openssl.exitCode(), 0);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(QSslCertificate::fromPath(dir.filePath(QStringLiteral("cert.pem"))));
    QFile key(dir.filePath(QStringLiteral("key.pem")));
    QVERIFY(key.open(QIODevice::ReadOnly));
    tls.setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    Served served({}, tls);
    const Served::Reply intro = served.send("GET", served.web.link());
    QCOMPARE(intro.status, 200);
    checkHeaders(intro);
    QCOMPARE(served.send("POST", served.web.link(QStringLiteral("4")), "option=5").status, 303);
    QCOMPARE(served.web.program.answer(WebFixture::Code, 4), QString::number(scoreForOption(4, 5)));
    // Plain HTTP on a TLS port gets nowhere.
    QVERIFY(!rawExchange(served.server.port(), "GET / HTTP/1.1\r\nHost: x\r\n\r\n").startsWith("HTTP/1.1 200"));
}

// 2,000 random paths and bodies through the routes, and a share of them as raw bytes through the listener: nothing
// crashes, nothing is written, and the service still answers.
void TestWebServer::randomRequestsWriteNothing()
{
    Served served;
    QRandomGenerator random(35);
    const QByteArray alphabet = "/a?=&%.-_~01234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\\'\"<>;\r\n\t ";
    const QList<QByteArray> methods { "GET", "POST", "PUT", "HEAD", "OPTIONS", "DELETE", "PATCH" };
    auto randomText = [&](int most) {
        QByteArray text;
        const int length = random.bounded(most);
        for (int i = 0; i < length; ++i)
            text += random.bounded(4) == 0 ? char(random.bounded(256)) : alphabet.at(random.bounded(alphabet.size()));
        return text;
    };
    const QList<int> allowed { 200, 303, 400, 404, 405, 413, 429 };
    for (int i = 0; i < 2000; ++i) {
        QByteArray path = randomText(80);
        switch (random.bounded(4)) {
        case 0: path = "/a/" + served.web.token.toLatin1() + '/' + path; break;
        case 1: path = "/a/" + path; break;
        default: path = '/' + path;
        }
        const QByteArray body = random.bounded(3) == 0 ? "option=" + randomText(4) : randomText(200);
        const QByteArray method = methods.at(random.bounded(methods.size()));
        if (i % 20 == 0) {
            const QByteArray raw = method + ' ' + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: "
                + QByteArray::number(body.size()) + "\r\n\r\n" + body;
            rawExchange(served.server.port(), raw);
            continue;
        }
        const WebResponse response = served.web.service.handle(
            { method, QString::fromUtf8(path), body, QStringLiteral("192.0.2.%1").arg(random.bounded(250)) });
        QVERIFY2(allowed.contains(response.status), qPrintable(QStringLiteral("%1 for %2").arg(response.status).arg(QString::fromUtf8(path))));
    }
    QCOMPARE(served.web.program.scalar(QStringLiteral("SELECT COUNT(*) FROM Invitation")).toInt(), 1);
    QCOMPARE(served.web.program.scalar(QStringLiteral("SELECT State FROM Invitation")).toString(), QStringLiteral("open"));
    QCOMPARE(served.web.program.rowCount(QStringLiteral("Answer")), 1);
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        QCOMPARE(served.web.program.answer(WebFixture::Code, item), QString());
    QCOMPARE(served.send("GET", served.web.link()).status, 200);
}

QTEST_GUILESS_MAIN(TestWebServer)
#include "TestWebServer.moc"
