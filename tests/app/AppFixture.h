#pragma once

#include "app/MainWindow.h"
#include "app/WindowRouter.h"
#include "support/TestProgram.h"

#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <source_location>

// The router settles a closed window from the event loop, and ends the program when no other window is open by
// then. A test that closes one window and then another lets the loop turn in between, as a person's clicks do.
inline void letTheRouterSettle()
{
    QCoreApplication::processEvents();
}

// While it lives, closes the test window by its close box as soon as it is open modally, and records what was
// open then: its objectName and the objectName of its owner.
class TestWindowCloser {
public:
    explicit TestWindowCloser(const QString& name = QStringLiteral("FrmTest"))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, name] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->objectName() == name) {
                seen << modal->objectName()
                     << (modal->parentWidget() ? modal->parentWidget()->objectName() : QString());
                modal->close();
            }
        });
        m_timer.start(10);
    }

    QStringList seen;

private:
    QTimer m_timer;
};

// A router whose hand-over windows are plain stand-in windows, so tests can watch the main window hand over and
// come back; it records what the main window asked for.
class StandInRouter : public WindowRouter {
public:
    using WindowRouter::WindowRouter;

    bool openScoringWindow() override { return standIn(QStringLiteral("scoring")); }
    bool openLookupWindow() override { return standIn(QStringLiteral("lookup")); }
    bool openComparisonWindow() override { return standIn(QStringLiteral("comparison")); }
    void openAbout(QWidget* owner) override
    {
        requests << QStringLiteral("about");
        TestWindowCloser closer(QStringLiteral("FrmAbout"));
        WindowRouter::openAbout(owner);
        modalWindows << closer.seen;
    }
    TestRun runTest(QWidget* owner, const QString& code) override
    {
        requests << QStringLiteral("test:") + code;
        TestWindowCloser closer;
        const TestRun run = WindowRouter::runTest(owner, code);
        modalWindows << closer.seen;
        return run;
    }

    QStringList requests;
    QStringList modalWindows; // the test or About window and its owner, each time one was opened
    QPointer<QWidget> lastStandIn;

private:
    bool standIn(const QString& name)
    {
        requests << name;
        auto* window = new QWidget;
        window->setObjectName(name);
        window->setWindowTitle(name);
        lastStandIn = window;
        open(window, HandBack::OnClose);
        return true;
    }
};

// A temporary program with its router; the desktop is replaced, so nothing is launched, only recorded.
template <typename Router = WindowRouter> class Hub {
public:
    Hub()
        : router(program.database(), program.messages(), program.fileDialogs())
    {
        Desktop& desktop = router.desktop();
        desktop.findProgram = [this](const QString& name) {
            return installed.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
        };
        desktop.startProgram = [this](const QString& path) {
            started << path;
            return true;
        };
        desktop.openUrl = [this](const QUrl& address) {
            opened << address.toString();
            return true;
        };
    }

    // Opens the main window (a full load) and waits until it can take the keyboard; one that cannot fails the test
    // at the caller's line.
    MainWindow* show(std::source_location where = std::source_location::current())
    {
        router.showMainWindow();
        auto* window = qobject_cast<MainWindow*>(router.mainWindow());
        Drive::waitUntilActive(window, where);
        return window;
    }

    MainWindow* main() const { return qobject_cast<MainWindow*>(router.mainWindow()); }
    // Whether the main window has handed over, so that its closing asks nothing.
    bool handedOver() const { return router.handOverState() == WindowRouter::HandOverState::HandedOver; }

    TestProgram program;
    Router router;
    QStringList installed;
    QStringList started;
    QStringList opened;
};
