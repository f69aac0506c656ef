#include "backup/BackupCipher.h"
#include "backup/BackupDecryption.h"
#include "backup/BackupEncryption.h"
#include "backup/DatabaseCopy.h"
#include "backup/FileBytes.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace FileBytes;
using BackupCipher::Verdict;

Q_DECLARE_METATYPE(BackupCipher::Verdict)
Q_DECLARE_METATYPE(BackupCipher::Typed)

namespace {

const QString passphrase = QStringLiteral("گل سرخ در باغ 1405");

QByteArray randomBytes(qint64 size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (char& c : bytes)
        c = static_cast<char>(generator.bounded(256));
    return bytes;
}

struct Folder {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

// Encrypts `plain` into `target` at the cheapest cost, as a backup is written.
bool encrypt(const QByteArray& plain, const QString& source, const QString& target, const QString& words = passphrase)
{
    if (!write(source, plain))
        return false;
    BackupCipher::Encryption encryption(words, BackupCipher::cheapestCost());
    return DatabaseCopy::copyFile(source, target, {}, nullptr, &encryption).ok();
}

struct Decrypted {
    DatabaseCopy::Result result;
    Verdict verdict = Verdict::Good;
};

Decrypted decrypt(const QString& source, const QString& target, const QString& words = passphrase)
{
    BackupCipher::Decryption decryption(words);
    Decrypted decrypted;
    decrypted.result = DatabaseCopy::copyFile(source, target, {}, nullptr, &decryption);
    decrypted.verdict = decryption.verdict();
    return decrypted;
}

} // namespace

class TestBackupCipher : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void headerNamesFormatAndCost();
    void eachBackupHasItsOwnSalt();
    void refused_data();
    void refused();
    void finalTagMarksTheEnd_data();
    void finalTagMarksTheEnd();
    void refusedBeforeAnyPassphrase_data();
    void refusedBeforeAnyPassphrase();
    void databaseCopyIsNotEncrypted();
    void samePassphraseFromAnotherKeyboard();
    void knownAnswer_data();
    void knownAnswer();
    void costBeyondOwnRefused_data();
    void costBeyondOwnRefused();
    void cancelledWhileDeriving_data();
    void cancelledWhileDeriving();
    void typedTwice_data();
    void typedTwice();
    void wipeEmpties();
};

void TestBackupCipher::roundTrip_data()
{
    QTest::addColumn<qint64>("size");
    QTest::newRow("empty") << qint64(0);
    QTest::newRow("one byte") << qint64(1);
    QTest::newRow("a chunk less one") << BackupCipher::PlainChunk - 1;
    QTest::newRow("one whole chunk") << BackupCipher::PlainChunk;
    QTest::newRow("a chunk and one") << BackupCipher::PlainChunk + 1;
    QTest::newRow("three chunks and a bit") << 3 * BackupCipher::PlainChunk + 4048;
}

void TestBackupCipher::roundTrip()
{
    QFETCH(qint64, size);
    Folder f;
    const QByteArray plain = randomBytes(size, 35 + static_cast<quint32>(size));
    QVERIFY(encrypt(plain, f.path("db"), f.path("backup.mdbB")));
    const QByteArray sealed = read(f.path("backup.mdbB"));
    QCOMPARE(sealed.size(), BackupCipher::encryptedSize(size));
    if (size >= 64)
        QVERIFY(!sealed.contains(plain.left(64))); // nothing of the database shows through
    QCOMPARE(BackupCipher::recognise(f.path("backup.mdbB")), Verdict::Good);

    const Decrypted back = decrypt(f.path("backup.mdbB"), f.path("restored"));
    QVERIFY2(back.result.ok(), qPrintable(back.result.error));
    QCOMPARE(back.verdict, Verdict::Good);
    QCOMPARE(read(f.path("restored")), plain);
    // Only the files named: no temporary file is left.
    QCOMPARE(namesIn(f.dir.path()), QStringList({ "backup.mdbB", "db", "restored" }));
}

