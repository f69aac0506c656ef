#include "data/CursorTableModel.h"
#include "data/TableCursor.h"
#include "calendar/SolarHijri.h"
#include "data/Invitations.h"
#include "examinees/InvitationProgressModel.h"
#include "examinees/LookupWindow.h"
#include "ui/PercentProgressBar.h"
#include "ui/ProgressStrip.h"
#include "examinees/ShareMarkModel.h"
#include "data/ServerRights.h"
#include "text/Digits.h"
#include "support/LayoutCheck.h"
#include "support/TestServer.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"
#include "text/PersianLetters.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>
#include <source_location>

namespace {

const QString groupPrompt = QStringLiteral("جنسيت را انتخاب كنيد");

// Six examinees: code, first name, family name, group.
const QStringList people[] = {
    { "1", "علي", "رضايي", "A" },
    { "2", "زهرا", "احمدي", "B" },
    { "3", "علي", "احمدي", "Tehran" },
    { "4", "مريم", "رضايي", "A" },
    { "5", "O'Brien", "Smith", "B" },
    { "6", "علي", "O'Hara", "A" },
};

// A research export that only says which scale a figure belongs to.
ResearchExport::Scoring labelledScoring()
{
    ResearchExport::Scoring scoring;
    for (const char* column : { "Rezayat", "Ertebat", "HaleT", "TahrifeA" })
        scoring.scales.append({ QString::fromLatin1(column), QString::fromLatin1(column) });
    scoring.figures = [](int scale, const QString& raw) {
        return ResearchExport::Figures { raw + QStringLiteral("%"), QString::number(scale) };
    };
    return scoring;
}

struct Lookup {
    TestProgram program;
    std::unique_ptr<LookupWindow> window;

    // The six people, and `more` examinees after them ("x1", "x2", ...). A window that cannot take the keyboard fails
    // the test at the caller's line.
    explicit Lookup(bool withPeople = true, int more = 0, std::source_location where = std::source_location::current())
    {
        if (withPeople)
            for (const QStringList& p : people) {
                program.exec(QStringLiteral("INSERT INTO IDE (Code, FName, LName, \"Group\") VALUES (?, ?, ?, ?)"),
                    { p[0], p[1], p[2], p[3] });
                program.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES (?)"), { p[0] });
            }
        if (more > 0)
            program.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                                        "INSERT INTO IDE (Code, FName) SELECT 'x' || i, 'Reza' FROM n"),
                { more });
        program.exec(
            QStringLiteral("UPDATE Theme SET TH = '4', Name = 'مرکز مشاوره مهر', Adress = 'خيابان آزادي، پلاک 7'"));
        window = std::make_unique<LookupWindow>(
            program.database(), program.messages(), program.fileDialogs(), labelledScoring());
        window->setLayoutDirection(Qt::RightToLeft);
        window->show();
        Drive::waitUntilActive(window.get(), where);
    }

    template <typename T> T* find(const char* name) { return Drive::find<T>(window.get(), QString::fromLatin1(name)); }
    QComboBox* box(const char* name) { return find<QComboBox>(name); }

    // What the grid lists, by code.
    QStringList listed()
    {
        QAbstractItemModel* model = find<QTableView>("DataGrid1")->model();
        QStringList codes;
        for (int r = 0; r < model->rowCount(); ++r)
            codes << model->index(r, 0).data().toString();
        return codes;
    }

    void typeInto(const char* name, const QString& text)
    {
        QComboBox* combo = box(name);
        combo->lineEdit()->selectAll();
        Drive::type(combo->lineEdit(), text);
    }

    void deleteCode(const QString& code, int answer)
    {
        auto* edit = find<QLineEdit>("Text5");
        edit->setText(code);
        program.messages().answers.enqueue(answer);
        Drive::click(window.get(), QStringLiteral("Command2"));
    }

    int rows(const QString& table, const QString& code)
    {
        return program.rowCount(table, QStringLiteral("Code"), code);
    }
};


// A clinic on the test cluster with rights set up: its head and two counsellors, each a login of its own with the
// program's database and a lookup window, and the logins dropped at the end.
struct Clinic {
    TestProgram program { TestProgram::OnServer };
    QStringList logins; // head, first, second
    std::vector<std::unique_ptr<Database>> databases;

    Clinic()
    {
        QVERIFY(ServerRights::setUp(program.database(), QString()).isNull());
        program.exec(QStringLiteral("UPDATE Theme SET TH = '4'"));
        const ServerAddress server = *program.server();
        for (const auto& [suffix, group] : { std::pair { "head", ServerRights::HeadRole },
                 std::pair { "first", ServerRights::CounsellorRole }, std::pair { "second", ServerRights::CounsellorRole } }) {
            const QString name = server.database + QLatin1Char('_') + QLatin1String(suffix);
            QVERIFY(TestServer::execAsAdmin(QStringLiteral("CREATE ROLE \"%1\" LOGIN IN ROLE \"%2\"").arg(name, group)).isNull());
            logins << name;
            ServerAddress as = server;
            as.user = name;
            databases.push_back(Database::onServer(as));
            databases.back()->setFolders(program.folder(), program.folder());
            QVERIFY(databases.back()->open().ok());
        }
    }
    ~Clinic()
    {
        databases.clear();
        for (const QString& name : std::as_const(logins))
            TestServer::execAsAdmin(QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(name));
    }
    Database& as(int who) { return *databases.at(static_cast<std::size_t>(who)); }
    void registerAs(int who, const QString& code)
    {
        QVERIFY(as(who).exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\") VALUES ('%1')").arg(code)));
        QVERIFY(as(who).exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"FName\") VALUES ('%1', 'Sara')").arg(code)));
    }
    std::unique_ptr<LookupWindow> window(int who)
    {
        auto window = std::make_unique<LookupWindow>(as(who), program.messages(), program.fileDialogs(), labelledScoring());
        window->setLayoutDirection(Qt::RightToLeft);
        window->show();
        Drive::waitUntilActive(window.get());
        return window;
    }
};

enum { HeadLogin, FirstLogin, SecondLogin };

