#include "app/Desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

Desktop::Desktop()
    : findProgram([](const QString& program) { return QStandardPaths::findExecutable(program); })
    , startProgram([](const QString& path) { return QProcess::startDetached(path, {}); })
    , openUrl([](const QUrl& address) { return QDesktopServices::openUrl(address); })
{
}

const QStringList& Desktop::calculators()
{
#ifdef Q_OS_WIN
    static const QStringList names = {QStringLiteral("calc.exe")};
#else
    static const QStringList names = {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                      QStringLiteral("galculator"),       QStringLiteral("mate-calc"),
                                      QStringLiteral("xcalc"),            QStringLiteral("qalculate-gtk")};
#endif
    return names;
}

QString Desktop::startCalculator()
{
    for (const QString& name : calculators()) {
        const QString path = findProgram(name);
        if (path.isEmpty())
            continue;
        startProgram(path);
        return path;
    }
    return QString();
}

void Desktop::openWebPage(const QString& address)
{
    openUrl(QUrl(address));
}

void Desktop::openFolder(const QString& folder)
{
    openUrl(QUrl::fromLocalFile(folder));
}
