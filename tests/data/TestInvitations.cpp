#include "data/Invitations.h"
#include "data/Transaction.h"
#include "support/TestProgram.h"

#include <QTest>

using namespace Invitations;

class TestInvitations : public QObject {
    Q_OBJECT

private slots:
    void madeForARegisteredExamineeOnly_data();
    void madeForARegisteredExamineeOnly();
    void theTokenIsKeptOnlyAsItsHash();
    void findsByTokenUntilClosed_data();
    void findsByTokenUntilClosed();
    void aFinishedSheetStaysFinished();
    void linksMovedTogetherMoveOnlyFromOpenOrAnswering();
};

namespace {

const QDateTime Now = QDateTime(QDate(2026, 3, 20), QTime(9, 0), Qt::UTC);

} // namespace

void TestInvitations::madeForARegisteredExamineeOnly_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("status");
    QTest::newRow("registered") << "12" << 7 << int(Made::Status::Made);
    QTest::newRow("registered, Persian digits") << "۱۲" << 7 << int(Made::Status::Made);
    QTest::newRow("not registered") << "13" << 7 << int(Made::Status::NoExaminee);
    QTest::newRow("no days") << "12" << 0 << int(Made::Status::BadDays);
    QTest::newRow("more than a year") << "12" << MostDays + 1 << int(Made::Status::BadDays);
}

void TestInvitations::madeForARegisteredExamineeOnly()
{
    QFETCH(QString, typed);
    QFETCH(int, days);
    QFETCH(int, status);
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    const Made made = make(program.database(), typed, days, QStringLiteral("counsellor"), Now);
    QCOMPARE(int(made.status), status);
    const bool stored = status == int(Made::Status::Made);
    QCOMPARE(program.rowCount(QStringLiteral("Invitation")), stored ? 1 : 0);
    if (!stored)
        return;
    QCOMPARE(made.code, QStringLiteral("12"));
    QCOMPARE(program.scalar(QStringLiteral("SELECT Code FROM Invitation")).toString(), QStringLiteral("12"));
    QCOMPARE(program.scalar(QStringLiteral("SELECT State FROM Invitation")).toString(), QStringLiteral("open"));
    QCOMPARE(program.scalar(QStringLiteral("SELECT Made FROM Invitation")).toString(),
        QStringLiteral("2026-03-20T09:00:00Z"));
    QCOMPARE(program.scalar(QStringLiteral("SELECT Expires FROM Invitation")).toString(),
        QStringLiteral("2026-03-27T09:00:00Z"));
    QCOMPARE(program.scalar(QStringLiteral("SELECT MadeBy FROM Invitation")).toString(), QStringLiteral("counsellor"));
}

void TestInvitations::theTokenIsKeptOnlyAsItsHash()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    const Made first = make(program.database(), QStringLiteral("12"), 7, QString(), Now);
    const Made second = make(program.database(), QStringLiteral("12"), 7, QString(), Now);
    QVERIFY(looksLikeToken(first.token));
    QVERIFY(first.token != second.token);
    // 24 random bytes: 192 bits.
    QCOMPARE(QByteArray::fromBase64(first.token.toLatin1(), QByteArray::Base64UrlEncoding).size(), 24);
    QCOMPARE(program.rowCount(QStringLiteral("Invitation"), QStringLiteral("TokenHash"), first.token), 0);
    QCOMPARE(program.rowCount(QStringLiteral("Invitation"), QStringLiteral("TokenHash"), hashOf(first.token)), 1);
    QVERIFY(hashOf(first.token) != hashOf(second.token));
    QCOMPARE(program.scalar(QStringLiteral("SELECT COUNT(*) FROM Invitation WHERE TokenHash LIKE ? OR Code LIKE ? "
                                           "OR MadeBy LIKE ?"),
                 { QStringLiteral("%") + first.token + QStringLiteral("%"),
                     QStringLiteral("%") + first.token + QStringLiteral("%"),
                     QStringLiteral("%") + first.token + QStringLiteral("%") })
                 .toInt(),
        0);
}