// What a window's grid lists, by code, each with its sharing mark.
QStringList listedWithMarks(LookupWindow& window)
{
    QAbstractItemModel* model = Drive::find<QTableView>(&window, QStringLiteral("DataGrid1"))->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r)
        rows << (model->index(r, 0).data().toString() + QLatin1Char('|')
            + model->index(r, model->columnCount() - 1).data().toString());
    rows.sort();
    return rows;
}

void select(LookupWindow& window, const QString& code)
{
    auto* grid = Drive::find<QTableView>(&window, QStringLiteral("DataGrid1"));
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        if (grid->model()->index(r, 0).data().toString() == code)
            grid->setCurrentIndex(grid->model()->index(r, 1));
}

void shareWith(LookupWindow& window, const QString& code, const QString& colleague, const char* button = "CommandShare")
{
    select(window, code);
    Drive::find<QComboBox>(&window, QStringLiteral("ComboColleague"))->setEditText(colleague);
    Drive::click(&window, QString::fromLatin1(button));
}

} // namespace

class TestLookupWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::applyTo(*qApp); }
    void opensWithEveryExamineeAndTheTheme();
    void invitesTheSelectedExaminee();
    void showsEachInvitationsProgress();
    void searches_data();
    void searches();
    void familyNameSearchReplacesFirstNameSearch();
    void partialGroupListsNobody();
    void choosingANameFromTheList();
    void groupBoxListsTheGroupsInUse();
    void titleBarReadsPersian();
    void gridShowsATwentyLetterGroupWhole();
    void printHandsOverTheListedExaminees();
    void printNeedsGroupText();
    void deleteRefusals();
    void deleteAnsweredNo();
    void deleteAnsweredYes();
    void deleteTakesTheRememberedPairs();
    void deleteTakesEveryRowOfTheCode();
    void deleteFindsTheCodeHoweverTyped_data();
    void deleteFindsTheCodeHoweverTyped();
    void deleteOnAHeldFileSaysSoAndKeepsTheRows();
    void deleteWithOnlyOneRow_data();
    void deleteWithOnlyOneRow();
    void failedDeletionKeepsBothRows();
    void gridShowsAnotherProgramsDeletionsWhenActiveAgain();
    void gridReadsAfreshRatherThanShowBlankRows();
    void exportWritesTheListedExaminees();
    void exportOnAServerWithRightsIsInTheTrail();
    void sharingOnlyWithRights_data();
    void sharingOnlyWithRights();
    void counsellorsShareAndTakeBack();
    void exportCancelledOrFailed();
    void exportStoppedByItsCancelLeavesNoFile();
    void exportNamesOnlyWhenTicked();
    void exportChoicesOnlyWhenTicked();
    void closeButtonClosesAndNothingIsCutOff();
};

void TestLookupWindow::opensWithEveryExamineeAndTheTheme()
{
    Lookup l;
    QCOMPARE(l.listed(), (QStringList { "1", "2", "3", "4", "5", "6" }));
    QCOMPARE(l.window->property("appliedTheme").toInt(), 4);
    QCOMPARE(l.box("Combo3")->currentText(), groupPrompt);
    QCOMPARE(l.box("DataCombo6")->currentText(), QString());
    QStringList firstNames;
    for (int i = 0; i < l.box("DataCombo6")->count(); ++i)
        firstNames << l.box("DataCombo6")->itemText(i);
    QCOMPARE(firstNames, (QStringList { "زهرا", "علي", "مريم", "O'Brien" }));
    QCOMPARE(l.box("DataCombo1")->count(), 4);
}

void TestLookupWindow::invitesTheSelectedExaminee()
{
    Lookup l;
    QSignalSpy wanted(l.window.get(), &LookupWindow::invitationRequested);
    auto* grid = l.find<QTableView>("DataGrid1");
    const int row = static_cast<int>(l.listed().indexOf(QStringLiteral("4")));
    grid->setCurrentIndex(grid->model()->index(row, 1));
    Drive::click(l.window.get(), QStringLiteral("CommandInvite"));
    QCOMPARE(wanted.size(), 1);
    QCOMPARE(wanted.at(0).at(0).toString(), QStringLiteral("4"));
    // With nobody selected, the invitation window asks for the code.
    grid->setCurrentIndex(QModelIndex());
    Drive::click(l.window.get(), QStringLiteral("CommandInvite"));
    QCOMPARE(wanted.size(), 2);
    QCOMPARE(wanted.at(1).at(0).toString(), QString());
}

