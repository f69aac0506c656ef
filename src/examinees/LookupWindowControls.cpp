// The lookup window's controls as it builds them: search boxes, grid, buttons, the deletion frame, the sharing strip.
#include "examinees/LookupWindow.h"
#include "examinees/LookupWindowPlaces.h"

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

using namespace LookupWindowPlaces;

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
