#include "backup/BackupCipher.h"
#include "backup/BackupEncryption.h"
#include "backup/BackupWindow.h"
#include "backup/DatabaseCopy.h"
#include "backup/FileBytes.h"
#include "support/LayoutCheck.h"
#include "support/TestProgram.h"
#include "ui/MessageCatalogue.h"
#include "ui/PathField.h"
#include "ui/PersianText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QtEndian>

using namespace FileBytes;
using BackupCipher::Verdict;

namespace {

const QString words = QStringLiteral("سه کبوتر سفيد 1405");

QString firstValue(const QString& path, const QString& statement)
{
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("codes"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(statement) && q.next())
            value = q.value(0).toString();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("codes"));
    return value;
}

QString codesIn(const QString& path)
{
    return firstValue(path, QStringLiteral("SELECT group_concat(Code) FROM IDE"));
}

struct Window {
    Window()
        : window(new BackupWindow(program.database(), program.messages(), program.fileDialogs()))
    {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    ~Window() { delete window.data(); }

    QString database() { return program.database().filePath(); }
    QString path(const QString& name) { return QDir(program.folder()).filePath(name); }
    QStringList besideDatabase() { return namesIn(QFileInfo(database()).path()); }
    QLineEdit* field(const char* name) { return Drive::find<QLineEdit>(window, QString::fromLatin1(name)); }
    void click(const char* name) { Drive::click(window, QString::fromLatin1(name)); }
    QStringList texts()
    {
        QStringList all;
        for (const ScriptedMessages::Box& box : program.messages().boxes)
            all << box.text;
        return all;
    }
    // Ticks the encryption and types the passphrase as the operator does.
    void encryptWith(const QString& first, const QString& again)
    {
        click("CheckEncrypt");
        Drive::type(field("TextPassphrase"), first);
        Drive::type(field("TextPassphraseAgain"), again);
    }
    // An encrypted backup of the database as it is now, made without the window (at the cheapest cost, so the
    // restore's derivation is quick).
    QString encryptedBackup(const QString& name)
    {
        const QString backup = path(name);
        BackupCipher::Encryption encryption(words, BackupCipher::cheapestCost());
        if (!DatabaseCopy::copyFile(database(), backup, {}, nullptr, &encryption).ok())
            QTest::qFail("the backup was not written", __FILE__, __LINE__);
        return backup;
    }

    TestProgram program;
    QPointer<BackupWindow> window;
};

} // namespace

class TestEncryptedBackup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void fieldsFollowTheTick();
    void passphraseComesBeforeBackUp();
    void doneSaysEncryptedAndWhere();
    void backupAndRestore();
    void typedPassphraseRefused_data();
    void typedPassphraseRefused();
    void plainBackupStaysACopy();
    void restoreRefused_data();
    void restoreRefused();
    void decryptedBackupIsCheckedAsAnyOther();
};

