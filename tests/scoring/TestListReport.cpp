#include "data/TableCursor.h"
#include "scoring/reports/ListReport.h"
#include "scoring/reports/ListReportPdf.h"
#include "scoring/reports/ListReportRows.h"
#include "support/PdfText.h"
#include "support/OwnSettings.h"
#include "support/TestProgram.h"
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
using Report::TextStyle;

namespace {

// The list report's columns from right to left as the layout gives them: heading, heading label, field, ruling span.
struct ExpectedColumn {
    const char* heading;
    const char* headingLabel;
    const char* field;
    int left;
    int right;
};
const ExpectedColumn expectedColumns[11] = {
    { "رديف", "Label5", "Text1", 8946, 9513 },
    { "کد", "Label2", "txtCode", 8379, 8946 },
    { "گروه", "Label7", "txtGroup1", 7725, 8379 },
    { "سن", "Label10", "txtScore", 7167, 7725 },
    { "جنس", "Label6", "Text6", 6474, 7167 },
    { "تاهل", "Label4", "Text5", 5760, 6474 },
    { "تحصيلات", "Label1", "Text4", 3974, 5760 },
    { "رضايت زناشويي", "Label11", "txtBPosetive", 2940, 3974 },
    { "ارتباطات", "Label12", "txtConterlo", 1926, 2940 },
    { "حل تعارض", "Label13", "txtEtminan", 946, 1926 },
    { "تحريف آرماني", "Label17", "txtneyaz", 378, 946 },
};

ListReportRow row(const QString& code, const QString& group = QStringLiteral("الف"))
{
    ListReportRow r;
    r.code = code;
    r.group = group;
    r.age = QStringLiteral("31");
    r.sex = QStringLiteral("زن");
    r.maritalStatus = QStringLiteral("متاهل");
    r.education = QStringLiteral("کارشناسي ارشد مشاوره خانواده و ازدواج");
    r.scores = { QStringLiteral("41"), QStringLiteral("38"), QStringLiteral("29"), QStringLiteral("17") };
    return r;
}

QList<ListReportRow> rows(int count)
{
    QList<ListReportRow> all;
    for (int i = 0; i < count; ++i)
        all << row(QStringLiteral("K%1").arg(count - i));
    return all;
}

QStringList texts(const PageContent& page, const QString& name)
{
    QStringList found;
    for (const TextBox* box : page.findAll(name))
        found << box->text;
    return found;
}

// The smallest list with that many pages, or with its footer alone on the last page.
std::unique_ptr<ListReport> listOf(int pages, bool footerAlone, const ListReportCaptions& captions)
{
    for (int n = 1; n < 1000; ++n) {
        auto report = std::make_unique<ListReport>(rows(n), captions, Maker::programmerLine());
        const bool alone = report->plan(report->pageCount() - 1).rowCount == 0;
        if (report->pageCount() == pages && alone == footerAlone)
            return report;
    }
    return nullptr;
}

} // namespace

class TestListReport : public QObject {
    Q_OBJECT

private:
    // Every row 0..n-1 once, in order, over the pages; each page under its column headings.
    static void checkPages(const ListReport& report, int n)
    {
        int next = 0;
        for (int page = 0; page < report.pageCount(); ++page) {
            const PageContent content = report.pageContent(page);
            const ListReport::PagePlan plan = report.plan(page);
            // Headings stand over lines of their own; only a list of nobody has them over nothing.
            QCOMPARE(plan.headings, plan.rowCount > 0 || n == 0);
            for (const ExpectedColumn& c : expectedColumns)
                QCOMPARE(texts(content, QString::fromLatin1(c.headingLabel)),
                    plan.headings ? QStringList { QString::fromUtf8(c.heading) } : QStringList {});

            for (const QString& number : texts(content, QStringLiteral("Text1")))
                QCOMPARE(number, ShownNumbers::number(++next));
            QCOMPARE(content.find(QStringLiteral("Label9")) != nullptr, page == 0);
            QCOMPARE(content.find(QStringLiteral("Label3")) != nullptr, page == 0);
            const bool last = page + 1 == report.pageCount();
            for (const char* footer : { "Label15", "Label14", "Label16" })
                QCOMPARE(content.find(QString::fromLatin1(footer)) != nullptr, last);
        }
        QCOMPARE(next, n);
    }

private slots:
    void initTestCase() { PersianText::loadFont(); }

