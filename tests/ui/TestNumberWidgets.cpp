#include "support/OwnSettings.h"
#include "support/TestProgram.h"
#include "text/ShownNumbers.h"
#include "ui/NumberSpinBox.h"
#include "ui/PercentProgressBar.h"

#include <QLineEdit>
#include <QTest>

// The page box and the copy's progress draw their numbers as every number is drawn, and read any digits typed.
class TestNumberWidgets : public QObject {
    Q_OBJECT

    const OwnSettings m_settings;

private slots:
    void init() { ShownNumbers::setPersianDigits(true); }

    void progressPercent_data()
    {
        QTest::addColumn<bool>("persian");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("drawn");
        QTest::newRow("start") << true << 0 << QStringLiteral("۰٪");
        QTest::newRow("part") << true << 37 << QStringLiteral("۳۷٪");
        QTest::newRow("done") << true << 100 << QStringLiteral("۱۰۰٪");
        QTest::newRow("off") << false << 37 << QStringLiteral("37%");
    }

    void progressPercent()
    {
        QFETCH(bool, persian);
        QFETCH(int, value);
        QFETCH(QString, drawn);
        ShownNumbers::setPersianDigits(persian);
        PercentProgressBar bar;
        bar.setRange(0, 100);
        bar.setValue(value);
        QCOMPARE(bar.text(), drawn);
    }

    void progressOverAnotherRange()
    {
        PercentProgressBar bar;
        bar.setRange(0, 400);
        bar.setValue(100);
        QCOMPARE(bar.text(), QStringLiteral("۲۵٪"));
        bar.reset();
        QCOMPARE(bar.text(), QString());
    }

    void pageBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::newRow("Persian") << QStringLiteral("۱۲") << 12;
        QTest::newRow("Arabic-Indic") << QStringLiteral("\u0661\u0662") << 12;
        QTest::newRow("ASCII") << QStringLiteral("12") << 12;
    }

    void pageBox()
    {
        QFETCH(QString, typed);
        QFETCH(int, value);
        NumberSpinBox box;
        box.setRange(1, 40);
        box.setValue(3);
        QCOMPARE(box.text(), QStringLiteral("۳"));
        box.show();
        box.selectAll();
        Drive::type(&box, typed);
        box.interpretText();
        QCOMPARE(box.value(), value);
        QCOMPARE(box.text(), QStringLiteral("۱۲"));
    }

    void pageBoxRefusesOutOfRange()
    {
        NumberSpinBox box;
        box.setRange(1, 5);
        box.setValue(2);
        box.show();
        box.selectAll();
        Drive::type(&box, QStringLiteral("۹"));
        box.interpretText();
        QCOMPARE(box.value(), 2);
        ShownNumbers::setPersianDigits(false);
        box.setValue(4);
        QCOMPARE(box.text(), QStringLiteral("4"));
    }
};

QTEST_MAIN(TestNumberWidgets)
#include "TestNumberWidgets.moc"
