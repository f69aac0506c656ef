#include "examinees/LookupWindow.h"

#include "data/Audit.h"
#include "data/CursorTableModel.h"
#include "data/Database.h"
#include "data/ExamineeCode.h"
#include "data/Rights.h"
#include "data/TableCursor.h"
#include "data/TransferJob.h"
#include "examinees/ExamineeDeletion.h"
#include "examinees/InvitationProgressModel.h"
#include "examinees/ShareMarkModel.h"
#include "settings/Theme.h"
#include "ui/ColumnBinding.h"
#include "ui/FileDialogs.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/ProgressStrip.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <QCompleter>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStandardPaths>
#include <QStringListModel>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

// The grid is wider than first designed by the invitation state's column, and the window with it.
constexpr int progressWidth = 2460;
constexpr int windowWidth = 10860 + progressWidth;
constexpr int windowHeight = 6300;

// The search boxes and buttons stand in a column on the right, the grid fills the left.
constexpr int captionLeft = 9420 + progressWidth;
constexpr int captionWidth = 1200;
constexpr int boxLeft = 6840 + progressWidth;
constexpr int boxWidth = 2520;
constexpr int rowHeight = 375;
constexpr int columnLeft = 6840 + progressWidth;
constexpr int columnWidth = 3780;

constexpr int gridLeft = 240;
constexpr int gridTop = 615;
constexpr int gridWidth = 6360 + progressWidth;
constexpr int gridHeight = 5400;
constexpr int designedGroupWidth = 1080;
// On a clinic's server with rights: the sharing column in the grid, and a strip under it to share with a colleague.
constexpr int shareWidth = 1260;
constexpr int shareStripTop = gridTop + gridHeight + 120;
constexpr int shareStripHeight = 480;
constexpr int widestGroupWidth = 2280;

const QString groupPrompt = QStringLiteral("جنسيت را انتخاب كنيد");
const QString exportCaption = QStringLiteral("خروجي اکسل");
const QString choicesCaption = QStringLiteral(u"با گزينه\u200cها");

const QString codeColumn = QStringLiteral("Code");

} // namespace

