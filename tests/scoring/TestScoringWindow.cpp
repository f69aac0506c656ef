#include "ExpectedSentences.h"
#include "scoring/ScoringWindow.h"
#include "scoring/reports/ListReport.h"
#include "support/TestProgram.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <array>
#include <vector>

namespace {

// Copied from the questionnaire's fixed tables, independently of the program's own copy.
const std::vector<int> itemsOf[4] = {
    {1, 5, 9, 13, 17, 21, 24, 27, 30, 35},
    {2, 6, 10, 14, 18, 22, 25, 28, 31, 34},
    {3, 7, 11, 15, 19, 23, 26, 29, 32, 33},
    {4, 8, 12, 16, 20},
};

const char* const expectedLevels[5] = {"خيلي پايين", "پايين", "متوسط", "بالا", "خيلي بالا"};


const char* const helpLines[7] = {
    "در اين قسمت از نرم افزار ابتدا روي انتخاب آزمودني ",
    "کليک کرده سپس کد آزمودني را وارد کنيد و دکمه ",
    "اينتر را فشار دهيد نتيجه آزمون نمايش داده و ذخيره ",
    "خواهد شد در صورتيکه تمايل داريد نتيجه آزمون را ",
    "پرينت بگيريد روي دکمه پرينت آزمودني انتخاب شده ",
    "کليک کنيد و در صورتيکه تمايل به پرينت نتيجه آزمون ",
    "کل آزمودنيها را داريد روي دکمه پرينت کل آزمودنيها کليک کنيد",
};

const char* const rawBoxes[4] = {"TextRez", "TextEr", "TextHal", "TextTah"};
const char* const percentBoxes[4] = {"TextRezd", "TextErd", "TextHald", "TextTahd"};
const char* const levelBoxes[4] = {"TextRezs", "TextErs", "TextHals", "TextTahs"};
const char* const sentenceBoxes[4] = {"TextRezt", "TextErt", "TextHalt", "TextTaht"};
const char* const rawColumns[4] = {"Rezayat", "Ertebat", "HaleT", "TahrifeA"};

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Answers giving each scale the listed values, in the order of the scale's items.
QStringList answersFor(const std::array<std::vector<int>, 4>& values)
{
    QStringList answers;
    for (int i = 0; i < 35; ++i)
        answers << QString();
    for (std::size_t s = 0; s < 4; ++s)
        for (std::size_t k = 0; k < itemsOf[s].size(); ++k)
            answers[itemsOf[s][k] - 1] = QString::number(values[s].at(k));
    return answers;
}

QStringList allAnswers(const QString& value)
{
    QStringList answers;
    for (int i = 0; i < 35; ++i)
        answers << value;
    return answers;
}

using Four = std::array<QString, 4>;
using Bands = std::array<int, 4>;

} // namespace

Q_DECLARE_METATYPE(Four)
Q_DECLARE_METATYPE(Bands)

class TestScoringWindow : public QObject {
    Q_OBJECT

    // The list report's captions, which the program keeps for its whole run.
    ListReportCaptions captions;

private:
    static QString boxText(QWidget* w, const char* name)
    {
        if (auto* line = w->findChild<QLineEdit*>(QString::fromLatin1(name)))
            return line->text();
        if (auto* plain = w->findChild<QPlainTextEdit*>(QString::fromLatin1(name)))
            return plain->toPlainText();
        qWarning("no box %s", name);
        return {};
    }

    static bool shown(QWidget* w, const char* name)
    {
        QWidget* child = w->findChild<QWidget*>(QString::fromLatin1(name));
        return child && !child->isHidden();
    }

    // Presses "انتخاب آزمودني" with `code` typed into the prompt.
    static void select(TestProgram& p, QWidget* w, const QString& code)
    {
        p.messages().typed.enqueue(code);
        QVERIFY(Drive::click(w, QStringLiteral("Command1")));
    }

private slots:
    void initTestCase() { PersianText::loadFont(); }

