#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QSet>
#include <QTest>
#include <QTextLayout>
#include <QWidget>

class TestPersianText : public QObject {
    Q_OBJECT
private slots:
    void bundledFontDrawsArabicYehAndKafThePersianWay();
    void shapedGlyphsAllStandForCharacters();
    void applicationReadsRightToLeftInTheBundledFont();
    void twipsFollowTheScreensLogicalDpi();
};

namespace {

// The glyphs a text is drawn with, shaped in the bundled font.
QList<quint32> shapedGlyphs(const QString& text)
{
    QFont font(PersianText::fontFamily());
    font.setPixelSize(40);
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QList<quint32> glyphs;
    for (const QGlyphRun& run : layout.glyphRuns())
        glyphs << run.glyphIndexes();
    return glyphs;
}

QPainterPath outline(const QRawFont& font, quint32 glyph)
{
    return font.pathForGlyph(glyph);
}

} // namespace

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
    QVERIFY(arabicKaf.value(0) != 0);
    // Glyphs of their own, so text taken from a PDF keeps the letter as written, with the Persian outlines.
    QVERIFY(arabicYeh != persianYeh);
    QVERIFY(arabicKaf != keheh);
    QCOMPARE(outline(font, arabicYeh[0]), outline(font, persianYeh[0]));
    QCOMPARE(outline(font, arabicKaf[0]), outline(font, keheh[0]));
    // The final yeh and the initial kaf too, as they come out of shaping.
    const QList<quint32> finalArabic = shapedGlyphs(QString::fromUtf8("بي"));
    const QList<quint32> finalPersian = shapedGlyphs(QString::fromUtf8("بی"));
    QCOMPARE(finalArabic.size(), 2);
    QCOMPARE(finalPersian.size(), 2);
    QCOMPARE(outline(font, finalArabic[0]), outline(font, finalPersian[0]));
    // Other letters keep their own glyphs.
    QVERIFY(outline(font, font.glyphIndexesForString(QString(QChar(0x0628)))[0]) != outline(font, persianYeh[0]));
}

void TestPersianText::shapedGlyphsAllStandForCharacters()
{
    // A PDF can give back the text of a glyph only when the glyph stands for a character of its own.
    QVERIFY(PersianText::loadFont());
    QRawFont font(QStringLiteral(":/fonts/TovrinVazirmatn-Regular.ttf"), 20);
    QSet<quint32> characterGlyphs;
    const std::pair<char16_t, char16_t> ranges[]
        = { { 0x0020, 0x007E }, { 0x060C, 0x06FF }, { 0xFB50, 0xFDFF }, { 0xFE70, 0xFEFC } };
    for (const auto& [first, last] : ranges)
        for (char16_t c = first; c <= last; ++c)
            for (quint32 glyph : font.glyphIndexesForString(QString(QChar(c))))
                if (glyph != 0)
                    characterGlyphs.insert(glyph);
    const char* texts[] = {
        "پرسشنامه رضايت زناشويي تورين 35 ماده اي",
        "گزارش نتيجه  پرسشنامه رضايت زناشويي تورين 35 ماده اي",
        "شما احساس خيلي خوبي درباره کميت و کيفيت روابط زناشويي خود داريد",
        "کل آزمودنيها را داريد روي دکمه پرينت کل آزمودنيها کليک کنيد",
        "شما تا حدودي ناراضي هستيد و نگراني هايي درباره روابط زناشويي خود داريد",
        "تمامي فرم ها را ببندبد به جز فرم اصلي و اين پنجره",
        "تنظيمات",
        "پايين",
    };
    for (const char* text : texts)
        for (quint32 glyph : shapedGlyphs(QString::fromUtf8(text)))
            QVERIFY2(characterGlyphs.contains(glyph), text);
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
    QCOMPARE(child.geometry(),
        QRect(
            qRound(1500 * dpi / 1440), qRound(780 * dpi / 1440), qRound(6675 * dpi / 1440), qRound(2895 * dpi / 1440)));
}

QTEST_MAIN(TestPersianText)
#include "TestPersianText.moc"
