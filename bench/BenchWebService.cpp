// The questionnaire service under 200 examinees answering at once over loopback: the service runs as the program
// does on a clinic's server (`tovrin35 --serve`, its own process), and this program plays 200 phones, each on its own
// connection, answering its 35 items one after another as fast as the answers come back. Measured per stored answer
// (a POST answered by its redirect): p50 and p99, answers per second, and answers lost (the database must hold every
// one, keyed). Beside it, `wrk` on the service's static font route: the HTTP floor of the same listener.
// Once on the data file, once on a bare server and once on a server set up for a clinic, the service logged in as
// its own role (T35_TEST_SERVER: eval "$(scripts/pg-cluster start)" gives one).
// The program is found at T35_PROGRAM (default: build-bench/src/app/tovrin35).
#include "BenchServerAdmin.h"

#include "data/Database.h"
#include "data/Invitations.h"
#include "data/QuestionnaireItems.h"
#include "data/ServerAddress.h"
#include "data/ServerRights.h"
#include "questionnaire/Keying.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Examinees = 200;

int optionFor(int examinee, int item)
{
    return 1 + (examinee + item) % 5;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString program()
{
    const QString given = qEnvironmentVariable("T35_PROGRAM");
    return given.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/tovrin35") : given;
}

// One phone: a keep-alive connection answering item after item.
struct Phone {
    QTcpSocket socket;
    QString token;
    int examinee = 0;
    int item = 0;
    QByteArray received;
    QElapsedTimer sent;
};

struct Outcome {
    std::vector<double> latenciesMs;
    double seconds = 0;
    int failures = 0;
};

Outcome answerAtOnce(quint16 port, const QStringList& tokens)
{
    Outcome outcome;
    std::vector<std::unique_ptr<Phone>> phones;
    int done = 0;
    QEventLoop loop;
    auto sendNext = [&](Phone& phone) {
        ++phone.item;
        if (phone.item > QuestionnaireItemCount) {
            phone.socket.disconnectFromHost();
            if (++done == int(phones.size()))
                loop.quit();
            return;
        }
        const QByteArray body = "option=" + QByteArray::number(optionFor(phone.examinee, phone.item));
        phone.sent.start();
        phone.socket.write("POST /a/" + phone.token.toLatin1() + '/' + QByteArray::number(phone.item)
            + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    };
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < tokens.size(); ++i) {
        auto phone = std::make_unique<Phone>();
        phone->token = tokens.at(i);
        phone->examinee = i;
        Phone* p = phone.get();
        QObject::connect(&p->socket, &QTcpSocket::connected, [p, &sendNext] { sendNext(*p); });
        QObject::connect(&p->socket, &QTcpSocket::readyRead, [p, &sendNext, &outcome] {
            p->received += p->socket.readAll();
            const qsizetype end = p->received.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            // The redirect has an empty body.
            if (!p->received.startsWith("HTTP/1.1 303"))
                ++outcome.failures;
            outcome.latenciesMs.push_back(p->sent.nsecsElapsed() / 1e6);
            p->received.clear();
            sendNext(*p);
        });
        phones.push_back(std::move(phone));
    }
    for (auto& phone : phones)
        phone->socket.connectToHost(QHostAddress::LocalHost, port);
    QTimer::singleShot(300'000, &loop, &QEventLoop::quit);
    loop.exec();
    outcome.seconds = clock.nsecsElapsed() / 1e9;
    return outcome;
}

// Processor time a process has used so far, in milliseconds (user and system, from /proc): beside the wall-clock
// figures, which a busy machine stretches, the work each answer costs the service and the server.
double processorMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // Fields after the command's name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return (fields.at(11).toDouble() + fields.at(12).toDouble()) * 1000.0 / sysconf(_SC_CLK_TCK);
}

// The server processes serving the service's connection (any but this program's own).
QList<qint64> serviceBackends(Database& db)
{
    QList<qint64> pids;
    QSqlQuery q(db.connection());
    if (q.exec(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE datname = current_database() "
                              "AND pid <> pg_backend_pid()")))
        while (q.next())
            pids << q.value(0).toLongLong();
    return pids;
}

double processorMs(const QList<qint64>& pids)
{
    double sum = 0;
    for (const qint64 pid : pids)
        sum += processorMs(pid);
    return sum;
}