void TestLookupWindow::showsEachInvitationsProgress()
{
    Lookup l;
    Database& db = l.program.database();
    InvitationProgressModel* grid = l.window->progressModel();
    QDateTime now = QDateTime(QDate(2026, 12, 17), QTime(8, 0), Qt::UTC); // 1405/09/26 in Tehran
    grid->setClock([&now] { return now; });
    QCOMPARE(grid->headerData(4, Qt::Horizontal).toString(), QStringLiteral("وضعيت پاسخگويي"));
    const auto state = [&](const QString& code) {
        const int row = static_cast<int>(l.listed().indexOf(code));
        return Digits::toAscii(grid->index(row, 4).data().toString());
    };
    QCOMPARE(state(QStringLiteral("2")), QString());
    // The states of the rows the grid draws are read again, as the window's timer does.
    auto* view = l.find<QTableView>("DataGrid1");
    const auto refreshAsDrawn = [&] {
        view->viewport()->repaint();
        return grid->refresh();
    };

    const Invitations::Made made = Invitations::make(db, QStringLiteral("2"), 7, QStringLiteral("c"), now.addDays(-7).addSecs(3600));
    QVERIFY(made.status == Invitations::Made::Status::Made);
    const QString hash = Invitations::hashOf(made.token);
    const Invitations::Made other = Invitations::make(db, QStringLiteral("3"), 7, QStringLiteral("c"), now);
    // Shown when the window comes back, or at the next round of its timer.
    QVERIFY(l.window->findChild<QTimer*>(QStringLiteral("ProgressTimer"))->isActive());
    QVERIFY(refreshAsDrawn());
    QCOMPARE(state(QStringLiteral("2")), QStringLiteral("دعوت شده تا ") + SolarHijriDate(QDate(2026, 12, 17)));
    QCOMPARE(state(QStringLiteral("1")), QString());

    QVERIFY(Invitations::moveTo(db, hash, Invitations::State::Answering).ok);
    QStringList answers;
    for (int item = 1; item <= 35; ++item)
        answers << (item <= 12 ? QStringLiteral("3") : QString());
    l.program.setAnswers(QStringLiteral("2"), answers);
    QVERIFY(refreshAsDrawn());
    QCOMPARE(state(QStringLiteral("2")), QStringLiteral("در حال پاسخ 12 از 35"));

    // An hour later its week is over.
    now = now.addSecs(3600);
    QVERIFY(refreshAsDrawn());
    QCOMPARE(state(QStringLiteral("2")), QStringLiteral("منقضي"));
    now = now.addSecs(-3600);

    QVERIFY(Invitations::moveTo(db, hash, Invitations::State::Finished).ok);
    QVERIFY(refreshAsDrawn());
    QCOMPARE(state(QStringLiteral("2")), QStringLiteral("پاسخ کامل"));

    QVERIFY(Invitations::revoke(db, Invitations::hashOf(other.token), QStringLiteral("c"), now).ok);
    QVERIFY(refreshAsDrawn());
    QCOMPARE(state(QStringLiteral("3")), QStringLiteral("لغو شده"));
    // A new invitation takes the place of the revoked one.
    QVERIFY(Invitations::make(db, QStringLiteral("3"), 3, QStringLiteral("c"), now.addSecs(60)).status
        == Invitations::Made::Status::Made);
    QVERIFY(refreshAsDrawn());
    QVERIFY(state(QStringLiteral("3")).startsWith(QStringLiteral("دعوت شده تا ")));

    // A window opened afresh reads the states of the rows it draws as soon as it has drawn them.
    LookupWindow fresh(db, l.program.messages(), l.program.fileDialogs(), labelledScoring());
    fresh.show();
    const int row = static_cast<int>(l.listed().indexOf(QStringLiteral("2")));
    QTRY_COMPARE(fresh.progressModel()->index(row, 4).data().toString(), QStringLiteral("پاسخ کامل"));
}

void TestLookupWindow::searches_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("first name") << "DataCombo6"
                                << "علي" << QStringList { "1", "3", "6" };
    QTest::newRow("family name") << "DataCombo1"
                                 << "احمدي" << QStringList { "2", "3" };
    QTest::newRow("group") << "Combo3"
                           << "A" << QStringList { "1", "4", "6" };
    QTest::newRow("first name with a quote") << "DataCombo6"
                                             << "O'Brien" << QStringList { "5" };
    QTest::newRow("family name with a quote") << "DataCombo1"
                                              << "O'Hara" << QStringList { "6" };
    QTest::newRow("exact, not a part") << "DataCombo6"
                                       << "عل" << QStringList {};
    QTest::newRow("no case folding") << "DataCombo1"
                                     << "smith" << QStringList {};
}

void TestLookupWindow::searches()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QStringList, codes);
    Lookup l;
    // Every box holds text before the search; the one typed into keeps it, the other two are emptied.
    for (const char* other : { "DataCombo6", "DataCombo1", "Combo3" })
        if (box != QLatin1String(other)) {
            const QSignalBlocker unheard(l.box(other));
            l.box(other)->setEditText(QStringLiteral("Z"));
        }
    l.typeInto(qPrintable(box), text);
    QCOMPARE(l.listed(), codes);
    for (const char* other : { "DataCombo6", "DataCombo1", "Combo3" })
        QCOMPARE(l.box(other)->currentText(), box == QLatin1String(other) ? text : QString());
    QCOMPARE(l.program.messages().boxes.size(), 0);
}

void TestLookupWindow::familyNameSearchReplacesFirstNameSearch()
{
    Lookup l;
    l.typeInto("DataCombo6", QStringLiteral("علي"));
    QCOMPARE(l.listed(), (QStringList { "1", "3", "6" }));
    l.typeInto("DataCombo1", QStringLiteral("رضايي"));
    QCOMPARE(l.listed(), (QStringList { "1", "4" }));
    QCOMPARE(l.box("DataCombo6")->currentText(), QString());
}

void TestLookupWindow::partialGroupListsNobody()
{
    Lookup l;
    l.box("Combo3")->lineEdit()->selectAll();
    for (const QString& part : { QStringLiteral("T"), QStringLiteral("e"), QStringLiteral("h") }) {
        Drive::type(l.box("Combo3")->lineEdit(), part);
        QCOMPARE(l.listed(), QStringList {});
    }
    Drive::type(l.box("Combo3")->lineEdit(), QStringLiteral("ran"));
    QCOMPARE(l.listed(), QStringList { "3" });
}

void TestLookupWindow::choosingANameFromTheList()
{
    Lookup l;
    l.typeInto("DataCombo1", QStringLiteral("Smith"));
    QComboBox* names = l.box("DataCombo6");
    names->showPopup();
    QAbstractItemView* list = names->view();
    QTRY_VERIFY(list->isVisible());
    const QModelIndex maryam = list->model()->index(names->findText(QStringLiteral("مريم")), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(maryam).center());
    QTRY_COMPARE(names->currentText(), QStringLiteral("مريم"));
    QCOMPARE(l.listed(), QStringList { "4" });
    QCOMPARE(l.box("DataCombo1")->currentText(), QString());
}

