// The floor of the start-up benchmark: a bare Qt window of the main window's size, shown, then ended at the first
// turn of the event loop, as `tovrin35 --quit-after-start` ends once its main window is shown.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(717, 544);
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
