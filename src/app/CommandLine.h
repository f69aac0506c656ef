#pragma once

#include <QString>
#include <QStringList>

// What the program is asked to do by its command line. No option opens the program as always; every option is for
// one run only and is never stored.
namespace CommandLine {

struct Options {
    QString dataDir; // --data-dir FOLDER: the folder that holds RIVERIVU/ for this run
    QString databaseUri; // --database URI: the clinic's server (a libpq connection URI) in place of the setting
    QString copyToServerUri; // --copy-to-server URI: copy the local file's examinees to that server, then end
    // --setup-server URI [--counsellor NAME]: make or bring up to date the clinic's rights on that server (examinees
    // registered before go to NAME), then end.
    QString setupServerUri;
    QString counsellor;
    // --add-counsellor NAME [--head] --database URI: make a login role for a counsellor (or the head), then end.
    QString addCounsellor;
    bool head = false;
    // --quit-after-start: start as always (data folder, database, main window), then end at once. Not in the usage:
    // the package check uses it to see an installed program start on a fresh account.
    bool quitAfterStart = false;
    // The questionnaire service, headless: --serve runs it; --invite CODE prints a new link and ends.
    bool serve = false;
    QString listen; // --listen ADDRESS:PORT
    QString tlsCert; // --tls-cert FILE (PEM)
    QString tlsKey; // --tls-key FILE (PEM)
    bool allowPlainHttp = false; // --allow-plain-http
    QString inviteCode; // --invite CODE
    QString days; // --days N, checked by the invitation
    QString linkBase; // --link-base URL
};

struct Parsed {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    Options options;
    QString error; // for UsageError: what was wrong, one line
};

// `arguments` as QCoreApplication::arguments() gives them (the program's own path first).
Parsed parse(const QStringList& arguments);

// The text --help prints (also printed to standard error after a usage error).
QString usage();
// The text --version prints: the program's name and version.
QString version();

} // namespace CommandLine
