#include "app/WindowRouter.h"

#include "about/AboutWindow.h"
#include "app/HelpKey.h"
#include "app/HomePanel.h"
#include "app/MainWindow.h"
#include "audit/AuditWindow.h"
#include "backup/BackupWindow.h"
#include "backup/ExitPrompt.h"
#include "data/Audit.h"
#include "data/HomeFigures.h"
#include "data/Rights.h"
#include "data/TableCursor.h"
#include "data/TransferJob.h"
#include "examinees/InvitationWindow.h"
#include "examinees/LookupWindow.h"
#include "questionnaire/TestWindow.h"
#include "scoring/ComparisonWindow.h"
#include "scoring/Scales.h"
#include "scoring/ScoringWindow.h"
#include "scoring/reports/ListReportPdf.h"
#include "settings/ThemeConfirmation.h"
#include "settings/Theme.h"
#include "ui/HelpWindow.h"
#include "ui/LeadingNumber.h"
#include "ui/MakerDetails.h"
#include "ui/MessageCatalogue.h"
#include "ui/ModalHold.h"
#include "ui/Messages.h"
#include "ui/PreviewWindow.h"
#include "ui/ProgressStrip.h"
#include "ui/Twips.h"
#include "web/ServiceSettings.h"

#include <QApplication>
#include <QTimer>

WindowRouter::WindowRouter(Database& db, Messages& messages, FileDialogs& fileDialogs, QObject* parent)
    : QObject(parent)
    , m_db(db)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
{
    m_helpKey = new HelpKey(this);
    connect(m_helpKey, &HelpKey::helpWanted, this, &WindowRouter::openHelp);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(m_helpKey);
}

HomeFigures::Reader& WindowRouter::homeFigures()
{
    // Made with the first main window: a router that opens none (a test of one window) starts no reading thread.
    if (!m_homeFigures)
        m_homeFigures = std::make_unique<HomeFigures::Reader>(m_db, HomePanel::RecentCount);
    return *m_homeFigures;
}

WindowRouter::~WindowRouter()
{
    // The windows use the database and the message seam, which outlive the router but not the program.
    delete m_help.data();
    const QList<QPointer<QWidget>> windows = m_windows;
    m_windows.clear();
    for (const QPointer<QWidget>& window : windows) {
        if (!window)
            continue;
        disconnect(window, nullptr, this, nullptr);
        delete window.data();
    }
}

QWidget* WindowRouter::mainWindow() const
{
    return m_mainWindow;
}

ExitPrompt* WindowRouter::exitPrompt() const
{
    return m_exitPrompt;
}

void WindowRouter::open(QWidget* window, HandBack handBack)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_windows.append(window);
    if (handBack == HandBack::OnClose)
        m_handingBack.append(window);
    // Settled from the event loop: the closing window is gone and the next one, if any, is already open.
    connect(window, &QObject::destroyed, this, [this, handBack] {
        if (handBack == HandBack::OnClose)
            ++m_handBacksDue;
        QTimer::singleShot(0, this, [this, handBack] { windowClosed(handBack); });
    });
    window->show();
    window->activateWindow();
}

void WindowRouter::windowClosed(HandBack handBack)
{
    m_windows.removeAll(QPointer<QWidget>());
    m_handingBack.removeAll(QPointer<QWidget>());
    if (handBack == HandBack::OnClose)
        --m_handBacksDue;
    if (m_ended)
        return;
    if (handBack == HandBack::OnClose)
        showMainWindow();
    if (!anyWindowVisible())
        endProgram();
}

bool WindowRouter::anyWindowVisible() const
{
    for (const QPointer<QWidget>& window : m_windows)
        if (window && window->isVisible())
            return true;
    // A window that hands back, closed or gone but not yet settled, is about to bring the main window back.
    if (m_handBacksDue > 0)
        return true;
    for (const QPointer<QWidget>& window : m_handingBack)
        if (window)
            return true;
    return false;
}

void WindowRouter::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    emit programEnded();
}

void WindowRouter::showMainWindow()
{
    if (m_mainWindow && m_mainWindow->isVisible()) {
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
        return;
    }
    m_handOverState = HandOverState::NotHandedOver;
    auto* window = new MainWindow(m_db, m_messages, *this);
    m_mainWindow = window;
    open(window, HandBack::None);
}

bool WindowRouter::openScoringWindow()
{
    auto* window = new ScoringWindow(m_db, m_messages, m_listCaptions);
    connect(window, &ScoringWindow::previewRequested, this, &WindowRouter::showPreview);
    open(window, HandBack::OnClose);
    return true;
}