LookupWindow::LookupWindow(
    Database& db, Messages& messages, FileDialogs& fileDialogs, const ResearchExport::Scoring& scoring, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_db(db)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_scoring(scoring)
    , m_deletion(db)
    , m_sharing(Sharing::offered(db))
{
    Kit::setUpWindow(this, QStringLiteral("FrmCode"), QStringLiteral("کد آزمودني"), windowWidth,
        m_sharing ? shareStripTop + shareStripHeight + 180 : windowHeight);

    openCursors();
    buildSearchBoxes();
    buildGrid();
    buildButtons();
    buildDeletionFrame();
    buildHiddenFields();
    if (m_sharing)
        buildShareStrip();
    setKeyboardOrder();

    // Load: position and theme; the grid lists every examinee, and the name lists offer every name.
    Twips::placeWindow(this, 2340, 768);
    Theme::applyTheme(this, m_db, m_themeRow->field(QStringLiteral("TH")));
    reloadNameLists();
    m_firstName->setFocus();
}

void LookupWindow::openCursors()
{
    m_themeRow = new TableCursor(m_db, QStringLiteral("Theme"), this);
    // The grid's first screen is read with the first row.
    m_listed = new TableCursor(
        m_db, QStringLiteral("IDE"), TableCursor::CountedOnDemand { CursorTableModel::PageSize }, this);
}

void LookupWindow::buildSearchBoxes()
{
    auto searchBox = [this](const QString& name, const QString& caption, int top) {
        auto* box = new QComboBox(this);
        box->setObjectName(name);
        box->setEditable(true);
        // What the operator types is what is searched for: typing never adds items to the list.
        box->setInsertPolicy(QComboBox::NoInsert);
        // The box's size is fixed; measuring every name in a long list for a size hint would only cost time.
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        Twips::place(box, boxLeft, top, boxWidth, rowHeight);
        Kit::caption(this, QStringLiteral("Label") + name, caption, box, captionLeft, top, captionWidth, rowHeight);
        return box;
    };
    m_firstName = searchBox(QStringLiteral("DataCombo6"), QStringLiteral(" :نام "), 360);
    m_familyName = searchBox(QStringLiteral("DataCombo1"), QStringLiteral(" :نام خانوادگي"), 840);
    m_group = searchBox(QStringLiteral("Combo3"), QStringLiteral(" :گروه"), 1320);

    // The name lists suggest names as they are typed, without putting a longer name into the box than was typed.
    m_firstNames = new QStringListModel(this);
    m_familyNames = new QStringListModel(this);
    for (auto [box, names] : { std::pair { m_firstName, m_firstNames }, std::pair { m_familyName, m_familyNames } }) {
        box->setModel(names);
        if (auto* list = qobject_cast<QListView*>(box->view()))
            list->setUniformItemSizes(true);
        box->completer()->setCompletionMode(QCompleter::PopupCompletion);
        box->completer()->setCaseSensitivity(Qt::CaseSensitive);
    }
    // The group box lists the groups in use; it completes nothing, so what is typed is searched as typed.
    m_groups = new QStringListModel(this);
    m_group->setModel(m_groups);
    if (auto* list = qobject_cast<QListView*>(m_group->view()))
        list->setUniformItemSizes(true);
    m_group->setCompleter(nullptr);
    {
        QScopedValueRollback quiet(m_quiet, true);
        m_group->setEditText(groupPrompt);
    }

    connect(m_firstName, &QComboBox::editTextChanged, this, &LookupWindow::searchFirstName);
    connect(m_firstName, &QComboBox::activated, this, &LookupWindow::searchFirstName);
    connect(m_familyName, &QComboBox::editTextChanged, this, &LookupWindow::searchFamilyName);
    connect(m_familyName, &QComboBox::activated, this, &LookupWindow::searchFamilyName);
    connect(m_group, &QComboBox::editTextChanged, this, &LookupWindow::searchGroup);
    connect(m_group, &QComboBox::activated, this, &LookupWindow::searchGroup);
}

void LookupWindow::buildGrid()
{
    auto* caption = Kit::caption(this, QStringLiteral("DataGrid1Caption"), QStringLiteral("مشخصات آزمودني"), nullptr,
        gridLeft, gridTop - rowHeight, gridWidth, rowHeight);
    caption->setAlignment(Qt::AlignCenter);
    caption->setFrameShape(QFrame::StyledPanel);
    caption->setAutoFillBackground(true);
    caption->setBackgroundRole(QPalette::Button);

    m_grid = new CursorTableModel(*m_listed,
        { { codeColumn, QStringLiteral("Code") }, { QStringLiteral("FName"), QStringLiteral("نام") },
            { QStringLiteral("LName"), QStringLiteral("نام خانوادگي") },
            { QStringLiteral("Group"), QStringLiteral("گروه") } },
        this);
    connect(m_grid, &CursorTableModel::readFailed, this, &LookupWindow::showReadFailure, Qt::QueuedConnection);

    m_progress = new InvitationProgressModel(m_db, this);
    m_progress->setSourceModel(m_grid);
    m_progress->refresh();
    // Examinees answer on their phones while the window is open: their progress shows within seconds, at the cost of
    // one small query, and only while the window is shown.
    m_progressTimer = new QTimer(this);
    m_progressTimer->setObjectName(QStringLiteral("ProgressTimer"));
    m_progressTimer->setInterval(5000);
    connect(m_progressTimer, &QTimer::timeout, this, [this] {
        if (isVisible())
            m_progress->refresh();
    });
    m_progressTimer->start();

    if (m_sharing) {
        m_shares = new ShareMarkModel(m_db, this);
        m_shares->setSourceModel(m_progress);
        m_shares->refresh();
    }

    m_gridView = new QTableView(this);
    m_gridView->setObjectName(QStringLiteral("DataGrid1"));
    m_gridView->setModel(m_shares ? static_cast<QAbstractItemModel*>(m_shares) : m_progress);
    m_gridView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_gridView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_gridView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_gridView->setAlternatingRowColors(true);
    m_gridView->setWordWrap(false);
    m_gridView->verticalHeader()->hide();
    m_gridView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The names share what the code and the group leave; the grid never needs scrolling sideways.
    QHeaderView* header = m_gridView->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionResizeMode(0, QHeaderView::Interactive);
    header->setSectionResizeMode(3, QHeaderView::Interactive);
    header->setSectionResizeMode(4, QHeaderView::Interactive);
    m_gridView->setAccessibleName(caption->text());
    Twips::place(m_gridView, gridLeft, gridTop, gridWidth, gridHeight);
    m_gridView->setColumnWidth(0, Twips::toPixelsX(1260));
    m_gridView->setColumnWidth(3, Twips::toPixelsX(designedGroupWidth));
    m_gridView->setColumnWidth(4, Twips::toPixelsX(progressWidth));
    if (m_shares) {
        header->setSectionResizeMode(5, QHeaderView::Interactive);
        m_gridView->setColumnWidth(5, Twips::toPixelsX(shareWidth));
    }
}

void LookupWindow::buildButtons()
{
    m_print = Kit::button(
        this, QStringLiteral("Command1"), QStringLiteral("پرينت بر اساس گروه"), columnLeft, 1920, columnWidth, 495);
    m_export = Kit::button(this, QStringLiteral("CommandExport"), exportCaption, columnLeft, 2520, columnWidth, 495);
    // Unticked whenever the window opens: an export for research is de-identified unless names are asked for.
    m_exportNames = new QCheckBox(QStringLiteral("با نام و نام خانوادگي"), this);
    m_exportNames->setObjectName(QStringLiteral("CheckExportNames"));
    Twips::place(m_exportNames, columnLeft + 1440, 3045, columnWidth - 1440, 330);
    // Beside it: the options as chosen, after the keyed answers, for a researcher who wants both.
    m_exportChoices = new QCheckBox(choicesCaption, this);
    m_exportChoices->setObjectName(QStringLiteral("CheckExportChoices"));
    Twips::place(m_exportChoices, columnLeft, 3045, 1380, 330);
    // In their place while an export runs.
    m_exportProgress = new ProgressStrip(this);
    Twips::place(m_exportProgress, columnLeft, 3015, columnWidth, 390);
    // The way out shares its row with the invitation of the examinee selected in the grid.
    m_invite = Kit::button(this, QStringLiteral("CommandInvite"), QStringLiteral("دعوت به پاسخگويي"), columnLeft,
        gridTop + gridHeight - 495, columnWidth / 2 - 60, 495);
    m_close = Kit::button(this, QStringLiteral("Command6"), QStringLiteral("خروج"), columnLeft + columnWidth / 2 + 60,
        gridTop + gridHeight - 495, columnWidth / 2 - 60, 495);
    connect(m_invite, &QPushButton::clicked, this, &LookupWindow::inviteSelected);
    connect(m_print, &QPushButton::clicked, this, &LookupWindow::printByGroup);
    connect(m_export, &QPushButton::clicked, this, &LookupWindow::exportListed);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
}

void LookupWindow::buildDeletionFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("حذف کردن آزمودني"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    Twips::place(frame, columnLeft - 120, 3420, columnWidth + 240, 2040);

    m_code = new QLineEdit(frame);
    m_code->setObjectName(QStringLiteral("Text5"));
    // Codes line up on the right like the Persian texts around them, whatever script they are typed in.
    m_code->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    Twips::place(m_code, 240, 840, columnWidth - 240, rowHeight);
    Kit::caption(frame, QStringLiteral("SkinLabel1"), QStringLiteral("کد آزمودني را وارد کنيد"), m_code, 240, 360,
        columnWidth - 240, rowHeight);
    m_delete = Kit::button(
        frame, QStringLiteral("Command2"), QStringLiteral("حذف "), (columnWidth + 240 - 1500) / 2, 1380, 1500, 435);

    connect(m_delete, &QPushButton::clicked, this, &LookupWindow::deleteExaminee);
    connect(m_code, &QLineEdit::returnPressed, this, &LookupWindow::deleteExaminee);
}

void LookupWindow::buildHiddenFields()
{
    auto hidden = [this](const QString& name) { return Kit::hiddenField(this, name); };
    ColumnBinding::of(*m_themeRow).bind(hidden(QStringLiteral("Text1")), QStringLiteral("TH"));
    m_address = hidden(QStringLiteral("Text4"));
    ColumnBinding::of(*m_themeRow).bind(m_address, QStringLiteral("Adress"));
}

void LookupWindow::buildShareStrip()
{
    // Under the grid, read from the right: the colleague, then sharing and taking back the selected examinee.
    const int right = gridLeft + gridWidth;
    m_colleague = new QComboBox(this);
    m_colleague->setObjectName(QStringLiteral("ComboColleague"));
    m_colleague->setEditable(true);
    m_colleague->setInsertPolicy(QComboBox::NoInsert);
    Twips::place(m_colleague, right - 960 - 2640, shareStripTop + 30, 2520, rowHeight);
    Kit::caption(this, QStringLiteral("LabelComboColleague"), QStringLiteral(" :همکار"), m_colleague, right - 960,
        shareStripTop + 30, 960, rowHeight);
    // The clinic's colleagues as the server names them; a name can be typed when they cannot be read.
    const Sharing::Colleagues colleagues = Sharing::colleagues(m_db);
    m_colleague->addItems(colleagues.names);
    m_colleague->setCurrentIndex(-1);
    m_colleague->clearEditText();
    m_share = Kit::button(this, QStringLiteral("CommandShare"), QStringLiteral("اشتراک با همکار"),
        right - 960 - 2640 - 2040, shareStripTop, 1920, 435);
    m_takeBack = Kit::button(this, QStringLiteral("CommandUnshare"), QStringLiteral("پس گرفتن اشتراک"),
        right - 960 - 2640 - 2040 - 2040, shareStripTop, 1920, 435);
    connect(m_share, &QPushButton::clicked, this, &LookupWindow::shareSelected);
    connect(m_takeBack, &QPushButton::clicked, this, &LookupWindow::takeBackSelected);
}

void LookupWindow::setKeyboardOrder()
{
    QList<QWidget*> order = { m_firstName, m_familyName, m_group, m_gridView, m_print, m_export, m_exportNames,
        m_exportChoices, m_code, m_delete, m_invite, m_close };
    if (m_sharing)
        order = { m_firstName, m_familyName, m_group, m_gridView, m_colleague, m_share, m_takeBack, m_print, m_export,
            m_exportNames, m_exportChoices, m_code, m_delete, m_invite, m_close };
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void LookupWindow::filterListed(const QString& column, const QString& value)
{
    if (!m_listed->setFilter(column, value))
        showReadFailure(m_listed->lastError());
}

void LookupWindow::clearOtherBoxes(QComboBox* kept)
{
    QScopedValueRollback quiet(m_quiet, true);
    for (QComboBox* box : { m_firstName, m_familyName, m_group }) {
        if (box == kept)
            continue;
        box->setCurrentIndex(-1);
        box->clearEditText();
    }
}

void LookupWindow::searchFirstName()
{
    if (m_quiet)
        return;
    filterListed(QStringLiteral("FName"), m_firstName->currentText());
    clearOtherBoxes(m_firstName);
}

void LookupWindow::searchFamilyName()
{
    if (m_quiet)
        return;
    clearOtherBoxes(m_familyName);
    filterListed(QStringLiteral("LName"), m_familyName->currentText());
}

void LookupWindow::searchGroup()
{
    if (m_quiet)
        return;
    clearOtherBoxes(m_group);
    filterListed(QStringLiteral("Group"), m_group->currentText());
}

void LookupWindow::reloadNameLists()
{
    QScopedValueRollback quiet(m_quiet, true);
    QString error;
    // Read from the unfiltered rows, so the lists offer every examinee's name and group whatever the grid shows; the
    // three lists in one read.
    QList<QStringList> lists;
    if (!m_listed->distinctValues({ QStringLiteral("FName"), QStringLiteral("LName"), QStringLiteral("Group") }, lists))
        error = m_listed->lastError();
    lists.resize(3);
    int list = 0;
    for (auto [box, names] : { std::pair { m_firstName, m_firstNames }, std::pair { m_familyName, m_familyNames },
             std::pair { m_group, m_groups } }) {
        const QString typed = box->currentText();
        names->setStringList(lists.at(list++));
        box->setCurrentIndex(-1);
        box->setEditText(typed);
    }
    fitGroupColumn();
    if (!error.isEmpty())
        showReadFailure(error);
}

void LookupWindow::fitGroupColumn()
{
    // As wide as the longest group in use, so a group of twenty letters reads whole, and no narrower than designed;
    // the names share what is left.
    const QFontMetrics metrics(m_gridView->font());
    int widest = 0;
    for (const QString& group : m_groups->stringList())
        widest = std::max(widest, metrics.horizontalAdvance(group));
    const int padding = 2 * m_gridView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_gridView) + 12;
    m_gridView->setColumnWidth(
        3, std::clamp(widest + padding, Twips::toPixelsX(designedGroupWidth), Twips::toPixelsX(widestGroupWidth)));
}

void LookupWindow::changeEvent(QEvent* event)
{
    // Back from another window or program: what another copy of the program did to the file meanwhile shows.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_grid->refresh();
        m_progress->refresh();
        if (m_shares)
            m_shares->refresh();
    }
    QWidget::changeEvent(event);
}