    void columnsReadRightToLeftWithinTheirRulings()
    {
        const OwnSettings settings;
        ListReport report(rows(3), {}, Maker::programmerLine());
        const PageContent page = report.pageContent(0);
        double previousCentre = 1e9;
        for (const ExpectedColumn& c : expectedColumns) {
            const TextBox* heading = page.find(QString::fromLatin1(c.headingLabel));
            QVERIFY2(heading, c.headingLabel);
            QCOMPARE(heading->text, QString::fromUtf8(c.heading));
            QVERIFY(heading->rect.left() >= c.left && heading->rect.right() <= c.right);
            QVERIFY(heading->rect.center().x() < previousCentre);
            previousCentre = heading->rect.center().x();
            const QList<const TextBox*> cells = page.findAll(QString::fromLatin1(c.field));
            QCOMPARE(cells.size(), 3);
            for (const TextBox* cell : cells)
                QVERIFY(cell->rect.left() >= c.left && cell->rect.right() <= c.right);
            for (int edge : { c.left, c.right }) {
                const bool ruled = std::any_of(page.rules.cbegin(), page.rules.cend(), [edge](const Report::Rule& r) {
                    return r.line.x1() == edge && r.line.x2() == edge && r.line.length() > 0;
                });
                QVERIFY2(ruled, qPrintable(QString::number(edge)));
            }
        }
        // Each field shows its own value of the row.
        QCOMPARE(texts(page, QStringLiteral("txtCode")), (QStringList { "K3", "K2", "K1" }));
        QCOMPARE(texts(page, QStringLiteral("txtScore")).first(), QStringLiteral("۳۱"));
        QCOMPARE(texts(page, QStringLiteral("txtBPosetive")).first(), QStringLiteral("۴۱"));
        QCOMPARE(texts(page, QStringLiteral("txtConterlo")).first(), QStringLiteral("۳۸"));
        QCOMPARE(texts(page, QStringLiteral("txtEtminan")).first(), QStringLiteral("۲۹"));
        QCOMPARE(texts(page, QStringLiteral("txtneyaz")).first(), QStringLiteral("۱۷"));
    }

    void linesAreNumberedFromOneWhateverTheCodes()
    {
        const OwnSettings settings;
        const QList<ListReportRow> list = { row(QStringLiteral("50")), row(QStringLiteral("7")),
            row(QStringLiteral("1")), row(QStringLiteral("x'y")) };
        ListReportCaptions captions;
        // A second printout of the same report numbers from 1 again.
        for (int printout = 0; printout < 2; ++printout) {
            ListReport report(list, captions, Maker::programmerLine());
            const PageContent page = report.pageContent(0);
            QCOMPARE(texts(page, QStringLiteral("Text1")), (QStringList { "۱", "۲", "۳", "۴" }));
            QCOMPARE(texts(page, QStringLiteral("txtCode")), (QStringList { "50", "7", "1", "x'y" }));
        }
    }

    // With "ارقام فارسي" off the list prints the digits as stored; the codes are printed as stored either way.
    void digitsAsTheOperatorChose()
    {
        const OwnSettings settings;
        const QList<ListReportRow> list = { row(QStringLiteral("50")), row(QStringLiteral("7")) };
        for (const bool persian : { true, false }) {
            ShownNumbers::setPersianDigits(persian);
            ListReport report(list, {}, Maker::programmerLine());
            const PageContent page = report.pageContent(0);
            QCOMPARE(texts(page, QStringLiteral("Text1")),
                persian ? (QStringList { "۱", "۲" }) : (QStringList { "1", "2" }));
            QCOMPARE(texts(page, QStringLiteral("txtCode")), (QStringList { "50", "7" }));
            const QString title = page.find(QStringLiteral("Label3"))->text;
            QCOMPARE(title.contains(QStringLiteral("۳۵")), persian);
            QCOMPARE(title.contains(QStringLiteral("35")), !persian);
        }
    }

