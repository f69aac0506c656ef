#pragma once

#include "backup/BackupNames.h"
#include "backup/DatabaseCopy.h"
#include "data/TransferJob.h"

#include <QString>
#include <QWidget>

#include <memory>

class CopyJob;
class Database;
class FileDialogs;
class Messages;
class PassphraseFields;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;
class TableCursor;

// The backup window `Frmbackup`, the last window of a run: it copies the database file out to a backup file, or
// puts a checked backup in its place for the next start. A successful backup or restore closes it, and so does
// its exit button; whoever opened it ends the program then.
class BackupWindow : public QWidget {
    Q_OBJECT
public:
    BackupWindow(Database& db, Messages& messages, FileDialogs& fileDialogs, QWidget* parent = nullptr);
    ~BackupWindow() override;

    // Copies `source` onto `target` while the window keeps responding, through `transform` when given; 1 when the
    // copy completed, 0 when it failed (reported here, as a failed backup or, with `restoring`, a failed restore,
    // with the platform's description), was cancelled by closing the window, or was refused by the transform (which
    // keeps the reason for the caller to tell).
    int CopyDatabaseFile(const QString& source, const QString& target, DatabaseCopy::Transform* transform = nullptr,
        bool restoring = false);

    // Whether a copy is under way.
    bool isCopying() const { return m_job != nullptr || m_transfer != nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void browseTarget();
    void browseSource();
    void backUp();
    void restore();
    void showHelp();
    void hideHelp();
    void tick();

private:
    void buildControls();
    void buildHelpFrame();
    void setCopying(bool copying);
    bool prepareBackFolder();
    int ask(const QString& text, int style, const QString& title);
    void reopenDatabase();
    void restoreOntoServer();
    // Runs `work` on a worker thread while the window keeps responding and shows how far it is; false when closing
    // the window stopped it (the window then closes).
    bool runOnWorker(const TransferJob::Work& work);

    Database& m_db;
    Messages& m_messages;
    FileDialogs& m_fileDialogs;
    BackupNames::Places m_places;

    TableCursor* m_themeRow = nullptr; // Adodc1
    QLineEdit* m_themeNumber = nullptr; // Text3

    QLabel* m_date = nullptr; // Label1
    QLabel* m_dateCopy = nullptr; // Label3
    QLabel* m_clock = nullptr; // Label2
    QTimer* m_clockTimer = nullptr; // Timer1
    QLineEdit* m_target = nullptr; // Text1
    QToolButton* m_browseTarget = nullptr; // b1
    QPushButton* m_backUp = nullptr; // VisualButtonEx2
    QLineEdit* m_source = nullptr; // Text2
    QToolButton* m_browseSource = nullptr; // b2
    QPushButton* m_restore = nullptr; // VisualButtonEx3
    QPushButton* m_close = nullptr; // Command1
    QPushButton* m_help = nullptr; // Command3
    QProgressBar* m_progress = nullptr;
    QFrame* m_helpFrame = nullptr; // Frame1
    QPlainTextEdit* m_helpText = nullptr; // Text4
    QPushButton* m_hideHelp = nullptr; // Command2
    std::unique_ptr<PassphraseFields> m_encryption; // CheckEncrypt and the passphrase typed twice

    CopyJob* m_job = nullptr;
    TransferJob* m_transfer = nullptr;
    bool m_closeWanted = false;
};
