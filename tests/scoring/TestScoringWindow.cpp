#include "scoring/ScoringWindow.h"
#include "scoring/reports/ListReport.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QRegularExpression>
#include <QTest>

namespace {

const char* const detailBoxes[9]
    = { "Text15", "Text3", "Text8", "Text10", "Text6", "Text11", "Text7", "Text9", "Text12" };
const char* const detailColumns[9] = { "Code", "FName", "LName", "Jens", "Sen", "Taahol", "Tahsil", "Date", "Time" };
const char* const resultBoxes[4][4] = {
    { "TextRez", "TextRezd", "TextRezs", "TextRezt" },
    { "TextEr", "TextErd", "TextErs", "TextErt" },
    { "TextHal", "TextHald", "TextHals", "TextHalt" },
    { "TextTah", "TextTahd", "TextTahs", "TextTaht" },
};

const char* const helpLines[7] = {
    "در اين قسمت از نرم افزار ابتدا روي انتخاب آزمودني ",
    "کليک کرده سپس کد آزمودني را وارد کنيد و دکمه ",
    "اينتر را فشار دهيد نتيجه آزمون نمايش داده و ذخيره ",
    "خواهد شد در صورتيکه تمايل داريد نتيجه آزمون را ",
    "پرينت بگيريد روي دکمه پرينت آزمودني انتخاب شده ",
    "کليک کنيد و در صورتيکه تمايل به پرينت نتيجه آزمون ",
    "کل آزمودنيها را داريد روي دکمه پرينت کل آزمودنيها کليک کنيد",
};

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QStringList allAnswers(const QString& value)
{
    return QStringList(35, value);
}

} // namespace

class TestScoringWindow : public QObject {
    Q_OBJECT

    // The list report's captions, which the program keeps for its whole run.
    ListReportCaptions captions;

private:
    static QString boxText(QWidget* w, const char* name, std::source_location where = std::source_location::current())
    {
        auto* box = Drive::find<QWidget>(w, QString::fromLatin1(name), where);
        if (auto* line = qobject_cast<QLineEdit*>(box))
            return line->text();
        if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
            return plain->toPlainText();
        if (box)
            QTest::qFail(name, where.file_name(), static_cast<int>(where.line()));
        return {};
    }

    static bool shown(QWidget* w, const char* name)
    {
        QWidget* child = Drive::find<QWidget>(w, QString::fromLatin1(name));
        return child && !child->isHidden();
    }

    // Presses "انتخاب آزمودني" with `code` typed into the prompt.
    static void select(TestProgram& p, QWidget* w, const QString& code)
    {
        p.messages().typed.enqueue(code);
        QVERIFY(Drive::click(w, QStringLiteral("Command1")));
    }

    // Every result box is empty and both result panels are hidden.
    static void noResultsShown(QWidget* w)
    {
        QVERIFY(!shown(w, "Frame1"));
        QVERIFY(!shown(w, "Frame2"));
        for (const auto& scale : resultBoxes)
            for (const char* box : scale)
                QCOMPARE(boxText(w, box), QString());
    }

private slots:
    void initTestCase() { PersianText::loadFont(); }

    void opensWithTheStoredThemeAndNothingSelected()
    {
        TestProgram p;
        p.exec(QStringLiteral("UPDATE Theme SET TH = '7'"));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        QCOMPARE(w.property("appliedTheme").toInt(), 7);
        QVERIFY(shown(&w, "Frame3"));
        QVERIFY(!shown(&w, "Frame4"));
        noResultsShown(&w);
        QCOMPARE(w.selectedCode(), QString());
        QVERIFY(!w.shownResults());
    }