    // The programmer's line at the foot: the telephone's digits drawn as every number, the name as written; without
    // a programmer the program's name as it is with its version's digits drawn.
    void programmerLineDrawsItsNumbers()
    {
        const OwnSettings settings;
        Maker::Details maker;
        maker.programmer = QStringLiteral("Reza Ahmadi2");
        maker.telephone = QStringLiteral("021-5555");
        const QString version = Maker::programNameAndVersion().section(QLatin1Char(' '), 1);
        for (const bool persian : { true, false }) {
            ShownNumbers::setPersianDigits(persian);
            const QString line = texts(ListReport(rows(1), {}, Maker::programmerLine(maker)).pageContent(0),
                QStringLiteral("Label16")).value(0);
            QVERIFY2(line.contains(persian ? QStringLiteral("۰۲۱-۵۵۵۵") : QStringLiteral("021-5555")), qPrintable(line));
            QVERIFY(line.contains(QStringLiteral("Reza Ahmadi2")));
            const QString fallback = texts(ListReport(rows(1), {}, Maker::programmerLine(Maker::Details())).pageContent(0),
                QStringLiteral("Label16")).value(0);
            QCOMPARE(fallback, QStringLiteral("Tovrin35 ") + (persian ? ShownNumbers::text(version) : version));
        }
        ShownNumbers::setPersianDigits(true);
    }

    void headingsOnEveryPageOfAThreePageList()
    {
        const auto report = listOf(3, false, {});
        QVERIFY(report);
        checkPages(*report, report->rowCount());
        QVERIFY(report->plan(2).rowCount > 0);
    }

