#include "backup/BackupWindow.h"

#include "backup/BackupCipher.h"
#include "backup/BackupDecryption.h"
#include "backup/BackupEncryption.h"
#include "backup/CopyJob.h"
#include "backup/DatabaseCopy.h"
#include "backup/DatabaseRestore.h"
#include "backup/PassphraseFields.h"
#include "backup/ReadLock.h"
#include "backup/ServerBackup.h"
#include "calendar/SolarHijri.h"
#include "data/Database.h"
#include "data/Audit.h"
#include "data/DatabaseCheck.h"
#include "data/Rights.h"
#include "data/TableCursor.h"
#include "settings/Theme.h"
#include "text/Digits.h"
#include "text/OwnerOnly.h"
#include "text/ShownNumbers.h"
#include "ui/ColumnBinding.h"
#include "ui/FileDialogs.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/PathField.h"
#include "ui/PercentProgressBar.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTime>
#include <QTimer>
#include <QToolButton>

namespace {

// One row per copy direction: caption on the right, the path, the browse button on the left.
constexpr int captionLeft = 4980;
constexpr int captionWidth = 2040;
constexpr int pathLeft = 900;
constexpr int pathWidth = 3960;
constexpr int browseLeft = 180;
constexpr int browseWidth = 600;
constexpr int rowHeight = 375;

// The encryption tick and the passphrase fields come between the backup's path and "BACKUP", which is read (and
// reached with Tab) after them; the restore's rows follow, moved down by the band they take.
constexpr int encryptionTop = 1200;
constexpr int backUpTop = encryptionTop + 3 * rowHeight + 360 + 480 + 120;
constexpr int encryptionBand = backUpTop - 1200;
constexpr int windowWidth = 7200;
constexpr int windowHeight = 4200 + encryptionBand;

const QString& helpText()
{
    static const QString text = QStringLiteral(
        "تهيه نسخه پشتيبان:\n"
        "روي دکمه «---» کنار BACKUP کليک کنيد، محل ذخيره فايل پشتيبان را انتخاب کنيد و دکمه ذخيره (Save) را بزنيد. "
        "سپس روي BACKUP کليک کنيد و صبر کنيد تا پيام «نسخه پشتيبان تهيه گرديد» نمايش داده شود.\n\n"
        "بازيابي اطلاعات:\n"
        "روي دکمه «---» کنار REASTOR کليک کنيد، آخرين فايل پشتيبان را انتخاب کنيد و دکمه باز کردن (Open) را بزنيد. "
        "سپس روي REASTOR کليک کنيد و به پرسش برنامه «بله» (Yes) بگوييد. اطلاعات بازيابي شده از اجراي بعدي برنامه "
        "در دسترس است.\n\n"
        "فقط فايلي بازيابي مي شود که نسخه پشتيبان سالم همين برنامه باشد. اطلاعاتي که پيش از بازيابي در برنامه بود در "
        "پوشه RIVERIVU با نام RIVERIVU.mdb.before-restore نگه داشته مي شود.\n\n"
        "نسخه پشتيبان را روي درايوي غير از درايوي که سيستم عامل روي آن نصب شده (مثلا درايو ديگر يا حافظه فلش) نگه "
        "داريد تا با نصب دوباره سيستم عامل از بين نرود.\n\n"
        "رمزگذاري:\n"
        "با علامت زدن «رمزگذاري با گذرواژه» و وارد کردن گذرواژه در هر دو خانه (دست کم هشت حرف)، نسخه پشتيبان "
        "رمزگذاري مي شود و بدون گذرواژه خوانده نمي شود. هنگام بازيابي، برنامه گذرواژه را مي پرسد. گذرواژه را جايي امن "
        "نگه داريد: گذرواژه فراموش شده به هيچ راهي بازيابي نمي شود و آن نسخه پشتيبان ديگر باز نمي شود.");
    return text;
}

// A small "---" button beside its path, as wide as its text needs.
QToolButton* browseButton(QWidget* parent, const QString& name, int top)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(QStringLiteral("---"));
    button->setFocusPolicy(Qt::StrongFocus);
    Twips::place(button, browseLeft, top, browseWidth, rowHeight);
    return button;
}