void TestEncryptedBackup::fieldsFollowTheTick()
{
    Window w;
    auto* tick = Drive::find<QCheckBox>(w.window, QStringLiteral("CheckEncrypt"));
    QCOMPARE(tick->text(), QStringLiteral("رمزگذاري با گذرواژه"));
    QVERIFY(!tick->isChecked());
    for (const char* name : { "TextPassphrase", "TextPassphraseAgain" }) {
        QVERIFY(!w.field(name)->isEnabled());
        QCOMPARE(w.field(name)->echoMode(), QLineEdit::Password);
    }
    w.encryptWith(QStringLiteral("abcdefgh"), QStringLiteral("abcdefgh"));
    QVERIFY(w.field("TextPassphrase")->isEnabled());
    QCOMPARE(w.field("TextPassphraseAgain")->text(), QStringLiteral("abcdefgh"));
    // Unticked, nothing typed stays behind.
    w.click("CheckEncrypt");
    QVERIFY(!w.field("TextPassphrase")->isEnabled());
    QCOMPARE(w.field("TextPassphrase")->text(), QString());
    QCOMPARE(w.field("TextPassphraseAgain")->text(), QString());
    // Not even an undo brings it back.
    w.click("CheckEncrypt");
    QVERIFY(!w.field("TextPassphrase")->isUndoAvailable());
    QTest::keyClick(w.field("TextPassphrase"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.field("TextPassphrase")->text(), QString());
    QVERIFY(LayoutCheck::nothingCutOff(w.window));
}

// The passphrase is chosen before "BACKUP" is pressed: its fields, and the line saying that a lost one cannot be
// recovered, stand above the button and come before it with Tab.
void TestEncryptedBackup::passphraseComesBeforeBackUp()
{
    Window w;
    w.click("CheckEncrypt");
    auto* backUp = Drive::find<QPushButton>(w.window, QStringLiteral("VisualButtonEx2"));
    auto* lost = Drive::find<QLabel>(w.window, QStringLiteral("LabelPassphraseLost"));
    QVERIFY(lost->isVisible());
    QVERIFY(lost->text().contains(QStringLiteral("هيچ کس")));
    QVERIFY(lost->text().contains(QStringLiteral("بازيابي کند")));
    for (QWidget* above : { static_cast<QWidget*>(Drive::find<QCheckBox>(w.window, QStringLiteral("CheckEncrypt"))),
             static_cast<QWidget*>(w.field("TextPassphrase")), static_cast<QWidget*>(w.field("TextPassphraseAgain")),
             static_cast<QWidget*>(lost) })
        QVERIFY2(above->geometry().bottom() < backUp->geometry().top(), qPrintable(above->objectName()));
    QStringList chain;
    QWidget* at = w.field("Text1");
    for (int i = 0; i < 6; ++i, at = at->nextInFocusChain()) {
        while (at->focusPolicy() == Qt::NoFocus || !at->isEnabled())
            at = at->nextInFocusChain();
        chain << at->objectName();
    }
    QCOMPARE(chain,
        QStringList({ "Text1", "b1", "CheckEncrypt", "TextPassphrase", "TextPassphraseAgain", "VisualButtonEx2" }));
    QVERIFY(LayoutCheck::nothingCutOff(w.window));
}

// The box after an encrypted backup says it is encrypted and names the file, each folder as it reads alone.
void TestEncryptedBackup::doneSaysEncryptedAndWhere()
{
    Window w;
    QVERIFY(QDir(w.program.folder()).mkpath(QStringLiteral("پشتيبان ها/1403")));
    const QString backup = w.path(QStringLiteral("پشتيبان ها/1403/نسخه اول.mdbB"));
    w.field("Text1")->setText(backup);
    w.encryptWith(words, words);
    w.click("VisualButtonEx2");
    QCOMPARE(w.texts().size(), 1);
    const QString text = w.texts().at(0);
    QVERIFY(text.startsWith(Msg::BackupDone + QLatin1Char('\n')));
    QVERIFY(text.contains(QStringLiteral("رمزگذاري شده")));
    for (const QString& name :
        { QStringLiteral("پشتيبان ها"), QStringLiteral("1403"), QStringLiteral("نسخه اول.mdbB") })
        QVERIFY2(text.contains(QChar(0x2068) + name + QChar(0x2069)), qPrintable(name));
    QVERIFY(text.contains(QChar(0x2066)));
    QCOMPARE(BackupCipher::recognise(backup), Verdict::Good);
}

void TestEncryptedBackup::backupAndRestore()
{
    Window from;
    from.program.addExaminee(QStringLiteral("in the backup"));
    const QString backup = from.path(QStringLiteral("encrypted.mdbB"));
    from.field("Text1")->setText(backup);
    from.encryptWith(words, words);
    const QByteArray database = read(from.database());
    from.click("VisualButtonEx2");
    QCOMPARE(from.texts(),
        QStringList {
            Msg::BackupDone + QLatin1Char('\n') + Msg::EncryptedBackupWhere.arg(PathField::inSentence(backup)) });
    QTRY_VERIFY(!from.window);
    // Encrypted at the cost new backups get, with nothing of the database showing.
    QCOMPARE(BackupCipher::recognise(backup), Verdict::Good);
    const QByteArray written = read(backup);
    QCOMPARE(written.size(), BackupCipher::encryptedSize(database.size()));
    QVERIFY(!written.contains(database.mid(100, 64)));
    QVERIFY(!written.contains("in the backup"));
    QCOMPARE(qFromLittleEndian<quint64>(written.constData() + 17), BackupCipher::defaultCost().memLimit);

    // Restored in another program folder, whose data it replaces.
    Window to;
    to.program.addExaminee(QStringLiteral("not in the backup"));
    to.field("Text2")->setText(backup);
    to.program.messages().answers << Msg::Yes;
    to.program.messages().secrets << words;
    to.click("VisualButtonEx3");
    QCOMPARE(to.texts(), QStringList({ Msg::ConfirmRestore, Msg::RestorePassphrasePrompt, Msg::RestoreDone }));
    QCOMPARE(to.program.messages().boxes.at(1).kind, ScriptedMessages::Kind::Secret);
    QTRY_VERIFY(!to.window);
    // The backup's rows and trail (the first file's, up to the line of the backup itself), and the restore's line.
    QCOMPARE(codesIn(to.database()), QStringLiteral("in the backup"));
    const QString trail = QStringLiteral("SELECT group_concat(What || '/' || COALESCE(Code, ''), ',') FROM AuditLog");
    QCOMPARE(firstValue(to.database(), trail), firstValue(from.database(), trail).section(QLatin1Char(','), 0, -2)
            + QStringLiteral(",restore/"));
    QCOMPARE(to.besideDatabase(),
        QStringList({ QStringLiteral("RIVERIVU.mdb"), QStringLiteral("RIVERIVU.mdb.before-restore") }));
}

void TestEncryptedBackup::typedPassphraseRefused_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("again");
    QTest::addColumn<QString>("text");
    QTest::newRow("mismatch") << words << words + QStringLiteral("2") << Msg::PassphraseMismatch;
    QTest::newRow("second left empty") << words << QString() << Msg::PassphraseMismatch;
    QTest::newRow("seven letters") << QStringLiteral("1234567") << QStringLiteral("1234567") << Msg::PassphraseTooShort;
    QTest::newRow("nothing typed") << QString() << QString() << Msg::PassphraseTooShort;
}