void TestBackupCipher::headerNamesFormatAndCost()
{
    Folder f;
    QVERIFY(encrypt(QByteArray(1000, 'x'), f.path("db"), f.path("b")));
    const QByteArray header = read(f.path("b")).left(BackupCipher::HeaderSize);
    QCOMPARE(header.left(8), QByteArray("T35CRYPT"));
    QCOMPARE(header.at(8), char(BackupCipher::FormatVersion));
    const BackupCipher::Cost cost = BackupCipher::cheapestCost();
    QCOMPARE(qFromLittleEndian<quint64>(header.constData() + 9), cost.opsLimit);
    QCOMPARE(qFromLittleEndian<quint64>(header.constData() + 17), cost.memLimit);
    QCOMPARE(qFromLittleEndian<quint64>(header.constData() + 41), quint64(1000));
    // The cost new backups get is above the cheapest and stays within what a decryption accepts.
    QVERIFY(BackupCipher::defaultCost().opsLimit >= cost.opsLimit);
    QVERIFY(BackupCipher::defaultCost().memLimit > cost.memLimit);
    QVERIFY(BackupCipher::defaultCost().memLimit <= 256ULL * 1024 * 1024);
}

void TestBackupCipher::eachBackupHasItsOwnSalt()
{
    Folder f;
    const QByteArray plain = randomBytes(5000, 1);
    QVERIFY(encrypt(plain, f.path("db"), f.path("one")));
    QVERIFY(encrypt(plain, f.path("db"), f.path("two")));
    const QByteArray one = read(f.path("one"));
    const QByteArray two = read(f.path("two"));
    QVERIFY(one.mid(25, 16) != two.mid(25, 16));
    QVERIFY(one.mid(BackupCipher::HeaderSize) != two.mid(BackupCipher::HeaderSize));
}

// Each way a backup can fail to decrypt, with the reason told; the target is never written.
void TestBackupCipher::refused_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<qint64>("at");
    QTest::addColumn<Verdict>("verdict");
    const qint64 body = BackupCipher::HeaderSize;
    const qint64 size = BackupCipher::encryptedSize(2 * BackupCipher::PlainChunk + 100);
    QTest::newRow("wrong passphrase") << "passphrase" << qint64(0) << Verdict::WrongPassphrase;
    QTest::newRow("a byte of the first chunk") << "flip" << body + 5 << Verdict::Altered;
    QTest::newRow("a byte of the last chunk") << "flip" << size - 1 << Verdict::Altered;
    QTest::newRow("a byte of the secretstream header") << "flip" << qint64(50) << Verdict::Altered;
    QTest::newRow("the salt") << "flip" << qint64(30) << Verdict::WrongPassphrase;
    QTest::newRow("the passphrase check") << "flip" << qint64(80) << Verdict::WrongPassphrase;
    QTest::newRow("an impossible cost") << "flip" << qint64(16) << Verdict::Altered;
    QTest::newRow("the length, shorter") << "flip" << qint64(41) << Verdict::Altered;
    QTest::newRow("the length, longer") << "flip" << qint64(43) << Verdict::CutShort;
    QTest::newRow("chunks swapped") << "swap" << qint64(0) << Verdict::Altered;
    QTest::newRow("cut at a chunk's end") << "cut" << body + BackupCipher::PlainChunk + 17 << Verdict::CutShort;
    QTest::newRow("cut inside a chunk") << "cut" << size - 30 << Verdict::CutShort;
    QTest::newRow("cut inside the header") << "cut" << qint64(40) << Verdict::CutShort;
    QTest::newRow("a byte added") << "append" << qint64(0) << Verdict::Altered;
    QTest::newRow("a newer format version") << "version" << qint64(8) << Verdict::UnknownVersion;
}

