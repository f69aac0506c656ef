#include "ExpectedSentences.h"
#include "scoring/reports/ExamineeReport.h"
#include "support/OwnSettings.h"
#include "support/PdfText.h"
#include "text/ShownNumbers.h"
#include "ui/DocumentOutput.h"
#include "ui/MakerDetails.h"
#include "ui/PersianText.h"

#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>
#include <QtTest>

using Report::PageContent;
using Report::TextBox;

namespace {

// Distinct texts in every field, so a caption taken from the wrong field shows.
ShownResults shown()
{
    ShownResults s;
    s.code = QStringLiteral("1402-17");
    s.firstName = QStringLiteral("مريم");
    s.lastName = QStringLiteral("احمدي");
    s.date = QStringLiteral("1403/07/21");
    s.group = QStringLiteral("گروه ب");
    s.age = QStringLiteral("34");
    s.sex = QStringLiteral("زن");
    s.maritalStatus = QStringLiteral("متاهل");
    s.education = QStringLiteral("کارشناسي ارشد");
    const char* levels[4] = { "متوسط", "بالا", "پايين", "خيلي بالا" };
    for (int i = 0; i < 4; ++i) {
        s.scales[i].raw = QString::number(31 + i);
        s.scales[i].percent = QString::number(50 + 5 * i);
        s.scales[i].level = QString::fromUtf8(levels[i]);
        s.scales[i].sentence = QStringLiteral("sentence %1").arg(i);
    }
    s.clinicName = QStringLiteral("مرکز مشاوره مهر");
    s.clinicAddress = QStringLiteral("شيراز، خيابان زند");
    return s;
}

QString longestSentence()
{
    QString longest;
    for (const auto& scale : sentenceTable)
        for (const char* sentence : scale)
            if (QString::fromUtf8(sentence).size() > longest.size())
                longest = QString::fromUtf8(sentence);
    return longest;
}

} // namespace

class TestExamineeReport : public QObject {
    Q_OBJECT

    const OwnSettings m_settings;

private slots:
    void initTestCase() { PersianText::loadFont(); }

    void theTwentyThreeCaptionsInTheirOrder()
    {
        const ShownResults s = shown();
        ExamineeReport report(s, Maker::webSiteLine(), Maker::shopLine());
        // Details, then the results grid column by column, then the address; numbers as the scoring window draws
        // them.
        const QList<ReportCaption> expected = {
            { "Label15", s.code },
            { "Label16", s.group },
            { "Label19", ShownNumbers::text(s.age) },
            { "Label20", s.sex },
            { "Label21", s.maritalStatus },
            { "Label22", s.education },
            { "Label23", ShownNumbers::text(s.scales[0].raw) },
            { "Label28", ShownNumbers::text(s.scales[0].percent) },
            { "Label30", s.scales[0].level },
            { "Label37", s.scales[0].sentence },
            { "Label17", ShownNumbers::text(s.scales[1].raw) },
            { "Label24", ShownNumbers::text(s.scales[1].percent) },
            { "Label25", s.scales[1].level },
            { "Label36", s.scales[1].sentence },
            { "Label26", ShownNumbers::text(s.scales[2].raw) },
            { "Label27", ShownNumbers::text(s.scales[2].percent) },
            { "Label31", s.scales[2].level },
            { "Label35", s.scales[2].sentence },
            { "Label32", ShownNumbers::text(s.scales[3].raw) },
            { "Label33", ShownNumbers::text(s.scales[3].percent) },
            { "Label34", s.scales[3].level },
            { "Label8", s.scales[3].sentence },
            { "Label29", s.clinicAddress },
        };
        QCOMPARE(report.captions().size(), 23);
        for (int i = 0; i < 23; ++i) {
            QCOMPARE(report.captions()[i].label, expected[i].label);
            QCOMPARE(report.captions()[i].text, expected[i].text);
        }
        // Each caption is on the page in its label's box.
        const PageContent page = report.pageContent();
        for (const ReportCaption& c : expected) {
            const TextBox* box = page.find(c.label);
            QVERIFY2(box, qPrintable(c.label));
            QCOMPARE(box->text, c.text);
        }
    }

    void groupCellCarriesTheGroup()
    {
        ExamineeReport report(shown(), Maker::webSiteLine(), Maker::shopLine());
        const PageContent page = report.pageContent();
        QCOMPARE(page.find(QStringLiteral("Label7"))->text, QStringLiteral("گروه"));
        QCOMPARE(page.find(QStringLiteral("Label16"))->text, QStringLiteral("گروه ب"));
        // The name has a cell of its own.
        for (const TextBox& box : page.texts)
            if (box.name != QStringLiteral("ExamineeName"))
                QVERIFY2(!box.text.contains(QStringLiteral("مريم")), qPrintable(box.name));
    }