void TestLookupWindow::groupBoxListsTheGroupsInUse()
{
    Lookup l;
    QComboBox* groups = l.box("Combo3");
    auto items = [groups] {
        QStringList all;
        for (int i = 0; i < groups->count(); ++i)
            all << groups->itemText(i);
        return all;
    };
    // Every group once, while the box still shows its first text and nothing is filtered.
    QCOMPARE(items(), (QStringList { "A", "B", "Tehran" }));
    QCOMPARE(groups->currentText(), groupPrompt);
    QCOMPARE(l.listed().size(), 6);

    l.typeInto("DataCombo6", QStringLiteral("علي"));
    groups->showPopup();
    QAbstractItemView* list = groups->view();
    QTRY_VERIFY(list->isVisible());
    const QModelIndex tehran = list->model()->index(groups->findText(QStringLiteral("Tehran")), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(tehran).center());
    QTRY_COMPARE(groups->currentText(), QStringLiteral("Tehran"));
    QCOMPARE(l.listed(), QStringList { "3" });
    QCOMPARE(l.box("DataCombo6")->currentText(), QString());

    // The last examinee of a group gone, the group leaves the list.
    l.deleteCode(QStringLiteral("3"), Msg::Yes);
    QCOMPARE(l.program.messages().noticeTexts(), QStringList { Msg::DeletionDone });
    QCOMPARE(items(), (QStringList { "A", "B" }));
    QCOMPARE(l.listed().size(), 5);
}

void TestLookupWindow::gridShowsATwentyLetterGroupWhole()
{
    const QString group = QStringLiteral("خانواده هاي جوان اصفهان");
    Lookup l;
    auto* grid = l.find<QTableView>("DataGrid1");
    const int designed = grid->columnWidth(3);
    l.program.exec(QStringLiteral("INSERT INTO IDE (Code, FName, LName, \"Group\") VALUES ('7', 'علي', 'کريمي', ?)"),
        { group });
    LookupWindow window(l.program.database(), l.program.messages(), l.program.fileDialogs(), labelledScoring());
    window.setLayoutDirection(Qt::RightToLeft);
    window.show();
    auto* wider = Drive::find<QTableView>(&window, QStringLiteral("DataGrid1"));
    QVERIFY(wider->columnWidth(3) > designed);
    QVERIFY(wider->columnWidth(3) >= wider->fontMetrics().horizontalAdvance(group) + 8);
    // The names keep room for their headings, and nothing needs scrolling sideways.
    for (int column : { 1, 2 })
        QVERIFY(wider->columnWidth(column)
            >= wider->horizontalHeader()->fontMetrics().horizontalAdvance(
                wider->model()->headerData(column, Qt::Horizontal).toString()));
    QVERIFY(!wider->horizontalScrollBar()->isVisible());
}

void TestLookupWindow::titleBarReadsPersian()
{
    Lookup l;
    // "کد آزمودني" reaches the title bar with the Persian yeh.
    QCOMPARE(l.window->windowTitle(), QStringLiteral("\u06A9\u062F \u0622\u0632\u0645\u0648\u062F\u0646\u06CC"));
}

void TestLookupWindow::printHandsOverTheListedExaminees()
{
    Lookup l;
    QSignalSpy printed(l.window.get(), &LookupWindow::listReportRequested);
    auto printedCodes = [&printed](int request) {
        auto* listed = printed.at(request).at(0).value<TableCursor*>();
        QList<QStringList> rows;
        if (!listed || !listed->readRows(0, 1000, { QStringLiteral("Code") }, rows))
            return QStringList { QStringLiteral("unreadable") };
        QStringList codes;
        for (const QStringList& row : rows)
            codes << row.at(0);
        return codes;
    };
    // Right after opening, with the group box showing its first text, every examinee is printed.
    Drive::click(l.window.get(), QStringLiteral("Command1"));
    QCOMPARE(printed.count(), 1);
    QCOMPARE(printedCodes(0), (QStringList { "1", "2", "3", "4", "5", "6" }));
    QCOMPARE(printed.at(0).at(1).toString(), QStringLiteral("مرکز مشاوره مهر"));
    QCOMPARE(printed.at(0).at(2).toString(), QStringLiteral("خيابان آزادي، پلاک 7"));

    // Under a search, exactly the listed examinees.
    l.typeInto("Combo3", QStringLiteral("B"));
    Drive::click(l.window.get(), QStringLiteral("Command1"));
    QCOMPARE(printed.count(), 2);
    QCOMPARE(printedCodes(1), (QStringList { "2", "5" }));
    QCOMPARE(l.program.messages().boxes.size(), 0);
}

void TestLookupWindow::printNeedsGroupText()
{
    Lookup l;
    QSignalSpy printed(l.window.get(), &LookupWindow::listReportRequested);
    l.typeInto("DataCombo6", QStringLiteral("علي")); // empties the group box
    Drive::click(l.window.get(), QStringLiteral("Command1"));
    QCOMPARE(printed.count(), 0);
    QCOMPARE(l.program.messages().noticeTexts(), QStringList { Msg::ChooseLookupGroup });
}

void TestLookupWindow::deleteRefusals()
{
    Lookup l;
    l.deleteCode(QString(), Msg::Yes);
    l.deleteCode(QStringLiteral("   "), Msg::Yes);
    l.deleteCode(QStringLiteral("9"), Msg::Yes);
    l.deleteCode(QStringLiteral("01"), Msg::Yes);
    QCOMPARE(l.program.messages().noticeTexts(),
        (QStringList {
            Msg::EnterExamineeNumber, Msg::EnterExamineeNumber, Msg::NoExamineeWithCode, Msg::NoExamineeWithCode }));
    QCOMPARE(l.program.rowCount(QStringLiteral("IDE")), 6);
    QCOMPARE(l.program.rowCount(QStringLiteral("Answer")), 6);
}

void TestLookupWindow::deleteAnsweredNo()
{
    Lookup l;
    l.typeInto("DataCombo6", QStringLiteral("علي"));
    l.deleteCode(QStringLiteral("3"), Msg::No);
    const ScriptedMessages::Box& asked = l.program.messages().boxes.last();
    // Whom it is about first, then the question; "خير" is the default.
    QCOMPARE(asked.text, QStringLiteral("حذف علي احمدي با کد 3؟\n") + Msg::ConfirmDeletion);
    QCOMPARE(asked.style, Msg::Style::YesNo | Msg::Style::DefaultSecond);
    QCOMPARE(asked.title, Msg::ApplicationTitle);
    QCOMPARE(l.program.messages().boxes.size(), 1);
    QCOMPARE(l.rows(QStringLiteral("IDE"), QStringLiteral("3")), 1);
    QCOMPARE(l.rows(QStringLiteral("Answer"), QStringLiteral("3")), 1);
    QCOMPARE(l.listed(), (QStringList { "1", "3", "6" }));
}

