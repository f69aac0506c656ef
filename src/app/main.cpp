#include "data/Database.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/QtMessages.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Msg::ApplicationTitle);
    PersianText::applyTo(app);
    QtMessages messages;

    // The data lives beside the program, wherever it is started from.
    Database database(QCoreApplication::applicationDirPath());
    const Database::OpenResult opened = database.open();
    if (!opened.ok()) {
        const QString text = opened.status == Database::OpenStatus::NotOurs
            ? Msg::DatabaseNotOurs
            : Msg::DatabaseCannotOpen + QLatin1Char('\n') + opened.error;
        messages.AskOperator(nullptr, text, Msg::Style::StopRtl, Msg::ErrorTitlePersian);
        return 1;
    }

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tovrin35"));
    auto* label = new QLabel(QStringLiteral("پرسشنامه رضايت زناشويي تورين 35 ماده اي"), &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(640, 400);
    window.show();
    return app.exec();
}
