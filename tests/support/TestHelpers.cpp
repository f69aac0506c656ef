#include "support/TestProgram.h"

#include <QPushButton>
#include <QTest>

// The helpers fail the test themselves: a renamed control, a button nobody could click or a statement that does not
// run must never pass silently. Each failure here is expected; if a helper stopped failing, the check after it would
// pass unexpectedly (XPASS), which fails this test.
#define EXPECT_HELPER_TO_FAIL(call)                                                                                    \
    do {                                                                                                               \
        QEXPECT_FAIL("", "the helper fails the test", Continue);                                                       \
        call;                                                                                                          \
        QVERIFY2(true, "the helper did not fail the test");                                                            \
    } while (false)

class TestHelpers : public QObject {
    Q_OBJECT
private slots:
    void findFailsOnAMissingControl();
    void clickFailsOnAMissingHiddenOrDisabledButton_data();
    void clickFailsOnAMissingHiddenOrDisabledButton();
    void clickClicksAVisibleButton();
    void failedStatementsFail();
    void waitUntilActiveFailsOnAWindowThatIsNotActive();
};

void TestHelpers::findFailsOnAMissingControl()
{
    QWidget root;
    auto* present = new QPushButton(&root);
    present->setObjectName(QStringLiteral("Here"));
    QCOMPARE(Drive::find<QPushButton>(&root, QStringLiteral("Here")), present);

    QPushButton* missing = present;
    EXPECT_HELPER_TO_FAIL(missing = Drive::find<QPushButton>(&root, QStringLiteral("Gone")));
    QVERIFY(!missing);
}

void TestHelpers::clickFailsOnAMissingHiddenOrDisabledButton_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing") << "Gone";
    QTest::newRow("hidden") << "Hidden";
    QTest::newRow("disabled") << "Disabled";
}

void TestHelpers::clickFailsOnAMissingHiddenOrDisabledButton()
{
    QFETCH(QString, name);
    QWidget root;
    int clicks = 0;
    for (const char* n : { "Hidden", "Disabled" }) {
        auto* b = new QPushButton(QStringLiteral("b"), &root);
        b->setObjectName(QLatin1String(n));
        connect(b, &QPushButton::clicked, this, [&clicks] { ++clicks; });
    }
    root.show();
    root.findChild<QPushButton*>(QStringLiteral("Hidden"))->hide();
    root.findChild<QPushButton*>(QStringLiteral("Disabled"))->setEnabled(false);

    bool clicked = true;
    EXPECT_HELPER_TO_FAIL(clicked = Drive::click(&root, name));
    QVERIFY(!clicked);
    QCOMPARE(clicks, 0);
}

void TestHelpers::clickClicksAVisibleButton()
{
    QWidget root;
    auto* b = new QPushButton(QStringLiteral("b"), &root);
    b->setObjectName(QStringLiteral("Here"));
    root.show();
    int clicks = 0;
    connect(b, &QPushButton::clicked, this, [&clicks] { ++clicks; });
    QVERIFY(Drive::click(&root, QStringLiteral("Here")));
    QCOMPARE(clicks, 1);
}

void TestHelpers::failedStatementsFail()
{
    TestProgram program;
    QVERIFY(program.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES (?)"), { QStringLiteral("7") }));
    QCOMPARE(program.scalar(QStringLiteral("SELECT COUNT(*) FROM Answer")).toInt(), 1);

    bool ran = true;
    EXPECT_HELPER_TO_FAIL(ran = program.exec(QStringLiteral("INSERT INTO Nowhere VALUES (1)")));
    QVERIFY(!ran);
    QVariant value = 1;
    EXPECT_HELPER_TO_FAIL(value = program.scalar(QStringLiteral("SELECT Missing FROM IDE")));
    QVERIFY(!value.isValid());
}

void TestHelpers::waitUntilActiveFailsOnAWindowThatIsNotActive()
{
    QWidget shown;
    shown.show();
    QVERIFY(Drive::waitUntilActive(&shown));

    QWidget neverShown;
    bool active = true;
    EXPECT_HELPER_TO_FAIL(active = Drive::waitUntilActive(&neverShown));
    QVERIFY(!active);
    active = true;
    EXPECT_HELPER_TO_FAIL(active = Drive::waitUntilActive(nullptr));
    QVERIFY(!active);
}

QTEST_MAIN(TestHelpers)
#include "TestHelpers.moc"