void TestLookupWindow::deleteAnsweredYes()
{
    Lookup l;
    l.typeInto("DataCombo6", QStringLiteral("زهرا"));
    auto* code = l.find<QLineEdit>("Text5");
    code->setFocus();
    code->setText(QStringLiteral("2"));
    l.program.messages().answers.enqueue(Msg::Yes);
    QTest::keyClick(code, Qt::Key_Return); // Enter deletes as the button does
    QCOMPARE(l.program.messages().noticeTexts(), QStringList { Msg::DeletionDone });
    QCOMPARE(l.rows(QStringLiteral("IDE"), QStringLiteral("2")), 0);
    QCOMPARE(l.rows(QStringLiteral("Answer"), QStringLiteral("2")), 0);
    QCOMPARE(l.program.rowCount(QStringLiteral("IDE")), 5);
    QCOMPARE(l.listed(), (QStringList { "1", "3", "4", "5", "6" }));
    QVERIFY(code->text().isEmpty());
    QVERIFY(code->hasFocus());
    QCOMPARE(l.box("DataCombo6")->currentText(), QString());
    QCOMPARE(l.box("DataCombo6")->findText(QStringLiteral("زهرا")), -1);
}

// A remembered comparison pair goes with either of its codes; other pairs stay.
void TestLookupWindow::deleteTakesTheRememberedPairs()
{
    Lookup l;
    l.program.exec(QStringLiteral("INSERT INTO ComparedPairs (FirstCode, SecondCode, Kind) VALUES "
                                  "('5', '2', 'Couple'), ('3', '4', 'FollowUp')"));
    l.deleteCode(QStringLiteral("2"), Msg::Yes);
    QCOMPARE(l.program.messages().noticeTexts(), QStringList { Msg::DeletionDone });
    QCOMPARE(l.rows(QStringLiteral("IDE"), QStringLiteral("2")), 0);
    QCOMPARE(l.program.rowCount(QStringLiteral("ComparedPairs"), QStringLiteral("SecondCode"), QStringLiteral("2")), 0);
    QCOMPARE(l.program.rowCount(QStringLiteral("ComparedPairs")), 1);
    l.deleteCode(QStringLiteral("3"), Msg::Yes);
    QCOMPARE(l.program.rowCount(QStringLiteral("ComparedPairs")), 0);
    QCOMPARE(l.program.rowCount(QStringLiteral("IDE")), 4);
}

void TestLookupWindow::deleteTakesEveryRowOfTheCode()
{
    Lookup l;
    // Two pairs under one code, as an older version or a hand merge of two files may leave them.
    l.program.addExaminee(QStringLiteral("4"), QStringLiteral("Second"));
    l.program.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES ('4')"));
    QCOMPARE(l.rows(QStringLiteral("Answer"), QStringLiteral("4")), 3);
    l.deleteCode(QStringLiteral(" 4 "), Msg::Yes);
    QCOMPARE(l.program.messages().noticeTexts(), QStringList { Msg::DeletionDone });
    QCOMPARE(l.rows(QStringLiteral("IDE"), QStringLiteral("4")), 0);
    QCOMPARE(l.rows(QStringLiteral("Answer"), QStringLiteral("4")), 0);
    QCOMPARE(l.program.rowCount(QStringLiteral("IDE")), 5);
    QCOMPARE(l.program.rowCount(QStringLiteral("Answer")), 5);
}

void TestLookupWindow::deleteFindsTheCodeHoweverTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("Persian digits") << QStringLiteral("\u06F4");
    QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0664");
    QTest::newRow("zero-width and direction marks") << QStringLiteral("\u200F4\u200B\u200E");
}

void TestLookupWindow::deleteFindsTheCodeHoweverTyped()
{
    QFETCH(QString, typed);
    Lookup l;
    l.deleteCode(typed, Msg::Yes);
    QCOMPARE(l.program.messages().noticeTexts(), QStringList { Msg::DeletionDone });
    QCOMPARE(l.rows(QStringLiteral("IDE"), QStringLiteral("4")), 0);
    QCOMPARE(l.rows(QStringLiteral("Answer"), QStringLiteral("4")), 0);
    QCOMPARE(l.program.rowCount(QStringLiteral("IDE")), 5);
}

void TestLookupWindow::deleteOnAHeldFileSaysSoAndKeepsTheRows()
{
    Lookup l;
    {
        LockHolder other(l.program.database().filePath());
        QVERIFY(other.isHolding());
        l.deleteCode(QStringLiteral("4"), Msg::Yes);
    }
    // Never "no such examinee": the operator hears that the file is busy, and nothing was asked or removed.
    QCOMPARE(l.program.messages().noticeTexts(), QStringList {});
    QCOMPARE(l.program.messages().boxes.size(), 1);
    QVERIFY2(l.program.messages().boxes[0].text.startsWith(Msg::DatabaseBusy), qPrintable(l.program.messages().lastText()));
    QCOMPARE(l.rows(QStringLiteral("IDE"), QStringLiteral("4")), 1);
    QCOMPARE(l.rows(QStringLiteral("Answer"), QStringLiteral("4")), 1);
}

void TestLookupWindow::deleteWithOnlyOneRow_data()
{
    QTest::addColumn<QString>("missing");
    QTest::newRow("no answers row") << "Answer";
    QTest::newRow("no details row") << "IDE";
}

void TestLookupWindow::deleteWithOnlyOneRow()
{
    QFETCH(QString, missing);
    Lookup l;
    l.program.exec(QStringLiteral("DELETE FROM \"%1\" WHERE Code = '5'").arg(missing));
    l.deleteCode(QStringLiteral("5"), Msg::Yes);
    QCOMPARE(l.program.messages().noticeTexts(), QStringList { Msg::DeletionDone });
    QCOMPARE(l.rows(QStringLiteral("IDE"), QStringLiteral("5")), 0);
    QCOMPARE(l.rows(QStringLiteral("Answer"), QStringLiteral("5")), 0);
    QCOMPARE(l.program.rowCount(QStringLiteral("Answer")) + l.program.rowCount(QStringLiteral("IDE")), 10);
}