QString refusalText(const DatabaseCheck::Result& checked)
{
    switch (checked.outcome) {
    case DatabaseCheck::Outcome::NotOurs:
        return Msg::RestoreNotOurs;
    case DatabaseCheck::Outcome::Damaged:
        return Msg::RestoreDamaged;
    default:
        break;
    }
    return checked.detail.isEmpty() ? Msg::RestoreUnreadable : Msg::RestoreUnreadable + QLatin1Char('\n') + checked.detail;
}

} // namespace

BackupWindow::BackupWindow(Database& db, Messages& messages, FileDialogs& fileDialogs, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_db(db)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_places(db.isServer() ? Database::filePath(db.dataFolder()) : db.filePath())
{
    Kit::setUpWindow(
        this, QStringLiteral("Frmbackup"), QStringLiteral("Back up ...  Reastor"), windowWidth, windowHeight);
    m_themeRow = new TableCursor(m_db, QStringLiteral("Theme"), this);
    m_themeNumber = Kit::hiddenField(this, QStringLiteral("Text3"));
    ColumnBinding::of(*m_themeRow).bind(m_themeNumber, QStringLiteral("TH"));

    buildControls();
    buildHelpFrame();

    // Load: position, theme, clock and date.
    Twips::placeWindow(this, 2340, 768);
    Theme::applyTheme(this, m_db, m_themeNumber->text());
    m_clock->setText(ShownNumbers::text(BackupNames::clockText(QTime::currentTime())));
    m_date->setText(ShownNumbers::text(SolarHijriToday(4)));
    m_dateCopy->setText(m_date->text());

    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("Timer1"));
    m_clockTimer->setInterval(1000);
    connect(m_clockTimer, &QTimer::timeout, this, &BackupWindow::tick);
    m_clockTimer->start();
}

BackupWindow::~BackupWindow() = default;

void BackupWindow::buildControls()
{
    m_date = Kit::caption(this, QStringLiteral("Label1"), QString(), nullptr, 4980, 120, 2040, rowHeight);
    m_date->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    m_clock = Kit::caption(this, QStringLiteral("Label2"), QString(), nullptr, 180, 120, 1200, rowHeight);
    m_clock->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);

    m_target = Kit::pathField(this, QStringLiteral("Text1"));
    Twips::place(m_target, pathLeft, 720, pathWidth, rowHeight);
    Kit::caption(this, QStringLiteral("CaptionText1"), QStringLiteral("ذخيره نسخه پشتيبان در:"), m_target, captionLeft,
        720, captionWidth, rowHeight);
    m_browseTarget = browseButton(this, QStringLiteral("b1"), 720);
    m_encryption = std::make_unique<PassphraseFields>(
        this, encryptionTop, pathLeft, captionLeft, captionWidth, pathLeft, pathWidth, rowHeight);
    m_backUp = Kit::button(
        this, QStringLiteral("VisualButtonEx2"), QStringLiteral("BACKUP"), browseLeft, backUpTop, 1800, 480);

    m_source = Kit::pathField(this, QStringLiteral("Text2"));
    Twips::place(m_source, pathLeft, 1920 + encryptionBand, pathWidth, rowHeight);
    Kit::caption(this, QStringLiteral("CaptionText2"), QStringLiteral("بازيابي از فايل:"), m_source, captionLeft,
        1920 + encryptionBand, captionWidth, rowHeight);
    m_browseSource = browseButton(this, QStringLiteral("b2"), 1920 + encryptionBand);
    m_restore = Kit::button(this, QStringLiteral("VisualButtonEx3"), QStringLiteral("REASTOR"), browseLeft,
        2400 + encryptionBand, 1800, 480);

    // How far a copy is; shown only while one runs.
    m_progress = new PercentProgressBar(this);
    m_progress->setObjectName(QStringLiteral("CopyProgress"));
    m_progress->setRange(0, 100);
    m_progress->setAlignment(Qt::AlignCenter);
    Twips::place(m_progress, 180, 3060 + encryptionBand, 6840, 300);
    m_progress->hide();

    m_help = Kit::button(
        this, QStringLiteral("Command3"), QStringLiteral("راهنما"), 1500, 3540 + encryptionBand, 1200, 480);
    m_close = Kit::button(
        this, QStringLiteral("Command1"), QStringLiteral("خروج"), 180, 3540 + encryptionBand, 1200, 480);

    connect(m_browseTarget, &QToolButton::clicked, this, &BackupWindow::browseTarget);
    connect(m_backUp, &QPushButton::clicked, this, &BackupWindow::backUp);
    connect(m_browseSource, &QToolButton::clicked, this, &BackupWindow::browseSource);
    connect(m_restore, &QPushButton::clicked, this, &BackupWindow::restore);
    connect(m_help, &QPushButton::clicked, this, &BackupWindow::showHelp);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(m_target, m_browseTarget);
    setTabOrder(m_browseTarget, m_encryption->tick());
    setTabOrder(m_encryption->tick(), m_encryption->first());
    setTabOrder(m_encryption->first(), m_encryption->again());
    setTabOrder(m_encryption->again(), m_backUp);
    setTabOrder(m_backUp, m_source);
    setTabOrder(m_source, m_browseSource);
    setTabOrder(m_browseSource, m_restore);
    setTabOrder(m_restore, m_help);
    setTabOrder(m_help, m_close);
}