void TestEncryptedBackup::typedPassphraseRefused()
{
    QFETCH(QString, first);
    QFETCH(QString, again);
    QFETCH(QString, text);
    Window w;
    const QString target = w.path(QStringLiteral("Back/refused.mdbB"));
    w.field("Text1")->setText(target);
    w.encryptWith(first, again);
    const QStringList before = namesIn(w.program.folder());
    w.click("VisualButtonEx2");
    QCOMPARE(w.texts(), QStringList { text });
    QCOMPARE(w.program.messages().boxes.at(0).title, Msg::ErrorTitlePersian);
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(!QFileInfo::exists(w.path(QStringLiteral("Back"))));
    QCOMPARE(namesIn(w.program.folder()), before);
    QVERIFY(w.window->isVisible());
    // What was typed stays, to be put right.
    QCOMPARE(w.field("TextPassphrase")->text(), first);
}

void TestEncryptedBackup::plainBackupStaysACopy()
{
    Window w;
    w.program.addExaminee(QStringLiteral("A"));
    const QString target = w.path(QStringLiteral("plain.mdbB"));
    w.field("Text1")->setText(target);
    w.encryptWith(words, words);
    w.click("CheckEncrypt"); // changed their mind
    const QByteArray database = read(w.database());
    w.click("VisualButtonEx2");
    QCOMPARE(w.texts(), QStringList { Msg::BackupDone });
    QCOMPARE(read(target), database);
    QCOMPARE(BackupCipher::recognise(target), Verdict::NotEncrypted);
}