void TestLookupWindow::failedDeletionKeepsBothRows()
{
    Lookup l;
    l.program.exec(QStringLiteral(
        "CREATE TRIGGER keep BEFORE DELETE ON Answer BEGIN SELECT RAISE(ABORT, 'answers are kept'); END"));
    l.deleteCode(QStringLiteral("1"), Msg::Yes);
    const ScriptedMessages::Box& error = l.program.messages().boxes.last();
    QCOMPARE(error.kind, ScriptedMessages::Kind::Standard);
    QVERIFY2(error.text.contains(QStringLiteral("answers are kept")), qPrintable(error.text));
    // In Persian first; the platform's words follow.
    QVERIFY2(error.text.startsWith(Msg::DatabaseFailing), qPrintable(error.text));
    QCOMPARE(error.style, Msg::Style::StopRtl);
    QCOMPARE(error.title, Msg::ErrorTitlePersian);
    QCOMPARE(l.program.messages().noticeTexts(), QStringList {});
    // The details row went first and came back with the rollback.
    QCOMPARE(l.rows(QStringLiteral("IDE"), QStringLiteral("1")), 1);
    QCOMPARE(l.rows(QStringLiteral("Answer"), QStringLiteral("1")), 1);
    QCOMPARE(l.find<QLineEdit>("Text5")->text(), QStringLiteral("1"));

    // Once the obstacle is gone, the same code is deleted.
    l.program.exec(QStringLiteral("DROP TRIGGER keep"));
    l.deleteCode(QStringLiteral("1"), Msg::Yes);
    QCOMPARE(l.rows(QStringLiteral("IDE"), QStringLiteral("1")), 0);
    QCOMPARE(l.rows(QStringLiteral("Answer"), QStringLiteral("1")), 0);
}

void TestLookupWindow::gridShowsAnotherProgramsDeletionsWhenActiveAgain()
{
    Lookup l;
    QCOMPARE(l.listed().size(), 6);
    // Another copy of the program on the same file, while this one's window is in the background.
    QWidget elsewhere;
    elsewhere.show();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    Database other(l.program.folder());
    QVERIFY(other.open().ok());
    QVERIFY(other.exec(QStringLiteral("DELETE FROM IDE WHERE Code IN ('2', '5')")));
    l.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(l.window.get()));
    QTRY_COMPARE(l.listed(), (QStringList { "1", "3", "4", "6" }));
}

void TestLookupWindow::gridReadsAfreshRatherThanShowBlankRows()
{
    // More than one page of rows; the window has read the first page, not the last.
    Lookup l(true, 300);
    QTRY_COMPARE(l.window->gridModel()->rowCount(), 306);
    Database other(l.program.folder());
    QVERIFY(other.open().ok());
    QVERIFY(other.exec(QStringLiteral("DELETE FROM IDE WHERE Code IN ('1', '2', 'x1', 'x2', 'x3')")));
    l.listed(); // reads the later pages, shorter now than the rows counted
    QTRY_COMPARE(l.window->gridModel()->rowCount(), 301);
    const QStringList codes = l.listed();
    QVERIFY(!codes.contains(QString()));
    QCOMPARE(codes.first(), QStringLiteral("3"));
    QCOMPARE(codes.last(), QStringLiteral("x300"));
}

// On a clinic's server with rights, the server cannot see rows leave it in a file: the program says so in the trail.
void TestLookupWindow::exportOnAServerWithRightsIsInTheTrail()
{
    T35_SKIP_WITHOUT_SERVER();
    TestProgram program(TestProgram::OnServer);
    QVERIFY(ServerRights::setUp(program.database(), QString()).isNull());
    program.exec(QStringLiteral("INSERT INTO IDE (Code, FName) VALUES ('61', 'Sara')"));
    program.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES ('61')"));
    LookupWindow window(program.database(), program.messages(), program.fileDialogs(), labelledScoring());
    window.show();
    Drive::waitUntilActive(&window);
    for (const bool names : { false, true }) {
        window.findChild<QCheckBox*>(QStringLiteral("CheckExportNames"))->setChecked(names);
        program.fileDialogs().names.enqueue(QDir(program.folder()).filePath(QStringLiteral("all.csv")));
        Drive::click(&window, QStringLiteral("CommandExport"));
    }
    QCOMPARE(program.messages().noticeTexts(), QStringList({ Msg::ExportDone, Msg::ExportDone }));
    QCOMPARE(program.scalar(QStringLiteral("SELECT string_agg(\"What\" || ': ' || \"Detail\", '; ' ORDER BY \"When\") "
                                           "FROM \"AuditLog\" WHERE \"What\" = 'CSV export'"))
                 .toString(),
        QStringLiteral("CSV export: 1 rows, without names; CSV export: 1 rows, with names"));
}

void TestLookupWindow::sharingOnlyWithRights_data()
{
    QTest::addColumn<int>("where");
    QTest::newRow("data file") << 0;
    QTest::newRow("server without rights") << 1;
    QTest::newRow("server with rights, its owner") << 2;
}

void TestLookupWindow::sharingOnlyWithRights()
{
    QFETCH(int, where);
    if (where > 0)
        T35_SKIP_WITHOUT_SERVER();
    TestProgram program(where == 0 ? TestProgram::OnFile : TestProgram::OnServer);
    if (where == 2)
        QVERIFY(ServerRights::setUp(program.database(), QString()).isNull());
    LookupWindow window(program.database(), program.messages(), program.fileDialogs(), labelledScoring());
    window.show();
    QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("CommandShare")) != nullptr, where == 2);
    QCOMPARE(window.shareModel() != nullptr, where == 2);
    QCOMPARE(window.findChild<QTableView*>(QStringLiteral("DataGrid1"))->model()->columnCount(), where == 2 ? 6 : 5);
}