void BackupWindow::buildHelpFrame()
{
    m_helpFrame = new QFrame(this);
    m_helpFrame->setObjectName(QStringLiteral("Frame1"));
    m_helpFrame->setFrameShape(QFrame::Box);
    m_helpFrame->setAutoFillBackground(true);
    Twips::place(m_helpFrame, 180, 600, 6840, 3480 + encryptionBand);

    m_helpText = new QPlainTextEdit(helpText(), m_helpFrame);
    m_helpText->setObjectName(QStringLiteral("Text4"));
    m_helpText->setReadOnly(true);
    Kit::setRightToLeft(m_helpText);
    Twips::place(m_helpText, 120, 120, 6600, 2700 + encryptionBand);

    m_hideHelp = Kit::button(
        m_helpFrame, QStringLiteral("Command2"), QStringLiteral("خروج"), 120, 2880 + encryptionBand, 1200, 480);
    m_dateCopy = Kit::caption(
        m_helpFrame, QStringLiteral("Label3"), QString(), nullptr, 4680, 2880 + encryptionBand, 2040, 480);
    m_dateCopy->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    connect(m_hideHelp, &QPushButton::clicked, this, &BackupWindow::hideHelp);
    m_helpFrame->hide();
}

void BackupWindow::tick()
{
    m_clock->setText(ShownNumbers::text(BackupNames::clockText(QTime::currentTime())));
}

void BackupWindow::showHelp()
{
    m_helpFrame->show();
    m_helpFrame->raise();
    m_hideHelp->setFocus();
}

void BackupWindow::hideHelp()
{
    m_helpFrame->hide();
}

int BackupWindow::ask(const QString& text, int style, const QString& title)
{
    return m_messages.AskOperator(this, text, style, title);
}

bool BackupWindow::prepareBackFolder()
{
    QString error;
    if (OwnerOnly::makeFolder(m_places.backFolder, &error))
        return true;
    ask(error, Msg::Style::ExclamationRtl, Msg::ErrorTitle);
    return false;
}

void BackupWindow::browseTarget()
{
    // Without the Back folder the dialog still opens, in the program's folder.
    const QString folder = prepareBackFolder() ? m_places.backFolder : m_places.dataFolder;
    // The file is named with ASCII digits, whatever digits the window draws.
    const QString name
        = BackupNames::defaultFileName(Digits::toAscii(m_date->text()), Digits::toAscii(m_clock->text()));
    const QString chosen = m_fileDialogs.saveFileName(
        this, QStringLiteral("ذخيره نسخه پشتيبان"), QDir(folder).filePath(name), BackupNames::DialogFilter);
    if (!chosen.isEmpty())
        m_target->setText(chosen);
}

void BackupWindow::browseSource()
{
    const QString folder = prepareBackFolder() ? m_places.backFolder : m_places.dataFolder;
    const QString chosen
        = m_fileDialogs.openFileName(this, QStringLiteral("انتخاب نسخه پشتيبان"), folder, BackupNames::DialogFilter);
    if (!chosen.isEmpty())
        m_source->setText(chosen);
}

