#include "text/PersianLetters.h"
#include "ui/PersianText.h"
#include "ui/WindowKit.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

// The letters written out, so what is compared does not depend on how an editor shows them.
const QChar arabicYeh(0x064A);
const QChar alefMaksura(0x0649);
const QChar arabicKaf(0x0643);
const QChar persianYeh(0x06CC);
const QChar keheh(0x06A9);

bool hasArabicLetters(const QString& text)
{
    return text.contains(arabicYeh) || text.contains(alefMaksura) || text.contains(arabicKaf);
}

} // namespace

class TestTitleBarLetters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void asTyped_data();
    void asTyped();
    void windowTitlesCarryPersianLetters_data();
    void windowTitlesCarryPersianLetters();
    void aTitleSetAgainIsHandedOverAgain();
    void textsInsideWindowsStayAsWritten();
    void givenOnce();
};

void TestTitleBarLetters::initTestCase()
{
    PersianText::giveTitleBarsPersianLetters(*qApp);
}

void TestTitleBarLetters::asTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");
    QTest::newRow("yeh in a word") << QStringLiteral("پيام") << QString(QStringLiteral("پ") + persianYeh + "ام");
    QTest::newRow("final yeh") << QString(QStringLiteral("آزمودن") + arabicYeh)
                               << QString(QStringLiteral("آزمودن") + persianYeh);
    QTest::newRow("alef maksura") << QString(QStringLiteral("حت") + alefMaksura)
                                  << QString(QStringLiteral("حت") + persianYeh);
    QTest::newRow("kaf") << QString(arabicKaf + QStringLiteral("د")) << QString(keheh + QStringLiteral("د"));
    QTest::newRow("both, and keheh left alone")
        << QStringLiteral("کد آزمودني را وارد كنيد")
        << QString(keheh + QStringLiteral("د آزمودن") + persianYeh + QStringLiteral(" را وارد ") + keheh
               + QStringLiteral("ن") + persianYeh + QStringLiteral("د"));
    QTest::newRow("Persian letters already") << QStringLiteral("کی") << QStringLiteral("کی");
    QTest::newRow("Latin and digits") << QStringLiteral("Warnnig 35") << QStringLiteral("Warnnig 35");
    QTest::newRow("other Arabic letters stay") << QStringLiteral("ة ۀ ئ") << QStringLiteral("ة ۀ ئ");
    QTest::newRow("blanks kept") << QStringLiteral(" کد ") << QStringLiteral(" کد ");
    QTest::newRow("empty") << QString() << QString();
}

void TestTitleBarLetters::asTyped()
{
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QCOMPARE(PersianLetters::asTyped(text), typed);
    QCOMPARE(PersianText::titleBarText(text), typed);
    QVERIFY(!hasArabicLetters(PersianLetters::asTyped(text)));
}

void TestTitleBarLetters::windowTitlesCarryPersianLetters_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("window of the kit") << "kit";
    QTest::newRow("window titled itself") << "plain";
    QTest::newRow("dialog owned by a window") << "dialog";
}

void TestTitleBarLetters::windowTitlesCarryPersianLetters()
{
    QFETCH(QString, kind);
    const QString title = QStringLiteral("کد آزمودني");
    QWidget owner;
    QDialog* dialog = nullptr;
    QWidget* titled = &owner;
    if (kind == QLatin1String("kit")) {
        Kit::setUpWindow(&owner, QStringLiteral("FrmCode"), title, 4000, 3000);
    } else if (kind == QLatin1String("plain")) {
        owner.setWindowTitle(title);
    } else {
        dialog = new QDialog(&owner);
        dialog->setWindowTitle(title);
        titled = dialog;
    }
    owner.show();
    if (dialog)
        dialog->show();
    QCOMPARE(titled->windowTitle(), QString(keheh + QStringLiteral("د آزمودن") + persianYeh));
    // What the desktop gets, too.
    QVERIFY(titled->windowHandle());
    QCOMPARE(titled->windowHandle()->title(), titled->windowTitle());
}

void TestTitleBarLetters::aTitleSetAgainIsHandedOverAgain()
{
    // A window that changes its title while open (the exit prompt's title blinks) keeps the Persian letters.
    QWidget window;
    window.show();
    QSignalSpy changes(&window, &QWidget::windowTitleChanged);
    for (const QString& title : { QStringLiteral(" تهيه نسخه پشتيبان"), QStringLiteral("پشتيبان گيري"),
             QStringLiteral(" تهيه نسخه پشتيبان") }) {
        window.setWindowTitle(title);
        QCOMPARE(window.windowTitle(), PersianLetters::asTyped(title));
        QVERIFY(!hasArabicLetters(window.windowHandle()->title()));
    }
    QVERIFY(changes.count() >= 3);
    // A title with nothing to change is kept as set.
    window.setWindowTitle(QStringLiteral("about"));
    QCOMPARE(window.windowTitle(), QStringLiteral("about"));
}

void TestTitleBarLetters::textsInsideWindowsStayAsWritten()
{
    const QString text = QStringLiteral("کد آزمودني را وارد کنيد");
    QWidget window;
    window.setWindowTitle(text);
    auto* label = new QLabel(text, &window);
    window.show();
    QCOMPARE(label->text(), text);
    QVERIFY(hasArabicLetters(label->text()));
    QVERIFY(!hasArabicLetters(window.windowTitle()));
}

void TestTitleBarLetters::givenOnce()
{
    PersianText::giveTitleBarsPersianLetters(*qApp);
    PersianText::applyTo(*qApp);
    QCOMPARE(qApp->findChildren<QObject*>(QStringLiteral("titleBarLetters"), Qt::FindDirectChildrenOnly).size(), 1);
}

QTEST_MAIN(TestTitleBarLetters)
#include "TestTitleBarLetters.moc"
