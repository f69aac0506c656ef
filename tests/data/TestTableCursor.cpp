#include "data/TableCursor.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"
#include "ui/ColumnBinding.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TestTableCursor : public QObject {
    Q_OBJECT
private slots:
    void anyTextIsAnOrdinaryValue_data();
    void anyTextIsAnOrdinaryValue();
    void codesCompareExactlyAsText_data();
    void codesCompareExactlyAsText();
    void filterOnUnknownColumnFails();
    void countAndMovement();
    void updateWritesOnlyTheCurrentRow();
    void reloadDropsUnsavedEditsAndNewRow();
    void removeMovesToTheNextRow();
    void removeRightAfterAReadKeepsTheRest();
    void removeAllTakesWhatTheFilterShows();
    void cursorsSeeEachOthersWritesAfterReload();
    void storedRowsComeLastAndStayCurrent_data();
    void storedRowsComeLastAndStayCurrent();
    void aCursorThatReadNothingStoresANewRow();
    void updateOfAVanishedRowFails();
    void readAllReadsWhatTheFilterShowsInOrder();
    void revertDropsUnsavedChanges();
    void unreadableFileIsAFailureNotNoRows();
    void waitingForALockIsBoundedOverall();
    void cursorsFilteredTogetherReadAsEachAlone();
    void aFilterByNoValueReadsNothing();
};

void TestTableCursor::anyTextIsAnOrdinaryValue_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("apostrophe") << QStringLiteral("O'Brien");
    QTest::newRow("double quote") << QStringLiteral("say \"12\"");
    QTest::newRow("Persian") << QStringLiteral("کد آزمودني ۱۲");
    QTest::newRow("sql text") << QStringLiteral("x' OR '1'='1");
    QTest::newRow("statement") << QStringLiteral("'; DROP TABLE IDE; --");
    QTest::newRow("a thousand characters") << QString(1000, QChar(0x0628));
    QTest::newRow("percent and underscore") << QStringLiteral("%_");
}

void TestTableCursor::anyTextIsAnOrdinaryValue()
{
    QFETCH(QString, value);
    TestProgram program;
    program.addExaminee(QStringLiteral("other"), QStringLiteral("Reza"), QStringLiteral("B"));

    TableCursor writer(program.database(), QStringLiteral("IDE"));
    writer.addNew();
    writer.setField(QStringLiteral("Code"), value);
    writer.setField(QStringLiteral("FName"), value);
    writer.setField(QStringLiteral("Group"), value);
    QVERIFY2(writer.update(), qPrintable(writer.lastError()));

    TableCursor finder(program.database(), QStringLiteral("IDE"));
    for (const QString& column : {QStringLiteral("Code"), QStringLiteral("FName"), QStringLiteral("Group")}) {
        QVERIFY(finder.setFilter(column, value));
        QCOMPARE(finder.count(), 1);
        QCOMPARE(finder.field(QStringLiteral("Code")), value);
        QCOMPARE(finder.field(column), value);
    }
    QCOMPARE(program.rowCount(QStringLiteral("IDE")), 2);
    QCOMPARE(program.ideField(value, QStringLiteral("FName")), value);
}

void TestTableCursor::codesCompareExactlyAsText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<int>("found");
    QTest::newRow("same") << "7" << "7" << 1;
    QTest::newRow("leading zero differs") << "7" << "07" << 0;
    QTest::newRow("stored with zero") << "07" << "7" << 0;
    QTest::newRow("no trimming") << "7" << " 7" << 0;
    QTest::newRow("no trimming of stored") << "7 " << "7" << 0;
    QTest::newRow("no case folding") << "a1" << "A1" << 0;
    QTest::newRow("decimal text") << "7.0" << "7" << 0;
    QTest::newRow("empty finds empty") << "" << "" << 1;
}

void TestTableCursor::codesCompareExactlyAsText()
{
    QFETCH(QString, stored);
    QFETCH(QString, searched);
    QFETCH(int, found);
    TestProgram program;
    program.exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\") VALUES (?)"), {stored});
    TableCursor cursor(program.database(), QStringLiteral("Answer"));
    QVERIFY(cursor.setFilter(QStringLiteral("Code"), searched));
    QCOMPARE(cursor.count(), found);
    QCOMPARE(cursor.hasCurrent(), found > 0);
}

