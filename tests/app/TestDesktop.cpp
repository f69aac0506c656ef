#include "app/Desktop.h"

#include <QTest>

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void startCalculator_data();
    void startCalculator();
};

void TestDesktop::startCalculator_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("started");
#ifndef Q_OS_WIN
    QTest::newRow("none") << QStringList{} << "";
    QTest::newRow("gnome first") << QStringList{"xcalc", "gnome-calculator"} << "/opt/bin/gnome-calculator";
    QTest::newRow("kcalc before galculator") << QStringList{"galculator", "kcalc"} << "/opt/bin/kcalc";
    QTest::newRow("only the last") << QStringList{"qalculate-gtk"} << "/opt/bin/qalculate-gtk";
    QTest::newRow("xcalc before qalculate") << QStringList{"qalculate-gtk", "xcalc"} << "/opt/bin/xcalc";
    QTest::newRow("unknown calculators ignored") << QStringList{"bc", "speedcrunch"} << "";
#else
    QTest::newRow("none") << QStringList{} << "";
    QTest::newRow("calc") << QStringList{"calc.exe"} << "/opt/bin/calc.exe";
#endif
}

void TestDesktop::startCalculator()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, started);
    Desktop desktop;
    QStringList starts;
    desktop.findProgram = [&](const QString& name) {
        return installed.contains(name) ? QStringLiteral("/opt/bin/") + name : QString();
    };
    desktop.startProgram = [&](const QString& path) {
        starts << path;
        return false; // a failed start is not reported either
    };
    desktop.openUrl = [](const QUrl&) {
        qFatal("no web page here");
        return false;
    };
    QCOMPARE(desktop.startCalculator(), started);
    QCOMPARE(starts, started.isEmpty() ? QStringList{} : QStringList{started});
}

QTEST_APPLESS_MAIN(TestDesktop)
#include "TestDesktop.moc"