void TestEncryptedBackup::restoreRefused_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("text");
    QTest::newRow("wrong passphrase") << ""
                                      << "something else entirely" << true << Msg::RestorePassphraseOrAltered;
    QTest::newRow("passphrase cancelled") << ""
                                          << "" << true << Msg::RestoreRefused;
    QTest::newRow("an altered byte") << "flip" << words << true << Msg::RestoreEncryptedAltered;
    // The right passphrase on a file whose salt was changed: the check cannot tell which it was, and says both.
    QTest::newRow("an altered salt") << "salt" << words << true << Msg::RestorePassphraseOrAltered;
    // A header asking for more work than the program ever writes with is refused before a passphrase is asked for.
    QTest::newRow("a costly header") << "cost" << words << false << Msg::RestoreEncryptedAltered;
    QTest::newRow("cut short") << "cut" << words << false << Msg::RestoreEncryptedCutShort;
    QTest::newRow("a newer format") << "version" << words << false << Msg::RestoreEncryptedNewer;
}

void TestEncryptedBackup::restoreRefused()
{
    QFETCH(QString, change);
    QFETCH(QString, passphrase);
    QFETCH(bool, asked);
    QFETCH(QString, text);
    Window w;
    w.program.addExaminee(QStringLiteral("in the backup"));
    const QString backup = w.encryptedBackup(QStringLiteral("chosen.mdbB"));
    w.program.addExaminee(QStringLiteral("since the backup"));
    QByteArray bytes = read(backup);
    if (change == QLatin1String("flip"))
        bytes[bytes.size() / 2] = static_cast<char>(bytes.at(bytes.size() / 2) ^ 0x01);
    else if (change == QLatin1String("cut"))
        bytes.chop(100);
    else if (change == QLatin1String("version"))
        bytes[8] = 2;
    else if (change == QLatin1String("salt"))
        bytes[30] = static_cast<char>(bytes.at(30) ^ 0x40);
    else if (change == QLatin1String("cost"))
        qToLittleEndian<quint64>(8, bytes.data() + 9);
    QVERIFY(write(backup, bytes));
    const QByteArray database = read(w.database());

    w.field("Text2")->setText(backup);
    w.program.messages().answers << Msg::Yes;
    w.program.messages().secrets << passphrase;
    w.click("VisualButtonEx3");
    const QStringList expected = asked ? QStringList({ Msg::ConfirmRestore, Msg::RestorePassphrasePrompt, text })
                                       : QStringList({ Msg::ConfirmRestore, text });
    QCOMPARE(w.texts(), expected);
    if (change == QLatin1String("salt")) // both causes named: a passphrase that is wrong, a file that was changed
        QVERIFY(text.contains(QStringLiteral("گذرواژه درست نيست")) && text.contains(QStringLiteral("تغيير کرده")));
    QCOMPARE(read(w.database()), database);
    QCOMPARE(w.besideDatabase(), QStringList { QStringLiteral("RIVERIVU.mdb") });
    QCOMPARE(read(backup), bytes);
    QVERIFY(w.window->isVisible());
    QCOMPARE(w.program.rowCount(QStringLiteral("IDE")), 2); // still open and in use
}

// A good passphrase opens the file, and what comes out is judged as a plain backup is: here not this program's data.
void TestEncryptedBackup::decryptedBackupIsCheckedAsAnyOther()
{
    Window w;
    w.program.addExaminee(QStringLiteral("A"));
    const QString text = w.path(QStringLiteral("notes.txt"));
    QVERIFY(write(text, "Code,Name\n1,Ali\n"));
    const QString backup = w.path(QStringLiteral("notes.mdbB"));
    BackupCipher::Encryption encryption(words, BackupCipher::cheapestCost());
    QVERIFY(DatabaseCopy::copyFile(text, backup, {}, nullptr, &encryption).ok());
    const QByteArray database = read(w.database());

    w.field("Text2")->setText(backup);
    w.program.messages().answers << Msg::Yes;
    w.program.messages().secrets << words;
    w.click("VisualButtonEx3");
    QCOMPARE(w.texts(), QStringList({ Msg::ConfirmRestore, Msg::RestorePassphrasePrompt, Msg::RestoreNotOurs }));
    QCOMPARE(read(w.database()), database);
    QCOMPARE(w.besideDatabase(), QStringList { QStringLiteral("RIVERIVU.mdb") });
    QVERIFY(w.window->isVisible());
}

QTEST_MAIN(TestEncryptedBackup)
#include "TestEncryptedBackup.moc"