void BackupWindow::backUp()
{
    if (m_target->text().isEmpty()) {
        ask(Msg::ChooseBackupTarget, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    if (m_encryption->wanted()) {
        if (const QString refusal = m_encryption->refusal(); !refusal.isEmpty()) {
            ask(refusal, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
            return;
        }
    }
    const QString target = BackupNames::resolve(m_places, m_target->text());
    if (DatabaseCopy::sameFile(target, m_places.database) || DatabaseCopy::sameFile(target, m_places.journal)) {
        ask(Msg::BackupOntoDatabase, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    // A name typed without a folder goes into the Back folder, which need not exist yet.
    if (QFileInfo(m_target->text()).isRelative() && !prepareBackFolder())
        return;
    // The file about to be replaced is the one named in the box, whichever way the name got there.
    if (QFileInfo::exists(target)
        && ask(Msg::BackupTargetExists, Msg::Style::YesNo, Msg::ApplicationTitle) != Msg::Yes) {
        ask(Msg::BackupRefused, Msg::Style::InformationRtl, Msg::ApplicationTitle);
        return;
    }
    // The passphrase leaves its fields for the copy and is wiped once the key is derived.
    std::unique_ptr<BackupCipher::Encryption> encryption;
    if (m_encryption->wanted()) {
        QString passphrase = m_encryption->take();
        encryption = std::make_unique<BackupCipher::Encryption>(passphrase);
        BackupCipher::wipe(passphrase);
    }
    if (m_db.isServer()) {
        // The server's rows as one read saw them, written as a new data file of this program; to be encrypted, that
        // file is first made privately beside the data and sealed into the target, and goes at once.
        const QString written = encryption ? m_places.serverSnapshot : target;
        ServerBackup::Result snapshot;
        const bool ran = runOnWorker([&, server = m_db.location()](const TableTransfer::Watch& watch) {
            snapshot = ServerBackup::write(server, written, watch);
        });
        if (!ran) {
            QFile::remove(m_places.serverSnapshot);
            return;
        }
        if (!snapshot.ok) {
            QFile::remove(m_places.serverSnapshot);
            ask(Msg::ServerBackupFailed + QStringLiteral("\r\n") + snapshot.error, Msg::Style::StopRtl,
                Msg::ApplicationTitle);
            return;
        }
        if (encryption) {
            const bool sealed = CopyDatabaseFile(m_places.serverSnapshot, target, encryption.get());
            QFile::remove(m_places.serverSnapshot);
            if (!sealed) {
                if (encryption->verdict() != BackupCipher::Verdict::Good)
                    ask(PassphraseFields::refusalText(encryption->verdict(), true), Msg::Style::StopRtl,
                        Msg::ApplicationTitle);
                return;
            }
        }
    } else {
        ReadLock lock(m_db);
        if (!lock.held()) {
            ask(lock.error(), Msg::Style::ServiceNotification, Msg::ErrorTitle);
            return;
        }
        if (!CopyDatabaseFile(m_places.database, target, encryption.get())) {
            if (encryption && encryption->verdict() != BackupCipher::Verdict::Good)
                ask(PassphraseFields::refusalText(encryption->verdict(), true), Msg::Style::StopRtl,
                    Msg::ApplicationTitle);
            return;
        }
    }
    // The server cannot see a copy leave it; the trail says who took one, and where.
    Audit::note(m_db, QStringLiteral("backup"), QString(), target);
    // An encrypted backup also says so, and where it went: without its passphrase nobody will open that file.
    ask(encryption ? Msg::BackupDone + QLatin1Char('\n') + Msg::EncryptedBackupWhere.arg(PathField::inSentence(target))
                   : Msg::BackupDone,
        Msg::Style::Ok, Msg::ApplicationTitle);
    close();
}

void BackupWindow::restore()
{
    // Replacing the whole clinic's rows is the head's; the server refuses a counsellor anyway.
    if (!Rights::may(m_db, Rights::Act::RestoreOntoServer)) {
        ask(Msg::HeadOnly, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    if (m_source->text().isEmpty()) {
        ask(Msg::ChooseRestoreSource, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    const QString source = BackupNames::resolve(m_places, m_source->text());
    // On the server the data file on this computer is a source like any other.
    if (!m_db.isServer() && DatabaseCopy::sameFile(source, m_places.database)) {
        ask(Msg::RestoreFromDatabase, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    // Nothing to restore from: said before the question, which would otherwise promise a restore.
    if (!QFileInfo(source).isFile()) {
        ask(QFileInfo::exists(source) ? Msg::RestoreSourceNotFile : Msg::RestoreSourceMissing,
            Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    if (ask(Msg::ConfirmRestore, Msg::Style::YesNo, Msg::ApplicationTitle) != Msg::Yes) {
        ask(Msg::RestoreRefused, Msg::Style::Ok, Msg::ApplicationTitle);
        return;
    }
    // An encrypted backup is recognised by its header; one that cannot be decrypted whatever the passphrase is
    // refused before the passphrase is asked for.
    std::unique_ptr<BackupCipher::Decryption> decryption;
    const BackupCipher::Verdict kind = BackupCipher::recognise(source);
    if (kind != BackupCipher::Verdict::NotEncrypted) {
        if (kind != BackupCipher::Verdict::Good) {
            ask(PassphraseFields::refusalText(kind, false), Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
            return;
        }
        QString passphrase = m_messages.PromptSecret(this, Msg::RestorePassphrasePrompt, Msg::ApplicationTitle);
        if (passphrase.isEmpty()) {
            ask(Msg::RestoreRefused, Msg::Style::Ok, Msg::ApplicationTitle);
            return;
        }
        decryption = std::make_unique<BackupCipher::Decryption>(passphrase);
        BackupCipher::wipe(passphrase);
    }

    // The chosen file is copied first and the copy is what is checked and put in place: nothing can change it
    // between the check and its use. A journal left beside the private copy by an earlier attempt belongs to another
    // file and goes; the journal beside the chosen file belongs to it (a copy by hand takes both) and comes along, so
    // a write it left unfinished is played back into the copy before the copy is judged. An encrypted backup was
    // made whole and has no journal; it is decrypted into the private copy.
    const QString checkJournal = DatabaseCheck::journalPath(m_places.restoreCheck);
    const auto dropPrivateCopy = [&] {
        QFile::remove(m_places.restoreCheck);
        QFile::remove(checkJournal);
    };
    // On the server this computer's data folder may not have been made yet.
    QString folderError;
    if (!OwnerOnly::makeFolder(QFileInfo(m_places.restoreCheck).absolutePath(), &folderError)) {
        ask(folderError, Msg::Style::ExclamationRtl, Msg::ErrorTitle);
        return;
    }
    QFile::remove(checkJournal);
    const QString sourceJournal = DatabaseCheck::journalPath(source);
    if (!CopyDatabaseFile(source, m_places.restoreCheck, decryption.get(), true)
        || (!decryption && QFileInfo(sourceJournal).isFile()
            && !CopyDatabaseFile(sourceJournal, checkJournal, nullptr, true))) {
        dropPrivateCopy();
        if (decryption && decryption->verdict() != BackupCipher::Verdict::Good)
            ask(PassphraseFields::refusalText(decryption->verdict(), false), Msg::Style::ExclamationRtl,
                Msg::ErrorTitlePersian);
        return;
    }
    // The same check as at start with SQLite's full integrity check besides, then the copy opened and read as the
    // program opens its data at start, since this file is about to become the program's data.
    const DatabaseCheck::Result checked = DatabaseRestore::prove(m_places);
    if (!checked.isOurs()) {
        dropPrivateCopy();
        ask(refusalText(checked), Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }

    if (m_db.isServer()) {
        restoreOntoServer();
        return;
    }

    DatabaseRestore::noteRestore(m_places, m_source->text());
    // A read through the program's connection plays back any journal left by an interrupted write, so the file
    // kept as `.before-restore` is complete; then the connection lets go of the file for good.
    {
        ReadLock settle(m_db);
    }
    m_db.close();
    QString error;
    const auto copy
        = [this](const QString& from, const QString& to) { return CopyDatabaseFile(from, to, nullptr, true) == 1; };
    switch (DatabaseRestore::putInPlace(m_places, copy, error)) {
    case DatabaseRestore::Step::Done:
        // The restored file is opened at the next start; this run ends here.
        ask(Msg::RestoreDone, Msg::Style::Ok, Msg::ApplicationTitle);
        close();
        return;
    case DatabaseRestore::Step::CopyFailed:
        break;
    case DatabaseRestore::Step::Failed:
        ask(error + Msg::RestoreFailedSuffix, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        break;
    }
    reopenDatabase();
}

void BackupWindow::restoreOntoServer()
{
    // What the server holds goes to a backup of its own first; then the server's rows become the backup's, in one
    // transaction, so the other counsellors see either the old rows or the restored ones.
    ServerBackup::Result restored;
    if (!runOnWorker([&, server = m_db.location()](const TableTransfer::Watch& watch) {
            restored = ServerBackup::restore(server, m_places, watch);
        }))
        return;
    if (!restored.doubledCodes.isEmpty()) {
        constexpr int shown = 20;
        QString codes = restored.doubledCodes.mid(0, shown).join(QStringLiteral("، "));
        if (restored.doubledCodes.size() > shown)
            codes += QLatin1Char(' ') + Msg::AndMoreCodes.arg(restored.doubledCodes.size() - shown);
        ask(Msg::ServerRestoreCodesDoubled + QLatin1Char('\n') + codes, Msg::Style::ExclamationRtl,
            Msg::ErrorTitlePersian);
        return;
    }
    if (!restored.ok) {
        ask(Msg::ServerRestoreFailed + QLatin1Char('\n') + restored.error, Msg::Style::ExclamationRtl,
            Msg::ErrorTitlePersian);
        return;
    }
    Audit::note(m_db, QStringLiteral("restore"), QString(), m_source->text());
    ask(Msg::RestoreDone, Msg::Style::Ok, Msg::ApplicationTitle);
    close();
}

void BackupWindow::reopenDatabase()
{
    // The database is as it was; the window stays open and may back it up after all.
    const Database::OpenResult reopened = m_db.open();
    if (!reopened.ok())
        ask(Msg::DatabaseCannotOpen + QLatin1Char('\n') + reopened.error, Msg::Style::StopRtl, Msg::ErrorTitlePersian);
}

void BackupWindow::setCopying(bool copying)
{
    // One copy at a time: the paths and every button that starts a copy rest until it is over.
    for (QWidget* w : { static_cast<QWidget*>(m_backUp), static_cast<QWidget*>(m_restore),
             static_cast<QWidget*>(m_browseTarget), static_cast<QWidget*>(m_browseSource) })
        w->setEnabled(!copying);
    m_encryption->setEnabled(!copying);
    m_target->setReadOnly(copying);
    m_source->setReadOnly(copying);
    m_progress->setVisible(copying);
    if (copying)
        m_progress->setValue(0);
}

int BackupWindow::CopyDatabaseFile(
    const QString& source, const QString& target, DatabaseCopy::Transform* transform, bool restoring)
{
    // Once the operator has asked to leave, no further copy starts.
    if (m_closeWanted)
        return 0;
    CopyJob job(source, target, nullptr, transform);
    connect(&job, &CopyJob::progressChanged, m_progress, &QProgressBar::setValue);
    m_job = &job;
    setCopying(true);
    const DatabaseCopy::Result result = job.run();
    m_job = nullptr;
    setCopying(false);

    if (result.ok())
        return 1;
    if (m_closeWanted) {
        // The operator closed the window during the copy: the copy stopped, and now the window closes.
        QTimer::singleShot(0, this, &QWidget::close);
        return 0;
    }
    if (result.status == DatabaseCopy::Result::Status::Failed)
        ask(result.diskFull
                ? Msg::DiskFull
                : (restoring ? Msg::RestoreCopyFailed : Msg::CopyFailed) + QStringLiteral("\r\n") + result.error,
            Msg::Style::StopRtl, Msg::ApplicationTitle);
    return 0;
}

bool BackupWindow::runOnWorker(const TransferJob::Work& work)
{
    if (m_closeWanted)
        return false;
    TransferJob job(work);
    connect(&job, &TransferJob::progressChanged, m_progress, &QProgressBar::setValue);
    m_transfer = &job;
    setCopying(true);
    job.run();
    m_transfer = nullptr;
    setCopying(false);
    if (m_closeWanted) {
        QTimer::singleShot(0, this, &QWidget::close);
        return false;
    }
    return true;
}

void BackupWindow::closeEvent(QCloseEvent* event)
{
    if (m_job || m_transfer) {
        // Closing ends the program, but not in the middle of writing a file or the server's rows: the work stops
        // first, its target untouched, and the window closes as soon as it has.
        m_closeWanted = true;
        if (m_job)
            m_job->cancel();
        if (m_transfer)
            m_transfer->cancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
