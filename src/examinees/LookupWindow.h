#pragma once

#include "data/Sharing.h"
#include "data/TableCursor.h"
#include "examinees/ExamineeDeletion.h"
#include "examinees/ResearchExport.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class CursorTableModel;
class InvitationProgressModel;
class ShareMarkModel;
class QTimer;
class QCheckBox;
class Database;
class FileDialogs;
class Messages;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStringListModel;
class QTableView;
class ProgressStrip;
class TransferJob;

// The examinee lookup `FrmCode` ("کد آزمودني"): a grid of the examinees, three search boxes of which only the one
// last touched filters it (first name, family name, group), printing the listed examinees, their export for
// research, and deleting one examinee with the answers. Closing it is all it does to end; whoever opened it brings
// the main window back. The list report belongs to scoring, so the window asks for it by a signal.
class LookupWindow : public QWidget {
    Q_OBJECT
public:
    LookupWindow(Database& db, Messages& messages, FileDialogs& fileDialogs, const ResearchExport::Scoring& scoring,
        QWidget* parent = nullptr);

    // The grid's rows, for whoever needs to look at them as the operator does.
    CursorTableModel* gridModel() const { return m_grid; }
    // The grid as shown: the rows with each examinee's invitation state after them.
    InvitationProgressModel* progressModel() const { return m_progress; }
    // On a clinic's server with rights, the grid as shown has with whom each examinee is shared after that; null
    // elsewhere.
    ShareMarkModel* shareModel() const { return m_shares; }

    // "پرينت بر اساس گروه", "حذف " and "خروجي اکسل"; public so tests and the keyboard reach them as the buttons do.
    void printByGroup();
    void deleteExaminee();
    void exportListed();
    void inviteSelected();
    // "اشتراک با همکار" and "پس گرفتن اشتراک": the examinee selected in the grid shared with the colleague named
    // in `ComboColleague`, or the share taken back (every share of the examinee when no colleague is named).
    void shareSelected();
    void takeBackSelected();

    // How far an export is, and its button to stop it: shown only while an export runs.
    ProgressStrip* exportProgress() const { return m_exportProgress; }

signals:
    // The list report is wanted for the examinees `listed` shows now (a cursor on IDE, through the active search),
    // printed in order of their groups, headed by `clinicName` as the scoring window's list is, with `clinicAddress`
    // on the report's address line.
    void listReportRequested(TableCursor* listed, const QString& clinicName, const QString& clinicAddress);
    // "دعوت به پاسخگويي" for the examinee selected in the grid (empty when none is).
    void invitationRequested(const QString& code);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void openCursors();
    void buildSearchBoxes();
    void buildGrid();
    void buildButtons();
    void buildDeletionFrame();
    void buildHiddenFields();
    void buildShareStrip();
    // The code of the examinee selected in the grid; empty when none is.
    QString selectedCode() const;
    void showShareOutcome(const Sharing::Result& result, const QString& done);
    void setKeyboardOrder();

    // The three searches: each filters by its own box and empties the other two without filtering again.
    void searchFirstName();
    void searchFamilyName();
    void searchGroup();
    void filterListed(const QString& column, const QString& value);
    void clearOtherBoxes(QComboBox* kept);
    // The lists of the three search boxes: the first names, family names and groups in use.
    void reloadNameLists();
    void fitGroupColumn();
    void showReadFailure(const QString& error);
    void setExporting(bool exporting);

    Database& m_db;
    Messages& m_messages;
    FileDialogs& m_fileDialogs;
    ResearchExport::Scoring m_scoring;
    ExamineeDeletion m_deletion;

    TableCursor* m_themeRow = nullptr; // Adodc1
    TableCursor* m_listed = nullptr; // Adodc2: the grid's rows

    CursorTableModel* m_grid = nullptr;
    InvitationProgressModel* m_progress = nullptr;
    QTimer* m_progressTimer = nullptr; // ProgressTimer
    QTableView* m_gridView = nullptr; // DataGrid1
    QComboBox* m_firstName = nullptr; // DataCombo6
    QComboBox* m_familyName = nullptr; // DataCombo1
    QComboBox* m_group = nullptr; // Combo3
    QStringListModel* m_firstNames = nullptr;
    QStringListModel* m_familyNames = nullptr;
    QStringListModel* m_groups = nullptr;
    QPushButton* m_print = nullptr; // Command1
    QPushButton* m_export = nullptr; // CommandExport
    QCheckBox* m_exportChoices = nullptr;
    QCheckBox* m_exportNames = nullptr; // CheckExportNames: the export includes first and family names
    QLineEdit* m_code = nullptr; // Text5
    QPushButton* m_delete = nullptr; // Command2
    QPushButton* m_close = nullptr; // Command6
    QPushButton* m_invite = nullptr; // CommandInvite
    ProgressStrip* m_exportProgress = nullptr;
    TransferJob* m_exportJob = nullptr; // the export running, if one is
    bool m_closeWanted = false;
    QLineEdit* m_address = nullptr; // Text4

    // Sharing with a colleague, on a clinic's server with rights only.
    bool m_sharing = false;
    ShareMarkModel* m_shares = nullptr;
    QComboBox* m_colleague = nullptr; // ComboColleague
    QPushButton* m_share = nullptr; // CommandShare
    QPushButton* m_takeBack = nullptr; // CommandUnshare

    // Set while the window itself changes a search box, so that the change filters nothing.
    bool m_quiet = false;
};