void TestBackupCipher::refused()
{
    QFETCH(QString, change);
    QFETCH(qint64, at);
    QFETCH(Verdict, verdict);
    Folder f;
    QVERIFY(encrypt(randomBytes(2 * BackupCipher::PlainChunk + 100, 7), f.path("db"), f.path("b")));
    QByteArray bytes = read(f.path("b"));
    if (change == QLatin1String("flip") || change == QLatin1String("version"))
        bytes[at] = static_cast<char>(bytes.at(at) ^ (change == QLatin1String("version") ? 0x03 : 0x40));
    else if (change == QLatin1String("cut"))
        bytes.truncate(at);
    else if (change == QLatin1String("append"))
        bytes.append('\0');
    else if (change == QLatin1String("swap")) {
        const qint64 sealed = BackupCipher::PlainChunk + 17;
        const QByteArray first = bytes.mid(BackupCipher::HeaderSize, sealed);
        const QByteArray second = bytes.mid(BackupCipher::HeaderSize + sealed, sealed);
        bytes.replace(BackupCipher::HeaderSize, sealed, second);
        bytes.replace(BackupCipher::HeaderSize + sealed, sealed, first);
    }
    QVERIFY(write(f.path("b"), bytes));
    QVERIFY(write(f.path("target"), "the database as it was"));

    const Decrypted back
        = decrypt(f.path("b"), f.path("target"), change == QLatin1String("passphrase") ? passphrase + "!" : passphrase);
    QCOMPARE(back.result.status, DatabaseCopy::Result::Status::Refused);
    QCOMPARE(back.verdict, verdict);
    QCOMPARE(read(f.path("target")), QByteArray("the database as it was"));
    QCOMPARE(namesIn(f.dir.path()), QStringList({ "b", "db", "target" }));
}

// A file whose length agrees with its header but whose chunks do not end with the final tag where the file ends (a
// writer stopped, chunks of two backups spliced) is refused by the stream itself.
void TestBackupCipher::finalTagMarksTheEnd_data()
{
    QTest::addColumn<bool>("finalFirst");
    QTest::addColumn<Verdict>("verdict");
    QTest::newRow("no final tag at the end") << false << Verdict::CutShort;
    QTest::newRow("a final tag before the end") << true << Verdict::Altered;
}

void TestBackupCipher::finalTagMarksTheEnd()
{
    QFETCH(bool, finalFirst);
    QFETCH(Verdict, verdict);
    Folder f;
    QByteArray sealed;
    const DatabaseCopy::Put put = [&](const char* data, qint64 size) {
        sealed.append(data, size);
        return true;
    };
    const QByteArray plain = randomBytes(2 * BackupCipher::PlainChunk, 9);
    BackupCipher::Encryption encryption(passphrase, BackupCipher::cheapestCost());
    QVERIFY(encryption.begin(QByteArray(), plain.size(), put));
    QVERIFY(encryption.chunk(plain.constData(), BackupCipher::PlainChunk, finalFirst, put));
    if (!finalFirst) // the stream goes on to its end without ever closing
        QVERIFY(encryption.chunk(plain.constData() + BackupCipher::PlainChunk, BackupCipher::PlainChunk, false, put));
    else // after the close, a chunk of another backup with the same key's stream is all that could follow
        sealed.append(randomBytes(BackupCipher::PlainChunk + 17, 10));
    QCOMPARE(sealed.size(), BackupCipher::encryptedSize(plain.size()));
    QVERIFY(write(f.path("b"), sealed));
    QCOMPARE(BackupCipher::recognise(f.path("b")), Verdict::Good); // the size is right
    const Decrypted back = decrypt(f.path("b"), f.path("t"));
    QCOMPARE(back.verdict, verdict);
    QVERIFY(!QFileInfo::exists(f.path("t")));
}