    void noPageHoldsHeadingsOverNothing_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("orientation");
        QTest::newRow("A4 upright") << int(QPageSize::A4) << int(QPageLayout::Portrait);
        QTest::newRow("A4 across") << int(QPageSize::A4) << int(QPageLayout::Landscape);
        QTest::newRow("A5") << int(QPageSize::A5) << int(QPageLayout::Portrait);
        QTest::newRow("Letter") << int(QPageSize::Letter) << int(QPageLayout::Portrait);
    }

    void noPageHoldsHeadingsOverNothing()
    {
        // Every length of list up to three pages, those whose lines end exactly at the foot of a page among them.
        QFETCH(int, size);
        QFETCH(int, orientation);
        const QPageLayout layout(QPageSize(QPageSize::PageSizeId(size)), QPageLayout::Orientation(orientation),
            QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        int carried = 0;
        for (int n = 0; n < 200; ++n) {
            ListReport report(rows(n), {}, Maker::programmerLine());
            report.setPageLayout(layout);
            checkPages(report, n);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("%1 lines").arg(n)));
            const ListReport::PagePlan last = report.plan(report.pageCount() - 1);
            QVERIFY(last.reportFooter);
            if (report.pageCount() > 1 && last.rowCount == 1)
                ++carried;
        }
        // Some lengths leave no room for the footer under their last line.
        QVERIFY(carried > 0);
    }

    void aFullPageSendsItsLastLineOverWithTheFooter()
    {
        // As many lines as the first page holds: the footer has no room under them.
        const int full = ListReport(rows(500), {}, Maker::programmerLine()).plan(0).rowCount;
        QVERIFY(full > 1);
        ListReport report(rows(full), { QStringLiteral("مرکز"), QStringLiteral("تهران") }, Maker::programmerLine());
        QCOMPARE(report.pageCount(), 2);
        QCOMPARE(report.plan(0).rowCount, full - 1);
        QCOMPARE(report.plan(1).rowCount, 1);
        QVERIFY(report.plan(1).headings);
        checkPages(report, full);

        // Read back from the PDF: two pages, each with lines under its headings, the footer under the last line.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.pdf"));
        QString error;
        QVERIFY2(DocumentOutput::writePdf(report, path, error), qPrintable(error));
        QCOMPARE(PdfText::pageCount(path), 2);
        for (int page = 1; page <= 2; ++page) {
            const QString text = PdfText::comparable(PdfText::extract(path, page, page));
            QVERIFY2(text.contains(PdfText::comparable(QStringLiteral("تحصيلات"))), qPrintable(QString::number(page)));
            QVERIFY2(text.contains(QStringLiteral("K")), qPrintable(QString::number(page)));
        }
        const QString last = PdfText::comparable(PdfText::extract(path, 2, 2));
        QVERIFY(last.contains(QStringLiteral("K1")));
        QVERIFY(last.contains(PdfText::comparable(QStringLiteral("تهران"))));
    }

    void onPaperTooSmallTheFooterStandsAloneWithoutHeadings()
    {
        // A strip of paper with room for the headings, one line and not the footer as well.
        ListReport report(rows(1), {}, Maker::programmerLine());
        report.setPageLayout(QPageLayout(QPageSize(QSizeF(210, 55), QPageSize::Millimeter), QPageLayout::Portrait,
            QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QCOMPARE(report.pageCount(), 2);
        checkPages(report, 1);
        const PageContent footer = report.pageContent(1);
        QVERIFY(!report.plan(1).headings);
        QVERIFY(footer.find(QStringLiteral("Label5")) == nullptr);
        QVERIFY(footer.shades.isEmpty());
        QVERIFY(footer.find(QStringLiteral("Label16")));
    }

    void aGroupOfTwentyLettersPrintsAtItsOwnSize_data()
    {
        QTest::addColumn<QString>("group");
        QTest::newRow("families") << QStringLiteral("خانواده هاي جوان اصفهان");
        QTest::newRow("before marriage") << QStringLiteral("گروه مشاوره پيش ازدواجي");
        QTest::newRow("wide letters") << QStringLiteral("شهرستان سبزوار شمال شرق");
    }

    void aGroupOfTwentyLettersPrintsAtItsOwnSize()
    {
        QFETCH(QString, group);
        QCOMPARE(std::count_if(group.cbegin(), group.cend(), [](QChar c) { return c.isLetter(); }), 20);
        QList<ListReportRow> list;
        for (int i = 0; i < 6; ++i) {
            ListReportRow r = row(QStringLiteral("1403-01%1").arg(i + 10), group);
            r.maritalStatus = QStringLiteral("متأهل");
            list << r;
        }
        ListReport report(list, {}, Maker::programmerLine());
        const PageContent page = report.pageContent(0);
        // Code, group and the short details beside them at their own size: nothing set smaller or shortened.
        for (const char* field : { "txtCode", "txtGroup1", "txtScore", "Text6", "Text5" }) {
            for (const TextBox* cell : page.findAll(QString::fromLatin1(field)))
                QVERIFY2(cell->rect.width() >= Report::TextPainter::naturalWidth(cell->text, cell->style),
                    qPrintable(QStringLiteral("%1 %2 %3").arg(field).arg(cell->rect.width()).arg(cell->text)));
        }
        // Their headings still on one line each.
        for (const char* heading : { "Label2", "Label7", "Label10", "Label6", "Label4" }) {
            const TextBox* box = page.find(QString::fromLatin1(heading));
            TextStyle oneLine = box->style;
            oneLine.wrap = false;
            QVERIFY2(box->rect.width() >= Report::TextPainter::naturalWidth(box->text, oneLine), heading);
        }
        // The scores keep their columns.
        QCOMPARE(page.find(QStringLiteral("txtBPosetive"))->rect.right(), 3974.0 - 30);
        QCOMPARE(page.find(QStringLiteral("txtneyaz"))->rect.left(), 378.0 + 30);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.pdf"));
        QString error;
        QVERIFY2(DocumentOutput::writePdf(report, path, error), qPrintable(error));
        for (const TextBox* cell : page.findAll(QStringLiteral("txtGroup1"))) {
            const QRectF box = report.designToPrintable().mapRect(cell->rect);
            QCOMPARE(PdfText::comparable(PdfText::extractPrintable(path, 1, report.pageLayout(), box)),
                PdfText::comparable(group));
        }
    }

    void otherPaperGivesOtherPages()
    {
        const int n = 300;
        ListReport report(rows(n), {}, Maker::programmerLine());
        const int upright = report.pageCount();
        QPageLayout layout = report.pageLayout();
        layout.setOrientation(QPageLayout::Landscape);
        report.setPageLayout(layout);
        QVERIFY(report.pageCount() > upright);
        checkPages(report, n);

        // On paper narrower than the report, the whole report is drawn smaller and stays on the paper.
        report.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A5), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        checkPages(report, n);
        for (int page : { 0, report.pageCount() - 1 }) {
            QPicture picture;
            QPainter painter(&picture);
            report.paintPage(painter, page);
            painter.end();
            const QRectF drawn = picture.boundingRect();
            QVERIFY2(drawn.left() >= -20 && drawn.right() <= report.printableTwips().width() + 20,
                qPrintable(QStringLiteral("%1..%2").arg(drawn.left()).arg(drawn.right())));
            QVERIFY(drawn.bottom() <= report.printableTwips().height() + 20);
        }
    }

    void noExamineesGivesHeadingsOnly()
    {
        ListReport report({}, { QStringLiteral("مرکز"), QStringLiteral("تهران") }, Maker::programmerLine());
        QCOMPARE(report.pageCount(), 1);
        checkPages(report, 0);
        QVERIFY(report.pageContent(0).findAll(QStringLiteral("txtCode")).isEmpty());
    }

    void captionsAsSetAndEmptyOnesStayEmpty_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::newRow("set") << QStringLiteral("مرکز مشاوره مهر") << QStringLiteral("اصفهان، خيابان چهارباغ");
        QTest::newRow("empty") << QString() << QString();
    }

    void captionsAsSetAndEmptyOnesStayEmpty()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        ListReportCaptions captions { name, address };
        ListReport report(rows(2), captions, Maker::programmerLine());
        // A caption set later belongs to the next printout, not to this one.
        captions.clinicName = QStringLiteral("later");
        captions.address = QStringLiteral("later");
        const PageContent page = report.pageContent(0);
        QCOMPARE(texts(page, QStringLiteral("Label9")), QStringList { name });
        QCOMPARE(texts(page, QStringLiteral("Label14")), QStringList { address });
        QCOMPARE(texts(page, QStringLiteral("Label15")), QStringList { QStringLiteral(":آدرس") });
        const QString programmer = texts(page, QStringLiteral("Label16")).value(0);
        QCOMPARE(programmer, ShownNumbers::line(Maker::programmerLine()));
        QVERIFY(!programmer.isEmpty());
        QVERIFY(!programmer.contains(QStringLiteral("example")));
    }

    void longTextsStayInsideTheirCells()
    {
        QList<ListReportRow> list = rows(5);
        list[1].group = QStringLiteral("گروه درمان زوجي شماره دو با نام بسيار طولاني");
        list[2].code = QStringLiteral("1402-123456789");
        ListReportCaptions captions { QStringLiteral("مرکز مشاوره و خدمات روانشناختي خانواده آرامش"),
            QString(40, QChar(0x0628)) + QStringLiteral(" ") + QString(300, QChar(0x0645)) };
        ListReport report(list, captions, Maker::programmerLine());
        Report::TextPainter painter;
        const PageContent page = report.pageContent(0);
        for (const TextBox& box : page.texts) {
            QRectF inked;
            for (const QGlyphRun& run : painter.glyphs(box))
                inked |= run.boundingRect();
            inked.translate(box.rect.topLeft());
            const QRectF allowed = box.rect.adjusted(-15, -40, 15, 40);
            QVERIFY2(inked.isEmpty() || allowed.contains(inked), qPrintable(box.name + QLatin1Char(' ') + box.text));
            QVERIFY2(box.text.isEmpty() || !inked.isEmpty(), qPrintable(box.name));
        }
    }

    void codesAndGroupsPrintWhole()
    {
        // Codes that differ only after their fifth character, and a group as long as a clinic names one.
        QList<ListReportRow> list;
        for (const char* code : { "P04999", "P04998", "1403015", "1403-015", "123456789012" })
            list << row(QString::fromLatin1(code), QStringLiteral("خانواده هاي جوان اصفهان"));
        ListReport report(list, {}, Maker::programmerLine());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.pdf"));
        QString error;
        QVERIFY2(DocumentOutput::writePdf(report, path, error), qPrintable(error));
        const PageContent page = report.pageContent(0);
        for (const char* field : { "txtCode", "txtGroup1" }) {
            for (const TextBox* cell : page.findAll(QString::fromLatin1(field))) {
                const QRectF box = report.designToPrintable().mapRect(cell->rect);
                const QString read = PdfText::extractPrintable(path, 1, report.pageLayout(), box);
                QCOMPARE(PdfText::comparable(read), PdfText::comparable(cell->text));
            }
        }
        // The room came from education; the scores keep their columns.
        QVERIFY(page.find(QStringLiteral("Text4"))->rect.width() < 5760 - 3974 - 60);
        QCOMPARE(page.find(QStringLiteral("txtBPosetive"))->rect.right(), 3974.0 - 30);
    }

    void rowsReadThroughACursor()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("30"), QStringLiteral("Sara"), QStringLiteral("ت"));
        p.addExaminee(QStringLiteral("4"), QStringLiteral("Reza"), QStringLiteral("پ"));
        p.addExaminee(QStringLiteral("100"), QStringLiteral("Mina"), QStringLiteral("ت"));
        p.addExaminee(QStringLiteral("7"), QStringLiteral("Ali"), QStringLiteral("ب"));
        QVERIFY(p.exec(QStringLiteral("UPDATE IDE SET Rezayat = '33', Ertebat = '34', HaleT = '35', TahrifeA = '16', "
                                      "Sen = '41' WHERE Code = '4'")));
        TableCursor cursor(p.database(), QStringLiteral("IDE"));
        QVERIFY(cursor.moveTo(2));

        const ListReportRead read = readListRows(cursor);
        QVERIFY(read.complete);
        QStringList codes;
        for (const ListReportRow& r : read.rows)
            codes << r.code;
        QCOMPARE(codes, (QStringList { "30", "4", "100", "7" }));
        const ListReportRow& second = read.rows[1];
        QCOMPARE(second.group, QStringLiteral("پ"));
        QCOMPARE(second.age, QStringLiteral("41"));
        QCOMPARE(second.sex, QStringLiteral("مرد"));
        QCOMPARE(second.maritalStatus, QStringLiteral("متأهل"));
        QCOMPARE(second.education, QStringLiteral("Lisans"));
        QCOMPARE(second.scores, (std::array<QString, 4> { "33", "34", "35", "16" }));
        QCOMPARE(cursor.position(), 2);

        // By group in the Persian alphabet's order, keeping the table's order within a group.
        codes.clear();
        for (const ListReportRow& r : readListRows(cursor, ListOrder::ByGroup).rows)
            codes << r.code;
        QCOMPARE(codes, (QStringList { "7", "4", "30", "100" }));

        // Only what the cursor shows.
        QVERIFY(cursor.setFilter(QStringLiteral("Group"), QStringLiteral("ت")));
        QCOMPARE(readListRows(cursor).rows.size(), 2);
    }
    // Written as the rows are read, the report gives the pages the preview's report of every row gives.
    void writtenWhileReadingGivesTheSamePages_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("footerAlone");
        QTest::addColumn<int>("order");
        QTest::newRow("nobody") << 0 << false << int(ListOrder::TableOrder);
        QTest::newRow("one page") << 1 << false << int(ListOrder::TableOrder);
        QTest::newRow("two pages") << 2 << false << int(ListOrder::TableOrder);
        QTest::newRow("three pages by group") << 3 << false << int(ListOrder::ByGroup);
    }
    void writtenWhileReadingGivesTheSamePages()
    {
        QFETCH(int, pages);
        QFETCH(bool, footerAlone);
        QFETCH(int, order);
        const ListReportCaptions captions { QStringLiteral("مرکز مشاوره"), QStringLiteral("تهران") };
        const int n = pages == 0 ? 0 : listOf(pages, footerAlone, captions)->rowCount();
        TestProgram p;
        const QStringList groups = { QStringLiteral("ت"), QStringLiteral("ب"), QStringLiteral("پ") };
        QVERIFY(p.database().beginTransaction());
        for (int i = 0; i < n; ++i)
            p.addExaminee(QString::number(1000 - i), QStringLiteral("Ali"), groups[i % 3]);
        QVERIFY(p.database().commit());
        TableCursor cursor(p.database(), QStringLiteral("IDE"));

        ListReportPdf::Report report;
        report.order = ListOrder(order);
        report.captions = captions;
        report.programmerLine = Maker::programmerLine();
        const QString streamed = p.folder() + QStringLiteral("/streamed.pdf");
        int painted = 0;
        TableTransfer::Watch watch;
        watch.progress = [&painted](qint64 done, qint64) { painted = int(done); };
        const ListReportPdf::Result result = ListReportPdf::write(cursor, report, streamed, watch);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(painted, n);

        const ListReport held(readListRows(cursor, ListOrder(order)).rows, captions, Maker::programmerLine());
        const QString whole = p.folder() + QStringLiteral("/whole.pdf");
        QString error;
        QVERIFY2(DocumentOutput::writePdf(held, whole, error), qPrintable(error));
        QCOMPARE(PdfText::pageCount(streamed), held.pageCount());
        QCOMPARE(PdfText::pageCount(streamed), std::max(1, pages));
        for (int page = 1; page <= held.pageCount(); ++page)
            QCOMPARE(PdfText::extract(streamed, page, page), PdfText::extract(whole, page, page));
    }

    // Stopped halfway, the report leaves the file that was there as it was.
    void aStoppedReportLeavesNoFile()
    {
        TestProgram p;
        QVERIFY(p.database().beginTransaction());
        for (int i = 0; i < 200; ++i)
            p.addExaminee(QString::number(i + 1));
        QVERIFY(p.database().commit());
        TableCursor cursor(p.database(), QStringLiteral("IDE"));
        const QString path = p.folder() + QStringLiteral("/list.pdf");
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }

        std::atomic_bool stop { false };
        TableTransfer::Watch watch;
        watch.cancel = &stop;
        watch.progress = [&stop](qint64 done, qint64 total) {
            if (done * 2 >= total)
                stop = true;
        };
        const ListReportPdf::Result result = ListReportPdf::write(cursor, {}, path, watch);
        QVERIFY(result.cancelled);
        QVERIFY(!result.ok);
        QVERIFY(result.rows < 200);
        QCOMPARE(QDir(p.folder()).entryList({ QStringLiteral("*.pdf*") }, QDir::Files), QStringList { "list.pdf" });
        QFile kept(path);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("earlier"));
    }
};

QTEST_MAIN(TestListReport)
#include "TestListReport.moc"
