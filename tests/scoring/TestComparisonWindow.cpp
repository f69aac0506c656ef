#include "data/QuestionnaireItems.h"
#include "scoring/ComparisonWindow.h"
#include "scoring/ScaleColours.h"
#include "scoring/ScoringSession.h"
#include "scoring/reports/ComparisonChart.h"
#include "scoring/reports/ComparisonReport.h"
#include "settings/Theme.h"
#include "support/LayoutCheck.h"
#include "support/LockHolder.h"
#include "support/PdfText.h"
#include "support/TestProgram.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/PreviewWindow.h"
#include "ui/WindowKit.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Keyed answers: every item `fill`, then the listed items set.
QStringList sheet(int fill, std::initializer_list<std::pair<int, int>> items = {})
{
    QStringList answers(35, QString::number(fill));
    for (const auto& [item, keyed] : items)
        answers[item - 1] = QString::number(keyed);
    return answers;
}

QString cell(QWidget* w, const char* table, int row, int column)
{
    auto* t = Drive::find<QTableWidget>(w, QString::fromLatin1(table));
    if (!t || row >= t->rowCount() || column >= t->columnCount() || !t->item(row, column))
        return QString();
    return t->item(row, column)->text();
}

int rows(QWidget* w, const char* table)
{
    auto* t = Drive::find<QTableWidget>(w, QString::fromLatin1(table));
    return t ? t->rowCount() : -1;
}

// Types both codes and presses "مقايسه".
void compare(QWidget* w, const QString& first, const QString& second, bool followUp = false)
{
    if (followUp)
        QVERIFY(Drive::click(w, QStringLiteral("OptionFollowUp")));
    auto* a = Drive::find<QLineEdit>(w, QStringLiteral("FirstCode"));
    auto* b = Drive::find<QLineEdit>(w, QStringLiteral("SecondCode"));
    a->clear();
    b->clear();
    Drive::type(a, first);
    Drive::type(b, second);
    QVERIFY(Drive::click(w, QStringLiteral("Command1")));
}

void nothingShown(QWidget* w)
{
    QVERIFY(!Drive::find<QTabWidget>(w, QStringLiteral("ResultTabs"))->isEnabled());
    for (const char* table : { "DetailsTable", "ScaleTable", "ItemTable", "AgreementTable" })
        QCOMPARE(rows(w, table), 0);
    QCOMPARE(Drive::find<QLabel>(w, QStringLiteral("TalkAbout"))->text(), QString());
}

} // namespace

class TestComparisonWindow : public QObject {
    Q_OBJECT

private slots:
    // The program's own font and size, so the layout is measured as a clinic sees it.
    void initTestCase() { PersianText::applyTo(*qApp); }