void TestTableCursor::filterOnUnknownColumnFails()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"));
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    QVERIFY(!cursor.setFilter(QStringLiteral("Code\" = '1' OR \"1"), QStringLiteral("1")));
    QVERIFY(!cursor.lastError().isEmpty());
    QVERIFY(!cursor.isFiltered());
    QCOMPARE(cursor.count(), 1);
}

void TestTableCursor::countAndMovement()
{
    TestProgram program;
    for (const char* code : {"1", "2", "3"})
        program.addExaminee(QString::fromLatin1(code), QStringLiteral("N%1").arg(code), QStringLiteral("G"));
    program.addExaminee(QStringLiteral("4"), QStringLiteral("N4"), QStringLiteral("H"));

    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    QCOMPARE(cursor.count(), 4);
    QCOMPARE(cursor.position(), 0);
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("1"));
    QVERIFY(cursor.moveNext());
    QCOMPARE(cursor.field(QStringLiteral("FName")), QStringLiteral("N2"));
    QVERIFY(cursor.moveTo(3));
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("4"));
    QVERIFY(!cursor.moveNext());
    QVERIFY(!cursor.moveTo(-1));

    QVERIFY(cursor.setFilter(QStringLiteral("Group"), QStringLiteral("G")));
    QCOMPARE(cursor.count(), 3);
    QVERIFY(cursor.moveTo(2));
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("3"));

    QVERIFY(cursor.setFilter(QStringLiteral("Group"), QStringLiteral("Z")));
    QCOMPARE(cursor.count(), 0);
    QVERIFY(!cursor.hasCurrent());
    QCOMPARE(cursor.field(QStringLiteral("Code")), QString());
    cursor.setField(QStringLiteral("Code"), QStringLiteral("ignored"));
    QVERIFY(!cursor.update());

    cursor.clearFilter();
    QCOMPARE(cursor.count(), 4);
}

void TestTableCursor::updateWritesOnlyTheCurrentRow()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"));
    program.addExaminee(QStringLiteral("2"));
    TableCursor cursor(program.database(), QStringLiteral("Answer"));
    QVERIFY(cursor.setFilter(QStringLiteral("Code"), QStringLiteral("2")));
    cursor.setField(QStringLiteral("3"), QStringLiteral("5"));
    QVERIFY(cursor.isModified());
    QCOMPARE(program.answer(QStringLiteral("2"), 3), QString()); // not written before update
    QVERIFY(cursor.update());
    QVERIFY(!cursor.isModified());
    QCOMPARE(program.answer(QStringLiteral("2"), 3), QStringLiteral("5"));
    QCOMPARE(program.answer(QStringLiteral("1"), 3), QString());
    QCOMPARE(cursor.field(QStringLiteral("3")), QStringLiteral("5"));
}

void TestTableCursor::reloadDropsUnsavedEditsAndNewRow()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"), QStringLiteral("Ali"));
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    cursor.setField(QStringLiteral("FName"), QStringLiteral("Changed"));
    QCOMPARE(cursor.field(QStringLiteral("FName")), QStringLiteral("Changed"));
    cursor.reload();
    QCOMPARE(cursor.field(QStringLiteral("FName")), QStringLiteral("Ali"));

    cursor.addNew();
    QVERIFY(cursor.isNewRow());
    QCOMPARE(cursor.field(QStringLiteral("FName")), QString());
    cursor.setField(QStringLiteral("Code"), QStringLiteral("2"));
    cursor.reload();
    QVERIFY(!cursor.isNewRow());
    QCOMPARE(cursor.count(), 1);
    QCOMPARE(program.rowCount(QStringLiteral("IDE")), 1);
}

void TestTableCursor::removeMovesToTheNextRow()
{
    TestProgram program;
    for (const char* code : {"1", "2", "3"})
        program.addExaminee(QString::fromLatin1(code));
    TableCursor cursor(program.database(), QStringLiteral("Answer"));
    QVERIFY(cursor.moveTo(1));
    QVERIFY(cursor.remove());
    QCOMPARE(cursor.count(), 2);
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("3"));
    QVERIFY(cursor.remove());
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("1"));
    QVERIFY(cursor.remove());
    QVERIFY(!cursor.hasCurrent());
    QCOMPARE(program.rowCount(QStringLiteral("Answer")), 0);
    QCOMPARE(program.rowCount(QStringLiteral("IDE")), 3);
}

