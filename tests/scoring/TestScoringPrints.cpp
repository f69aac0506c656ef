#include "scoring/ScoringWindow.h"
#include "PrintedCodes.h"
#include "scoring/reports/ExamineeReport.h"
#include "scoring/reports/ListReport.h"
#include "support/TestProgram.h"
#include "text/Digits.h"
#include "text/ShownNumbers.h"
#include "ui/MakerDetails.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

namespace {

QStringList answersAll(const QString& value)
{
    return QStringList(35, value);
}

// The scoring window with what it hands over for previewing.
struct Printing {
    explicit Printing(TestProgram& p, ListReportCaptions& captions)
        : window(p.database(), p.messages(), captions)
    {
        QObject::connect(&window, &ScoringWindow::previewRequested,
            [this](std::shared_ptr<PagedDocument> document) { documents << document; });
        window.show();
    }

    template <typename T> T* last() const
    {
        return documents.isEmpty() ? nullptr : dynamic_cast<T*>(documents.last().get());
    }

    // The text of a box the window shows; a box that is not there fails the test at the caller's line.
    QString box(const char* name, std::source_location where = std::source_location::current())
    {
        auto* box = Drive::find<QWidget>(&window, QString::fromLatin1(name), where);
        if (auto* line = qobject_cast<QLineEdit*>(box))
            return line->text();
        if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
            return plain->toPlainText();
        if (box)
            QTest::qFail(qPrintable(QStringLiteral("%1 shows no text").arg(QLatin1String(name))), where.file_name(),
                static_cast<int>(where.line()));
        return {};
    }

    ScoringWindow window;
    QList<std::shared_ptr<PagedDocument>> documents;
};

} // namespace

class TestScoringPrints : public QObject {
    Q_OBJECT

    ListReportCaptions captions;

    static void select(TestProgram& p, ScoringWindow& w, const QString& code)
    {
        p.messages().typed.enqueue(code);
        QVERIFY(Drive::click(&w, QStringLiteral("Command1")));
    }

private slots:
    void initTestCase() { PersianText::loadFont(); }
    void init() { captions = {}; }

    void examineeReportNeedsASelection()
    {
        TestProgram p;
        Printing f(p, captions);
        QVERIFY(Drive::click(&f.window, QStringLiteral("Command6")));
        QCOMPARE(p.messages().boxes.size(), 1);
        QCOMPARE(p.messages().boxes[0].text, Msg::ScoreBeforePrint);
        QCOMPARE(p.messages().boxes[0].bringToFrontMs, 2000);
        QVERIFY(f.documents.isEmpty());
    }

    void examineeReportCarriesWhatTheWindowShows()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"), QStringLiteral("Ali"), QStringLiteral("B"));
        p.setAnswers(QStringLiteral("12"), answersAll(QStringLiteral("4")));
        p.exec(QStringLiteral("UPDATE Theme SET Name = 'Clinic A', Adress = 'Street 5'"));
        Printing f(p, captions);
        select(p, f.window, QStringLiteral("12"));
        QCOMPARE(f.window.selectedCode(), QStringLiteral("12"));
        p.messages().clear();