    // The figures are the scoring window's own for each code: a scoring session is asked for them separately.
    void aCoupleSideBySide()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("101"), QStringLiteral("Sara"));
        p.addExaminee(QStringLiteral("102"), QStringLiteral("Reza"));
        // Item 3 is reversed: stored 5 and 4 are "کاملاً مخالف" and "مخالف", a positive agreement. Items 2 (both
        // unfavourable) and 6 (one each way) are to talk about; item 4 is TahrifeA, scores only.
        p.setAnswers(QStringLiteral("101"), sheet(4, { { 2, 1 }, { 3, 5 }, { 6, 5 }, { 7, 3 }, { 4, 5 } }));
        p.setAnswers(QStringLiteral("102"), sheet(5, { { 2, 2 }, { 3, 4 }, { 6, 1 }, { 7, 3 }, { 4, 1 } }));
        ComparisonWindow w(p.database(), p.messages());
        w.show();
        // Codes are found however typed: Persian digits here.
        compare(&w, QStringLiteral("۱۰۱"), QStringLiteral(" 102 "));
        QCOMPARE(p.messages().boxes.size(), 0);
        QVERIFY(w.shownComparison());

        QCOMPARE(cell(&w, "DetailsTable", 0, 0), QStringLiteral("101"));
        QCOMPARE(cell(&w, "DetailsTable", 0, 1), QStringLiteral("Sara"));
        QCOMPARE(cell(&w, "DetailsTable", 1, 0), QStringLiteral("102"));
        QCOMPARE(cell(&w, "DetailsTable", 1, 1), QStringLiteral("Reza"));

        ScoringSession scoring(p.database());
        QVERIFY(scoring.select(QStringLiteral("101")).selected());
        const ShownResults first = *scoring.selected();
        QVERIFY(scoring.select(QStringLiteral("102")).selected());
        const ShownResults second = *scoring.selected();
        for (int row = 0; row < 4; ++row) {
            const ShownResults::ScaleTexts& a = first.scales[row];
            const ShownResults::ScaleTexts& b = second.scales[row];
            QCOMPARE(cell(&w, "ScaleTable", row, 1), ShownNumbers::text(a.raw));
            QCOMPARE(cell(&w, "ScaleTable", row, 2), ShownNumbers::text(a.percent));
            QCOMPARE(cell(&w, "ScaleTable", row, 3), a.level);
            QCOMPARE(cell(&w, "ScaleTable", row, 4), ShownNumbers::text(b.raw));
            QCOMPARE(cell(&w, "ScaleTable", row, 5), ShownNumbers::text(b.percent));
            QCOMPARE(cell(&w, "ScaleTable", row, 6), b.level);
            QCOMPARE(cell(&w, "ScaleTable", row, 7), signedFigure(b.raw.toInt() - a.raw.toInt()));
            QCOMPARE(cell(&w, "ScaleTable", row, 8), signedFigure(b.percent.toInt() - a.percent.toInt()));
        }

        QCOMPARE(rows(&w, "ItemTable"), 35);
        QCOMPARE(cell(&w, "ItemTable", 2, 2), QStringLiteral("کاملاً مخالف"));
        QCOMPARE(cell(&w, "ItemTable", 2, 3), QStringLiteral("مخالف"));
        QCOMPARE(cell(&w, "ItemTable", 2, 4), QStringLiteral("توافق مثبت"));
        QCOMPARE(cell(&w, "ItemTable", 1, 4), QStringLiteral("توافق منفي - براي گفتگو"));
        // Both kinds counted under "سوالات براي گفتگو" are marked for talk in the table.
        QCOMPARE(cell(&w, "ItemTable", 5, 4), QStringLiteral("عدم توافق - براي گفتگو"));
        QCOMPARE(cell(&w, "ItemTable", 6, 4), QStringLiteral("ترديد"));
        QCOMPARE(cell(&w, "ItemTable", 3, 4), QStringLiteral("فقط در نمره تحريف آرماني"));
        // Differences are said to be the second minus the first.
        const QString note = Drive::find<QLabel>(&w, QStringLiteral("SignNote"))->text();
        QVERIFY2(note.contains(QStringLiteral("دوم (کد 102) منهاي")), qPrintable(note));
        QVERIFY(Drive::find<QLabel>(&w, QStringLiteral("TalkAbout"))->text().endsWith(QStringLiteral("۲، ۶")));
        // Rezayat all positive; Ertebat: 8 of 10 (items 2 and 6 are not); HaleT: 8 of 10 (item 7 on 3, item 3 yes).
        QCOMPARE(cell(&w, "AgreementTable", 0, 1), QStringLiteral("۱۰۰"));
        QCOMPARE(cell(&w, "AgreementTable", 1, 1), QStringLiteral("۸۰"));
        QCOMPARE(cell(&w, "AgreementTable", 2, 1), QStringLiteral("۹۰"));
    }

    void followUpListsChangedItems()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("7"));
        p.addExaminee(QStringLiteral("7b"));
        p.setAnswers(QStringLiteral("7"), sheet(2, { { 5, 5 } }));
        // Item 4 is a distortion statement: listed apart, after the content scales' changed statements.
        p.setAnswers(QStringLiteral("7b"), sheet(2, { { 1, 4 }, { 4, 5 }, { 5, 3 }, { 9, 3 } }));
        ComparisonWindow w(p.database(), p.messages());
        w.show();
        compare(&w, QStringLiteral("7"), QStringLiteral("7b"), true);
        QCOMPARE(p.messages().boxes.size(), 0);
        QCOMPARE(rows(&w, "ItemTable"), 4);
        QCOMPARE(cell(&w, "ItemTable", 0, 0), QStringLiteral("۱"));
        QCOMPARE(cell(&w, "ItemTable", 0, 4), signedFigure(2));
        QCOMPARE(cell(&w, "ItemTable", 1, 0), QStringLiteral("۵"));
        QCOMPARE(cell(&w, "ItemTable", 1, 2), QStringLiteral("کاملاً مخالف")); // reversed: stored 5
        QCOMPARE(cell(&w, "ItemTable", 1, 4), signedFigure(-2));
        auto* items = Drive::find<QTableWidget>(&w, QStringLiteral("ItemTable"));
        QCOMPARE(items->columnSpan(2, 0), 5);
        QVERIFY(cell(&w, "ItemTable", 2, 0).startsWith(QStringLiteral("سوالات تحريف آرماني")));
        QCOMPARE(cell(&w, "ItemTable", 3, 0), QStringLiteral("۴"));
        QCOMPARE(cell(&w, "ItemTable", 3, 4), signedFigure(3));
        // The columns say which administration each code is.
        QCOMPARE(items->horizontalHeaderItem(2)->text(), QStringLiteral("پيش از مشاوره\n7"));
        QCOMPARE(items->horizontalHeaderItem(3)->text(), QStringLiteral("پس از مشاوره\n7b"));

        QCOMPARE(rows(&w, "ScaleTable"), 4);
        // The change of level in words, read from the level before to the level after.
        for (int row = 0; row < 4; ++row) {
            const QString before = cell(&w, "ScaleTable", row, 3);
            const QString after = cell(&w, "ScaleTable", row, 6);
            QCOMPARE(cell(&w, "ScaleTable", row, 9), before == after ? before : before + QStringLiteral(" ← ") + after);
        }
        bool moved = false;
        for (int row = 0; row < 4; ++row)
            moved = moved || cell(&w, "ScaleTable", row, 9).contains(QStringLiteral(" ← "));
        QVERIFY(moved);
        const QString note = Drive::find<QLabel>(&w, QStringLiteral("SignNote"))->text();
        QVERIFY2(note.contains(QStringLiteral("پس از مشاوره منهاي پيش از مشاوره")), qPrintable(note));
        QVERIFY2(note.contains(QStringLiteral("در تحريف آرماني، +")), qPrintable(note));
    }

    // The caution stands on both tabs and names the spouse whose distortion score is high.
    void cautionNamesTheSpouse_data()
    {
        QTest::addColumn<int>("firstDistortion");
        QTest::addColumn<int>("secondDistortion");
        QTest::addColumn<QString>("named");
        QTest::newRow("first") << 5 << 1 << "همسر اول (کد 101)";
        QTest::newRow("second") << 1 << 5 << "همسر دوم (کد 102)";
        QTest::newRow("both") << 5 << 5 << "هر دو همسر (کد 101 و کد 102)";
        QTest::newRow("neither") << 1 << 2 << "";
    }
    void cautionNamesTheSpouse()
    {
        QFETCH(int, firstDistortion);
        QFETCH(int, secondDistortion);
        QFETCH(QString, named);
        TestProgram p;
        p.addExaminee(QStringLiteral("101"));
        p.addExaminee(QStringLiteral("102"));
        const auto distorted = [](int keyed) {
            return sheet(4, { { 4, keyed }, { 8, keyed }, { 12, keyed }, { 16, keyed }, { 20, keyed } });
        };
        p.setAnswers(QStringLiteral("101"), distorted(firstDistortion));
        p.setAnswers(QStringLiteral("102"), distorted(secondDistortion));
        ComparisonWindow w(p.database(), p.messages());
        w.show();
        compare(&w, QStringLiteral("101"), QStringLiteral("102"));
        for (const char* name : { "ResultsCaution", "Caution" }) {
            auto* caution = Drive::find<QLabel>(&w, QString::fromLatin1(name));
            QCOMPARE(caution->isHidden(), named.isEmpty());
            QVERIFY2(caution->text().contains(named), qPrintable(caution->text()));
        }
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown code") << "101"
                                      << "999" << Msg::CompareNotFound.arg(QStringLiteral("999"));
        QTest::newRow("no answers") << "103"
                                    << "101" << Msg::CompareNoAnswers.arg(QStringLiteral("103"));
        QTest::newRow("unfinished") << "101"
                                    << "104" << Msg::CompareUnfinished.arg(QStringLiteral("104"));
        QTest::newRow("same code") << "101"
                                   << "101" << Msg::CompareSameCode;
        QTest::newRow("same code typed two ways") << "101"
                                                  << "۱۰۱" << Msg::CompareSameCode;
        QTest::newRow("one box empty") << "101"
                                       << "" << Msg::CompareEnterBothCodes;
    }
    void refusals()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, message);
        TestProgram p;
        for (const char* code : { "101", "102", "103", "104" })
            p.addExaminee(QString::fromLatin1(code));
        p.setAnswers(QStringLiteral("101"), sheet(4));
        p.setAnswers(QStringLiteral("102"), sheet(3));
        QStringList unfinished = sheet(4);
        unfinished[20] = QString();
        p.setAnswers(QStringLiteral("104"), unfinished);
        ComparisonWindow w(p.database(), p.messages());
        w.show();
        // A good comparison first, so a refusal is seen to take it away.
        compare(&w, QStringLiteral("101"), QStringLiteral("102"));
        QVERIFY(w.shownComparison());
        compare(&w, first, second);
        QCOMPARE(p.messages().noticeTexts(), QStringList { message });
        QVERIFY(!w.shownComparison());
        nothingShown(&w);
    }

    void busyFileIsSaid()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("101"));
        p.addExaminee(QStringLiteral("102"));
        p.setAnswers(QStringLiteral("101"), sheet(4));
        p.setAnswers(QStringLiteral("102"), sheet(3));
        ComparisonWindow w(p.database(), p.messages());
        w.show();
        {
            LockHolder other(p.database().filePath());
            compare(&w, QStringLiteral("101"), QStringLiteral("102"));
        }
        QCOMPARE(p.messages().boxes.size(), 1);
        QVERIFY2(p.messages().lastText().startsWith(Msg::DatabaseBusy), qPrintable(p.messages().lastText()));
        nothingShown(&w);
    }

    // One code of a pair compared before brings back the other and the kind, in the pair's order.
    void rememberedPairIsFilledIn()
    {
        TestProgram p;
        for (const char* code : { "101", "102", "7", "7b" })
            p.addExaminee(QString::fromLatin1(code));
        for (const char* code : { "101", "102", "7", "7b" })
            p.setAnswers(QString::fromLatin1(code), sheet(4));
        {
            ComparisonWindow w(p.database(), p.messages());
            w.show();
            compare(&w, QStringLiteral("101"), QStringLiteral("102"));
            compare(&w, QStringLiteral("7"), QStringLiteral("7b"), true);
            QCOMPARE(p.messages().boxes.size(), 0);
        }
        QCOMPARE(p.rowCount(QStringLiteral("ComparedPairs")), 2);

        ComparisonWindow w(p.database(), p.messages());
        w.show();
        auto* first = Drive::find<QLineEdit>(&w, QStringLiteral("FirstCode"));
        auto* second = Drive::find<QLineEdit>(&w, QStringLiteral("SecondCode"));
        first->setFocus();
        Drive::type(first, QStringLiteral("۱۰۲"));
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(first->text(), QStringLiteral("101"));
        QCOMPARE(second->text(), QStringLiteral("102"));
        QVERIFY(Drive::find<QRadioButton>(&w, QStringLiteral("OptionCouple"))->isChecked());

        first->clear();
        second->clear();
        Drive::type(first, QStringLiteral("7b"));
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(first->text(), QStringLiteral("7"));
        QCOMPARE(second->text(), QStringLiteral("7b"));
        QVERIFY(Drive::find<QRadioButton>(&w, QStringLiteral("OptionFollowUp"))->isChecked());

        // A code compared again in another pair of the same kind leaves its old pair of that kind, and keeps its
        // pair of the other kind.
        QVERIFY(Drive::click(&w, QStringLiteral("OptionCouple")));
        compare(&w, QStringLiteral("101"), QStringLiteral("7"));
        QCOMPARE(p.rowCount(QStringLiteral("ComparedPairs")), 2);
        QCOMPARE(p.scalar(QStringLiteral("SELECT SecondCode || Kind FROM ComparedPairs WHERE FirstCode = '101'")),
            QVariant(QStringLiteral("7Couple")));
        QCOMPARE(p.scalar(QStringLiteral("SELECT SecondCode || Kind FROM ComparedPairs WHERE FirstCode = '7'")),
            QVariant(QStringLiteral("7bFollowUp")));

        // Two typed codes are left as typed.
        first->clear();
        second->clear();
        Drive::type(second, QStringLiteral("102"));
        Drive::type(first, QStringLiteral("7b"));
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(first->text(), QStringLiteral("7b"));
        QCOMPARE(second->text(), QStringLiteral("102"));
    }

    // "پرينت مقايسه" hands the report to a preview window; saved as PDF it reads back with both codes, the percents,
    // the categories and the clinic.
    void reportReadsBackFromThePdf()
    {
        TestProgram p;
        p.exec(QStringLiteral("UPDATE Theme SET Name = 'مرکز مشاوره آرامش', Adress = 'خيابان آزادي، پلاک 7'"));
        p.addExaminee(QStringLiteral("5501"), QStringLiteral("Sara"));
        p.addExaminee(QStringLiteral("5502"), QStringLiteral("Reza"));
        p.setAnswers(QStringLiteral("5501"), sheet(4, { { 2, 1 }, { 6, 5 } }));
        p.setAnswers(QStringLiteral("5502"), sheet(5, { { 2, 2 }, { 6, 1 } }));
        ComparisonWindow w(p.database(), p.messages());
        QList<std::shared_ptr<PagedDocument>> documents;
        connect(&w, &ComparisonWindow::previewRequested,
            [&documents](std::shared_ptr<PagedDocument> document) { documents << document; });
        w.show();
        compare(&w, QStringLiteral("5501"), QStringLiteral("5502"));
        QVERIFY(Drive::click(&w, QStringLiteral("Command2")));
        QCOMPARE(documents.size(), 1);
        QVERIFY(dynamic_cast<ComparisonReport*>(documents[0].get()));
        QCOMPARE(documents[0]->pageCount(), 2);

        PreviewWindow preview(documents[0], p.messages(), p.fileDialogs());
        preview.show();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("comparison.pdf"));
        p.fileDialogs().names.enqueue(path);
        QVERIFY(Drive::click(&preview, QStringLiteral("PreviewSavePdf")));
        QVERIFY(p.messages().boxes.isEmpty());
        QCOMPARE(PdfText::pageCount(path), 2);

        const QString first = PdfText::comparable(PdfText::extract(path, 1, 1));
        for (const QString& expected :
            { QStringLiteral("5501"), QStringLiteral("5502"), PdfText::comparable(QStringLiteral("مرکز مشاوره آرامش")),
                PdfText::comparable(QStringLiteral("توافق مثبت")) })
            QVERIFY2(first.contains(expected), qPrintable(expected));
        const PairComparison& shown = *w.shownComparison();
        for (Scale scale : allScales)
            for (const QString& percent : { shown.first.of(scale).percent, shown.second.of(scale).percent })
                QVERIFY2(first.contains(ShownNumbers::text(percent)), qPrintable(percent));
        // Ertebat: items 2 and 6 of ten are not in positive agreement.
        QVERIFY(first.contains(QStringLiteral("۸۰")));

        const QString second = PdfText::comparable(PdfText::extract(path, 2, 2));
        QVERIFY(second.contains(PdfText::comparable(QString::fromUtf8(questionnaireItem(35)->statement))));
        QVERIFY(second.contains(PdfText::comparable(QStringLiteral("عدم توافق"))));
        QVERIFY(second.contains(PdfText::comparable(QStringLiteral("سوالات براي گفتگو"))));
        const auto* report = dynamic_cast<ComparisonReport*>(documents[0].get());
        QCOMPARE(
            report->pageContent(1).find(QStringLiteral("TalkAbout"))->text, QStringLiteral("سوالات براي گفتگو: ۲، ۶"));
    }

    // Both reports, read back from their PDF: every page ends with both codes, the kind, the date and its number; the
    // couple's statements on the distortion scale say why they have no agreement, and a follow-up's distortion
    // statements stand apart under their own heading.
    void everyPageSaysWhatItBelongsTo_data()
    {
        QTest::addColumn<bool>("followUp");
        QTest::addColumn<QString>("kind");
        QTest::newRow("couple") << false << "زوج"; // the brackets of "(همسران)" read back mirrored
        QTest::newRow("follow-up") << true << "پيش و پس از مشاوره";
    }
    void everyPageSaysWhatItBelongsTo()
    {
        QFETCH(bool, followUp);
        QFETCH(QString, kind);
        TestProgram p;
        p.addExaminee(QStringLiteral("5501"));
        p.addExaminee(QStringLiteral("5502"));
        p.setAnswers(QStringLiteral("5501"), sheet(2, { { 4, 1 } }));
        p.setAnswers(QStringLiteral("5502"), sheet(4, { { 4, 5 } }));
        ComparisonWindow w(p.database(), p.messages());
        w.show();
        compare(&w, QStringLiteral("5501"), QStringLiteral("5502"), followUp);
        QVERIFY(w.shownComparison());
        auto report = std::make_shared<ComparisonReport>(
            *w.shownComparison(), QStringLiteral("مرکز"), QString(), QStringLiteral("1405/09/19"));
        QCOMPARE(report->pageCount(), 2);
        PreviewWindow preview(report, p.messages(), p.fileDialogs());
        preview.show();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("comparison.pdf"));
        p.fileDialogs().names.enqueue(path);
        QVERIFY(Drive::click(&preview, QStringLiteral("PreviewSavePdf")));
        QCOMPARE(PdfText::pageCount(path), 2);
        for (int page = 1; page <= 2; ++page) {
            const QString text = PdfText::comparable(PdfText::extract(path, page, page));
            for (const QString& expected : { QStringLiteral("5501"), QStringLiteral("5502"), kind,
                     ShownNumbers::text(QStringLiteral("1405/09/19")),
                     QStringLiteral("صفحه %1 از %2").arg(ShownNumbers::number(page), ShownNumbers::number(2)) })
                QVERIFY2(text.contains(PdfText::comparable(expected)), qPrintable(QString::number(page) + expected));
        }
        const QString items = PdfText::comparable(PdfText::extract(path, 2, 2));
        if (followUp) {
            QVERIFY(items.contains(PdfText::comparable(QStringLiteral("پيش از مشاوره"))));
            QVERIFY(items.contains(PdfText::comparable(QStringLiteral("سوالات تحريف آرماني"))));
            QCOMPARE(report->pageContent(1).find(QStringLiteral("IdealisedItems.1.0"))->text, ShownNumbers::number(4));
        } else {
            QVERIFY(items.contains(PdfText::comparable(QStringLiteral("فقط در نمره تحريف آرماني"))));
        }
        const QString first = PdfText::comparable(PdfText::extract(path, 1, 1));
        QVERIFY(first.contains(PdfText::comparable(QStringLiteral("منهاي"))));
    }

    // The chart's legend shows what its bars show: each scale's colour, full beside the first code and paler beside
    // the second, on paper and on every theme's colours.
    void legendShowsWhatTheBarsShow_data()
    {
        QTest::addColumn<int>("theme"); // 0: paper
        QTest::newRow("paper") << 0;
        for (int theme = 1; theme <= Theme::Count; ++theme)
            QTest::newRow(qPrintable(Theme::skinFile(theme))) << theme;
    }
    void legendShowsWhatTheBarsShow()
    {
        QFETCH(int, theme);
        TestProgram p;
        p.addExaminee(QStringLiteral("101"));
        p.addExaminee(QStringLiteral("102"));
        p.setAnswers(QStringLiteral("101"), sheet(4));
        p.setAnswers(QStringLiteral("102"), sheet(3));
        ComparisonWindow w(p.database(), p.messages());
        w.show();
        compare(&w, QStringLiteral("101"), QStringLiteral("102"));
        QVERIFY(w.shownComparison());
        QPalette palette = ScaleColours::paper();
        if (theme > 0) {
            const std::optional<SkinFile> skin = Theme::loadSkin(p.folder(), Theme::skinFile(theme));
            QVERIFY(skin);
            QWidget painted;
            Theme::paint(&painted, *skin);
            palette = painted.palette();
        }
        const Report::PageContent chart
            = ComparisonChart::layOut(*w.shownComparison(), QRectF(0, 0, 9000, 3600), palette);
        // The legend's swatches come first, along the top; the bars after them.
        QList<QColor> legend;
        QList<QColor> bars;
        for (const Report::Shade& shade : chart.shades)
            (shade.rect.top() < 300 ? legend : bars) << shade.colour;
        QCOMPARE(legend.size(), 8);
        QList<QColor> expected;
        for (Scale scale : allScales)
            expected << ScaleColours::of(scale, palette);
        for (Scale scale : allScales)
            expected << ScaleColours::paler(ScaleColours::of(scale, palette));
        QCOMPARE(legend, expected);
        for (const QColor& bar : bars)
            QVERIFY2(legend.contains(bar), qPrintable(bar.name()));
        QVERIFY(chart.find(QStringLiteral("LegendFirst"))->text.endsWith(QStringLiteral("101")));
        QVERIFY(chart.find(QStringLiteral("LegendSecond"))->text.endsWith(QStringLiteral("102")));
    }

    // Every control and caption whole, before and after a couple is shown, on both tabs.
    void nothingCutOff()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("101"));
        p.addExaminee(QStringLiteral("102"));
        p.setAnswers(QStringLiteral("101"), sheet(4));
        p.setAnswers(QStringLiteral("102"), sheet(2));
        ComparisonWindow w(p.database(), p.messages());
        w.setLayoutDirection(Qt::RightToLeft);
        w.show();
        QVERIFY(Drive::waitUntilActive(&w));
        QVERIFY(LayoutCheck::nothingCutOff(&w));
        QVERIFY(LayoutCheck::nothingCutOff(Drive::find<QWidget>(&w, QStringLiteral("FrameKind"))));
        compare(&w, QStringLiteral("101"), QStringLiteral("102"));
        auto* tabs = Drive::find<QTabWidget>(&w, QStringLiteral("ResultTabs"));
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QVERIFY(LayoutCheck::nothingCutOff(tabs->currentWidget()));
            QVERIFY(LayoutCheck::textsFit(tabs->currentWidget()));
        }
    }

    // On a 1366×768 screen and a 1024×700 one (less a task bar) the window fits, and on both tabs everything is whole:
    // what does not fit the height scrolls inside the tab, nothing runs off its width, and the chart keeps its shape.
    void fitsSmallScreens_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<bool>("followUp");
        QTest::newRow("1366x768 couple") << QSize(1366, 728) << false;
        QTest::newRow("1366x768 follow-up") << QSize(1366, 728) << true;
        QTest::newRow("1024x700 couple") << QSize(1024, 660) << false;
        QTest::newRow("1024x700 follow-up") << QSize(1024, 660) << true;
    }
    void fitsSmallScreens()
    {
        QFETCH(QSize, screen);
        QFETCH(bool, followUp);
        TestProgram p;
        p.addExaminee(QStringLiteral("101"));
        p.addExaminee(QStringLiteral("102"));
        // High distortion for both and a change on every scale, so every line the results can hold is shown.
        p.setAnswers(QStringLiteral("101"), sheet(1, { { 4, 5 }, { 8, 5 }, { 12, 5 }, { 16, 5 }, { 20, 5 } }));
        p.setAnswers(QStringLiteral("102"), sheet(5));
        ComparisonWindow w(p.database(), p.messages());
        w.setLayoutDirection(Qt::RightToLeft);
        w.show();
        QVERIFY(Drive::waitUntilActive(&w));
        const QRect available(QPoint(0, 0), screen);
        Kit::fitHeightTo(&w, available);
        QVERIFY2(available.contains(w.frameGeometry()),
            qPrintable(QStringLiteral("%1x%2").arg(w.frameGeometry().width()).arg(w.frameGeometry().height())));
        compare(&w, QStringLiteral("101"), QStringLiteral("102"), followUp);
        QCOMPARE(p.messages().boxes.size(), 0);
        QVERIFY(LayoutCheck::nothingCutOff(&w));

        auto* tabs = Drive::find<QTabWidget>(&w, QStringLiteral("ResultTabs"));
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QApplication::processEvents();
            auto* scroll = qobject_cast<QScrollArea*>(tabs->currentWidget());
            QVERIFY(scroll);
            QWidget* page = scroll->widget();
            QVERIFY2(page->width() <= scroll->viewport()->width(), qPrintable(page->objectName()));
            QVERIFY(LayoutCheck::nothingCutOff(page));
            QVERIFY(LayoutCheck::textsFit(page));
        }
        // Every heading and cell of the scale table shown whole, the first scale's name too.
        auto* table = Drive::find<QTableWidget>(&w, QStringLiteral("ScaleTable"));
        QHeaderView* header = table->horizontalHeader();
        QVERIFY(header->length() <= table->viewport()->width());
        for (int column = 0; column < table->columnCount(); ++column) {
            QVERIFY2(
                header->sectionSize(column) >= header->sectionSizeHint(column), qPrintable(QString::number(column)));
            for (int row = 0; row < table->rowCount(); ++row) {
                const QString text = table->item(row, column)->text();
                QVERIFY2(
                    header->sectionSize(column) >= table->fontMetrics().horizontalAdvance(text) + 4, qPrintable(text));
            }
        }
        auto* chart = Drive::find<QWidget>(&w, QStringLiteral("Chart"));
        QVERIFY(!chart->isHidden());
        QVERIFY(qAbs(chart->height() - chart->heightForWidth(chart->width())) <= 1);
        QCOMPARE(Drive::find<QLabel>(&w, QStringLiteral("ResultsCaution"))->isHidden(), followUp);
    }

    // A pair the file refuses to remember leaves the comparison shown and says so.
    void pairNotRememberedIsSaid()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("101"));
        p.addExaminee(QStringLiteral("102"));
        p.setAnswers(QStringLiteral("101"), sheet(4));
        p.setAnswers(QStringLiteral("102"), sheet(3));
        p.exec(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE INSERT ON ComparedPairs BEGIN SELECT RAISE(ABORT, 'no'); END"));
        ComparisonWindow w(p.database(), p.messages());
        w.show();
        compare(&w, QStringLiteral("101"), QStringLiteral("102"));
        QCOMPARE(p.messages().boxes.size(), 1);
        QVERIFY2(p.messages().lastText().startsWith(Msg::ComparePairNotStored), qPrintable(p.messages().lastText()));
        QVERIFY(w.shownComparison());
        QCOMPARE(rows(&w, "ScaleTable"), 4);
        QCOMPARE(p.rowCount(QStringLiteral("ComparedPairs")), 0);
    }

    void printingNeedsAComparison()
    {
        TestProgram p;
        ComparisonWindow w(p.database(), p.messages());
        w.show();
        QVERIFY(Drive::click(&w, QStringLiteral("Command2")));
        QCOMPARE(p.messages().noticeTexts(), QStringList { Msg::CompareBeforePrint });
    }
};

QTEST_MAIN(TestComparisonWindow)
#include "TestComparisonWindow.moc"