    // A clinic's file copy says whose it is and when: first and family name and the day of the test, read back from
    // the PDF.
    void namesTheExamineeAndTheDay()
    {
        ExamineeReport report(shown(), Maker::webSiteLine(), Maker::shopLine());
        const PageContent page = report.pageContent();
        QCOMPARE(page.find(QStringLiteral("ExamineeName"))->text, QStringLiteral("مريم احمدي"));
        QCOMPARE(page.find(QStringLiteral("TestDate"))->text, ShownNumbers::text(QStringLiteral("1403/07/21")));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examinee.pdf"));
        QString error;
        QVERIFY2(DocumentOutput::writePdf(report, path, error), qPrintable(error));
        const QString text = PdfText::comparable(PdfText::extract(path));
        for (const QString& expected :
            { QStringLiteral("مريم"), QStringLiteral("احمدي"), ShownNumbers::text(QStringLiteral("1403/07/21")) })
            QVERIFY2(text.contains(PdfText::comparable(expected)), qPrintable(expected));
    }

    void gridReadsRightToLeftAndTopToBottom()
    {
        ExamineeReport report(shown(), Maker::webSiteLine(), Maker::shopLine());
        const PageContent page = report.pageContent();
        const char* headings[4] = { "Label11", "Label13", "Label12", "Label18" };
        const char* captions[4] = { "رضايت زناشويي", "ارتباطات", "حل تعارض", "تحريف آرماني" };
        const char* cells[4][4]
            = { { "Label23", "Label28", "Label30", "Label37" }, { "Label17", "Label24", "Label25", "Label36" },
                  { "Label26", "Label27", "Label31", "Label35" }, { "Label32", "Label33", "Label34", "Label8" } };
        double previousRight = 1e9;
        for (int k = 0; k < 4; ++k) {
            const TextBox* heading = page.find(QString::fromLatin1(headings[k]));
            QCOMPARE(heading->text, QString::fromUtf8(captions[k]));
            QVERIFY(heading->rect.right() <= previousRight);
            previousRight = heading->rect.left();
            double previousBottom = heading->rect.bottom();
            for (int row = 0; row < 4; ++row) {
                const TextBox* cell = page.find(QString::fromLatin1(cells[k][row]));
                QVERIFY(cell->rect.top() >= previousBottom - 1);
                QVERIFY(
                    cell->rect.left() >= heading->rect.left() - 60 && cell->rect.right() <= heading->rect.right() + 60);
                previousBottom = cell->rect.bottom();
            }
            // The interpretation's cell, 1341 by 2158, holds the sentence over several lines.
            const TextBox* sentence = page.find(QString::fromLatin1(cells[k][3]));
            QVERIFY(sentence->style.wrap);
            QVERIFY(sentence->rect.width() <= 1341 && sentence->rect.width() >= 1341 - 150);
            QVERIFY(sentence->rect.height() <= 2158 && sentence->rect.height() >= 2158 - 150);
        }
        // The address beside its caption, in the wide cell.
        const TextBox* caption = page.find(QStringLiteral("Label9"));
        const TextBox* address = page.find(QStringLiteral("Label29"));
        QCOMPARE(caption->text, QStringLiteral("آدرس"));
        QVERIFY(address->rect.right() <= caption->rect.left());
        QVERIFY(address->rect.width() <= 4860 && address->rect.width() >= 4860 - 150);
    }

    void copiesTheTextsItWasGiven()
    {
        ShownResults s = shown();
        ExamineeReport report(s, Maker::webSiteLine(), Maker::shopLine());
        s.scales[0].raw = QStringLiteral("changed");
        s.code = QStringLiteral("changed");
        QCOMPARE(report.caption(QStringLiteral("Label23")), QStringLiteral("۳۱"));
        QCOMPARE(report.caption(QStringLiteral("Label15")), QStringLiteral("1402-17"));
        QVERIFY(report.title().contains(QStringLiteral("1402-17")));
    }

    void makerLinesAreRealOrNameTheProgram()
    {
        ExamineeReport report(shown(), Maker::webSiteLine(), Maker::shopLine());
        const PageContent page = report.pageContent();
        QCOMPARE(page.find(QStringLiteral("Label5"))->text, ShownNumbers::line(Maker::webSiteLine()));
        QCOMPARE(page.find(QStringLiteral("Label14"))->text, ShownNumbers::line(Maker::shopLine()));
        QStringList lines;
        for (const char* name : { "Label5", "Label14" }) {
            const QString line = page.find(QString::fromLatin1(name))->text;
            QVERIFY(!line.contains(QStringLiteral("example")));
            lines << line;
        }
        // The foot is never empty, and names the program at most once.
        QVERIFY(!lines.first().isEmpty());
        QVERIFY(lines.count(ShownNumbers::line(Maker::programNameAndVersion())) <= 1);
        QCOMPARE(page.find(QStringLiteral("Label1"))->text, QStringLiteral("پرسشنامه رضايت زناشويي تورين ۳۵ ماده اي"));
    }

