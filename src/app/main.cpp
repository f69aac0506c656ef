#include "app/Program.h"
#include "app/WindowRouter.h"
#include "ui/PersianText.h"
#include "ui/QtFileDialogs.h"
#include "ui/QtMessages.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The application name stays the executable's own: the single-instance lock compares it with the running
    // process's name to tell a live holder from a crashed one.
    PersianText::applyTo(app);
    // The router decides when the program ends: a hidden exit prompt still counts as a window, a closing main
    // window that hands over does not end anything.
    QApplication::setQuitOnLastWindowClosed(false);
    QtMessages messages;
    QtFileDialogs fileDialogs;

    // The data lives beside the program, wherever it is started from.
    Program program(QCoreApplication::applicationDirPath(), messages, fileDialogs);
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