void LookupWindow::showReadFailure(const QString& error)
{
    // In Persian, as every box of the program; the platform's words follow for whoever looks after the data.
    Kit::reportDatabaseTrouble(m_messages, this, m_db.lastErrorIsBusy(), error);
}

void LookupWindow::printByGroup()
{
    if (m_group->currentText().isEmpty()) {
        m_messages.ShowNotice(this, Msg::ChooseLookupGroup);
        return;
    }
    emit listReportRequested(m_listed, m_themeRow->field(QStringLiteral("Name")), m_address->text());
}

void LookupWindow::deleteExaminee()
{
    // The code is looked up as registration stores it, however it was typed. A file that cannot be read says so; it
    // never passes for an unknown code.
    const ExamineeCode::Found search = m_deletion.find(m_code->text());
    switch (search.status) {
    case ExamineeCode::Found::Status::Found:
        break;
    case ExamineeCode::Found::Status::NothingTyped:
        m_messages.ShowNotice(this, Msg::EnterExamineeNumber);
        return;
    case ExamineeCode::Found::Status::Failed:
        Kit::reportDatabaseTrouble(m_messages, this, search.busy, search.error);
        return;
    case ExamineeCode::Found::Status::NotFound:
        m_messages.ShowNotice(this, Msg::NoExamineeWithCode);
        return;
    }

    // A colleague's examinee shared with a counsellor is theirs to see and change, not to delete (the server
    // refuses it too).
    if (!Rights::mayDeleteExaminee(m_db, search.code)) {
        m_deletion.forget();
        m_messages.ShowNotice(this, Msg::DeleteOthersExaminee);
        return;
    }

    // The question names whom it removes, and a hurried Enter keeps the examinee.
    QString name = m_deletion.foundName();
    if (name.isEmpty())
        name = Msg::ExamineeWithoutName;
    const QString question = Msg::ConfirmDeletionOf.arg(name, search.code) + QLatin1Char('\n') + Msg::ConfirmDeletion;
    if (m_messages.AskOperator(this, question, Msg::Style::YesNo | Msg::Style::DefaultSecond, Msg::ApplicationTitle)
        != Msg::Yes) {
        m_deletion.forget();
        m_listed->reload();
        return;
    }

    const ExamineeDeletion::Result removed = m_deletion.removeFound();
    if (!removed.ok) {
        Kit::reportDatabaseTrouble(m_messages, this, m_db.lastErrorIsBusy(), removed.error);
        return;
    }

    m_messages.ShowNotice(this, Msg::DeletionDone);
    m_code->clear();
    m_code->setFocus();
    // Every examinee is listed again, so no search box may go on naming a search.
    clearOtherBoxes(nullptr);
    m_listed->clearFilter();
    reloadNameLists();
}