void TestInvitations::findsByTokenUntilClosed_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("afterSeconds");
    QTest::addColumn<bool>("rightToken");
    QTest::addColumn<int>("status");
    const int day = 24 * 3600;
    QTest::newRow("open") << "open" << 0 << true << int(Found::Status::Valid);
    QTest::newRow("answering") << "answering" << day << true << int(Found::Status::Valid);
    QTest::newRow("finished") << "finished" << day << true << int(Found::Status::Valid);
    QTest::newRow("a second before expiry") << "open" << 7 * day - 1 << true << int(Found::Status::Valid);
    QTest::newRow("at expiry") << "open" << 7 * day << true << int(Found::Status::Closed);
    QTest::newRow("revoked") << "revoked" << 0 << true << int(Found::Status::Closed);
    QTest::newRow("a damaged state") << "opened" << 0 << true << int(Found::Status::Closed);
    QTest::newRow("another token") << "open" << 0 << false << int(Found::Status::Closed);
}

void TestInvitations::findsByTokenUntilClosed()
{
    QFETCH(QString, state);
    QFETCH(int, afterSeconds);
    QFETCH(bool, rightToken);
    QFETCH(int, status);
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    const Made made = make(program.database(), QStringLiteral("12"), 7, QString(), Now);
    QVERIFY(program.exec(QStringLiteral("UPDATE Invitation SET State = ?"), { state }));
    const QString token = rightToken ? made.token : newToken();
    const Found found = find(program.database(), token, Now.addSecs(afterSeconds));
    QCOMPARE(int(found.status), status);
    if (found.status == Found::Status::Valid) {
        QCOMPARE(found.code, QStringLiteral("12"));
        QCOMPARE(stateName(found.state), state);
    } else {
        QVERIFY(found.code.isEmpty());
    }
    // Looked up with others (a group of choices), the link opens the same; an unknown one beside it opens nothing.
    const QString unknown = newToken();
    const FoundAll all = findAll(program.database(), { unknown, token, token }, Now.addSecs(afterSeconds));
    QVERIFY2(all.read, qPrintable(all.error));
    QCOMPARE(all.byToken.size(), 2);
    QCOMPARE(int(all.byToken.value(token).status), status);
    QCOMPARE(all.byToken.value(token).code, found.code);
    QCOMPARE(all.byToken.value(token).tokenHash, found.tokenHash);
    QCOMPARE(int(all.byToken.value(unknown).status), int(Found::Status::Closed));
}

void TestInvitations::aFinishedSheetStaysFinished()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    const Made made = make(program.database(), QStringLiteral("12"), 7, QString(), Now);
    const QString hash = hashOf(made.token);
    QVERIFY(moveTo(program.database(), hash, State::Answering).ok);
    QVERIFY(moveTo(program.database(), hash, State::Finished).ok);
    QVERIFY(!moveTo(program.database(), hash, State::Answering).ok);
    QVERIFY(moveTo(program.database(), hash, State::Finished).ok);
    QCOMPARE(program.scalar(QStringLiteral("SELECT State FROM Invitation")).toString(), QStringLiteral("finished"));
    QVERIFY(!moveTo(program.database(), hashOf(newToken()), State::Answering).ok);
}

void TestInvitations::linksMovedTogetherMoveOnlyFromOpenOrAnswering()
{
    TestProgram program;
    Database& db = program.database();
    const QStringList states { QStringLiteral("open"), QStringLiteral("answering"), QStringLiteral("finished"),
        QStringLiteral("revoked") };
    QStringList hashes;
    for (int i = 0; i < states.size(); ++i) {
        const QString code = QString::number(20 + i);
        program.addExaminee(code);
        hashes << hashOf(make(db, code, 7, QString(), Now).token);
        QVERIFY(program.exec(QStringLiteral("UPDATE Invitation SET State = ? WHERE Code = ?"), { states.at(i), code }));
    }
    {
        Transaction transaction(db);
        QVERIFY(transaction.begun());
        QVERIFY(moveAllWithin(db, hashes + QStringList { hashOf(newToken()) }, State::Answering, Now.addDays(1)).ok);
        QVERIFY(transaction.commit());
    }
    const QStringList expected { QStringLiteral("answering"), QStringLiteral("answering"), QStringLiteral("finished"),
        QStringLiteral("revoked") };
    for (int i = 0; i < states.size(); ++i) {
        const QString code = QString::number(20 + i);
        QCOMPARE(program.scalar(QStringLiteral("SELECT State FROM Invitation WHERE Code = ?"), { code }).toString(),
            expected.at(i));
        // Only the one that moved has the time of the move.
        QCOMPARE(program.scalar(QStringLiteral("SELECT Changed FROM Invitation WHERE Code = ?"), { code }).toString()
                == storedTime(Now.addDays(1)),
            i == 0);
    }
}

QTEST_GUILESS_MAIN(TestInvitations)
#include "TestInvitations.moc"