bool WindowRouter::openCoupleComparison(const QString& firstCode, const QString& secondCode)
{
    auto* window = new ComparisonWindow(m_db, m_messages);
    connect(window, &ComparisonWindow::previewRequested, this, &WindowRouter::showPreview);
    open(window, HandBack::OnClose);
    window->compareCouple(firstCode, secondCode);
    return true;
}

bool WindowRouter::openComparisonWindow()
{
    auto* window = new ComparisonWindow(m_db, m_messages);
    connect(window, &ComparisonWindow::previewRequested, this, &WindowRouter::showPreview);
    open(window, HandBack::OnClose);
    return true;
}

ResearchExport::Scoring WindowRouter::researchScoring()
{
    ResearchExport::Scoring scoring;
    for (const ScaleInfo& info : scales())
        scoring.scales.append({ info.column, info.caption });
    scoring.figures = [](int scale, const QString& raw) {
        ResearchExport::Figures figures;
        if (scale < 0 || scale >= static_cast<int>(allScales.size()))
            return figures;
        if (const std::optional<int> percent = percentFor(allScales[scale], leadingWholeNumber(raw))) {
            figures.percent = QString::number(*percent);
            figures.level = levelFor(*percent);
        }
        return figures;
    };
    return scoring;
}

void WindowRouter::showPreview(std::shared_ptr<PagedDocument> document)
{
    // The preview outlives the window that asked for it; closing it brings nothing back.
    const QString title = document->title();
    auto* preview = new PreviewWindow(document, m_messages, m_fileDialogs);
    if (document.get() == m_writtenElsewhere)
        preview->setPdfWriter(std::move(m_pdfWriter));
    m_writtenElsewhere = nullptr;
    m_pdfWriter = nullptr;
    // What left the program on paper or as a file is noted in the clinic's trail, with the report's title.
    connect(preview, &PreviewWindow::printed, this,
        [this, title] { Audit::note(m_db, QStringLiteral("report printed"), QString(), title); });
    connect(preview, &PreviewWindow::savedAsPdf, this,
        [this, title] { Audit::note(m_db, QStringLiteral("report saved as PDF"), QString(), title); });
    open(preview, HandBack::None);
}

void WindowRouter::showListReport(
    QWidget* owner, TableCursor& rows, const QString& clinicName, const QString& address, ListOrder order)
{
    m_listCaptions.clinicName = clinicName;
    m_listCaptions.address = address;
    const ListReportRead read = readListRows(rows, order);
    if (!read.complete)
        m_messages.AskOperator(owner, Msg::ListNotComplete + QLatin1Char('\n') + read.error, Msg::Style::ExclamationRtl,
            Msg::ErrorTitlePersian);
    auto report = std::make_shared<ListReport>(read.rows, m_listCaptions, Maker::programmerLine());
    // Its PDF is written from the rows as they are read again, a page at a time, on a worker thread with a connection
    // of its own: a list of 100,000 is written with progress and a cancel, holding one page of it.
    ListReportPdf::Report written;
    written.order = order;
    written.captions = m_listCaptions;
    written.programmerLine = Maker::programmerLine();
    m_writtenElsewhere = report.get();
    m_pdfWriter = [location = m_db.location(), selection = rows.selection(), written, report = std::weak_ptr(report)](
                      const QString& path, ProgressStrip& progress, QString& error) {
        ListReportPdf::Report asShown = written;
        // On the paper the preview was set up for.
        if (const std::shared_ptr<ListReport> shown = report.lock())
            asShown.pageLayout = shown->pageLayout();
        ListReportPdf::Result result;
        TransferJob job([&](const TableTransfer::Watch& watch) {
            result = ListReportPdf::write(location, selection, asShown, path, watch);
        });
        QObject::connect(&job, &TransferJob::progressChanged, &progress, &ProgressStrip::setPercent);
        QObject::connect(&progress, &ProgressStrip::cancelRequested, &job, &TransferJob::cancel);
        job.run();
        error = result.error;
        return result.ok;
    };
    showPreview(report);
}