void LookupWindow::exportListed()
{
    // An empty list would make a file of headers alone: the operator is told instead of being asked for a file.
    if (!m_listed->readFailed() && m_listed->count() == 0) {
        m_messages.ShowNotice(this, Msg::NoExamineeListed);
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(QStringLiteral("Tovrin35.csv"));
    const QString path = m_fileDialogs.saveFileName(this, exportCaption, suggested, QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    // On a worker thread through a connection of its own, each line written as its row is read: the window goes on
    // repainting, shows how far the export is and can stop it, and a million examinees take no more memory than ten.
    ResearchExport::Result result;
    const Database::Location location = m_db.location();
    const TableCursor::Selection listed = m_listed->selection();
    const ResearchExport::Names names
        = m_exportNames->isChecked() ? ResearchExport::Names::Included : ResearchExport::Names::LeftOut;
    const ResearchExport::Choices choices
        = m_exportChoices->isChecked() ? ResearchExport::Choices::Included : ResearchExport::Choices::LeftOut;
    TransferJob job([&, scoring = m_scoring](const TableTransfer::Watch& watch) {
        result = ResearchExport::write(location, listed, path, scoring, names, choices, watch);
    });
    connect(&job, &TransferJob::progressChanged, m_exportProgress, &ProgressStrip::setPercent);
    connect(m_exportProgress, &ProgressStrip::cancelRequested, &job, &TransferJob::cancel);
    m_exportJob = &job;
    setExporting(true);
    job.run();
    m_exportJob = nullptr;
    setExporting(false);
    if (m_closeWanted) {
        // The window was closed during the export: the export stopped, and now the window closes.
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    // Stopped by the operator: no file was written, and there is nothing to say.
    if (result.cancelled)
        return;
    if (!result.ok) {
        m_messages.AskOperator(this, Msg::ExportFailed + QLatin1Char('\n') + result.error, Msg::Style::ExclamationRtl,
            Msg::ErrorTitlePersian);
        return;
    }
    // Which rows left the clinic's server, and whether with names, is the trail's.
    Audit::note(m_db, QStringLiteral("CSV export"), QString(),
        QStringLiteral("%1 rows, %2")
            .arg(result.examinees)
            .arg(m_exportNames->isChecked() ? QStringLiteral("with names") : QStringLiteral("without names")));
    m_messages.ShowNotice(this, Msg::ExportDone);
}

void LookupWindow::setExporting(bool exporting)
{
    // One export at a time, and nothing that changes the rows or the list while it runs.
    for (QWidget* w : std::initializer_list<QWidget*> { m_print, m_export, m_exportNames, m_exportChoices, m_delete,
             m_code, m_invite, m_firstName, m_familyName, m_group })
        w->setEnabled(!exporting);
    m_exportNames->setVisible(!exporting);
    m_exportChoices->setVisible(!exporting);
    if (exporting)
        m_exportProgress->start();
    else
        m_exportProgress->hide();
}

void LookupWindow::closeEvent(QCloseEvent* event)
{
    if (m_exportJob) {
        // Not in the middle of writing a file: the export stops first, leaving no file, and the window closes as
        // soon as it has.
        m_closeWanted = true;
        m_exportJob->cancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

QString LookupWindow::selectedCode() const
{
    const QModelIndex current = m_gridView->currentIndex();
    if (!current.isValid())
        return QString();
    return m_grid->data(m_grid->index(current.row(), 0), Qt::DisplayRole).toString().trimmed();
}

void LookupWindow::inviteSelected()
{
    emit invitationRequested(selectedCode());
}

void LookupWindow::shareSelected()
{
    const QString code = selectedCode();
    if (code.isEmpty()) {
        m_messages.ShowNotice(this, Msg::ChooseExamineeToShare);
        m_gridView->setFocus();
        return;
    }
    const QString colleague = m_colleague->currentText().trimmed();
    if (colleague.isEmpty()) {
        m_messages.ShowNotice(this, Msg::ChooseColleague);
        m_colleague->setFocus();
        return;
    }
    showShareOutcome(Sharing::share(m_db, code, colleague), Msg::ShareDone);
}

void LookupWindow::takeBackSelected()
{
    const QString code = selectedCode();
    if (code.isEmpty()) {
        m_messages.ShowNotice(this, Msg::ChooseExamineeToShare);
        m_gridView->setFocus();
        return;
    }
    showShareOutcome(Sharing::takeBack(m_db, code, m_colleague->currentText().trimmed()), Msg::ShareTakenBack);
}

void LookupWindow::showShareOutcome(const Sharing::Result& result, const QString& done)
{
    switch (result.outcome) {
    case Sharing::Outcome::Done:
        m_shares->refresh();
        m_messages.ShowNotice(this, done);
        return;
    case Sharing::Outcome::NotMine:
        m_messages.ShowNotice(this, Msg::ShareOnlyOwn);
        return;
    case Sharing::Outcome::NoSuchColleague:
        m_messages.ShowNotice(this, Msg::NoSuchColleague);
        m_colleague->setFocus();
        return;
    case Sharing::Outcome::NotShared:
        m_messages.ShowNotice(this, Msg::NotSharedWithColleague);
        return;
    case Sharing::Outcome::Failed:
        Kit::reportDatabaseTrouble(m_messages, this, result.busy, result.error);
        return;
    }
}