    void loadPlacesWindowAndAppliesTheme()
    {
        TestProgram p;
        p.exec(QStringLiteral("UPDATE Theme SET TH = '7'"));
        ScoringWindow w(p.database(), p.messages(), captions);
        QCOMPARE(w.objectName(), QStringLiteral("FrmkLID"));
        QCOMPARE(w.windowTitle(), text("کليد گذاري"));
        QVERIFY(w.isWindow());
        QCOMPARE(w.pos(), QPoint(Twips::toPixelsX(2340), Twips::toPixelsY(765)));
        QCOMPARE(w.property("appliedTheme").toInt(), 7);
        auto* help = Drive::find<QFrame>(&w, QStringLiteral("Frame4"));
        QVERIFY(help);
        QCOMPARE(help->geometry(), Twips::toPixels(1380, 1080, 7635, 4935));
        QVERIFY(help->isHidden());
        QVERIFY(!shown(&w, "Frame1"));
        QVERIFY(!shown(&w, "Frame2"));
        QVERIFY(shown(&w, "Frame3"));
        QVERIFY(w.findChild<QLineEdit*>(QStringLiteral("Text5"))->isHidden());
        QCOMPARE(w.selectedCode(), QString());
    }

    void buttonCaptions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("choose") << "Command1" << text("انتخاب آزمودني");
        QTest::newRow("print selected") << "Command6" << text("پرينت آزمودني انتخاب شده");
        QTest::newRow("print all") << "Command3" << text("پرينت کل  آزمودني ها ");
        QTest::newRow("chart") << "Command2" << text("مشاهده نمودار");
        QTest::newRow("help") << "Command4" << text("راهنما");
        QTest::newRow("close") << "Command5" << text(" خروج");
        QTest::newRow("help close") << "Command7" << text("خروج");
    }

    void buttonCaptions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        TestProgram p;
        ScoringWindow w(p.database(), p.messages(), captions);
        auto* button = Drive::find<QPushButton>(&w, name);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
    }

    void buttonBarTabOrder()
    {
        TestProgram p;
        ScoringWindow w(p.database(), p.messages(), captions);
        const QStringList order = {"Command1", "Command6", "Command3", "Command2", "Command4", "Command5"};
        for (int i = 0; i + 1 < order.size(); ++i)
            QCOMPARE(w.findChild<QWidget*>(order[i])->nextInFocusChain()->objectName(), order[i + 1]);
    }

    void panelCaptions()
    {
        TestProgram p;
        ScoringWindow w(p.database(), p.messages(), captions);
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("LabelRaw"))->text(), text("نمره خام"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("LabelPercent"))->text(), text("درصد"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("LabelLevel"))->text(), text("سطح"));
        QCOMPARE(w.findChild<QGroupBox*>(QStringLiteral("Frame2"))->title(), text("تفسير"));
        const char* const scaleCaptions[4] = {"رضايت زناشويي", "ارتباطات", "حل تعارض", "تحريف آرماني"};
        for (int s = 0; s < 4; ++s) {
            auto* raw = w.findChild<QLabel*>(QStringLiteral("Caption") + QLatin1String(rawBoxes[s]));
            QVERIFY(raw);
            QCOMPARE(raw->text(), text(scaleCaptions[s]));
            QCOMPARE(raw->buddy(), w.findChild<QWidget*>(QLatin1String(rawBoxes[s])));
            auto* sentence = w.findChild<QLabel*>(QStringLiteral("Caption") + QLatin1String(sentenceBoxes[s]));
            QVERIFY(sentence);
            QCOMPARE(sentence->text(), text(scaleCaptions[s]));
            QCOMPARE(sentence->buddy(), w.findChild<QWidget*>(QLatin1String(sentenceBoxes[s])));
        }
    }

    void examineePanelShowsBoundFields()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"), QStringLiteral("Maryam"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("3")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("12"));
        const char* const captions[9] = {
            " :کد", " :نام", " :نام خانوادگي", " :جنس", " :سن", " :وضعيت تاهل", " :ميزان تحصيلات", " :تاريخ",
            " :ساعت"
        };
        const char* const columns[9] = {"Code", "FName", "LName", "Jens", "Sen", "Taahol", "Tahsil", "Date", "Time"};
        const char* const boxesOf[9] = {
            "Text15", "Text3", "Text8", "Text10", "Text6", "Text11", "Text7", "Text9", "Text12"
        };
        for (int i = 0; i < 9; ++i) {
            auto* label = w.findChild<QLabel*>(QStringLiteral("Label") + QLatin1String(columns[i]));
            QVERIFY2(label, columns[i]);
            QCOMPARE(label->text(), text(captions[i]));
            QCOMPARE(label->buddy(), w.findChild<QWidget*>(QLatin1String(boxesOf[i])));
            QCOMPARE(boxText(&w, boxesOf[i]), p.ideField(QStringLiteral("12"), QLatin1String(columns[i])));
        }
        QCOMPARE(boxText(&w, "Text3"), QStringLiteral("Maryam"));
    }

    void clinicFieldsForReports()
    {
        TestProgram p;
        p.exec(QStringLiteral("UPDATE Theme SET Name = 'Clinic A', Adress = 'Street 5'"));
        ScoringWindow w(p.database(), p.messages(), captions);
        QCOMPARE(boxText(&w, "Text13"), QStringLiteral("Clinic A"));
        QCOMPARE(boxText(&w, "Text16"), QStringLiteral("Street 5"));
    }

    void helpPanelShowsSevenLines()
    {
        TestProgram p;
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        QString expected;
        for (const char* line : helpLines)
            expected += text(line) + QLatin1Char('\n');
        auto* help = w.findChild<QPlainTextEdit*>(QStringLiteral("Text14"));
        QVERIFY(help);
        QVERIFY(help->isReadOnly());
        QCOMPARE(help->toPlainText(), expected);

        QVERIFY(!shown(&w, "Frame4"));
        QVERIFY(Drive::click(&w, QStringLiteral("Command4")));
        QVERIFY(shown(&w, "Frame4"));
        QVERIFY(Drive::click(&w, QStringLiteral("Command7")));
        QVERIFY(!shown(&w, "Frame4"));
        QVERIFY(p.messages().boxes.isEmpty());
    }

    void emptyCodeShowsNotice_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("nothing or cancelled") << QString();
        QTest::newRow("only blanks") << QStringLiteral("   ");
    }

    void emptyCodeShowsNotice()
    {
        QFETCH(QString, typed);
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("2")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, typed);
        const auto& boxes = p.messages().boxes;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].kind, ScriptedMessages::Kind::Prompt);
        QCOMPARE(boxes[0].text, text(" Enter Number "));
        QCOMPARE(boxes[0].title, text(" کد آزمودني را وارد کنيد"));
        QCOMPARE(boxes[0].owner.data(), &w);
        QCOMPARE(boxes[1].kind, ScriptedMessages::Kind::Notice);
        QCOMPARE(boxes[1].text, text("شما بايد شماره آزمودني مورد نظر را وارد كنيد"));
        QCOMPARE(boxes[1].bringToFrontMs, 1000);
        QCOMPARE(w.selectedCode(), QString());
        QVERIFY(!shown(&w, "Frame1"));
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QString());
    }

    void unknownCode()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("13"));
        QCOMPARE(p.messages().noticeTexts(), QStringList{text("فردي با اين مشخصات وجود ندارد")});
        QVERIFY(!shown(&w, "Frame1"));
        QCOMPARE(w.selectedCode(), QString());
    }

    void ideWithoutAnswerIsNotFound()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.exec(QStringLiteral("DELETE FROM Answer WHERE Code = '12'"));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("12"));
        QCOMPARE(p.messages().noticeTexts(), QStringList{text("فردي با اين مشخصات وجود ندارد")});
        QVERIFY(!shown(&w, "Frame1"));
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QString());
    }

    void answerWithoutIdeIsRefused()
    {
        TestProgram p;
        p.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES ('12')"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("4")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("12"));
        QCOMPARE(p.messages().noticeTexts(), QStringList{Msg::ExamineeDetailsMissing});
        QVERIFY(!shown(&w, "Frame1"));
        QVERIFY(!shown(&w, "Frame2"));
        QCOMPARE(w.selectedCode(), QString());
        QCOMPARE(p.rowCount(QStringLiteral("IDE")), 0);
        QCOMPARE(boxText(&w, "TextRezd"), QString());
    }

    void unansweredItemsAreListed()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        QStringList answers = allAnswers(QStringLiteral("3"));
        answers[2].clear();
        answers[16].clear();
        p.setAnswers(QStringLiteral("12"), answers);
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("12"));
        const auto& boxes = p.messages().boxes;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].kind, ScriptedMessages::Kind::Standard);
        QCOMPARE(boxes[1].style, 48);
        QCOMPARE(boxes[1].title, text("خطا"));
        QCOMPARE(boxes[1].text, text("شما به سوالات زير پاسخ نداده ايد و تا به تمام سوالات پاسخ ندهيد نمي توانيد نمره گذاري را انجام دهيد") + QStringLiteral("\n\n3  17  "));
        QVERIFY(!shown(&w, "Frame1"));
        QVERIFY(!shown(&w, "Frame2"));
        QCOMPARE(w.selectedCode(), QString());
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QString());
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("TahrifeA")), QString());
    }

    void damagedAnswersAreRefused()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        QStringList answers = allAnswers(QStringLiteral("3"));
        answers[11] = QStringLiteral("7");
        answers[19] = QStringLiteral("0");
        p.setAnswers(QStringLiteral("12"), answers);
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("12"));
        const auto& boxes = p.messages().boxes;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].kind, ScriptedMessages::Kind::Standard);
        QCOMPARE(boxes[1].style, 48);
        QCOMPARE(boxes[1].text, Msg::DamagedAnswers + QStringLiteral("\n\n12  20  "));
        QVERIFY(!shown(&w, "Frame1"));
        QVERIFY(!shown(&w, "Frame2"));
        QCOMPARE(w.selectedCode(), QString());
        for (const char* column : rawColumns)
            QCOMPARE(p.ideField(QStringLiteral("12"), QLatin1String(column)), QString());
    }

    void fullPass_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<Four>("raw");
        QTest::addColumn<Four>("percent");
        QTest::addColumn<Bands>("band");

        QTest::newRow("all ones") << allAnswers(QStringLiteral("1")) << Four{"10", "10", "10", "5"}
                                  << Four{"5", "5", "5", "5"} << Bands{0, 0, 0, 0};
        QTest::newRow("all fives") << allAnswers(QStringLiteral("5")) << Four{"50", "50", "50", "25"}
                                   << Four{"100", "100", "100", "100"} << Bands{4, 4, 4, 4};
        // 32 -> 50, 20 -> 15, 37 -> 80, 22 -> 85
        QTest::newRow("bands 3 1 4 5") << answersFor({{{4, 4, 3, 3, 3, 3, 3, 3, 3, 3},
                                                      {2, 2, 2, 2, 2, 2, 2, 2, 2, 2},
                                                      {4, 4, 4, 4, 4, 4, 4, 3, 3, 3},
                                                      {5, 5, 4, 4, 4}}})
                                       << Four{"32", "20", "37", "22"} << Four{"50", "15", "80", "85"}
                                       << Bands{2, 0, 3, 4};
        // 27 -> 35, 32 -> 55, 45 -> 100, 18 -> 65
        QTest::newRow("bands 2 3 5 4") << answersFor({{{3, 3, 3, 3, 3, 3, 3, 2, 2, 2},
                                                      {4, 4, 3, 3, 3, 3, 3, 3, 3, 3},
                                                      {5, 5, 5, 5, 5, 4, 4, 4, 4, 4},
                                                      {4, 4, 4, 3, 3}}})
                                       << Four{"27", "32", "45", "18"} << Four{"35", "55", "100", "65"}
                                       << Bands{1, 2, 4, 3};
    }

    void fullPass()
    {
        QFETCH(QStringList, answers);
        QFETCH(Four, raw);
        QFETCH(Four, percent);
        QFETCH(Bands, band);

        TestProgram p;
        p.addExaminee(QStringLiteral("1"), QStringLiteral("Other"));
        p.setAnswers(QStringLiteral("1"), allAnswers(QStringLiteral("2")));
        p.addExaminee(QStringLiteral("12"), QStringLiteral("Maryam"));
        p.setAnswers(QStringLiteral("12"), answers);
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();

        QStringList written;
        for (const char* name : rawBoxes) {
            auto* box = w.findChild<QLineEdit*>(QLatin1String(name));
            connect(box, &QLineEdit::textChanged, this, [&written, box](const QString& t) {
                if (!t.isEmpty())
                    written << box->objectName();
            });
        }

        select(p, &w, QStringLiteral("12"));
        QCOMPARE(p.messages().boxes.size(), 1); // the prompt only
        QCOMPARE(w.selectedCode(), QStringLiteral("12"));
        QCOMPARE(boxText(&w, "Text5"), QStringLiteral("12"));
        QVERIFY(shown(&w, "Frame1"));
        QVERIFY(shown(&w, "Frame2"));
        QCOMPARE(written, (QStringList{"TextTah", "TextHal", "TextEr", "TextRez"}));
        for (int s = 0; s < 4; ++s) {
            const auto n = static_cast<std::size_t>(s);
            QCOMPARE(boxText(&w, rawBoxes[s]), raw[n]);
            QCOMPARE(boxText(&w, percentBoxes[s]), percent[n]);
            QCOMPARE(boxText(&w, levelBoxes[s]), text(expectedLevels[band[n]]));
            QCOMPARE(boxText(&w, sentenceBoxes[s]), text(sentenceTable[s][band[n]]));
            QCOMPARE(p.ideField(QStringLiteral("12"), QLatin1String(rawColumns[s])), raw[n]);
            QCOMPARE(p.ideField(QStringLiteral("1"), QLatin1String(rawColumns[s])), QString());
        }
        QCOMPARE(boxText(&w, "Text15"), QStringLiteral("12"));
        QCOMPARE(boxText(&w, "Text3"), QStringLiteral("Maryam"));
    }

    void typedCodeIsTrimmed()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("1")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("  12 "));
        QCOMPARE(w.selectedCode(), QStringLiteral("12"));
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QStringLiteral("10"));
    }

    void codeWithApostropheIsAnOrdinaryCode()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("O'Neil"));
        p.setAnswers(QStringLiteral("O'Neil"), allAnswers(QStringLiteral("3")));
        p.addExaminee(QStringLiteral("O"));
        p.setAnswers(QStringLiteral("O"), allAnswers(QStringLiteral("1")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("O'Neil"));
        QCOMPARE(w.selectedCode(), QStringLiteral("O'Neil"));
        QCOMPARE(p.ideField(QStringLiteral("O'Neil"), QStringLiteral("Rezayat")), QStringLiteral("30"));
        QCOMPARE(p.ideField(QStringLiteral("O'Neil"), QStringLiteral("TahrifeA")), QStringLiteral("15"));
        QCOMPARE(p.ideField(QStringLiteral("O"), QStringLiteral("Rezayat")), QString());
    }

    void answersStoredAfterOpeningAreSeen()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("5")));
        select(p, &w, QStringLiteral("12"));
        QCOMPARE(boxText(&w, "TextRez"), QStringLiteral("50"));
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QStringLiteral("50"));
    }

    void scoringAgainOverwrites()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("1")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("12"));
        select(p, &w, QStringLiteral("12"));
        QCOMPARE(p.rowCount(QStringLiteral("IDE")), 1);
        const QStringList once = {"10", "10", "10", "5"};
        for (int s = 0; s < 4; ++s)
            QCOMPARE(p.ideField(QStringLiteral("12"), QLatin1String(rawColumns[s])), once[s]);

        // Item 31 counts toward Ertebat only.
        QStringList answers = allAnswers(QStringLiteral("1"));
        answers[30] = QStringLiteral("2");
        p.setAnswers(QStringLiteral("12"), answers);
        select(p, &w, QStringLiteral("12"));
        const QStringList changed = {"10", "11", "10", "5"};
        for (int s = 0; s < 4; ++s) {
            QCOMPARE(p.ideField(QStringLiteral("12"), QLatin1String(rawColumns[s])), changed[s]);
            QCOMPARE(boxText(&w, rawBoxes[s]), changed[s]);
        }
        QCOMPARE(boxText(&w, "TextErd"), QStringLiteral("5"));
        QCOMPARE(p.messages().boxes.size(), 3); // three prompts, nothing else
    }

    void passEndingEarlyKeepsLastResults()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("5")));
        p.addExaminee(QStringLiteral("13"));
        QStringList half = allAnswers(QStringLiteral("2"));
        half[34].clear();
        p.setAnswers(QStringLiteral("13"), half);
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("12"));

        select(p, &w, QStringLiteral("99"));
        QVERIFY(!shown(&w, "Frame1"));
        QVERIFY(shown(&w, "Frame2")); // an unknown code leaves the interpretation panel as it was
        QCOMPARE(w.selectedCode(), QStringLiteral("12"));
        QCOMPARE(boxText(&w, "TextRezd"), QStringLiteral("100"));

        select(p, &w, QStringLiteral("13"));
        QVERIFY(!shown(&w, "Frame1"));
        QVERIFY(!shown(&w, "Frame2"));
        QCOMPARE(w.selectedCode(), QStringLiteral("12"));
        QCOMPARE(boxText(&w, "TextRez"), QStringLiteral("50"));
        QCOMPARE(boxText(&w, "TextTahs"), text(expectedLevels[4]));
        QCOMPARE(p.ideField(QStringLiteral("13"), QStringLiteral("Rezayat")), QString());
    }

    void failedCommitIsReportedAndNothingShown()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("4")));
        p.addExaminee(QStringLiteral("13"));
        p.setAnswers(QStringLiteral("13"), allAnswers(QStringLiteral("1")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("13"));
        QCOMPARE(w.selectedCode(), QStringLiteral("13"));

        QVERIFY(p.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON IDE "
                                     "BEGIN SELECT RAISE(ABORT, 'x'); END")));
        p.messages().clear();
        select(p, &w, QStringLiteral("12"));
        const auto& boxes = p.messages().boxes;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].kind, ScriptedMessages::Kind::Standard);
        QCOMPARE(boxes[1].title, text("خطا"));
        QVERIFY(boxes[1].text.startsWith(Msg::ScoresNotStored + QLatin1Char('\n')));
        QVERIFY2(boxes[1].text.contains(QLatin1Char('x')), qPrintable(boxes[1].text));
        QVERIFY(!shown(&w, "Frame1"));
        QVERIFY(!shown(&w, "Frame2"));
        QCOMPARE(w.selectedCode(), QString());
        QCOMPARE(boxText(&w, "TextRez"), QString()); // what the row really holds
        for (const char* name : percentBoxes)
            QCOMPARE(boxText(&w, name), QString());
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QString());

        // With nothing selected, the chart and the examinee print refuse.
        QVERIFY(Drive::click(&w, QStringLiteral("Command2")));
        QCOMPARE(p.messages().lastText(), text("ابتدا روي انتخاب آزمودني کليک کرده سپس کد آزمودني را وارد کنيد بعد روي مشاهده نمودار کليک کنيد "));
        QVERIFY(!w.chartWindow());
    }

    void printSelectedNeedsAnExaminee()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("2")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        QVERIFY(Drive::click(&w, QStringLiteral("Command6")));
        const auto& boxes = p.messages().boxes;
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].kind, ScriptedMessages::Kind::Notice);
        QCOMPARE(boxes[0].text, text("ابتدا روي انتخاب آزمودني کليک کرده سپس کد آزمودني را وارد کنيد بعد روي پرينت کليک کنيد "));
        QCOMPARE(boxes[0].bringToFrontMs, 2000);

        select(p, &w, QStringLiteral("12"));
        p.messages().clear();
        QVERIFY(Drive::click(&w, QStringLiteral("Command6")));
        QVERIFY(p.messages().boxes.isEmpty());
    }

    void printAllSaysNothing()
    {
        TestProgram p;
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        QVERIFY(Drive::click(&w, QStringLiteral("Command3")));
        QVERIFY(p.messages().boxes.isEmpty());
    }

    void closeButtonClosesTheWindow()
    {
        TestProgram p;
        auto* w = new ScoringWindow(p.database(), p.messages(), captions);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        QSignalSpy destroyed(w, &QObject::destroyed);
        QVERIFY(Drive::click(w, QStringLiteral("Command5")));
        QTRY_COMPARE(destroyed.count(), 1);
    }
};

QTEST_MAIN(TestScoringWindow)
#include "TestScoringWindow.moc"