void WindowRouter::openInvitation(const QString& code)
{
    InvitationWindow::Setting setting;
    setting.linkBase = ServiceSettings::stored().linkBase;
    TableCursor theme(m_db, QStringLiteral("Theme"));
    setting.clinicName = theme.field(QStringLiteral("Name")).trimmed();
    setting.user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    auto* window = new InvitationWindow(m_db, m_messages, setting, code);
    Theme::applyTheme(window, m_db, theme.field(QStringLiteral("TH")));
    connect(window, &InvitationWindow::previewRequested, this, &WindowRouter::showPreview);
    open(window, HandBack::None);
}

bool WindowRouter::openLookupWindow()
{
    auto* window = new LookupWindow(m_db, m_messages, m_fileDialogs, researchScoring());
    connect(window, &LookupWindow::invitationRequested, this, &WindowRouter::openInvitation);
    connect(window, &LookupWindow::listReportRequested, this,
        [this, window](TableCursor* rows, const QString& clinicName, const QString& address) {
            showListReport(window, *rows, clinicName, address, ListOrder::ByGroup);
        });
    open(window, HandBack::OnClose);
    return true;
}

bool WindowRouter::openThemeConfirmation()
{
    // It brings the main window back from its own button; closed by its frame it leaves no window, and so ends the
    // program.
    auto* window = new ThemeConfirmation(m_db);
    connect(window, &ThemeConfirmation::mainWindowWanted, this, &WindowRouter::showMainWindow);
    open(window, HandBack::None);
    return true;
}

void WindowRouter::openAbout(QWidget* owner)
{
    AboutWindow window(m_maker, owner);
    ModalHold::exec(owner, &window);
}

WindowRouter::TestRun WindowRouter::runTest(QWidget* owner, const QString& code)
{
    // An examinee exists for the test when an Answer row carries the code.
    TestWindow window(m_db, m_messages, owner);
    switch (window.prepareRun(code)) {
    case TestWindow::Run::NotFound:
        return TestRun::NoSuchExaminee;
    case TestWindow::Run::Failed:
        return TestRun::NotRun;
    case TestWindow::Run::Ready:
        break;
    }
    // Closed with its owner, the run was not saved.
    const std::optional<int> result = ModalHold::exec(owner, &window);
    window.resetToIntroduction();
    return result == QDialog::Accepted ? TestRun::Saved : TestRun::Ran;
}

void WindowRouter::openExitPrompt(int leftTwips, int topTwips)
{
    if (!m_exitPrompt) {
        auto* prompt = new ExitPrompt;
        m_exitPrompt = prompt;
        connect(prompt, &ExitPrompt::cancelled, this, &WindowRouter::showMainWindow);
        connect(prompt, &ExitPrompt::confirmed, this, [this](bool backupTicked) {
            if (backupTicked)
                openBackupWindow();
            else
                endProgram();
        });
        Twips::placeWindow(prompt, leftTwips, topTwips);
        open(prompt, HandBack::None);
        return;
    }
    Twips::placeWindow(m_exitPrompt, leftTwips, topTwips);
}

void WindowRouter::openBackupWindow()
{
    // The last window of the run: its closing leaves no window visible (the prompt hides itself) and so ends
    // the program.
    open(new BackupWindow(m_db, m_messages, m_fileDialogs), HandBack::None);
}

bool WindowRouter::openAuditWindow(QWidget* owner)
{
    // The server refuses a counsellor's read anyway; asked first, the refusal is said in Persian.
    if (!Rights::may(m_db, Rights::Act::ReadAuditTrail)) {
        m_messages.ShowNotice(owner, Msg::HeadOnly);
        return false;
    }
    auto* window = new AuditWindow(m_db, m_messages, m_fileDialogs);
    const TableCursor theme(m_db, QStringLiteral("Theme"));
    Theme::applyTheme(window, m_db, theme.field(QStringLiteral("TH")));
    open(window, HandBack::None);
    return true;
}

HelpWindow* WindowRouter::openHelp(const QString& sectionKey)
{
    // Under a modal window only its own child windows take input: there the help is a window of the modal one,
    // and goes when it goes.
    QWidget* modal = QApplication::activeModalWidget();
    if (m_help && m_help->parentWidget() != modal)
        delete m_help.data();
    if (!m_help) {
        auto* help = new HelpWindow(modal);
        help->setAttribute(Qt::WA_DeleteOnClose);
        const TableCursor theme(m_db, QStringLiteral("Theme"));
        Theme::applyTheme(help, m_db, theme.field(QStringLiteral("TH")));
        m_help = help;
    }
    m_help->showSection(sectionKey);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
    return m_help;
}

HelpWindow* WindowRouter::helpWindow() const
{
    return m_help;
}