void TestTableCursor::removeRightAfterAReadKeepsTheRest()
{
    TestProgram program;
    for (const char* code : { "1", "2", "3" })
        program.addExaminee(QString::fromLatin1(code));
    // Removed straight after a reload, before any move has read the row ids.
    TableCursor all(program.database(), QStringLiteral("Answer"));
    QVERIFY(all.remove());
    QCOMPARE(all.count(), 2);
    QCOMPARE(all.field(QStringLiteral("Code")), QStringLiteral("2"));
    QVERIFY(all.moveNext());
    QCOMPARE(all.field(QStringLiteral("Code")), QStringLiteral("3"));

    // The only row of a filtered cursor.
    TableCursor one(program.database(), QStringLiteral("IDE"));
    QVERIFY(one.setFilter(QStringLiteral("Code"), QStringLiteral("2")));
    QVERIFY(one.remove());
    QCOMPARE(one.count(), 0);
    QVERIFY(!one.hasCurrent());
    QCOMPARE(program.rowCount(QStringLiteral("IDE")), 2);
    QCOMPARE(program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("3")), 1);
}

void TestTableCursor::removeAllTakesWhatTheFilterShows()
{
    TestProgram program;
    if (program.onServer())
        QSKIP("one code stored three times: the server keeps every code unique");
    for (const char* code : { "7", "8", "7", "7" })
        program.addExaminee(QString::fromLatin1(code));
    TableCursor cursor(program.database(), QStringLiteral("Answer"));
    QVERIFY(cursor.setFilter(QStringLiteral("Code"), QStringLiteral("7")));
    QCOMPARE(cursor.count(), 3);
    QVERIFY(cursor.removeAll());
    QCOMPARE(cursor.count(), 0);
    QCOMPARE(program.rowCount(QStringLiteral("Answer")), 1);
    QCOMPARE(program.rowCount(QStringLiteral("IDE")), 4);
}

void TestTableCursor::cursorsSeeEachOthersWritesAfterReload()
{
    TestProgram program;
    TableCursor a(program.database(), QStringLiteral("Answer"));
    TableCursor b(program.database(), QStringLiteral("Answer"));
    QCOMPARE(b.count(), 0);
    a.addNew();
    a.setField(QStringLiteral("Code"), QStringLiteral("12"));
    QVERIFY(a.update());
    QCOMPARE(a.count(), 1);
    QCOMPARE(b.count(), 0);
    b.reload();
    QCOMPARE(b.count(), 1);
    QCOMPARE(b.field(QStringLiteral("Code")), QStringLiteral("12"));
}

void TestTableCursor::storedRowsComeLastAndStayCurrent_data()
{
    QTest::addColumn<bool>("idsReadBefore");
    QTest::addColumn<QString>("group");
    QTest::newRow("inside the filter") << false << "A";
    QTest::newRow("inside the filter, after moving") << true << "A";
    QTest::newRow("outside the filter") << false << "B";
    QTest::newRow("outside the filter, after moving") << true << "B";
}

void TestTableCursor::storedRowsComeLastAndStayCurrent()
{
    QFETCH(bool, idsReadBefore);
    QFETCH(QString, group);
    TestProgram program;
    for (const char* code : { "1", "2", "3" })
        program.addExaminee(QString::fromLatin1(code), QStringLiteral("Ali"), QStringLiteral("A"));
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    QVERIFY(cursor.setFilter(QStringLiteral("Group"), QStringLiteral("A")));
    if (idsReadBefore)
        QVERIFY(cursor.moveTo(1));
    cursor.addNew();
    cursor.setField(QStringLiteral("Code"), QStringLiteral("9"));
    cursor.setField(QStringLiteral("Group"), group);
    QVERIFY2(cursor.update(), qPrintable(cursor.lastError()));

    QCOMPARE(cursor.count(), 4);
    QCOMPARE(cursor.position(), 3);
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("9"));
    // Moving away and back reaches the stored row in its place, whether the filter lets it through or not.
    QVERIFY(cursor.moveFirst());
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("1"));
    QVERIFY(cursor.moveTo(3));
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("9"));
    QVERIFY(!cursor.moveNext());
    // Read again, the filter decides alone.
    QVERIFY(cursor.reload());
    QCOMPARE(cursor.count(), group == QLatin1String("A") ? 4 : 3);
}

void TestTableCursor::aCursorThatReadNothingStoresANewRow()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"));
    TableCursor cursor(program.database(), QStringLiteral("Answer"), TableCursor::Unread {});
    cursor.addNew();
    cursor.setField(QStringLiteral("Code"), QStringLiteral("7"));
    cursor.setField(QStringLiteral("3"), QStringLiteral("4"));
    QVERIFY2(cursor.update(), qPrintable(cursor.lastError()));
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("7"));
    QCOMPARE(program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("7")), 1);
    QVERIFY(cursor.setFilter(QStringLiteral("Code"), QStringLiteral("7")));
    QCOMPARE(cursor.field(QStringLiteral("3")), QStringLiteral("4"));
}

