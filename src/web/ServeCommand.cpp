#include "web/ServeCommand.h"

#include "data/Database.h"
#include "data/DatabaseChoice.h"
#include "data/Invitations.h"
#include "web/QuestionnaireService.h"
#include "web/ServiceSettings.h"
#include "web/WebServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace ServeCommand {

namespace {

std::unique_ptr<Database> openDatabase(const Options& options, QTextStream& err)
{
    QString choiceError;
    const std::optional<DatabaseChoice> choice = DatabaseChoice::forRun(options.databaseUri, choiceError);
    if (!choice) {
        err << choiceError << '\n';
        return {};
    }
    std::unique_ptr<Database> db;
    if (choice->isServer()) {
        if (!choice->server.isValid()) {
            err << "the server's address names no database\n";
            return {};
        }
        db = Database::onServer(choice->server);
        db->setFolders(options.dataFolder, options.resourcesFolder);
    } else {
        db = std::make_unique<Database>(options.dataFolder, options.resourcesFolder);
    }
    const Database::OpenResult opened = db->open();
    if (!opened.ok()) {
        err << "the database " << db->describe() << " did not open";
        const QString words = opened.connectionError.isValid() ? opened.connectionError.text() : opened.error;
        if (!words.isEmpty())
            err << ": " << words;
        err << '\n';
        return {};
    }
    return db;
}

std::optional<QSslConfiguration> tlsFrom(const Options& options, QTextStream& err, bool& ok)
{
    ok = true;
    if (options.tlsCert.isEmpty() && options.tlsKey.isEmpty())
        return std::nullopt;
    ok = false;
    if (options.tlsCert.isEmpty() || options.tlsKey.isEmpty()) {
        err << "--tls-cert and --tls-key go together\n";
        return std::nullopt;
    }
    if (QSslSocket::availableBackends().contains(QStringLiteral("openssl")))
        QSslSocket::setActiveBackend(QStringLiteral("openssl"));
    if (!QSslSocket::supportsSsl()) {
        err << "TLS is not available: Qt's OpenSSL backend did not load\n";
        return std::nullopt;
    }
    const QList<QSslCertificate> chain = QSslCertificate::fromPath(options.tlsCert, QSsl::Pem);
    if (chain.isEmpty()) {
        err << "no PEM certificate in " << options.tlsCert << '\n';
        return std::nullopt;
    }
    QFile keyFile(options.tlsKey);
    if (!keyFile.open(QIODevice::ReadOnly)) {
        err << "cannot read " << options.tlsKey << ": " << keyFile.errorString() << '\n';
        return std::nullopt;
    }
    const QByteArray pem = keyFile.readAll();
    QSslKey key;
    for (QSsl::KeyAlgorithm algorithm : { QSsl::Rsa, QSsl::Ec, QSsl::Dsa }) {
        key = QSslKey(pem, algorithm, QSsl::Pem);
        if (!key.isNull())
            break;
    }
    if (key.isNull()) {
        err << "no PEM private key (RSA or EC, without a passphrase) in " << options.tlsKey << '\n';
        return std::nullopt;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    ok = true;
    return configuration;
}

int signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
}

} // namespace

int serve(const Options& options, QTextStream& out, QTextStream& err)
{
    // Qt's own messages about requests could carry a link's token: only the service's own lines are written.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.httpserver*=false\ntovrin35.web.info=true"));
    const ServiceSettings settings = ServiceSettings::stored();
    QHostAddress address;
    quint16 port = 0;
    QString error;
    if (!ServiceSettings::parseListen(options.listen.isEmpty() ? settings.listen : options.listen, address, port, error)) {
        err << "--listen: " << error << '\n';
        return 2;
    }
    bool tlsOk = false;
    const std::optional<QSslConfiguration> tls = tlsFrom(options, err, tlsOk);
    if (!tlsOk)
        return 2;
    if (!tls && !ServiceSettings::plainHttpAllowed(address, options.allowPlainHttp)) {
        err << "plain HTTP is served only on this computer's loopback address; give --tls-cert and --tls-key, or "
               "--allow-plain-http behind a reverse proxy that adds TLS\n";
        return 2;
    }
    std::unique_ptr<Database> db = openDatabase(options, err);
    if (!db)
        return 1;

    QuestionnaireService service(*db, [] { return QDateTime::currentDateTimeUtc(); });
    WebServer server([&service](const WebRequest& request, WebServer::Reply reply) {
        service.handle(request, std::move(reply));
    });
    if (!server.listen(address, port, tls, error)) {
        err << "cannot listen on " << address.toString() << ':' << port << ": " << error << '\n';
        return 1;
    }
    out << "Serving the questionnaire on " << (tls ? "https" : "http") << "://"
        << (address.protocol() == QAbstractSocket::IPv6Protocol ? '[' + address.toString() + ']' : address.toString())
        << ':' << server.port() << " from " << db->describe() << '\n';
    out.flush();

    // SIGTERM (systemd stopping the service) and SIGINT end the loop, and the database closes as always.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        err << "cannot watch for signals\n";
        return 1;
    }
    QSocketNotifier notifier(signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(signalPipe[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    const int code = QCoreApplication::exec();
    out << "Stopped.\n";
    return code;
}

int invite(const Options& options, QTextStream& out, QTextStream& err)
{
    int days = Invitations::DefaultDays;
    if (!options.days.isEmpty()) {
        bool number = false;
        days = options.days.toInt(&number);
        if (!number || days < 1 || days > Invitations::MostDays) {
            err << "--days: a number of days from 1 to " << Invitations::MostDays << '\n';
            return 2;
        }
    }
    std::unique_ptr<Database> db = openDatabase(options, err);
    if (!db)
        return 1;
    const QString madeBy = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
    const Invitations::Made made
        = Invitations::make(*db, options.inviteCode, days, madeBy, QDateTime::currentDateTimeUtc());
    switch (made.status) {
    case Invitations::Made::Status::Made:
        out << ServiceSettings::linkFor(
                   options.linkBase.isEmpty() ? ServiceSettings::stored().linkBase : options.linkBase, made.token)
            << '\n';
        return 0;
    case Invitations::Made::Status::NoExaminee:
        err << "no examinee has the code " << options.inviteCode << '\n';
        return 1;
    case Invitations::Made::Status::BadDays:
        err << "--days: a number of days from 1 to " << Invitations::MostDays << '\n';
        return 2;
    case Invitations::Made::Status::Failed:
        break;
    }
    err << "the invitation was not stored: " << made.error << '\n';
    return 1;
}

} // namespace ServeCommand