    // The maker's lines draw a number as every number is drawn, a web address as it is written.
    void makerLinesDrawTheirNumbers()
    {
        const QString version = Maker::programNameAndVersion().section(QLatin1Char(' '), 1);
        Maker::Details site;
        site.webSite = QStringLiteral("https://maker35.test/page/2");
        for (const bool persian : { true, false }) {
            ShownNumbers::setPersianDigits(persian);
            const PageContent none = ExamineeReport(shown(), Maker::webSiteLine(Maker::Details()),
                Maker::shopLine(Maker::Details())).pageContent();
            QCOMPARE(none.find(QStringLiteral("Label5"))->text,
                QStringLiteral("Tovrin35 ") + (persian ? ShownNumbers::text(version) : version));
            const PageContent set
                = ExamineeReport(shown(), Maker::webSiteLine(site), Maker::shopLine(site)).pageContent();
            QCOMPARE(set.find(QStringLiteral("Label5"))->text, site.webSite);
            QCOMPARE(set.find(QStringLiteral("Label14"))->text,
                QStringLiteral("Tovrin35 ") + (persian ? ShownNumbers::text(version) : version));
        }
        ShownNumbers::setPersianDigits(true);
    }

    void programNamedOnceOnThePrintedPage_data()
    {
        QTest::addColumn<QString>("webSite");
        QTest::addColumn<QString>("shop");
        QTest::addColumn<int>("times");
        QTest::newRow("as built") << Maker::details().webSite << Maker::details().shop
                                  << int(Maker::details().webSite.trimmed().isEmpty()
                                         || Maker::details().shop.trimmed().isEmpty());
        QTest::newRow("neither") << "" << "" << 1;
        QTest::newRow("web site only") << "https://maker.test" << "" << 1;
        QTest::newRow("shop only") << "" << "https://shop.maker.test" << 1;
        QTest::newRow("both") << "https://maker.test" << "https://shop.maker.test" << 0;
    }

    void programNamedOnceOnThePrintedPage()
    {
        QFETCH(QString, webSite);
        QFETCH(QString, shop);
        QFETCH(int, times);
        Maker::Details maker;
        maker.webSite = webSite;
        maker.shop = shop;
        ExamineeReport report(shown(), Maker::webSiteLine(maker), Maker::shopLine(maker));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examinee.pdf"));
        QString error;
        QVERIFY2(DocumentOutput::writePdf(report, path, error), qPrintable(error));
        QCOMPARE(PdfText::pageCount(path), 1);
        const QString text = PdfText::extract(path);
        QCOMPARE(int(text.count(QStringLiteral("Tovrin35"))), times);
        for (const QString& set : { webSite, shop })
            QVERIFY(set.isEmpty() || text.contains(set));
    }

    void clinicNameAndAddress()
    {
        ShownResults s = shown();
        ExamineeReport named(s, Maker::webSiteLine(), Maker::shopLine());
        const PageContent page = named.pageContent();
        const TextBox* name = page.find(QStringLiteral("ClinicName"));
        QVERIFY(name);
        QCOMPARE(name->text, s.clinicName);
        // Between the title's tab and the details, clear of both.
        QVERIFY(name->rect.top() >= page.find(QStringLiteral("Label1"))->rect.bottom());
        QVERIFY(name->rect.bottom() <= page.find(QStringLiteral("Label15"))->rect.top());

        // Empty name and address print as empty captions.
        s.clinicName.clear();
        s.clinicAddress.clear();
        ExamineeReport empty(s, Maker::webSiteLine(), Maker::shopLine());
        QCOMPARE(empty.pageContent().find(QStringLiteral("ClinicName"))->text, QString());
        QCOMPARE(empty.pageContent().find(QStringLiteral("Label29"))->text, QString());
    }

