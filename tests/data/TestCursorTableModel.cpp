#include "data/CursorTableModel.h"
#include "data/TableCursor.h"
#include "support/TestProgram.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

const QList<CursorTableModel::Column> gridColumns = {
    { QStringLiteral("Code"), QStringLiteral("Code") },
    { QStringLiteral("FName"), QStringLiteral("نام") },
    { QStringLiteral("Group"), QStringLiteral("گروه") },
};

// Examinees "1" ... "n" in table order, groups A, B, C in turn.
void addNumbered(TestProgram& program, int n)
{
    program.database().beginTransaction();
    for (int i = 1; i <= n; ++i)
        program.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"FName\", \"Group\") VALUES (?, ?, ?)"),
            { QString::number(i), QStringLiteral("n%1").arg(i % 5), QString(QChar(u'A' + (i - 1) % 3)) });
    program.database().commit();
}

QStringList column(const CursorTableModel& model, int c)
{
    QStringList texts;
    for (int r = 0; r < model.rowCount(); ++r)
        texts << model.data(model.index(r, c)).toString();
    return texts;
}

} // namespace

class TestCursorTableModel : public QObject {
    Q_OBJECT
private slots:
    void rowsInTableOrderAcrossPages();
    void headersAndColumns();
    void startsAfreshOnReloadFilterRemovalAndAdding();
    void rowsAreReadOnlyWhenShown();
    void aQuoteInAFilterIsAnOrdinaryValue();
    void aFailedReadIsReportedOnce();
    void readRowsReadsAPageThroughTheFilter();
    void distinctValuesInPersianOrder();
    void distinctValuesFollowTheFilter();
    void severalListsInOneReadAreEachList();
    void firstRowsKeptAreReadOnceAndAfreshAfterAWrite();
    void countedOnDemand_data();
    void countedOnDemand();
};

void TestCursorTableModel::rowsInTableOrderAcrossPages()
{
    TestProgram program;
    const int n = 2 * CursorTableModel::PageSize + 5;
    addNumbered(program, n);
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    CursorTableModel model(cursor, gridColumns);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    QCOMPARE(model.rowCount(), n);
    // Last row first, then back to the start: pages are read in any order.
    for (int r : { n - 1, 0, CursorTableModel::PageSize - 1, CursorTableModel::PageSize, n - 6 })
        QCOMPARE(model.data(model.index(r, 0)).toString(), QString::number(r + 1));
    QCOMPARE(model.data(model.index(n - 1, 2)).toString(), QString(QChar(u'A' + (n - 1) % 3)));
    QVERIFY(!model.index(n, 0).isValid());
}

void TestCursorTableModel::headersAndColumns()
{
    TestProgram program;
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    CursorTableModel model(cursor, gridColumns);
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("نام"));
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("گروه"));
}

void TestCursorTableModel::startsAfreshOnReloadFilterRemovalAndAdding()
{
    TestProgram program;
    addNumbered(program, 9);
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    CursorTableModel model(cursor, gridColumns);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    QVERIFY(cursor.setFilter(QStringLiteral("Group"), QStringLiteral("B")));
    QCOMPARE(column(model, 0), (QStringList { "2", "5", "8" }));

    // Another writer's row appears after a reload.
    program.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"Group\") VALUES ('10', 'B')"));
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(cursor.reload());
    QCOMPARE(column(model, 0), (QStringList { "2", "5", "8", "10" }));

    QVERIFY(cursor.moveTo(1));
    QVERIFY(cursor.remove());
    QCOMPARE(column(model, 0), (QStringList { "2", "8", "10" }));
    QCOMPARE(program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("5")), 0);

    cursor.addNew();
    cursor.setField(QStringLiteral("Code"), QStringLiteral("11"));
    cursor.setField(QStringLiteral("Group"), QStringLiteral("B"));
    QVERIFY(cursor.update());
    QCOMPARE(column(model, 0), (QStringList { "2", "8", "10", "11" }));

    cursor.clearFilter();
    QCOMPARE(model.rowCount(), 10);
    QCOMPARE(resets.count(), 5);
}

void TestCursorTableModel::rowsAreReadOnlyWhenShown()
{
    TestProgram program;
    const int n = 3 * CursorTableModel::PageSize;
    addNumbered(program, n);
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    CursorTableModel model(cursor, gridColumns);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("1"));

    // Rows deleted behind the model's back: the page already read still shows them, a page not yet read does not,
    // which shows that the rest was never read in advance.
    program.exec(QStringLiteral("DELETE FROM \"IDE\""));
    QCOMPARE(model.data(model.index(1, 0)).toString(), QStringLiteral("2"));
    QCOMPARE(model.data(model.index(n - 1, 0)).toString(), QString());
    QVERIFY(cursor.reload());
    QCOMPARE(model.rowCount(), 0);
}

