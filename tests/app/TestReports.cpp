// The printed reports through the real windows: scored in the scoring window, shown in a preview window, saved as
// PDF there and read back as a reader of the PDF would read it.
#include "app/AppFixture.h"
#include "data/TableCursor.h"
#include "scoring/ScoringWindow.h"
#include "scoring/reports/ExamineeReport.h"
#include "scoring/reports/ListReport.h"
#include "support/PdfText.h"
#include "text/ShownNumbers.h"
#include "ui/MakerDetails.h"
#include "ui/PreviewWindow.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

namespace {

QList<PreviewWindow*> previews()
{
    QList<PreviewWindow*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<PreviewWindow*>(w); preview && preview->isVisible())
            found << preview;
    return found;
}

QWidget* topLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

// Saves what a preview shows through its PDF button and returns the text read back from the file.
QString savedText(TestProgram& program, PreviewWindow* preview, const QString& path)
{
    program.fileDialogs().names.enqueue(path);
    if (!Drive::click(preview, QStringLiteral("PreviewSavePdf")))
        return {};
    return PdfText::extract(path);
}

// Whether `whole` holds `part` as consecutive paragraphs.
bool holdsInOrder(const QStringList& whole, const QStringList& part)
{
    for (qsizetype i = 0; i + part.size() <= whole.size(); ++i)
        if (whole.mid(i, part.size()) == part)
            return true;
    return false;
}

QStringList allAnswers(const QString& value)
{
    return QStringList(35, value);
}

} // namespace

