#pragma once

#include <QString>

class QTextStream;

// The two headless commands of the questionnaire service: `--serve` (runs until SIGTERM or SIGINT) and `--invite`
// (prints a new link). Both run without a display, on the database of this run (the data file or a server).
namespace ServeCommand {

struct Options {
    QString databaseUri; // empty: the choice in the settings, else the data file in `dataFolder`
    QString dataFolder;
    QString resourcesFolder;
    QString listen; // ADDRESS:PORT; the settings' address when empty
    QString tlsCert;
    QString tlsKey;
    bool allowPlainHttp = false;
    QString inviteCode;
    QString days; // as typed; the default when empty
    QString linkBase; // the settings' base when empty
};

int serve(const Options& options, QTextStream& out, QTextStream& err);
int invite(const Options& options, QTextStream& out, QTextStream& err);

} // namespace ServeCommand