// What the header and size alone tell, before the operator is asked for a passphrase.
void TestBackupCipher::refusedBeforeAnyPassphrase_data()
{
    QTest::addColumn<qint64>("cutTo");
    QTest::addColumn<int>("version");
    QTest::addColumn<Verdict>("verdict");
    QTest::newRow("whole") << qint64(-1) << 1 << Verdict::Good;
    QTest::newRow("cut short") << qint64(500) << 1 << Verdict::CutShort;
    QTest::newRow("only the magic and version") << qint64(9) << 1 << Verdict::CutShort;
    QTest::newRow("version 2") << qint64(-1) << 2 << Verdict::UnknownVersion;
    QTest::newRow("version 0") << qint64(-1) << 0 << Verdict::UnknownVersion;
}

void TestBackupCipher::refusedBeforeAnyPassphrase()
{
    QFETCH(qint64, cutTo);
    QFETCH(int, version);
    QFETCH(Verdict, verdict);
    Folder f;
    QVERIFY(encrypt(randomBytes(3000, 3), f.path("db"), f.path("b")));
    QByteArray bytes = read(f.path("b"));
    bytes[8] = static_cast<char>(version);
    if (cutTo >= 0)
        bytes.truncate(cutTo);
    QVERIFY(write(f.path("b"), bytes));
    QCOMPARE(BackupCipher::recognise(f.path("b")), verdict);
}

void TestBackupCipher::databaseCopyIsNotEncrypted()
{
    Folder f;
    QVERIFY(write(f.path("copy.mdbB"), QByteArray("SQLite format 3\0", 16) + randomBytes(4080, 4)));
    QVERIFY(write(f.path("short"), "T35"));
    QCOMPARE(BackupCipher::recognise(f.path("copy.mdbB")), Verdict::NotEncrypted);
    QCOMPARE(BackupCipher::recognise(f.path("short")), Verdict::NotEncrypted);
    QCOMPARE(BackupCipher::recognise(f.path("missing")), Verdict::NotEncrypted);
    // Decryption never passes a database copy through as it is.
    QCOMPARE(decrypt(f.path("copy.mdbB"), f.path("t")).verdict, Verdict::NotEncrypted);
    QVERIFY(!QFileInfo::exists(f.path("t")));
}

// Arabic or Persian yeh and kaf, Persian or Latin digits, a stray blank at the end: one passphrase.
void TestBackupCipher::samePassphraseFromAnotherKeyboard()
{
    Folder f;
    // Arabic kaf and yeh, Persian digits; then keheh, Persian yeh, Latin digits and a blank.
    const QString typed = QStringLiteral("\u0643\u062A\u0627\u0628 \u064A \u06F1\u06F4\u06F0\u06F5");
    const QString elsewhere = QStringLiteral("\u06A9\u062A\u0627\u0628 \u06CC 1405 ");
    QCOMPARE(BackupCipher::passphraseForm(typed), BackupCipher::passphraseForm(elsewhere));
    QVERIFY(encrypt(randomBytes(100, 5), f.path("db"), f.path("b"), typed));
    const Decrypted back = decrypt(f.path("b"), f.path("t"), elsewhere);
    QCOMPARE(back.verdict, Verdict::Good);
    QCOMPARE(read(f.path("t")), read(f.path("db")));
}

// A backup written by the program when the format was made, with the passphrase it was written with: every later
// program reads it, and reduces that passphrase to the same bytes. The passphrase carries what the rules act on: outer
// blanks (a no-break space among them), a zero-width non-joiner, direction marks and an embedding, a tag character,
// Arabic kaf, yeh and alef maksura, an alef with its madda typed apart, Persian and Arabic-Indic digits.
void TestBackupCipher::knownAnswer_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("form");
    const QString asWritten = QStringLiteral(" \u00A0\u06AF\u0630\u0631\u200C\u0648\u0627\u0698\u0647 "
                                             "\u0643\u0644\u064A\u0646\u064A\u0643 \u0649 \u0627\u0653\u0628 "
                                             "\u06F1\u06F4\u0660\u0665 Ab\u200F\u202A9\u202C\U000E0041 \u00A0");
    const QByteArray form = QByteArray::fromHex("daafd8b0d8b1d988d8a7da98d98720daa9d984db8cd986db8cdaa920db8c20d8a2d8a8"
                                                "203134303520416239");
    QTest::newRow("as it was typed") << asWritten << form;
    QTest::newRow("from a Persian keyboard")
        << QStringLiteral("\u06AF\u0630\u0631\u0648\u0627\u0698\u0647 \u06A9\u0644\u06CC\u0646\u06CC\u06A9 "
                          "\u06CC \u0622\u0628 \u06F1\u06F4\u06F0\u06F5 Ab9")
        << form;
    QTest::newRow("one letter else") << QString(asWritten).replace(QStringLiteral("Ab"), QStringLiteral("ab"))
                                     << QByteArray(form).replace("Ab", "ab");
}