void TestCursorTableModel::aQuoteInAFilterIsAnOrdinaryValue()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"), QStringLiteral("O'Brien"));
    program.addExaminee(QStringLiteral("2"), QStringLiteral("Ali"));
    program.addExaminee(QStringLiteral("3"), QStringLiteral("O'Brien"));
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    CursorTableModel model(cursor, gridColumns);
    QVERIFY(cursor.setFilter(QStringLiteral("FName"), QStringLiteral("O'Brien")));
    QCOMPARE(column(model, 0), (QStringList { "1", "3" }));
}

void TestCursorTableModel::aFailedReadIsReportedOnce()
{
    TestProgram program;
    addNumbered(program, 3);
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    CursorTableModel model(cursor, gridColumns);
    QSignalSpy failures(&model, &CursorTableModel::readFailed);

    program.exec(QStringLiteral("ALTER TABLE \"IDE\" RENAME TO \"Gone\""));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString());
    QCOMPARE(model.data(model.index(1, 0)).toString(), QString());
    QCOMPARE(failures.count(), 1);
    QVERIFY2(
        failures.at(0).at(0).toString().contains(QStringLiteral("IDE")), qPrintable(failures.at(0).at(0).toString()));
}

void TestCursorTableModel::readRowsReadsAPageThroughTheFilter()
{
    TestProgram program;
    addNumbered(program, 7);
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    QVERIFY(cursor.moveTo(4));
    QList<QStringList> rows;
    QVERIFY(cursor.readRows(2, 2, { QStringLiteral("Code"), QStringLiteral("Group") }, rows));
    QCOMPARE(rows, (QList<QStringList> { { "3", "C" }, { "4", "A" } }));
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("5")); // the current row stays

    // Places count, not identities: a row gone in the middle moves the later ones up; past the last row, none.
    program.exec(QStringLiteral("DELETE FROM IDE WHERE Code = '2'"));
    QVERIFY(cursor.readRows(2, 2, { QStringLiteral("Code") }, rows));
    QCOMPARE(rows, (QList<QStringList> { { "4" }, { "5" } }));
    QVERIFY(cursor.readRows(5, 4, { QStringLiteral("Code") }, rows));
    QCOMPARE(rows, (QList<QStringList> { { "7" } }));
    QVERIFY(cursor.readRows(6, 4, { QStringLiteral("Code") }, rows));
    QVERIFY(rows.isEmpty());

    QVERIFY(cursor.setFilter(QStringLiteral("Group"), QStringLiteral("A")));
    QVERIFY(cursor.readRows(1, 100, { QStringLiteral("Code") }, rows));
    QCOMPARE(rows, (QList<QStringList> { { "4" }, { "7" } }));
    QVERIFY(!cursor.readRows(0, 1, { QStringLiteral("Nope") }, rows));
    QVERIFY(!cursor.lastError().isEmpty());
}

void TestCursorTableModel::distinctValuesInPersianOrder()
{
    TestProgram program;
    const QStringList names = { QStringLiteral("گل"), QStringLiteral("پری"), QStringLiteral("زهرا"),
        QStringLiteral("ژاله"), QStringLiteral("بهار"), QStringLiteral("کاوه"), QStringLiteral("بهار"), QString(),
        QStringLiteral("O'Brien") };
    int code = 0;
    for (const QString& name : names)
        program.addExaminee(QString::number(++code), name);
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    // Persian alphabetical order puts پ after ب, ژ after ز and گ after ک, unlike the order of the character codes.
    QStringList values;
    QVERIFY(cursor.distinctValues(QStringLiteral("FName"), values));
    QCOMPARE(values, (QStringList { "بهار", "پری", "زهرا", "ژاله", "کاوه", "گل", "O'Brien" }));
    QVERIFY(!cursor.distinctValues(QStringLiteral("Nope"), values));
    QVERIFY(values.isEmpty());
}

void TestCursorTableModel::distinctValuesFollowTheFilter()
{
    TestProgram program;
    addNumbered(program, 10);
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    QStringList values;
    QVERIFY(cursor.distinctValues(QStringLiteral("FName"), values));
    QCOMPARE(values, (QStringList { "n0", "n1", "n2", "n3", "n4" }));
    QVERIFY(cursor.setFilter(QStringLiteral("Group"), QStringLiteral("A")));
    // Group A holds 1, 4, 7 and 10.
    QVERIFY(cursor.distinctValues(QStringLiteral("FName"), values));
    QCOMPARE(values, (QStringList { "n0", "n1", "n2", "n4" }));
}