class TestReports : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    static ScoringWindow* openScoring(Hub<>& hub)
    {
        hub.router.openScoringWindow();
        return qobject_cast<ScoringWindow*>(topLevel(QStringLiteral("FrmkLID")));
    }

    static void prepare(TestProgram& p)
    {
        p.exec(QStringLiteral("UPDATE Theme SET Name = 'مرکز مشاوره مهر', Adress = 'شيراز، خيابان زند، پلاک 7'"));
        p.addExaminee(QStringLiteral("412"), QStringLiteral("Maryam"), QStringLiteral("الف"));
        p.addExaminee(QStringLiteral("35"), QStringLiteral("Reza"), QStringLiteral("ب"));
        p.addExaminee(QStringLiteral("9001"), QStringLiteral("Sara"), QStringLiteral("الف"));
        // 3 to every item but a 5 to item 1: scales 32, 30, 30, 15.
        QStringList answers = allAnswers(QStringLiteral("3"));
        answers[0] = QStringLiteral("5");
        p.setAnswers(QStringLiteral("35"), answers);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void examineeReportSavedAsPdf()
    {
        Hub<> hub;
        prepare(hub.program);
        ScoringWindow* scoring = openScoring(hub);
        QVERIFY(scoring);
        hub.program.messages().typed.enqueue(QStringLiteral("35"));
        QVERIFY(Drive::click(scoring, QStringLiteral("Command1")));
        QVERIFY(Drive::click(scoring, QStringLiteral("Command6")));
        QCOMPARE(previews().size(), 1);
        PreviewWindow* preview = previews().first();
        QCOMPARE(preview->windowModality(), Qt::NonModal);
        QVERIFY(dynamic_cast<const ExamineeReport*>(&preview->document()));

        const QString path = m_dir.filePath(QStringLiteral("examinee.pdf"));
        const QString read = savedText(hub.program, preview, path);
        QVERIFY(!read.isNull());
        QCOMPARE(PdfText::pageCount(path), 1);
        const QStringList lines = PdfText::paragraphs(read);
        const QString all = PdfText::comparable(read);
        const auto holds = [&all](const QString& text) { return all.contains(PdfText::comparable(text)); };

        // A number inside Persian text comes back with its blanks moved about; the words and their order stay.
        QVERIFY(holds(QStringLiteral("پرسشنامه رضايت زناشويي تورين ۳۵ ماده اي")));
        for (const char* field : { "Text15", "Text6", "Text10", "Text11" })
            QVERIFY2(lines.contains(scoring->findChild<QLineEdit*>(QString::fromLatin1(field))->text()), field);
        // The education shares its line with the examinee's name and the day of the test.
        QVERIFY(holds(scoring->findChild<QLineEdit*>(QStringLiteral("Text7"))->text()));
        QVERIFY(lines.contains(QStringLiteral("ب"))); // the group
        QVERIFY(holds(QStringLiteral("Reza")));
        for (const char* box : { "TextRez", "TextEr", "TextHal", "TextTah", "TextRezd", "TextErd", "TextHald",
                 "TextTahd", "TextRezs", "TextErs", "TextHals", "TextTahs" }) {
            const QString shown = scoring->findChild<QLineEdit*>(QString::fromLatin1(box))->text();
            QVERIFY2(!shown.isEmpty() && lines.contains(shown), box);
        }
        QCOMPARE(hub.program.ideField(QStringLiteral("35"), QStringLiteral("Rezayat")), QStringLiteral("32"));
        // Each interpretation reads whole within its cell.
        const auto* report = dynamic_cast<const ExamineeReport*>(&preview->document());
        const Report::PageContent page = report->pageContent();
        const QRectF printable = report->pageLayout().paintRect(QPageLayout::Point);
        const char* cells[4][2] = { { "TextRezt", "Label37" }, { "TextErt", "Label36" }, { "TextHalt", "Label35" },
            { "TextTaht", "Label8" } };
        for (const auto& [box, label] : cells) {
            const QString sentence = scoring->findChild<QPlainTextEdit*>(QString::fromLatin1(box))->toPlainText();
            QVERIFY(!sentence.isEmpty());
            const QRectF twips = report->designToPrintable().mapRect(page.find(QString::fromLatin1(label))->rect);
            const QRectF points(printable.left() + twips.left() / 20, printable.top() + twips.top() / 20,
                twips.width() / 20, twips.height() / 20);
            const QString inCell = PdfText::extractArea(path, 1, points);
            QVERIFY2(PdfText::comparable(inCell) == PdfText::comparable(sentence), qPrintable(inCell));
        }
        QVERIFY(holds(QStringLiteral("شيراز، خيابان زند، پلاک 7")));
        QVERIFY(holds(ShownNumbers::line(Maker::webSiteLine())));
        QVERIFY(!holds(QStringLiteral("example.com")));
    }

    void listReportSavedAsPdf()
    {
        Hub<> hub;
        prepare(hub.program);
        hub.program.exec(QStringLiteral("UPDATE IDE SET Rezayat = '11', Ertebat = '12', HaleT = '13', TahrifeA = '6' "
                                        "WHERE Code = '9001'"));
        ScoringWindow* scoring = openScoring(hub);
        hub.program.messages().typed.enqueue(QStringLiteral("35"));
        QVERIFY(Drive::click(scoring, QStringLiteral("Command1")));
        QVERIFY(Drive::click(scoring, QStringLiteral("Command3")));
        QCOMPARE(previews().size(), 1);
        PreviewWindow* preview = previews().first();

        const QString path = m_dir.filePath(QStringLiteral("list.pdf"));
        const QStringList lines = PdfText::paragraphs(savedText(hub.program, preview, path));
        QVERIFY(!lines.isEmpty());
        QVERIFY(lines.contains(QStringLiteral("مرکز مشاوره مهر")));
        QVERIFY(
            PdfText::comparable(lines.join(QString()))
                .contains(PdfText::comparable(QStringLiteral("گزارش نتيجه  پرسشنامه رضايت زناشويي تورين ۳۵ ماده اي"))));
        // Each line of the table reads in its columns' order: row number, code, group, age, sex, marital status,
        // education and the four stored scores (none yet for the first examinee).
        QVERIFY(holdsInOrder(lines, { "رديف", "کد", "گروه", "سن", "جنس", "تاهل", "تحصيلات" }));
        QVERIFY(holdsInOrder(lines, { "رضايت زناشويي", "ارتباطات", "حل تعارض" }));
        // Numbers in Persian digits; codes as they were typed.
        QVERIFY(holdsInOrder(lines, { "۱", "412", "الف", "۳۰", "مرد", "متأهل", "Lisans" }));
        QVERIFY(holdsInOrder(lines, { "۲", "35", "ب", "۳۰", "مرد", "متأهل", "Lisans", "۳۲", "۳۰", "۳۰", "۱۵" }));
        QVERIFY(holdsInOrder(lines, { "۳", "9001", "الف", "۳۰", "مرد", "متأهل", "Lisans", "۱۱", "۱۲", "۱۳", "۶" }));
        QVERIFY(PdfText::comparable(lines.join(QString()))
                    .contains(PdfText::comparable(QStringLiteral("شيراز، خيابان زند، پلاک 7"))));
        QVERIFY(lines.contains(ShownNumbers::line(Maker::programmerLine())));
    }

    // The list asked from the lookup window is headed by the clinic's name as the scoring window's is, whether or
    // not the scoring window printed first.
    void lookupPrintoutCarriesTheClinicName()
    {
        Hub<> hub;
        prepare(hub.program);
        QVERIFY(hub.router.openLookupWindow());
        QWidget* lookup = topLevel(QStringLiteral("FrmCode"));
        QVERIFY(lookup);
        QVERIFY(Drive::click(lookup, QStringLiteral("Command1")));
        QCOMPARE(previews().size(), 1);
        const auto* report = dynamic_cast<const ListReport*>(&previews().first()->document());
        QVERIFY(report);
        QCOMPARE(report->captions().clinicName, QStringLiteral("مرکز مشاوره مهر"));
        QCOMPARE(report->captions().address, QStringLiteral("شيراز، خيابان زند، پلاک 7"));
        QCOMPARE(report->pageContent(0).find(QStringLiteral("Label9"))->text, QStringLiteral("مرکز مشاوره مهر"));
        QStringList codes;
        // The page is kept while its boxes are read: they live in it.
        const auto page = report->pageContent(0);
        for (const Report::TextBox* box : page.findAll(QStringLiteral("txtCode")))
            codes << box->text;
        QCOMPARE(codes, (QStringList { "412", "9001", "35" }));
        QVERIFY(hub.program.messages().boxes.isEmpty());
    }
};

QTEST_MAIN(TestReports)
#include "TestReports.moc"
