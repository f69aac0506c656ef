#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// What the program asks of the desktop: start the calculator, open web pages and show a folder. Outcomes are not
// reported to the operator. The three operations are replaceable, so tests can watch what would be started.
class Desktop {
public:
    Desktop();

    // The path of an installed program, "" when it is not installed.
    std::function<QString(const QString& program)> findProgram;
    // Starts a program detached from this one.
    std::function<bool(const QString& path)> startProgram;
    // Hands an address to the desktop's default handler.
    std::function<bool(const QUrl& address)> openUrl;

    // The calculators looked for, in order of preference.
    static const QStringList& calculators();

    // Starts the first installed calculator; returns its path, "" when none is installed.
    QString startCalculator();
    void openWebPage(const QString& address);
    // Shows a folder in the desktop's file manager.
    void openFolder(const QString& folder);
};