    // The Persian texts the operator reads, typed in once here so that none changes unnoticed.
    void operatorTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("buddy"); // the field a caption names, "" for none
        QTest::newRow("window") << "FrmkLID" << text("کليد گذاري") << "";
        QTest::newRow("choose") << "Command1" << text("انتخاب آزمودني") << "";
        QTest::newRow("print selected") << "Command6" << text("پرينت آزمودني انتخاب شده") << "";
        QTest::newRow("print all") << "Command3" << text("پرينت کل  آزمودني ها ") << "";
        QTest::newRow("chart") << "Command2" << text("مشاهده نمودار") << "";
        QTest::newRow("help") << "Command4" << text("راهنما") << "";
        QTest::newRow("close") << "Command5" << text(" خروج") << "";
        QTest::newRow("help close") << "Command7" << text("خروج") << "";
        QTest::newRow("raw") << "LabelRaw" << text("نمره خام") << "";
        QTest::newRow("percent") << "LabelPercent" << text("درصد") << "";
        QTest::newRow("level") << "LabelLevel" << text("سطح") << "";
        QTest::newRow("interpretation") << "Frame2" << text("تفسير") << "";
        const char* const scaleCaptions[4] = { "رضايت زناشويي", "ارتباطات", "حل تعارض", "تحريف آرماني" };
        for (int s = 0; s < 4; ++s) {
            for (const char* box : { resultBoxes[s][0], resultBoxes[s][3] })
                QTest::addRow("caption of %s", box)
                    << QStringLiteral("Caption") + QLatin1String(box) << text(scaleCaptions[s]) << box;
        }
        const char* const detailCaptions[9] = { " :کد", " :نام", " :نام خانوادگي", " :جنس", " :سن", " :وضعيت تاهل",
            " :ميزان تحصيلات", " :تاريخ", " :ساعت" };
        for (int i = 0; i < 9; ++i)
            QTest::addRow("caption of %s", detailBoxes[i]) << QStringLiteral("Label") + QLatin1String(detailColumns[i])
                                                           << text(detailCaptions[i]) << detailBoxes[i];
        QString help;
        for (const char* line : helpLines)
            help += text(line) + QLatin1Char('\n');
        QTest::newRow("help text") << "Text14" << help << "";
    }

    void operatorTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QFETCH(QString, buddy);
        TestProgram p;
        ScoringWindow w(p.database(), p.messages(), captions);
        auto* control = Drive::find<QWidget>(&w, name);
        QVERIFY(control);
        QString shownText;
        if (control == &w)
            shownText = w.windowTitle();
        else if (auto* button = qobject_cast<QPushButton*>(control))
            shownText = button->text();
        else if (auto* label = qobject_cast<QLabel*>(control))
            shownText = label->text();
        else if (auto* group = qobject_cast<QGroupBox*>(control))
            shownText = group->title();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
            shownText = plain->toPlainText();
        QCOMPARE(shownText, expected);
        if (!buddy.isEmpty())
            QCOMPARE(qobject_cast<QLabel*>(control)->buddy(), Drive::find<QWidget>(&w, buddy));
    }

    void buttonBarTabOrder()
    {
        TestProgram p;
        ScoringWindow w(p.database(), p.messages(), captions);
        const QStringList order = { "Command1", "Command6", "Command3", "Command2", "Command4", "Command5" };
        for (int i = 0; i + 1 < order.size(); ++i)
            QCOMPARE(Drive::find<QWidget>(&w, order[i])->nextInFocusChain()->objectName(), order[i + 1]);
    }

    void helpPanelOpensAndCloses()
    {
        TestProgram p;
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        QVERIFY(Drive::find<QPlainTextEdit>(&w, QStringLiteral("Text14"))->isReadOnly());
        QVERIFY(Drive::click(&w, QStringLiteral("Command4")));
        QVERIFY(shown(&w, "Frame4"));
        QVERIFY(Drive::click(&w, QStringLiteral("Command7")));
        QVERIFY(!shown(&w, "Frame4"));
        QVERIFY(p.messages().boxes.isEmpty());
    }

    void selectionShowsTheSessionsResults()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"), QStringLiteral("Maryam"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("4")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("\u06F1\u06F2"));

        QCOMPARE(p.messages().boxes.size(), 1);
        const ScriptedMessages::Box& prompt = p.messages().boxes[0];
        QCOMPARE(prompt.kind, ScriptedMessages::Kind::Prompt);
        QCOMPARE(prompt.text, text(" Enter Number "));
        QCOMPARE(prompt.title, text(" کد آزمودني را وارد کنيد"));
        QCOMPARE(prompt.owner.data(), &w);

        QCOMPARE(w.selectedCode(), QStringLiteral("12"));
        QVERIFY(shown(&w, "Frame1"));
        QVERIFY(shown(&w, "Frame2"));
        // Age, date and time are drawn with Persian digits; the code and the names are shown as stored.
        for (int i = 0; i < 9; ++i) {
            const QString stored = p.ideField(QStringLiteral("12"), QLatin1String(detailColumns[i]));
            const bool number = i == 4 || i == 7 || i == 8;
            QCOMPARE(boxText(&w, detailBoxes[i]), number ? ShownNumbers::text(stored) : stored);
        }
        const std::optional<ShownResults> results = w.shownResults();
        QVERIFY(results);
        for (std::size_t s = 0; s < 4; ++s) {
            const ShownResults::ScaleTexts& texts = results->scales[s];
            QCOMPARE(boxText(&w, resultBoxes[s][0]), ShownNumbers::text(texts.raw));
            QCOMPARE(boxText(&w, resultBoxes[s][1]), ShownNumbers::text(texts.percent));
            QVERIFY(!boxText(&w, resultBoxes[s][1]).contains(QRegularExpression(QStringLiteral("[0-9]"))));
            QCOMPARE(boxText(&w, resultBoxes[s][2]), texts.level);
            QCOMPARE(boxText(&w, resultBoxes[s][3]), texts.sentence);
            QVERIFY(!texts.sentence.isEmpty());
        }
        // Drawn in Persian digits, stored in ASCII ones.
        QCOMPARE(boxText(&w, "TextRez"), QStringLiteral("۴۰"));
        QCOMPARE(results->of(Scale::Rezayat).raw, QStringLiteral("40"));
        QCOMPARE(p.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QStringLiteral("40"));
    }

    // Each refusal is told in its own words, and the window is left with no results and no selection; the examinee
    // panel shows whom the code found, if anyone.
    void refusalsAreToldAndShowNoResults_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("kind"); // ScriptedMessages::Kind
        QTest::addColumn<bool>("examineeShown");
        QTest::newRow("nothing typed") << "" << Msg::EnterExamineeNumber << int(ScriptedMessages::Kind::Notice)
                                       << false;
        QTest::newRow("only blanks") << "   " << Msg::EnterExamineeNumber << int(ScriptedMessages::Kind::Notice)
                                     << false;
        QTest::newRow("unknown code") << "99" << Msg::NoSuchExaminee << int(ScriptedMessages::Kind::Notice) << false;
        QTest::newRow("details missing") << "14" << Msg::ExamineeDetailsMissing << int(ScriptedMessages::Kind::Notice)
                                         << false;
        QTest::newRow("unanswered items") << "13"
                                          << text("شما به سوالات زير پاسخ نداده ايد و تا به تمام سوالات پاسخ ندهيد "
                                                  "نمي توانيد نمره گذاري را انجام دهيد")
                + QStringLiteral("\n\n۳  ۱۷  ")
                                          << int(ScriptedMessages::Kind::Standard) << true;
        QTest::newRow("damaged answers") << "15" << Msg::DamagedAnswers + QStringLiteral("\n\n۱۲  ۲۰  ")
                                         << int(ScriptedMessages::Kind::Standard) << true;
    }

    void refusalsAreToldAndShowNoResults()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(int, kind);
        QFETCH(bool, examineeShown);
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("5")));
        p.addExaminee(QStringLiteral("13"), QStringLiteral("Sara"));
        QStringList unanswered = allAnswers(QStringLiteral("3"));
        unanswered[2].clear();
        unanswered[16].clear();
        p.setAnswers(QStringLiteral("13"), unanswered);
        p.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES ('14')"));
        p.setAnswers(QStringLiteral("14"), allAnswers(QStringLiteral("3")));
        p.addExaminee(QStringLiteral("15"), QStringLiteral("Reza"));
        QStringList damaged = allAnswers(QStringLiteral("3"));
        damaged[11] = QStringLiteral("7");
        damaged[19] = QStringLiteral("0");
        p.setAnswers(QStringLiteral("15"), damaged);
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("12"));
        p.messages().clear();

        select(p, &w, typed);
        const auto& boxes = p.messages().boxes;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(int(boxes[1].kind), kind);
        QCOMPARE(boxes[1].text, message);
        QCOMPARE(boxes[1].owner.data(), &w);
        if (boxes[1].kind == ScriptedMessages::Kind::Notice) {
            QCOMPARE(boxes[1].bringToFrontMs, 1000);
        } else {
            QCOMPARE(boxes[1].style, 48);
            QCOMPARE(boxes[1].title, text("خطا"));
        }
        QCOMPARE(w.selectedCode(), QString());
        QVERIFY(!w.shownResults());
        noResultsShown(&w);
        QCOMPARE(boxText(&w, "Text15"), examineeShown ? typed : QString());
    }

    void busyFileIsToldAsBusy()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("2")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        select(p, &w, QStringLiteral("12"));
        p.messages().clear();
        p.database().setLockWait(200);
        {
            LockHolder other(p.database().filePath());
            select(p, &w, QStringLiteral("12"));
        }
        QCOMPARE(p.messages().noticeTexts(), QStringList {});
        QCOMPARE(p.messages().boxes.size(), 2);
        QCOMPARE(p.messages().boxes[1].kind, ScriptedMessages::Kind::Standard);
        QVERIFY2(p.messages().boxes[1].text.startsWith(Msg::DatabaseBusy), qPrintable(p.messages().lastText()));
        QCOMPARE(w.selectedCode(), QString());
        noResultsShown(&w);
        QCOMPARE(boxText(&w, "Text15"), QString());
    }

    void refusedScoresAreToldAndShowNoResults()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("4")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        QVERIFY(p.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON IDE "
                                      "BEGIN SELECT RAISE(ABORT, 'x'); END")));
        select(p, &w, QStringLiteral("12"));
        const auto& boxes = p.messages().boxes;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].kind, ScriptedMessages::Kind::Standard);
        QCOMPARE(boxes[1].title, text("خطا"));
        QVERIFY(boxes[1].text.startsWith(Msg::ScoresNotStored + QLatin1Char('\n')));
        QVERIFY2(boxes[1].text.contains(QLatin1Char('x')), qPrintable(boxes[1].text));
        QCOMPARE(w.selectedCode(), QString());
        noResultsShown(&w);
        QCOMPARE(boxText(&w, "Text15"), QStringLiteral("12"));
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