void TestLookupWindow::counsellorsShareAndTakeBack()
{
    T35_SKIP_WITHOUT_SERVER();
    Clinic clinic;
    const QString head = clinic.logins.at(HeadLogin);
    const QString first = clinic.logins.at(FirstLogin);
    const QString second = clinic.logins.at(SecondLogin);
    clinic.registerAs(FirstLogin, QStringLiteral("11"));
    clinic.registerAs(FirstLogin, QStringLiteral("12"));
    clinic.registerAs(SecondLogin, QStringLiteral("21"));
    ScriptedMessages& messages = clinic.program.messages();

    // The first counsellor sees their own, chooses the second from the clinic's colleagues and shares one.
    std::unique_ptr<LookupWindow> asFirst = clinic.window(FirstLogin);
    QVERIFY(LayoutCheck::nothingCutOff(asFirst.get(), { QStringLiteral("DataGrid1Caption/DataGrid1") }));
    QCOMPARE(listedWithMarks(*asFirst), QStringList({ "11|", "12|" }));
    auto* colleagues = Drive::find<QComboBox>(asFirst.get(), QStringLiteral("ComboColleague"));
    // (Roles are the cluster's: other clinics' logins on a shared test cluster may be listed too.)
    QVERIFY(colleagues->findText(second) >= 0 && colleagues->findText(head) >= 0 && colleagues->findText(first) < 0);
    shareWith(*asFirst, QStringLiteral("11"), second);
    shareWith(*asFirst, QStringLiteral("12"), QStringLiteral("nobody"));
    asFirst->findChild<QTableView*>(QStringLiteral("DataGrid1"))->setCurrentIndex(QModelIndex());
    Drive::click(asFirst.get(), QStringLiteral("CommandShare"));
    QCOMPARE(messages.noticeTexts(),
        QStringList({ Msg::ShareDone, Msg::NoSuchColleague, Msg::ChooseExamineeToShare }));
    QCOMPARE(listedWithMarks(*asFirst), QStringList({ "11|با " + second, "12|" }));
    messages.clear();

    // The second sees it marked as shared with them, through the window and through a plain connection; may
    // neither share it on, take the share back, nor delete it, and the server refuses the deletion too.
    std::unique_ptr<LookupWindow> asSecond = clinic.window(SecondLogin);
    QCOMPARE(listedWithMarks(*asSecond), QStringList({ "11|با من", "21|" }));
    shareWith(*asSecond, QStringLiteral("11"), head);
    shareWith(*asSecond, QStringLiteral("11"), QString(), "CommandUnshare");
    asSecond->findChild<QLineEdit*>(QStringLiteral("Text5"))->setText(QStringLiteral("11"));
    Drive::click(asSecond.get(), QStringLiteral("Command2"));
    QCOMPARE(messages.noticeTexts(), QStringList({ Msg::ShareOnlyOwn, Msg::ShareOnlyOwn, Msg::DeleteOthersExaminee }));
    {
        QSqlDatabase plain = QSqlDatabase::cloneDatabase(clinic.as(SecondLogin).connection(), QStringLiteral("plain"));
        QVERIFY(plain.open());
        QSqlQuery q(plain);
        QVERIFY(q.exec(QStringLiteral("SET search_path TO public")));
        QVERIFY(q.exec(QStringLiteral("SELECT \"Code\" FROM \"IDE\" ORDER BY 1")));
        QStringList seen;
        while (q.next())
            seen << q.value(0).toString();
        QCOMPARE(seen, QStringList({ "11", "21" }));
        for (const char* table : { "IDE", "Answer" }) {
            QVERIFY(q.exec(QStringLiteral("DELETE FROM \"%1\" WHERE \"Code\" = '11'").arg(QLatin1String(table))));
            QCOMPARE(q.numRowsAffected(), 0);
        }
        q.finish();
        plain.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plain"));
    QCOMPARE(clinic.program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("11")), 1);
    QCOMPARE(clinic.program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("11")), 1);

    // The head sees every examinee and every share.
    std::unique_ptr<LookupWindow> asHead = clinic.window(HeadLogin);
    QCOMPARE(listedWithMarks(*asHead), QStringList({ "11|با " + second, "12|", "21|" }));

    // Taken back by the first (every share of the examinee, no colleague named): gone from the second's list.
    messages.clear();
    shareWith(*asFirst, QStringLiteral("11"), QString(), "CommandUnshare");
    shareWith(*asFirst, QStringLiteral("11"), second, "CommandUnshare");
    QCOMPARE(messages.noticeTexts(), QStringList({ Msg::ShareTakenBack, Msg::NotSharedWithColleague }));
    QCOMPARE(listedWithMarks(*asFirst), QStringList({ "11|", "12|" }));
    asSecond->gridModel()->refresh();
    asSecond->shareModel()->refresh();
    QCOMPARE(listedWithMarks(*asSecond), QStringList { "21|" });
    // The server wrote the share and its taking back into the trail, as the first counsellor.
    QCOMPARE(clinic.program.scalar(QStringLiteral("SELECT string_agg(\"Who\" || ' ' || \"What\", ', ' ORDER BY \"When\") "
                                                  "FROM \"AuditLog\" WHERE \"What\" LIKE 'ExamineeShare%'"))
                 .toString(),
        first + QStringLiteral(" ExamineeShare insert, ") + first + QStringLiteral(" ExamineeShare delete"));
}

void TestLookupWindow::exportWritesTheListedExaminees()
{
    Lookup l;
    l.program.exec(QStringLiteral("UPDATE IDE SET Rezayat = '40' WHERE Code = '6'"));
    l.typeInto("Combo3", QStringLiteral("A"));
    const QString path = QDir(l.program.folder()).filePath(QStringLiteral("group-a.csv"));
    l.program.fileDialogs().names.enqueue(path);
    Drive::click(l.window.get(), QStringLiteral("CommandExport"));
    QCOMPARE(l.program.fileDialogs().requests.size(), 1);
    QCOMPARE(l.program.fileDialogs().requests.at(0).kind, ScriptedFileDialogs::Kind::Save);
    // The dialog opens in a folder that exists.
    QVERIFY(QFileInfo(l.program.fileDialogs().requests.at(0).path).dir().exists());
    QCOMPARE(l.program.messages().noticeTexts(), QStringList { Msg::ExportDone });

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 5); // header, three examinees, and the empty rest after the last line break
    QVERIFY(lines.at(1).startsWith("1,"));
    QVERIFY(lines.at(2).startsWith("4,"));
    QVERIFY(lines.at(3).startsWith("6,"));
    QVERIFY(lines.at(3).contains(",40,40%,0,"));
}