void TestTableCursor::updateOfAVanishedRowFails()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"));
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    program.exec(QStringLiteral("DELETE FROM \"IDE\""));
    cursor.setField(QStringLiteral("FName"), QStringLiteral("x"));
    QVERIFY(!cursor.update());
    QVERIFY(!cursor.lastError().isEmpty());
}

void TestTableCursor::readAllReadsWhatTheFilterShowsInOrder()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("30"), QStringLiteral("Sara"), QStringLiteral("B"));
    program.addExaminee(QStringLiteral("4"), QStringLiteral("Reza"), QStringLiteral("A"));
    program.addExaminee(QStringLiteral("100"), QStringLiteral("Mina"), QStringLiteral("B"));
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    QVERIFY(cursor.moveTo(1));
    QList<QStringList> rows;
    const auto collect = [&rows](const QStringList& values) { rows << values; };

    QVERIFY(cursor.readAll({ QStringLiteral("Code"), QStringLiteral("Group") }, collect));
    QCOMPARE(rows, (QList<QStringList> { { "30", "B" }, { "4", "A" }, { "100", "B" } }));
    QCOMPARE(cursor.position(), 1);
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("4"));

    rows.clear();
    QVERIFY(cursor.setFilter(QStringLiteral("Group"), QStringLiteral("B")));
    QVERIFY(cursor.readAll({ QStringLiteral("FName") }, collect));
    QCOMPARE(rows, (QList<QStringList> { { "Sara" }, { "Mina" } }));

    rows.clear();
    QVERIFY(!cursor.readAll({ QStringLiteral("Code"), QStringLiteral("Nope") }, collect));
    QVERIFY(rows.isEmpty());
    QVERIFY(!cursor.lastError().isEmpty());
}

void TestTableCursor::revertDropsUnsavedChanges()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("12"), QStringLiteral("Ali"));
    TableCursor cursor(program.database(), QStringLiteral("IDE"));
    QLineEdit name;
    ColumnBinding::of(cursor).bind(&name, QStringLiteral("FName"));
    name.setText(QStringLiteral("Sara"));
    QVERIFY(cursor.isModified());
    cursor.revert();
    QVERIFY(!cursor.isModified());
    QCOMPARE(cursor.field(QStringLiteral("FName")), QStringLiteral("Ali"));
    QCOMPARE(name.text(), QStringLiteral("Ali"));
    QVERIFY(cursor.update());
    QCOMPARE(program.ideField(QStringLiteral("12"), QStringLiteral("FName")), QStringLiteral("Ali"));
}

void TestTableCursor::unreadableFileIsAFailureNotNoRows()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    program.database().setLockWait(100);
    TableCursor cursor(program.database(), QStringLiteral("Answer"));
    QVERIFY(cursor.setFilter(QStringLiteral("Code"), QStringLiteral("12")));
    QCOMPARE(cursor.count(), 1);
    QVERIFY(!cursor.readFailed());

    LockHolder other(program.database());
    QVERIFY(other.isHolding());
    QVERIFY(!cursor.setFilter(QStringLiteral("Code"), QStringLiteral("12")));
    QVERIFY(cursor.readFailed());
    QVERIFY2(cursor.lastErrorIsBusy(), qPrintable(cursor.lastError()));
    QVERIFY(!cursor.lastError().isEmpty());
    QVERIFY(!cursor.hasCurrent());
    QVERIFY(!cursor.reload());
    QVERIFY(cursor.readFailed());

    // Writes fail the same way and say why.
    TableCursor writer(program.database(), QStringLiteral("IDE"));
    writer.addNew();
    writer.setField(QStringLiteral("Code"), QStringLiteral("13"));
    QVERIFY(!writer.update());
    QVERIFY(writer.lastErrorIsBusy());

    // Once the other program lets go, the same cursor reads again.
    other.release();
    QVERIFY(cursor.reload());
    QVERIFY(!cursor.readFailed());
    QCOMPARE(cursor.count(), 1);
    QCOMPARE(cursor.field(QStringLiteral("Code")), QStringLiteral("12"));

    // A fault that is not a lock is a failure too, and not a busy one.
    QVERIFY(!cursor.setFilter(QStringLiteral("NoSuchColumn"), QStringLiteral("12")));
    QVERIFY(cursor.readFailed());
    QVERIFY(!cursor.lastErrorIsBusy());
}