    void longestTextsStayInsideTheirCells()
    {
        ShownResults s = shown();
        // The longest sentence of the questionnaire in every column, and long details.
        for (auto& scale : s.scales)
            scale.sentence = longestSentence();
        s.education = QStringLiteral("دکتري تخصصي روانشناسي باليني از دانشگاه علوم پزشکي تهران با گرايش خانواده");
        s.group = QStringLiteral("گروه درمان زوجي شماره سه");
        s.clinicAddress
            = QStringLiteral("تهران، خيابان انقلاب، روبروي دانشگاه، کوچه فروردين، پلاک 24، طبقه سوم، واحد 12، "
                             "مرکز مشاوره و خدمات روانشناختي، تلفن 66400000 و 66400001");
        ExamineeReport report(s, Maker::webSiteLine(), Maker::shopLine());
        Report::TextPainter painter;
        const PageContent page = report.pageContent();
        for (const TextBox& box : page.texts) {
            QRectF inked;
            for (const QGlyphRun& run : painter.glyphs(box))
                inked |= run.boundingRect();
            inked.translate(box.rect.topLeft());
            QVERIFY2(inked.isEmpty() || box.rect.adjusted(-15, -40, 15, 40).contains(inked), qPrintable(box.name));
            QVERIFY2(box.text.isEmpty() || !inked.isEmpty(), qPrintable(box.name));
        }
        // A sentence is shown whole: nothing was cut from it.
        int glyphs = 0;
        for (const QGlyphRun& run : painter.glyphs(*page.find(QStringLiteral("Label37"))))
            glyphs += run.glyphIndexes().size();
        QVERIFY(glyphs >= longestSentence().remove(QLatin1Char(' ')).size() - 5);
    }

    void codeAndGroupPrintWhole()
    {
        // Each longer than its cell, and read back whole from it.
        ShownResults s = shown();
        s.code = QStringLiteral("123456789012");
        s.group = QStringLiteral("خانوادههايجوانشيرازي");
        ExamineeReport report(s, Maker::webSiteLine(), Maker::shopLine());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examinee.pdf"));
        QString error;
        QVERIFY2(DocumentOutput::writePdf(report, path, error), qPrintable(error));
        const auto read = [&](const char* label) {
            const QRectF box = report.pageContent().find(QString::fromLatin1(label))->rect;
            return PdfText::extractPrintable(path, 1, report.pageLayout(), report.designToPrintable().mapRect(box));
        };
        QCOMPARE(read("Label15").trimmed(), s.code);
        QCOMPARE(PdfText::comparable(read("Label16")), PdfText::comparable(s.group));
    }

    // The PDF carries the numbers in Persian digits, and the code as it was typed.
    void numbersPrintInPersianDigits()
    {
        ShownResults s = shown();
        s.code = QStringLiteral("A-12");
        s.age = QStringLiteral("34");
        s.scales[0].raw = QStringLiteral("41");
        s.scales[0].percent = QStringLiteral("85");
        ExamineeReport report(s, Maker::webSiteLine(), Maker::shopLine());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examinee.pdf"));
        QString error;
        QVERIFY2(DocumentOutput::writePdf(report, path, error), qPrintable(error));
        const auto read = [&](const char* label) {
            const QRectF box = report.pageContent().find(QString::fromLatin1(label))->rect;
            return PdfText::comparable(
                PdfText::extractPrintable(path, 1, report.pageLayout(), report.designToPrintable().mapRect(box)));
        };
        QCOMPARE(read("Label19"), QStringLiteral("۳۴"));
        QCOMPARE(read("Label23"), QStringLiteral("۴۱"));
        QCOMPARE(read("Label28"), QStringLiteral("۸۵"));
        QCOMPARE(read("Label15"), QStringLiteral("A-12"));
        QVERIFY(read("Label1").contains(QStringLiteral("۳۵")));
    }

    void pageFitsThePaper_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("orientation");
        QTest::newRow("A4 upright") << int(QPageSize::A4) << int(QPageLayout::Portrait);
        QTest::newRow("A4 across") << int(QPageSize::A4) << int(QPageLayout::Landscape);
        QTest::newRow("A5") << int(QPageSize::A5) << int(QPageLayout::Portrait);
        QTest::newRow("Letter") << int(QPageSize::Letter) << int(QPageLayout::Portrait);
    }

    void pageFitsThePaper()
    {
        QFETCH(int, size);
        QFETCH(int, orientation);
        ExamineeReport report(shown(), Maker::webSiteLine(), Maker::shopLine());
        report.setPageLayout(QPageLayout(QPageSize(QPageSize::PageSizeId(size)), QPageLayout::Orientation(orientation),
            QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPicture picture;
        QPainter painter(&picture);
        report.paintPage(painter, 0);
        painter.end();
        const QRectF drawn = picture.boundingRect();
        const QSizeF room = report.printableTwips();
        QVERIFY(drawn.left() >= -30 && drawn.top() >= -30);
        QVERIFY(drawn.right() <= room.width() + 30 && drawn.bottom() <= room.height() + 30);
        // It fills the paper's width or its height.
        QVERIFY(drawn.width() >= room.width() * 0.95 || drawn.height() >= room.height() * 0.95);
    }
};

QTEST_MAIN(TestExamineeReport)
#include "TestExamineeReport.moc"