void TestLookupWindow::exportCancelledOrFailed()
{
    Lookup l;
    Drive::click(l.window.get(), QStringLiteral("CommandExport")); // no name chosen: cancelled
    QCOMPARE(l.program.messages().boxes.size(), 0);
    QCOMPARE(QDir(l.program.folder()).entryList({ QStringLiteral("*.csv") }), QStringList {});

    l.program.fileDialogs().names.enqueue(QDir(l.program.folder()).filePath(QStringLiteral("missing/x.csv")));
    Drive::click(l.window.get(), QStringLiteral("CommandExport"));
    QCOMPARE(l.program.messages().boxes.size(), 1);
    const ScriptedMessages::Box& error = l.program.messages().boxes.last();
    QVERIFY(error.text.startsWith(Msg::ExportFailed));
    QCOMPARE(error.title, Msg::ErrorTitlePersian);
}

// The export runs beside the window, showing how far it is; its cancel stops it with no file written and no box.
void TestLookupWindow::exportStoppedByItsCancelLeavesNoFile()
{
    Lookup l(true, 5000);
    ProgressStrip* strip = l.window->exportProgress();
    QVERIFY(strip->isHidden());
    bool shownWhileRunning = false;
    connect(strip->bar(), &QProgressBar::valueChanged, strip, [&](int percent) {
        if (percent == 0)
            return;
        shownWhileRunning = strip->isVisible() && !l.find<QPushButton>("CommandExport")->isEnabled();
        strip->cancelButton()->click();
    });
    l.program.fileDialogs().names.enqueue(QDir(l.program.folder()).filePath(QStringLiteral("all.csv")));
    Drive::click(l.window.get(), QStringLiteral("CommandExport"));
    QVERIFY(shownWhileRunning);
    QCOMPARE(l.program.messages().boxes.size(), 0);
    QCOMPARE(QDir(l.program.folder()).entryList({ QStringLiteral("*.csv*") }), QStringList {});
    QVERIFY(strip->isHidden());
    QVERIFY(l.find<QPushButton>("CommandExport")->isEnabled());
}

void TestLookupWindow::exportNamesOnlyWhenTicked()
{
    Lookup l;
    auto* names = l.find<QCheckBox>("CheckExportNames");
    QVERIFY(!names->isChecked());
    const QString plain = QDir(l.program.folder()).filePath(QStringLiteral("research.csv"));
    const QString named = QDir(l.program.folder()).filePath(QStringLiteral("named.csv"));
    l.program.fileDialogs().names << plain << named;
    Drive::click(l.window.get(), QStringLiteral("CommandExport"));
    Drive::click(l.window.get(), QStringLiteral("CheckExportNames"));
    QVERIFY(names->isChecked());
    Drive::click(l.window.get(), QStringLiteral("CommandExport"));
    QCOMPARE(l.program.messages().noticeTexts(), QStringList({ Msg::ExportDone, Msg::ExportDone }));

    auto text = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    for (const QStringList& person : people) {
        QVERIFY(text(plain).contains(QLatin1Char('\n') + person.at(0) + QLatin1Char(',')));
        QVERIFY2(!text(plain).contains(person.at(1)) && !text(plain).contains(person.at(2)), qPrintable(person.at(0)));
        QVERIFY(text(named).contains(person.at(0) + QLatin1Char(',') + person.at(1) + QLatin1Char(',') + person.at(2)));
    }
}

// "با گزينه‌ها" adds the options as chosen after the keyed answers; unticked, the file has none of them.
void TestLookupWindow::exportChoicesOnlyWhenTicked()
{
    Lookup l;
    auto* choices = l.find<QCheckBox>("CheckExportChoices");
    QVERIFY(!choices->isChecked());
    QCOMPARE(choices->text(), QStringLiteral(u"با گزينه\u200cها"));
    const QString plain = QDir(l.program.folder()).filePath(QStringLiteral("research.csv"));
    const QString withChoices = QDir(l.program.folder()).filePath(QStringLiteral("choices.csv"));
    l.program.fileDialogs().names << plain << withChoices;
    Drive::click(l.window.get(), QStringLiteral("CommandExport"));
    Drive::click(l.window.get(), QStringLiteral("CheckExportChoices"));
    QVERIFY(choices->isChecked());
    Drive::click(l.window.get(), QStringLiteral("CommandExport"));
    QCOMPARE(l.program.messages().noticeTexts(), QStringList({ Msg::ExportDone, Msg::ExportDone }));
    auto header = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readLine()) : QString();
    };
    const QString firstChoice = PersianLetters::asTyped(QStringLiteral("گزينه سوال 1,"));
    QVERIFY(!header(plain).contains(firstChoice));
    QVERIFY(header(withChoices).contains(firstChoice));
    QVERIFY(header(withChoices).contains(PersianLetters::asTyped(QStringLiteral("گزينه سوال 35,"))));
}

void TestLookupWindow::closeButtonClosesAndNothingIsCutOff()
{
    Lookup l;
    QVERIFY(LayoutCheck::nothingCutOff(l.window.get(), { QStringLiteral("DataGrid1Caption/DataGrid1") }));
    QVERIFY(LayoutCheck::nothingCutOff(l.find<QGroupBox>("Frame1")));
    // The group box shows its whole first text.
    QLineEdit* group = l.box("Combo3")->lineEdit();
    QVERIFY(group->fontMetrics().horizontalAdvance(groupPrompt) < group->contentsRect().width());
    Drive::click(l.window.get(), QStringLiteral("Command6"));
    QVERIFY(!l.window->isVisible());
}

QTEST_MAIN(TestLookupWindow)
#include "TestLookupWindow.moc"