void TestBackupCipher::knownAnswer()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, form);
    QCOMPARE(BackupCipher::passphraseForm(typed), form);
    const QString sample = QStringLiteral(T35_SAMPLES "/encrypted-v1.t35");
    QCOMPARE(BackupCipher::recognise(sample), Verdict::Good);
    Folder f;
    const Decrypted back = decrypt(sample, f.path("restored"), typed);
    if (form.contains("ab")) {
        QCOMPARE(back.verdict, Verdict::WrongPassphrase);
        QVERIFY(!QFileInfo::exists(f.path("restored")));
        return;
    }
    QVERIFY2(back.result.ok(), qPrintable(back.result.error));
    QCOMPARE(back.verdict, Verdict::Good);
    QByteArray plain;
    for (int i = 0; i < BackupCipher::PlainChunk + 100; ++i)
        plain += char('a' + (i * 7 + i / 26) % 26);
    QCOMPARE(read(f.path("restored")), plain);
}

// A header may ask for at most four times the cost the program writes with; more is refused as altered before
// anything is derived, whatever the passphrase.
void TestBackupCipher::costBeyondOwnRefused_data()
{
    QTest::addColumn<quint64>("ops");
    QTest::addColumn<quint64>("memory");
    QTest::addColumn<Verdict>("verdict");
    constexpr quint64 mib = 1024 * 1024;
    QTest::newRow("the program's own") << quint64(2) << 64 * mib << Verdict::Good;
    QTest::newRow("the cheapest") << quint64(1) << quint64(8192) << Verdict::Good;
    QTest::newRow("four times the memory") << quint64(2) << 256 * mib << Verdict::Good;
    QTest::newRow("twice the passes, twice the memory") << quint64(4) << 128 * mib << Verdict::Good;
    QTest::newRow("64 passes and 1 GiB") << quint64(64) << 1024 * mib << Verdict::Altered;
    QTest::newRow("four passes of 256 MiB") << quint64(4) << 256 * mib << Verdict::Altered;
    QTest::newRow("five passes") << quint64(5) << quint64(8192) << Verdict::Altered;
    QTest::newRow("more than 256 MiB") << quint64(1) << 256 * mib + 1024 << Verdict::Altered;
    QTest::newRow("three passes of 1 GiB") << quint64(3) << 1024 * mib << Verdict::Altered;
}

void TestBackupCipher::costBeyondOwnRefused()
{
    QFETCH(quint64, ops);
    QFETCH(quint64, memory);
    QFETCH(Verdict, verdict);
    Folder f;
    QVERIFY(encrypt(randomBytes(3000, 3), f.path("db"), f.path("b")));
    QByteArray bytes = read(f.path("b"));
    qToLittleEndian<quint64>(ops, bytes.data() + 9);
    qToLittleEndian<quint64>(memory, bytes.data() + 17);
    QVERIFY(write(f.path("b"), bytes));
    QCOMPARE(BackupCipher::recognise(f.path("b")), verdict);
    if (verdict == Verdict::Good)
        return; // deriving it is what a good file costs; the check would only say the header was changed
    const Decrypted back = decrypt(f.path("b"), f.path("t"));
    QCOMPARE(back.result.status, DatabaseCopy::Result::Status::Refused);
    QCOMPARE(back.verdict, Verdict::Altered);
    QVERIFY(!QFileInfo::exists(f.path("t")));
}