void TestTableCursor::waitingForALockIsBoundedOverall()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    constexpr int wait = 300;
    program.database().setLockWait(wait);
    LockHolder other(program.database());

    // A window opening a dozen cursors waits for the lock once, not once per statement.
    QElapsedTimer clock;
    clock.start();
    QList<TableCursor*> cursors;
    for (int i = 0; i < 12; ++i)
        cursors << new TableCursor(program.database(), i % 2 ? QStringLiteral("IDE") : QStringLiteral("Answer"), this);
    const qint64 spent = clock.elapsed();
    for (TableCursor* cursor : cursors)
        QVERIFY(cursor->readFailed());
    QVERIFY2(spent >= wait - 50, qPrintable(QString::number(spent)));
    QVERIFY2(spent < 3 * wait, qPrintable(QString::number(spent)));

    // After the wait has passed, the next statement waits again; once the lock is gone, nothing waits.
    QTest::qWait(wait + 50);
    clock.restart();
    QVERIFY(!cursors.first()->reload());
    QVERIFY2(clock.elapsed() >= wait - 50, qPrintable(QString::number(clock.elapsed())));
    other.release();
    QVERIFY(cursors.first()->reload());
    QCOMPARE(cursors.first()->count(), 1);
    qDeleteAll(cursors);
}

void TestTableCursor::cursorsFilteredTogetherReadAsEachAlone()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("12"), QStringLiteral("Sara"));
    program.addExaminee(QStringLiteral("13"));
    program.exec(QStringLiteral("DELETE FROM Answer WHERE Code = '13'"));
    Database& db = program.database();
    TableCursor answers(db, QStringLiteral("Answer"), TableCursor::Unread {});
    TableCursor details(db, QStringLiteral("IDE"));
    TableCursor onDemand(db, QStringLiteral("IDE"), TableCursor::CountedOnDemand {});
    const QList<TableCursor*> together { &answers, &details, &onDemand };
    for (const QString& code : { QStringLiteral("12"), QStringLiteral("13"), QStringLiteral("99") }) {
        QVERIFY(TableCursor::setFilterTogether(together, QStringLiteral("Code"), code));
        for (TableCursor* cursor : together) {
            TableCursor alone(db, cursor->table());
            QVERIFY(alone.setFilter(QStringLiteral("Code"), code));
            QVERIFY(!cursor->readFailed());
            QCOMPARE(cursor->filterValue(), code);
            QCOMPARE(cursor->count(), alone.count());
            QCOMPARE(cursor->hasCurrent(), alone.hasCurrent());
            QCOMPARE(cursor->rowId(), alone.rowId());
            for (const QString& column : alone.columns())
                QCOMPARE(cursor->field(column), alone.field(column));
        }
    }
    QCOMPARE(details.field(QStringLiteral("FName")), QString());
    QVERIFY(TableCursor::setFilterTogether(together, QStringLiteral("Code"), QStringLiteral("12")));
    QCOMPARE(details.field(QStringLiteral("FName")), QStringLiteral("Sara"));

    // A read that cannot be made fails every cursor of it, none taken for "no rows".
    db.setLockWait(100);
    LockHolder other(db);
    QVERIFY(!TableCursor::setFilterTogether(together, QStringLiteral("Code"), QStringLiteral("12")));
    for (TableCursor* cursor : together) {
        QVERIFY(cursor->readFailed());
        QVERIFY(cursor->lastErrorIsBusy());
        QVERIFY(!cursor->hasCurrent());
    }
}

void TestTableCursor::aFilterByNoValueReadsNothing()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    program.exec(QStringLiteral("UPDATE IDE SET Code = NULL"));
    TableCursor form(program.database(), QStringLiteral("IDE"), TableCursor::Unread {});
    QVERIFY(form.setFilter(QStringLiteral("Code"), QString()));
    // No row passes, not even one without a code; and with nothing to read, another program's lock is no hindrance.
    QCOMPARE(form.count(), 0);
    QVERIFY(!form.hasCurrent());
    program.database().setLockWait(100);
    LockHolder other(program.database());
    QVERIFY(form.reload());
    QVERIFY(!form.readFailed());
    QCOMPARE(form.count(), 0);
}

QTEST_MAIN(TestTableCursor)
#include "TestTableCursor.moc"