void TestCursorTableModel::severalListsInOneReadAreEachList()
{
    TestProgram program;
    addNumbered(program, 10);
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    QVERIFY(cursor.setFilter(QStringLiteral("Group"), QStringLiteral("B")));
    const QStringList columns = { QStringLiteral("FName"), QStringLiteral("Group"), QStringLiteral("LName") };
    QList<QStringList> lists;
    QVERIFY(cursor.distinctValues(columns, lists));
    QCOMPARE(lists.size(), columns.size());
    for (qsizetype i = 0; i < columns.size(); ++i) {
        QStringList alone;
        QVERIFY(cursor.distinctValues(columns.at(i), alone));
        QCOMPARE(lists.at(i), alone);
    }
    QCOMPARE(lists.at(1), QStringList { QStringLiteral("B") });
    QVERIFY(lists.at(2).isEmpty());
    QVERIFY(!cursor.distinctValues({ QStringLiteral("FName"), QStringLiteral("Nope") }, lists));
    QVERIFY(lists.isEmpty());
}

void TestCursorTableModel::firstRowsKeptAreReadOnceAndAfreshAfterAWrite()
{
    TestProgram program;
    addNumbered(program, 5);
    TableCursor cursor(program.database(), QStringLiteral("IDE"), TableCursor::CountedOnDemand { 3 });
    // Changed after the cursor read: its first screen is the rows as read with the first row, once.
    program.exec(QStringLiteral("UPDATE IDE SET FName = 'x' WHERE Code = '2'"));
    QList<QStringList> rows;
    QVERIFY(cursor.readRows(0, 3, { QStringLiteral("Group"), QStringLiteral("Code") }, rows));
    QCOMPARE(rows, (QList<QStringList> { { "A", "1" }, { "B", "2" }, { "C", "3" } }));
    QVERIFY(cursor.readRows(0, 2, { QStringLiteral("FName") }, rows));
    QCOMPARE(rows, (QList<QStringList> { { "n1" }, { "x" } }));
    // More rows than were kept are read.
    QVERIFY(cursor.reload());
    QVERIFY(cursor.readRows(0, 5, { QStringLiteral("Code") }, rows));
    QCOMPARE(rows.size(), 5);
    // A write of the cursor's own drops them.
    QVERIFY(cursor.reload());
    cursor.setField(QStringLiteral("FName"), QStringLiteral("y"));
    QVERIFY(cursor.update());
    QVERIFY(cursor.readRows(0, 1, { QStringLiteral("FName") }, rows));
    QCOMPARE(rows, (QList<QStringList> { { "y" } }));
}

void TestCursorTableModel::countedOnDemand_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("removedMeanwhile");
    QTest::addColumn<int>("shownFirst");
    QTest::newRow("less than a page: all at once") << 50 << 0 << 50;
    QTest::newRow("a page exactly") << CursorTableModel::PageSize << 0 << CursorTableModel::PageSize;
    QTest::newRow("pages: the first, then the rest") << 3 * CursorTableModel::PageSize + 7 << 0
                                                     << CursorTableModel::PageSize;
    QTest::newRow("rows removed before the count") << 3 * CursorTableModel::PageSize << 2 * CursorTableModel::PageSize
                                                   << CursorTableModel::PageSize;
}

// A grid's cursor that counts on demand: the first page is shown at once and every row once the count arrives,
// under a filter too; what is removed before it is not shown.
void TestCursorTableModel::countedOnDemand()
{
    QFETCH(int, rows);
    QFETCH(int, removedMeanwhile);
    QFETCH(int, shownFirst);
    TestProgram program;
    addNumbered(program, rows);
    TableCursor cursor(program.database(), QStringLiteral("IDE"), TableCursor::CountedOnDemand {});
    QVERIFY(!cursor.isCounted());
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("1"));
    CursorTableModel model(cursor, gridColumns);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), shownFirst);
    if (removedMeanwhile > 0)
        program.exec(QStringLiteral("DELETE FROM \"IDE\" WHERE rowid > ?"), { rows - removedMeanwhile });
    const int all = rows - removedMeanwhile;
    QTRY_COMPARE(model.rowCount(), all);
    QCOMPARE(model.data(model.index(all - 1, 0)).toString(), QString::number(all));

    // A filter starts afresh the same way.
    QVERIFY(cursor.setFilter(QStringLiteral("Group"), QStringLiteral("B")));
    QVERIFY(!cursor.isCounted() || all / 3 < CursorTableModel::PageSize);
    QTRY_COMPARE(model.rowCount(), (all + 1) / 3);
    QCOMPARE(cursor.count(), (all + 1) / 3);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("2"));
}

QTEST_MAIN(TestCursorTableModel)
#include "TestCursorTableModel.moc"
