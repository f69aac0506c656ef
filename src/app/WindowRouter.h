#pragma once

#include "app/Desktop.h"
#include "examinees/ResearchExport.h"
#include "scoring/reports/ListReport.h"
#include "scoring/reports/ListReportRows.h"
#include "ui/MakerDetails.h"
#include "ui/PreviewWindow.h"
#include "web/PhoneService.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class Database;
namespace HomeFigures {
class Reader;
}
class ExitPrompt;
class HelpKey;
class HelpWindow;
class FileDialogs;
class Messages;
class PagedDocument;
class QWidget;
class TableCursor;

// Creates the windows on demand and keeps track of them. Windows ask it for the next window instead of knowing
// each other: the main window hands over to scoring, comparison, lookup or the theme confirmation and closes, and the
// router opens a fresh main window (a full load) when such a window hands back. When no window it opened is left
// visible, the program ends: programEnded() is emitted once.
class WindowRouter : public QObject {
    Q_OBJECT
public:
    // Whether closing a window brings the main window back.
    enum class HandBack { None, OnClose };

    // What closing the main window means. Each load starts it at NotHandedOver: closing asks through the exit prompt.
    // Once the window has handed over to another window (or registered an examinee) it is HandedOver, and closing it
    // asks nothing.
    enum class HandOverState { NotHandedOver, HandedOver };

    WindowRouter(Database& db, Messages& messages, FileDialogs& fileDialogs, QObject* parent = nullptr);
    ~WindowRouter() override;

    Desktop& desktop() { return m_desktop; }
    // The questionnaire served to examinees' phones while the program runs (off unless the settings turn it on).
    PhoneService& phoneService() { return m_phone; }
    Database& database() { return m_db; }
    // The home panel's figures, read away from the windows and kept from one main window to the next.
    HomeFigures::Reader& homeFigures();
    Messages& messages() { return m_messages; }
    FileDialogs& fileDialogs() { return m_fileDialogs; }
    // The maker's details the windows show and link to: those built into the program, unless replaced.
    const Maker::Details& maker() const { return m_maker; }
    void setMaker(const Maker::Details& maker) { m_maker = maker; }

    // The main window now open (nullptr when there is none) and the exit prompt, if it is open.
    QWidget* mainWindow() const;
    ExitPrompt* exitPrompt() const;

    // A freshly loaded main window (theme applied, not handed over); an open one is only raised.
    void showMainWindow();
    HandOverState handOverState() const { return m_handOverState; }
    void setHandOverState(HandOverState state) { m_handOverState = state; }

    // Hand-over windows: each returns whether it opened the window, so the main window closes only then.
    virtual bool openScoringWindow();
    virtual bool openLookupWindow();
    virtual bool openComparisonWindow();
    // The comparison window showing a couple's comparison at once.
    bool openCoupleComparison(const QString& firstCode, const QString& secondCode);
    virtual bool openThemeConfirmation();
    // Modal over `owner`.
    virtual void openAbout(QWidget* owner);
    enum class TestRun {
        Saved,          // the test window was left by "ذخيره و خروج": the answers and details are stored
        Ran,            // the test window was open until the examinee or the operator closed it otherwise
        NoSuchExaminee, // no examinee has that code: the caller says so
        NotRun,         // the file could not be read; the operator has been told
    };

    // Runs the test for a typed code modally over `owner`.
    virtual TestRun runTest(QWidget* owner, const QString& code);

    // What the lookup window's research export needs of scoring: the scales, and a raw score's percent and level.
    static ResearchExport::Scoring researchScoring();

    // The invitation window for `code` (empty: the operator types one), beside whatever window asked for it. The links
    // are made under the link base of the phone panel's settings.
    virtual void openInvitation(const QString& code);

    // Shows a document in a preview window of its own, from which it is printed or saved as PDF.
    virtual void showPreview(std::shared_ptr<PagedDocument> document);

    // The list report of the rows `rows` shows (the examinee lookup prints its list so, ordered by group), with
    // `address` as its address caption; the clinic-name caption keeps what the last printout set. A list that could
    // not be read whole is still shown, after a box over `owner` says so.
    void showListReport(
        QWidget* owner, TableCursor& rows, const QString& clinicName, const QString& address, ListOrder order);

    // The list report's run-time captions, kept for the program's run.
    ListReportCaptions& listCaptions() { return m_listCaptions; }

    // Opens the exit prompt at a screen position in twips, or moves the one already open there.
    void openExitPrompt(int leftTwips, int topTwips);
    virtual void openBackupWindow();
    // "گزارش فعاليت ها" beside `owner`, for whoever may read the trail; anyone else is told, over `owner`, that only
    // the clinic's head may. Whether it opened.
    virtual bool openAuditWindow(QWidget* owner);

    // Shows a top-level window, deletes it when it closes, and counts it among the program's windows.
    void open(QWidget* window, HandBack handBack);

    // The program's help at the section `sectionKey`, in the one help window (raised when it is open). Over a modal
    // window it belongs to that window, so it can be read and searched there. It does not keep the program running.
    HelpWindow* openHelp(const QString& sectionKey);
    HelpWindow* helpWindow() const;

    void endProgram();
    bool hasEnded() const { return m_ended; }

signals:
    void programEnded();

private:
    void windowClosed(HandBack handBack);
    bool anyWindowVisible() const;

    Database& m_db;
    Messages& m_messages;
    FileDialogs& m_fileDialogs;
    Desktop m_desktop;
    PhoneService m_phone { m_db };
    Maker::Details m_maker = Maker::details();
    ListReportCaptions m_listCaptions;
    // Who writes the PDF of the document showPreview() is about to show, when the preview should not paint it itself
    // (a long list, written on a worker thread from its rows).
    const PagedDocument* m_writtenElsewhere = nullptr;
    PreviewWindow::PdfWriter m_pdfWriter;
    QList<QPointer<QWidget>> m_windows;
    QList<QPointer<QWidget>> m_handingBack; // those of m_windows opened with HandBack::OnClose
    int m_handBacksDue = 0; // of those, gone and not yet settled
    QPointer<QWidget> m_mainWindow;
    HandOverState m_handOverState = HandOverState::NotHandedOver;
    QPointer<ExitPrompt> m_exitPrompt;
    QPointer<HelpWindow> m_help;
    HelpKey* m_helpKey = nullptr;
    bool m_ended = false;
    std::unique_ptr<HomeFigures::Reader> m_homeFigures;
};
