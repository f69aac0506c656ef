#include "app/CommandLine.h"

#include "ui/MakerDetails.h"

namespace CommandLine {

namespace {

struct ValueOption {
    const char* name;
    QString Options::*field;
};

const ValueOption valueOptions[] = {
    {"--data-dir", &Options::dataDir},
    {"--database", &Options::databaseUri},
    {"--copy-to-server", &Options::copyToServerUri},
    {"--setup-server", &Options::setupServerUri},
    {"--counsellor", &Options::counsellor},
    {"--add-counsellor", &Options::addCounsellor},
    {"--listen", &Options::listen},
    {"--tls-cert", &Options::tlsCert},
    {"--tls-key", &Options::tlsKey},
    {"--invite", &Options::inviteCode},
    {"--days", &Options::days},
    {"--link-base", &Options::linkBase},
};

} // namespace

Parsed parse(const QStringList& arguments)
{
    Parsed parsed;
    auto fail = [&](const QString& error) {
        parsed.action = Parsed::Action::UsageError;
        parsed.error = error;
        return parsed;
    };
    // The whole line is read before anything is done: a mistake anywhere in it is a usage error, even after
    // --help or --version.
    bool help = false;
    bool version = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            help = true;
            continue;
        }
        if (argument == QLatin1String("--version")) {
            version = true;
            continue;
        }
        if (argument == QLatin1String("--quit-after-start")) {
            parsed.options.quitAfterStart = true;
            continue;
        }
        if (argument == QLatin1String("--head")) {
            parsed.options.head = true;
            continue;
        }
        if (argument == QLatin1String("--serve")) {
            parsed.options.serve = true;
            continue;
        }
        if (argument == QLatin1String("--allow-plain-http")) {
            parsed.options.allowPlainHttp = true;
            continue;
        }
        bool known = false;
        for (const ValueOption& option : valueOptions) {
            const QString name = QLatin1String(option.name);
            QString value;
            if (argument == name) {
                if (i + 1 >= arguments.size())
                    return fail(QStringLiteral("%1 needs a value").arg(name));
                value = arguments.at(++i);
            } else if (argument.startsWith(name + QLatin1Char('='))) {
                value = argument.mid(name.size() + 1);
            } else {
                continue;
            }
            if (value.isEmpty())
                return fail(QStringLiteral("%1 needs a value").arg(name));
            // An option where the value should be is a forgotten value, never a folder or a server named so (one
            // whose name starts with a dash is written ./-name).
            if (value.startsWith(QLatin1Char('-')))
                return fail(QStringLiteral("%1 needs a value, not the option %2").arg(name, value));
            if (!(parsed.options.*option.field).isEmpty())
                return fail(QStringLiteral("%1 given twice").arg(name));
            parsed.options.*option.field = value;
            known = true;
            break;
        }
        if (!known)
            return fail(QStringLiteral("unknown option: %1").arg(argument));
    }
    const Options& o = parsed.options;
    if (o.serve && !o.inviteCode.isEmpty())
        return fail(QStringLiteral("--serve and --invite go separately"));
    if (!o.serve && (!o.listen.isEmpty() || !o.tlsCert.isEmpty() || !o.tlsKey.isEmpty() || o.allowPlainHttp))
        return fail(QStringLiteral("--listen, --tls-cert, --tls-key and --allow-plain-http go with --serve"));
    if (o.inviteCode.isEmpty() && (!o.days.isEmpty() || !o.linkBase.isEmpty()))
        return fail(QStringLiteral("--days and --link-base go with --invite"));
    if (!o.counsellor.isEmpty() && o.setupServerUri.isEmpty())
        return fail(QStringLiteral("--counsellor goes with --setup-server"));
    if (o.head && o.addCounsellor.isEmpty())
        return fail(QStringLiteral("--head goes with --add-counsellor"));
    if (!o.addCounsellor.isEmpty() && o.databaseUri.isEmpty())
        return fail(QStringLiteral("--add-counsellor needs --database URI"));
    if (help)
        parsed.action = Parsed::Action::Help;
    else if (version)
        parsed.action = Parsed::Action::Version;
    return parsed;
}

QString usage()
{
    return QStringLiteral(
        "Usage: tovrin35 [option]...\n"
        "\n"
        "Without an option the program opens as always. Its data (RIVERIVU/RIVERIVU.mdb and the backups' Back/\n"
        "folder) is kept beside the program when the program's folder may be written to, as when it runs from a\n"
        "build or an unpacked folder; an installed program keeps it in the user's data folder\n"
        "(~/.local/share/tovrin35). Every option holds for this run only.\n"
        "\n"
        "  --data-dir FOLDER       keep the data in FOLDER (its RIVERIVU/ subfolder), made if it is missing\n"
        "  --database URI          use the clinic's PostgreSQL server at URI, e.g.\n"
        "                          postgresql://counsellor@server:5432/clinic or postgresql:///clinic?host=/run/pg\n"
        "  --copy-to-server URI    copy the local data file's examinees and answers to the server at URI, then end\n"
        "  --setup-server URI      make or bring up to date the clinic's counsellors' rights on the server at URI\n"
        "                          (as its administrator), then end\n"
        "  --counsellor NAME       with --setup-server: examinees already on the server become NAME's\n"
        "  --add-counsellor NAME   with --database URI: make the login role NAME of a counsellor (--head: of the\n"
        "                          clinic's head), its password asked on the terminal, then end\n"
        "  --serve                 run the questionnaire service for examinees' phones, without a window, until\n"
        "                          stopped (SIGTERM)\n"
        "  --listen ADDRESS:PORT   where --serve listens (default 127.0.0.1:8035)\n"
        "  --tls-cert FILE         with --tls-key FILE: serve HTTPS with that PEM certificate and key\n"
        "  --allow-plain-http      serve plain HTTP on an address other than this computer's own (behind a\n"
        "                          reverse proxy that adds TLS, or on the clinic's own Wi-Fi)\n"
        "  --invite CODE           print a new link by which the examinee CODE answers on a phone, then end\n"
        "  --days N                with --invite: the link lasts N days (default 7)\n"
        "  --link-base URL         with --invite: the address the link starts with (default: the settings')\n"
        "  --version               print the program's name and version, then end\n"
        "  -h, --help              print this text, then end\n"
        "\n"
        "An option's value may also follow an equals sign: --data-dir=FOLDER. A value never starts with a dash:\n"
        "write ./-name for a folder so named.\n");
}

QString version()
{
    return Maker::programNameAndVersion() + QLatin1Char('\n');
}

} // namespace CommandLine
