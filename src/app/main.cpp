#include "app/CommandLine.h"
#include "app/CopyToServer.h"
#include "app/Program.h"
#include "app/WindowRouter.h"
#include "ui/PersianText.h"
#include "ui/QtFileDialogs.h"
#include "ui/QtMessages.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Read before any window system is needed: --help and --version work on a machine without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Parsed parsed = CommandLine::parse(arguments);
    switch (parsed.action) {
    case CommandLine::Parsed::Action::Help:
        std::fputs(CommandLine::usage().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Parsed::Action::Version:
        std::fputs(CommandLine::version().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Parsed::Action::UsageError:
        std::fprintf(stderr, "%s\n\n%s", parsed.error.toLocal8Bit().constData(),
                     CommandLine::usage().toLocal8Bit().constData());
        return 2;
    case CommandLine::Parsed::Action::Run:
        break;
    }
    QApplication app(argc, argv);
    // The database of this run: --database for this run only, else the one chosen in the settings panel.
    QString choiceError;
    const std::optional<DatabaseChoice> choice = DatabaseChoice::forRun(parsed.options.databaseUri, choiceError);
    if (!choice) {
        std::fprintf(stderr, "%s\n", choiceError.toLocal8Bit().constData());
        return 2;
    }
    // The application name stays the executable's own: the single-instance lock compares it with the running
    // process's name to tell a live holder from a crashed one.
    PersianText::applyTo(app);
    // The router decides when the program ends: a hidden exit prompt still counts as a window, a closing main
    // window that hands over does not end anything.
    QApplication::setQuitOnLastWindowClosed(false);
    QtMessages messages;
    QtFileDialogs fileDialogs;

    // The data lives beside the program, wherever it is started from.
    const QString dataFolder = QCoreApplication::applicationDirPath();
    if (!parsed.options.copyToServerUri.isEmpty()) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return CopyToServer::run(dataFolder, parsed.options.copyToServerUri, messages, out, err);
    }

    Program program(dataFolder, messages, fileDialogs);
    program.setDatabaseChoice(*choice);
    switch (program.start()) {
    case Program::Start::AlreadyRunning:
        return 0;
    case Program::Start::DatabaseRefused:
        return 1;
    case Program::Start::Running:
        break;
    }
    QObject::connect(program.router(), &WindowRouter::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    return app.exec();
}
