#include "app/CommandLine.h"
#include "app/CopyToServer.h"
#include "app/ServerSetup.h"
#include "app/DataFolderCheck.h"
#include "app/DataPlace.h"
#include "app/Program.h"
#include "app/WindowRouter.h"
#include "data/DatabaseChoice.h"
#include "ui/PersianText.h"
#include "ui/QtFileDialogs.h"
#include "ui/QtMessages.h"
#include "web/ServeCommand.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char* argv[])
{
    // Read before any window system is reached: --help and --version work without a display and touch no data.
    const CommandLine::Parsed parsed = CommandLine::parse(argumentsOf(argc, argv));
    switch (parsed.action) {
    case CommandLine::Parsed::Action::Help:
        print(stdout, CommandLine::usage());
        return 0;
    case CommandLine::Parsed::Action::Version:
        print(stdout, CommandLine::version());
        return 0;
    case CommandLine::Parsed::Action::UsageError:
        print(stderr, QStringLiteral("tovrin35: ") + parsed.error + QStringLiteral("\n\n") + CommandLine::usage());
        return 2;
    case CommandLine::Parsed::Action::Run:
        break;
    }

    // A server's address that cannot be used ends the run here, with a line, before any window system is reached
    // (over SSH there may be none).
    if (!parsed.options.databaseUri.isEmpty()) {
        QString uriError;
        if (!DatabaseChoice::forRun(parsed.options.databaseUri, uriError)) {
            print(stderr, QStringLiteral("tovrin35: ") + uriError + QLatin1Char('\n'));
            return 2;
        }
    }
    // The administrator's commands open no window either.
    if (!parsed.options.setupServerUri.isEmpty() || !parsed.options.addCounsellor.isEmpty()) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        const CopyToServer::PasswordAsk ask = CopyToServer::terminalPassword(err);
        if (!parsed.options.setupServerUri.isEmpty())
            return ServerSetup::setUp(parsed.options.setupServerUri, parsed.options.counsellor, ask, out, err);
        return ServerSetup::addCounsellor(
            parsed.options.databaseUri, parsed.options.addCounsellor, parsed.options.head, ask, out, err);
    }
    // The copy to a server opens no window: it runs without a display, asking for a password on the terminal.
    if (!parsed.options.copyToServerUri.isEmpty()) {
        QCoreApplication app(argc, argv);
        const DataPlace::Folders folders
            = DataPlace::decide(QCoreApplication::applicationDirPath(), parsed.options.dataDir);
        QTextStream out(stdout);
        QTextStream err(stderr);
        // The data file about to be sent to the server must be the operator's own, as at every start.
        if (folders.where == DataPlace::Where::Chosen) {
            if (const DataFolderCheck::Result checked = DataFolderCheck::check(folders.data); !checked.fit()) {
                err << "Nothing copied: " << DataFolderCheck::describe(checked, folders.data) << '\n';
                return 1;
            }
        }
        return CopyToServer::run(
            folders.data, parsed.options.copyToServerUri, CopyToServer::terminalPassword(err), out, err);
    }
    if (parsed.options.serve || !parsed.options.inviteCode.isEmpty()) {
        // The questionnaire service and its invitations need no display.
        QCoreApplication app(argc, argv);
        const DataPlace::Folders folders
            = DataPlace::decide(QCoreApplication::applicationDirPath(), parsed.options.dataDir);
        ServeCommand::Options options;
        options.databaseUri = parsed.options.databaseUri;
        options.dataFolder = folders.data;
        options.resourcesFolder = folders.resources;
        options.listen = parsed.options.listen;
        options.tlsCert = parsed.options.tlsCert;
        options.tlsKey = parsed.options.tlsKey;
        options.allowPlainHttp = parsed.options.allowPlainHttp;
        options.inviteCode = parsed.options.inviteCode;
        options.days = parsed.options.days;
        options.linkBase = parsed.options.linkBase;
        QTextStream out(stdout);
        QTextStream err(stderr);
        if (folders.where == DataPlace::Where::Chosen) {
            if (const DataFolderCheck::Result checked = DataFolderCheck::check(folders.data); !checked.fit()) {
                err << "tovrin35: " << DataFolderCheck::describe(checked, folders.data) << '\n';
                return 1;
            }
        }
        return parsed.options.serve ? ServeCommand::serve(options, out, err) : ServeCommand::invite(options, out, err);
    }

    QApplication app(argc, argv);
    // The database of this run: --database for this run only, else the one chosen in the settings panel.
    QString choiceError;
    const std::optional<DatabaseChoice> choice = DatabaseChoice::forRun(parsed.options.databaseUri, choiceError);
    if (!choice) {
        print(stderr, QStringLiteral("tovrin35: ") + choiceError + QLatin1Char('\n'));
        return 2;
    }
    // The application name stays the executable's own: the single-instance lock compares it with the running
    // process's name to tell a live holder from a crashed one.
    PersianText::applyTo(app);
    // The desktop matches the windows with the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(T35_APP_ID));
    // The router decides when the program ends: a hidden exit prompt still counts as a window, a closing main
    // window that hands over does not end anything.
    QApplication::setQuitOnLastWindowClosed(false);
    QtMessages messages;
    QtFileDialogs fileDialogs;

    const DataPlace::Folders folders
        = DataPlace::decide(QCoreApplication::applicationDirPath(), parsed.options.dataDir);

    Program program(folders, messages, fileDialogs);
    program.setDatabaseChoice(*choice);
    switch (program.start()) {
    case Program::Start::AlreadyRunning:
        return 0;
    case Program::Start::DatabaseRefused:
        return 1;
    case Program::Start::Running:
        break;
    }
    QObject::connect(
        program.router(), &WindowRouter::programEnded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    // Ended as soon as the window is up, without asking the windows to close (the main window would ask whether
    // to end): what is timed is the start.
    if (parsed.options.quitAfterStart)
        QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    // The icon once the main window has been drawn (the turn of the event loop after the one that draws it):
    // finding it in the desktop's icon theme and reading the picture loads the icon and image plugins, which the
    // first frame does not need.
    QTimer::singleShot(0, &app, [&app] {
        QTimer::singleShot(0, &app, [] {
            QApplication::setWindowIcon(
                QIcon::fromTheme(QStringLiteral("tovrin35"), QIcon(QStringLiteral(":/icons/tovrin35.png"))));
        });
    });
    const int status = app.exec();
    return status != 0 ? status : program.exitStatus();
}
