// The floor of the start-up benchmark: a bare Qt window of the main window's size, shown, then ended at the first
// turn of the event loop, as `tovrin35 --quit-after-start` ends once its main window is shown. With `--stay` it
// stays open, the floor of the idle memory.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(717, 544);
    window.show();
    if (argc < 2 || std::strcmp(argv[1], "--stay") != 0)
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