// Closing the window while the key is derived cancels the copy: it ends as cancelled, with no verdict on the file
// and nothing written.
void TestBackupCipher::cancelledWhileDeriving_data()
{
    QTest::addColumn<bool>("encrypting");
    QTest::newRow("restoring") << false;
    QTest::newRow("backing up") << true;
}

void TestBackupCipher::cancelledWhileDeriving()
{
    QFETCH(bool, encrypting);
    Folder f;
    QVERIFY(encrypt(randomBytes(3000, 3), f.path("db"), f.path("b")));
    QVERIFY(write(f.path("target"), "the database as it was"));
    const std::atomic_bool cancel { true };
    std::unique_ptr<DatabaseCopy::Transform> transform;
    if (encrypting)
        transform = std::make_unique<BackupCipher::Encryption>(passphrase, BackupCipher::cheapestCost());
    else
        transform = std::make_unique<BackupCipher::Decryption>(QStringLiteral("not the passphrase"));
    int chunks = 0;
    const DatabaseCopy::Result copied = DatabaseCopy::copyFile(
        encrypting ? f.path("db") : f.path("b"), f.path("target"), [&](qint64, qint64) { ++chunks; }, &cancel,
        transform.get());
    QCOMPARE(copied.status, DatabaseCopy::Result::Status::Cancelled);
    QCOMPARE(chunks, 0);
    if (!encrypting)
        QCOMPARE(static_cast<BackupCipher::Decryption*>(transform.get())->verdict(), Verdict::Good);
    QCOMPARE(read(f.path("target")), QByteArray("the database as it was"));
    QCOMPARE(namesIn(f.dir.path()), QStringList({ "b", "db", "target" }));
}

void TestBackupCipher::typedTwice_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("again");
    QTest::addColumn<BackupCipher::Typed>("typed");
    using BackupCipher::Typed;
    QTest::newRow("eight letters") << "abcdefgh"
                                   << "abcdefgh" << Typed::Accepted;
    QTest::newRow("eight Persian letters") << "گلهاي باغ"
                                           << "گلهاي باغ" << Typed::Accepted;
    QTest::newRow("seven") << "abcdefg"
                           << "abcdefg" << Typed::TooShort;
    QTest::newRow("empty") << ""
                           << "" << Typed::TooShort;
    QTest::newRow("seven and outer blanks") << " abcdefg "
                                            << " abcdefg " << Typed::TooShort;
    QTest::newRow("different") << "abcdefgh"
                               << "abcdefgH" << Typed::Mismatch;
    QTest::newRow("short and different") << "abc"
                                         << "abd" << Typed::Mismatch;
    QTest::newRow("second empty") << "abcdefgh"
                                  << "" << Typed::Mismatch;
    QTest::newRow("the same from two keyboards")
        << QStringLiteral("\u0643\u062A\u0627\u0628\u0647\u0627\u064A \u0645\u0646")
        << QStringLiteral("\u06A9\u062A\u0627\u0628\u0647\u0627\u06CC \u0645\u0646") << Typed::Accepted;
}

void TestBackupCipher::typedTwice()
{
    QFETCH(QString, first);
    QFETCH(QString, again);
    QFETCH(BackupCipher::Typed, typed);
    QCOMPARE(BackupCipher::checkTyped(first, again), typed);
}

void TestBackupCipher::wipeEmpties()
{
    QString text = QStringLiteral("secret words");
    const QString shared = text; // another text holding the same characters keeps them
    BackupCipher::wipe(text);
    QVERIFY(text.isEmpty());
    QCOMPARE(shared, QStringLiteral("secret words"));
    QByteArray bytes("secret");
    BackupCipher::wipe(bytes);
    QVERIFY(bytes.isEmpty());
}

QTEST_MAIN(TestBackupCipher)
#include "TestBackupCipher.moc"