        QVERIFY(Drive::click(&f.window, QStringLiteral("Command6")));
        QCOMPARE(f.documents.size(), 1);
        auto* report = f.last<ExamineeReport>();
        QVERIFY(report);
        // Each caption with the box that shows it; the group and the address are on no box but in the file.
        const char* order[23][2] = {
            { "Label15", "Text15" },
            { "Label16", nullptr },
            { "Label19", "Text6" },
            { "Label20", "Text10" },
            { "Label21", "Text11" },
            { "Label22", "Text7" },
            { "Label23", "TextRez" },
            { "Label28", "TextRezd" },
            { "Label30", "TextRezs" },
            { "Label37", "TextRezt" },
            { "Label17", "TextEr" },
            { "Label24", "TextErd" },
            { "Label25", "TextErs" },
            { "Label36", "TextErt" },
            { "Label26", "TextHal" },
            { "Label27", "TextHald" },
            { "Label31", "TextHals" },
            { "Label35", "TextHalt" },
            { "Label32", "TextTah" },
            { "Label33", "TextTahd" },
            { "Label34", "TextTahs" },
            { "Label8", "TextTaht" },
            { "Label29", nullptr },
        };
        QCOMPARE(report->captions().size(), 23);
        for (int i = 0; i < 23; ++i) {
            QCOMPARE(report->captions()[i].label, QString::fromLatin1(order[i][0]));
            if (order[i][1]) {
                QVERIFY(!f.box(order[i][1]).isEmpty());
                QCOMPARE(report->captions()[i].text, f.box(order[i][1]));
            }
        }
        QCOMPARE(report->caption(QStringLiteral("Label15")), QStringLiteral("12"));
        QCOMPARE(report->caption(QStringLiteral("Label16")), QStringLiteral("B"));
        // The score as the window draws it, from the ASCII digits stored.
        QCOMPARE(report->caption(QStringLiteral("Label23")),
            ShownNumbers::text(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat"))));
        QVERIFY(!p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")).isEmpty());
        QCOMPARE(Digits::toAscii(report->caption(QStringLiteral("Label23"))),
            p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")));
        QCOMPARE(report->caption(QStringLiteral("Label29")), QStringLiteral("Street 5"));
        QVERIFY(p.messages().boxes.isEmpty());

        // The selection is used up; the report already shown keeps its texts.
        QCOMPARE(f.window.selectedCode(), QString());
        f.window.findChild<QLineEdit*>(QStringLiteral("TextRez"))->setText(QStringLiteral("99"));
        QCOMPARE(report->caption(QStringLiteral("Label23")), QStringLiteral("۴۰"));
        QVERIFY(Drive::click(&f.window, QStringLiteral("Command6")));
        QCOMPARE(f.documents.size(), 1);
        QCOMPARE(p.messages().lastText(), Msg::ScoreBeforePrint);
    }

    void refusedSelectionLeavesNothingToPrintOrChart()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"), QStringLiteral("Ali"), QStringLiteral("B"));
        p.addExaminee(QStringLiteral("13"), QStringLiteral("Sara"), QStringLiteral("C"));
        p.setAnswers(QStringLiteral("12"), answersAll(QStringLiteral("2")));
        QStringList unanswered = answersAll(QStringLiteral("3"));
        unanswered[6].clear();
        p.setAnswers(QStringLiteral("13"), unanswered);
        Printing f(p, captions);
        select(p, f.window, QStringLiteral("12"));
        select(p, f.window, QStringLiteral("13"));
        QCOMPARE(p.messages().lastText(), Msg::UnansweredItems + QStringLiteral("\n\n۷  "));
        // The window shows the examinee looked up, with no results.
        QCOMPARE(f.box("Text15"), QStringLiteral("13"));
        QCOMPARE(f.box("Text3"), QStringLiteral("Sara"));

        p.messages().clear();
        QVERIFY(Drive::click(&f.window, QStringLiteral("Command6")));
        QCOMPARE(p.messages().noticeTexts(), QStringList { Msg::ScoreBeforePrint });
        QVERIFY(f.documents.isEmpty());
        QVERIFY(Drive::click(&f.window, QStringLiteral("Command2")));
        QCOMPARE(p.messages().noticeTexts(), (QStringList { Msg::ScoreBeforePrint, Msg::ScoreBeforeChart }));
        QVERIFY(!f.window.chartWindow());
    }

    void listReportOfAllExamineesInTableOrder()
    {
        TestProgram p;
        for (const char* code : { "30", "4", "100" })
            p.addExaminee(QString::fromLatin1(code));
        p.exec(QStringLiteral("UPDATE Theme SET Name = 'Clinic A', Adress = 'Street 5'"));
        p.setAnswers(QStringLiteral("4"), answersAll(QStringLiteral("5")));
        Printing f(p, captions);
        // Added after the window opened, and scored in it: both on the list.
        p.addExaminee(QStringLiteral("7"));
        select(p, f.window, QStringLiteral("4"));
        p.messages().clear();

        QVERIFY(Drive::click(&f.window, QStringLiteral("Command3")));
        auto* report = f.last<ListReport>();
        QVERIFY(report);
        QCOMPARE(printedCodes(*report), (QStringList { "30", "4", "100", "7" }));
        const Report::PageContent page = report->pageContent(0);
        QCOMPARE(page.find(QStringLiteral("Label9"))->text, QStringLiteral("Clinic A"));
        QCOMPARE(page.find(QStringLiteral("Label14"))->text, QStringLiteral("Street 5"));
        QCOMPARE(page.findAll(QStringLiteral("txtBPosetive"))[1]->text, QStringLiteral("۵۰"));
        QCOMPARE(page.findAll(QStringLiteral("txtneyaz"))[1]->text, QStringLiteral("۲۵"));
        QCOMPARE(page.findAll(QStringLiteral("txtBPosetive"))[0]->text, QString());
        // The captions stay set for whoever prints the list next.
        QCOMPARE(captions.clinicName, QStringLiteral("Clinic A"));
        QCOMPARE(captions.address, QStringLiteral("Street 5"));
        QVERIFY(p.messages().boxes.isEmpty());

        // A second printout numbers from 1 again.
        QVERIFY(Drive::click(&f.window, QStringLiteral("Command3")));
        QCOMPARE(f.documents.size(), 2);
        QStringList numbers;
        const Report::PageContent second = f.last<ListReport>()->pageContent(0);
        for (const Report::TextBox* box : second.findAll(QStringLiteral("Text1")))
            numbers << box->text;
        QCOMPARE(numbers, (QStringList { "۱", "۲", "۳", "۴" }));
    }

    void listReportWithNothingToList()
    {
        TestProgram p;
        p.exec(QStringLiteral("UPDATE Theme SET Name = '', Adress = ''"));
        captions = { QStringLiteral("old name"), QStringLiteral("old address") };
        Printing f(p, captions);
        QVERIFY(Drive::click(&f.window, QStringLiteral("Command3")));
        auto* report = f.last<ListReport>();
        QVERIFY(report);
        QCOMPARE(report->rowCount(), 0);
        QCOMPARE(report->pageCount(), 1);
        const Report::PageContent page = report->pageContent(0);
        QCOMPARE(page.find(QStringLiteral("Label9"))->text, QString());
        QCOMPARE(page.find(QStringLiteral("Label14"))->text, QString());
        QVERIFY(page.find(QStringLiteral("Label5")));
        QVERIFY(p.messages().boxes.isEmpty());
    }

    void listReportThatCannotBeReadSaysSoAndStillRuns()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("30"));
        p.exec(QStringLiteral("UPDATE Theme SET Name = 'Clinic A', Adress = 'Street 5'"));
        Printing f(p, captions);
        QVERIFY(p.exec(QStringLiteral("ALTER TABLE IDE RENAME TO Gone")));
        QVERIFY(Drive::click(&f.window, QStringLiteral("Command3")));
        QCOMPARE(p.messages().boxes.size(), 1);
        QCOMPARE(p.messages().boxes[0].title, Msg::ErrorTitlePersian);
        QVERIFY(p.messages().boxes[0].text.startsWith(Msg::ListNotComplete + QLatin1Char('\n')));
        QCOMPARE(captions.clinicName, QStringLiteral("Clinic A"));
        QCOMPARE(captions.address, QStringLiteral("Street 5"));
        QVERIFY(f.last<ListReport>());
    }
};

QTEST_MAIN(TestScoringPrints)
#include "TestScoringPrints.moc"
