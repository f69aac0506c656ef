#include "settings/ThemeConfirmation.h"
#include "support/LayoutCheck.h"
#include "support/TestProgram.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class TestThemeConfirmation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void opensInTheStoredTheme_data();
    void opensInTheStoredTheme();
    void pictureFollowsThePointer();
    void clickAsksForTheMainWindowAndCloses();
    void enterDoesTheSame();
    void closedByItsFrameAsksForNothing();
    void nothingCutOff();
};

void TestThemeConfirmation::opensInTheStoredTheme_data()
{
    QTest::addColumn<QString>("th");
    QTest::addColumn<QString>("file");
    QTest::newRow("7") << "7"
                       << "O-Universe.skn";
    QTest::newRow("2") << "2"
                       << "Green.skn";
    QTest::newRow("1.0") << "1.0"
                         << "chizh.skn";
}

void TestThemeConfirmation::opensInTheStoredTheme()
{
    QFETCH(QString, th);
    QFETCH(QString, file);
    TestProgram p;
    p.exec(QStringLiteral("UPDATE Theme SET TH = ?"), { th });
    ThemeConfirmation w(p.database());
    QCOMPARE(w.objectName(), QStringLiteral("Frmskin"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Skin"));
    QCOMPARE(w.palette().color(QPalette::Window).name(), p.skinColour(file, QStringLiteral("window")));
    QCOMPARE(Drive::find<QLineEdit>(&w, "Text1")->text(), th);
    QCOMPARE(Drive::find<QLabel>(&w, "Label3")->text(), QStringLiteral("تغييرات با موفقيت به پايان رسيد"));
    QCOMPARE(w.pos(), QPoint(Twips::toPixelsX(5000), Twips::toPixelsY(3500)));
    w.show();
    QVERIFY(Drive::find<QLabel>(&w, "k1")->isVisible());
    QVERIFY(!Drive::find<QToolButton>(&w, "k2")->isVisible());
}

void TestThemeConfirmation::pictureFollowsThePointer()
{
    TestProgram p;
    ThemeConfirmation w(p.database());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* k1 = Drive::find<QLabel>(&w, "k1");
    auto* k2 = Drive::find<QToolButton>(&w, "k2");
    QCOMPARE(k1->geometry(), k2->geometry());

    QTest::mouseMove(k1, k1->rect().center());
    QTRY_VERIFY(k2->isVisible());
    QVERIFY(!k1->isVisible());
    // Moving over the highlighted picture keeps it.
    QTest::mouseMove(k2, k2->rect().center() + QPoint(2, 1));
    QVERIFY(k2->isVisible());

    QTest::mouseMove(&w, QPoint(3, w.height() - 3));
    QTRY_VERIFY(k1->isVisible());
    QVERIFY(!k2->isVisible());
}

void TestThemeConfirmation::clickAsksForTheMainWindowAndCloses()
{
    TestProgram p;
    auto* w = new ThemeConfirmation(p.database());
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<ThemeConfirmation> alive(w);
    QSignalSpy wanted(w, &ThemeConfirmation::mainWindowWanted);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto* k1 = Drive::find<QLabel>(w, "k1");
    QTest::mouseMove(k1, k1->rect().center());
    QTRY_VERIFY(Drive::find<QToolButton>(w, "k2")->isVisible());
    Drive::click(w, QStringLiteral("k2"));
    QCOMPARE(wanted.count(), 1);
    QTRY_VERIFY(!alive);
}

void TestThemeConfirmation::enterDoesTheSame()
{
    TestProgram p;
    ThemeConfirmation w(p.database());
    QSignalSpy wanted(&w, &ThemeConfirmation::mainWindowWanted);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_Return);
    QCOMPARE(wanted.count(), 1);
    QVERIFY(!w.isVisible());
}

void TestThemeConfirmation::closedByItsFrameAsksForNothing()
{
    TestProgram p;
    ThemeConfirmation w(p.database());
    QSignalSpy wanted(&w, &ThemeConfirmation::mainWindowWanted);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.close();
    QCOMPARE(wanted.count(), 0);
}

void TestThemeConfirmation::nothingCutOff()
{
    TestProgram p;
    for (int theme = 1; theme <= 11; ++theme) {
        p.exec(QStringLiteral("UPDATE Theme SET TH = ?"), { QString::number(theme) });
        ThemeConfirmation w(p.database());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (!LayoutCheck::nothingCutOff(&w, { QStringLiteral("k1/k2") }))
            return;
    }
}

QTEST_MAIN(TestThemeConfirmation)
#include "TestThemeConfirmation.moc"
