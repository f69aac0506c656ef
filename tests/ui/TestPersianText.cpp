#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QRawFont>
#include <QTest>
#include <QWidget>

class TestPersianText : public QObject {
    Q_OBJECT
private slots:
    void bundledFontDrawsArabicYehAndKafThePersianWay();
    void applicationReadsRightToLeftInTheBundledFont();
    void twipsFollowTheScreensLogicalDpi();
};

void TestPersianText::bundledFontDrawsArabicYehAndKafThePersianWay()
{
    QVERIFY(PersianText::loadFont());
    QRawFont font(QStringLiteral(":/fonts/TovrinVazirmatn-Regular.ttf"), 20);
    QVERIFY(font.isValid());
    QCOMPARE(font.familyName(), PersianText::fontFamily());
    const QList<quint32> arabicYeh = font.glyphIndexesForString(QString(QChar(0x064A)));
    const QList<quint32> persianYeh = font.glyphIndexesForString(QString(QChar(0x06CC)));
    const QList<quint32> arabicKaf = font.glyphIndexesForString(QString(QChar(0x0643)));
    const QList<quint32> keheh = font.glyphIndexesForString(QString(QChar(0x06A9)));
    QVERIFY(persianYeh.value(0) != 0);
    QCOMPARE(arabicYeh, persianYeh);
    QCOMPARE(arabicKaf, keheh);
    // Other letters keep their own glyphs.
    QVERIFY(font.glyphIndexesForString(QString(QChar(0x0628))) != persianYeh);
}

void TestPersianText::applicationReadsRightToLeftInTheBundledFont()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(app);
    PersianText::applyTo(*app);
    QCOMPARE(QApplication::layoutDirection(), Qt::RightToLeft);
    QCOMPARE(QApplication::font().family(), PersianText::fontFamily());
    QWidget window;
    QCOMPARE(window.layoutDirection(), Qt::RightToLeft);
}

void TestPersianText::twipsFollowTheScreensLogicalDpi()
{
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    QCOMPARE(Twips::toPixelsX(1440), qRound(dpi));
    QCOMPARE(Twips::toPixelsX(0), 0);
    QCOMPARE(Twips::fromPixelsX(Twips::toPixelsX(2880)), 2880);
    QWidget parent;
    QWidget child(&parent);
    Twips::place(&child, 1500, 780, 6675, 2895);
    QCOMPARE(child.geometry(), QRect(qRound(1500 * dpi / 1440), qRound(780 * dpi / 1440),
                                     qRound(6675 * dpi / 1440), qRound(2895 * dpi / 1440)));
}

QTEST_MAIN(TestPersianText)
#include "TestPersianText.moc"