double wrkRequestsPerSecond(quint16 port)
{
    QProcess wrk;
    wrk.start(QStringLiteral("wrk"), { QStringLiteral("-t2"), QStringLiteral("-c50"), QStringLiteral("-d5s"),
                                         QStringLiteral("http://127.0.0.1:%1/font/regular.ttf").arg(port) });
    if (!wrk.waitForFinished(60000))
        return 0;
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("Requests/sec:\\s+([0-9.]+)")).match(QString::fromLatin1(wrk.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toDouble() : 0;
}

// Where the service stores: the data file; a server without rights; a server set up for a clinic (rights, policies
// and the audit trail on), where the service logs in as its own role, as README tells a clinic to run it.
enum class Place { File, Server, ClinicServer };

void run(benchmark::State& state, Place place)
{
    const bool onServer = place != Place::File;
    QTemporaryDir folder;
    std::unique_ptr<Database> db;
    ServerAddress address;
    if (onServer) {
        const std::optional<ServerAddress> admin = ServerAddress::fromUri(qEnvironmentVariable("T35_TEST_SERVER"));
        if (!admin) {
            state.SkipWithError("T35_TEST_SERVER names no server");
            return;
        }
        address = *admin;
        address.database = QStringLiteral("t35_bench_web_%1").arg(QCoreApplication::applicationPid());
        BenchServerAdmin::exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\"").arg(address.database));
        BenchServerAdmin::exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(address.database));
        db = Database::onServer(address);
    } else {
        db = std::make_unique<Database>(folder.path());
    }
    if (!db->open().ok()) {
        state.SkipWithError("the database did not open");
        return;
    }
    QStringList tokens;
    for (int i = 0; i < Examinees; ++i) {
        const QString code = QString::number(1000 + i);
        db->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"FName\") VALUES ('%1', 'Bench')").arg(code));
        db->exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\") VALUES ('%1')").arg(code));
        tokens << Invitations::make(*db, code, 7, QStringLiteral("bench"), QDateTime::currentDateTimeUtc()).token;
    }
    ServerAddress serviceAddress = address;
    if (place == Place::ClinicServer) {
        const QString failed = ServerRights::setUp(*db, address.user);
        if (!failed.isEmpty()) {
            state.SkipWithError(qPrintable(failed));
            return;
        }
        serviceAddress.user = address.database + QStringLiteral("_web");
        BenchServerAdmin::exec(QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(serviceAddress.user));
        BenchServerAdmin::exec(
            QStringLiteral("CREATE ROLE \"%1\" LOGIN IN ROLE %2").arg(serviceAddress.user, ServerRights::ServiceRole));
    }

    const quint16 port = freePort();
    QProcess service;
    QStringList arguments { QStringLiteral("--serve"), QStringLiteral("--listen"),
        QStringLiteral("127.0.0.1:%1").arg(port) };
    arguments << (onServer ? QStringList { QStringLiteral("--database"), serviceAddress.toUri() }
                           : QStringList { QStringLiteral("--data-dir"), folder.path() });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tovrin35.web.info=false"));
    service.setProcessEnvironment(environment);
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(program(), arguments);
    if (!service.waitForReadyRead(20000)) {
        state.SkipWithError("the service did not start");
        return;
    }

    Outcome outcome;
    const QList<qint64> backends = onServer ? serviceBackends(*db) : QList<qint64>();
    const double serviceBefore = processorMs(service.processId());
    const double backendsBefore = processorMs(backends);
    for (auto _ : state) {
        outcome = answerAtOnce(port, tokens);
        state.SetIterationTime(outcome.seconds);
    }
    const double serviceUsed = processorMs(service.processId()) - serviceBefore;
    const double backendsUsed = processorMs(backends) - backendsBefore;
    const double floor = wrkRequestsPerSecond(port);
    service.terminate();
    service.waitForFinished(10000);

    // Every answer stored, keyed, once.
    int lost = 0;
    for (int i = 0; i < Examinees; ++i) {
        QSqlQuery q(db->connection());
        q.exec(QStringLiteral("SELECT * FROM \"Answer\" WHERE \"Code\" = '%1'").arg(1000 + i));
        if (!q.next()) {
            lost += QuestionnaireItemCount;
            continue;
        }
        for (int item = 1; item <= QuestionnaireItemCount; ++item)
            if (q.value(QString::number(item)).toString() != QString::number(scoreForOption(item, optionFor(i, item))))
                ++lost;
    }
    std::vector<double>& l = outcome.latenciesMs;
    std::sort(l.begin(), l.end());
    auto at = [&](double share) { return l.empty() ? 0.0 : l.at(std::min(l.size() - 1, std::size_t(share * l.size()))); };
    state.counters["answers"] = double(l.size());
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
    state.counters["answers_per_s"] = l.size() / outcome.seconds;
    state.counters["lost"] = lost;
    state.counters["refused"] = outcome.failures;
    state.counters["wrk_font_req_per_s"] = floor;
    if (!l.empty()) {
        state.counters["service_cpu_us_per_answer"] = serviceUsed * 1000.0 / double(l.size());
        if (onServer)
            state.counters["server_cpu_us_per_answer"] = backendsUsed * 1000.0 / double(l.size());
    }
    db.reset();
    if (onServer)
        BenchServerAdmin::exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(address.database));
    if (place == Place::ClinicServer)
        BenchServerAdmin::exec(QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(serviceAddress.user));
}

void twoHundredOnTheFile(benchmark::State& state)
{
    run(state, Place::File);
}
BENCHMARK(twoHundredOnTheFile)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void twoHundredOnTheServer(benchmark::State& state)
{
    run(state, Place::Server);
}
BENCHMARK(twoHundredOnTheServer)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void twoHundredOnAClinicServer(benchmark::State& state)
{
    run(state, Place::ClinicServer);
}
BENCHMARK(twoHundredOnAClinicServer)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
