#include "audit/AuditWindow.h"

#include "audit/AuditExport.h"
#include "audit/AuditLinesModel.h"
#include "audit/AuditWords.h"
#include "calendar/SolarHijri.h"
#include "data/Audit.h"
#include "data/AuditTrail.h"
#include "data/CursorTableModel.h"
#include "text/CodeForms.h"
#include "data/TableCursor.h"
#include "text/Digits.h"
#include "text/ShownNumbers.h"
#include "ui/FileDialogs.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>

namespace {

constexpr int windowWidth = 13680;
constexpr int windowHeight = 7200;

// The filters stand in a column on the right, the grid fills the left.
constexpr int gridLeft = 240;
constexpr int gridTop = 240;
constexpr int gridWidth = 9840;
constexpr int gridHeight = 6720;
constexpr int boxLeft = 10320;
constexpr int boxWidth = 1920;
constexpr int captionLeft = 12300;
constexpr int captionWidth = 1200;
constexpr int rowHeight = 375;
constexpr int rowStep = 480;
constexpr int buttonWidth = 3180;
constexpr int buttonHeight = 495;

} // namespace

AuditWindow::AuditWindow(Database& db, Messages& messages, FileDialogs& fileDialogs, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_db(db)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
{
    Kit::setUpWindow(this, QStringLiteral("FrmAudit"), Msg::AuditTitle, windowWidth, windowHeight);
    m_listed = AuditTrail::open(m_db, this);
    buildFilters();
    buildGrid();
    fillLists();
    showCount();
    QWidget* order[] = { m_who, m_code, m_what, m_from, m_to, m_show, m_gridView, m_export, m_close };
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    Twips::placeWindow(this, 1200, 900);
    if (m_listed->readFailed())
        showReadFailure(m_listed->lastError());
    m_who->setFocus();
}

void AuditWindow::buildFilters()
{
    auto place = [this](QWidget* box, const QString& name, const QString& caption, int row) {
        box->setObjectName(name);
        const int top = gridTop + row * rowStep;
        Twips::place(box, boxLeft, top, boxWidth, rowHeight);
        Kit::caption(this, QStringLiteral("Label") + name, caption + QStringLiteral(":"), box, captionLeft, top,
            captionWidth, rowHeight);
    };
    m_who = new QComboBox(this);
    place(m_who, QStringLiteral("ComboWho"), Msg::AuditWho, 0);
    m_code = new QLineEdit(this);
    Kit::alignRight(m_code);
    place(m_code, QStringLiteral("TextCode"), Msg::AuditCode, 1);
    m_what = new QComboBox(this);
    place(m_what, QStringLiteral("ComboWhat"), Msg::AuditWhat, 2);
    m_from = new QLineEdit(this);
    Kit::alignRight(m_from);
    place(m_from, QStringLiteral("TextFrom"), Msg::AuditFrom, 3);
    m_to = new QLineEdit(this);
    Kit::alignRight(m_to);
    place(m_to, QStringLiteral("TextTo"), Msg::AuditTo, 4);
    for (QLineEdit* date : { m_from, m_to })
        date->setPlaceholderText(ShownNumbers::text(QStringLiteral("1403/01/15")));

    const int buttonTop = gridTop + 5 * rowStep + 120;
    m_show = Kit::button(this, QStringLiteral("CommandShow"), Msg::AuditShow, boxLeft, buttonTop, buttonWidth, buttonHeight);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("LabelCount"));
    m_count->setAlignment(Qt::AlignCenter);
    Twips::place(m_count, boxLeft, buttonTop + buttonHeight + 120, buttonWidth, rowHeight);
    m_export = Kit::button(this, QStringLiteral("CommandExport"), Msg::AuditExport, boxLeft,
        gridTop + gridHeight - 2 * buttonHeight - 120, buttonWidth, buttonHeight);
    m_close = Kit::button(this, QStringLiteral("CommandClose"), Msg::AuditClose, boxLeft,
        gridTop + gridHeight - buttonHeight, buttonWidth, buttonHeight);

    connect(m_show, &QPushButton::clicked, this, &AuditWindow::applyFilter);
    connect(m_who, &QComboBox::activated, this, &AuditWindow::applyFilter);
    connect(m_what, &QComboBox::activated, this, &AuditWindow::applyFilter);
    for (QLineEdit* field : { m_code, m_from, m_to })
        connect(field, &QLineEdit::returnPressed, this, &AuditWindow::applyFilter);
    connect(m_export, &QPushButton::clicked, this, &AuditWindow::exportListed);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
}

void AuditWindow::buildGrid()
{
    m_grid = new CursorTableModel(*m_listed,
        { { QStringLiteral("When"), Msg::AuditWhen }, { QStringLiteral("Who"), Msg::AuditWho },
            { QStringLiteral("What"), Msg::AuditWhat }, { QStringLiteral("Code"), Msg::AuditCode },
            { QStringLiteral("Detail"), Msg::AuditDetail } },
        this);
    connect(m_grid, &CursorTableModel::readFailed, this, &AuditWindow::showReadFailure, Qt::QueuedConnection);
    connect(m_grid, &QAbstractItemModel::modelReset, this, &AuditWindow::showCount);
    m_lines = new AuditLinesModel(this);
    m_lines->setSourceModel(m_grid);

    m_gridView = new QTableView(this);
    m_gridView->setObjectName(QStringLiteral("GridAudit"));
    m_gridView->setModel(m_lines);
    m_gridView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_gridView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_gridView->setAlternatingRowColors(true);
    m_gridView->setWordWrap(false);
    m_gridView->verticalHeader()->hide();
    m_gridView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_gridView->horizontalHeader()->setStretchLastSection(true);
    m_gridView->setAccessibleName(Msg::AuditTitle);
    Twips::place(m_gridView, gridLeft, gridTop, gridWidth, gridHeight);
    m_gridView->setColumnWidth(AuditLinesModel::When, Twips::toPixelsX(2280));
    m_gridView->setColumnWidth(AuditLinesModel::Who, Twips::toPixelsX(1440));
    m_gridView->setColumnWidth(AuditLinesModel::What, Twips::toPixelsX(2400));
    m_gridView->setColumnWidth(AuditLinesModel::Code, Twips::toPixelsX(1200));
}

void AuditWindow::fillLists()
{
    // Read before any filter, so the lists offer everyone and every action in the trail.
    QStringList who;
    QStringList what;
    if (!m_listed->distinctValues(QStringLiteral("Who"), who) || !m_listed->distinctValues(QStringLiteral("What"), what))
        return;
    m_who->addItem(Msg::AuditAll, QString());
    for (const QString& name : who)
        m_who->addItem(name, name);
    m_what->addItem(Msg::AuditAll, QString());
    for (const QString& action : what)
        m_what->addItem(AuditWords::of(action), action);
}

void AuditWindow::showCount()
{
    m_count->setText(m_listed->readFailed() ? QString() : Msg::AuditLineCount.arg(ShownNumbers::number(m_listed->count())));
}

bool AuditWindow::applyFilter()
{
    AuditTrail::Filter filter;
    filter.who = m_who->currentData().toString();
    filter.what = m_what->currentData().toString();
    // The code as registration keeps it, however it was typed.
    filter.code = ExamineeCode::normalised(m_code->text());
    for (auto [field, day] : { std::pair { m_from, &filter.from }, std::pair { m_to, &filter.to } }) {
        const QString typed = Digits::toAscii(field->text()).trimmed();
        if (typed.isEmpty())
            continue;
        *day = ParseSolarHijriDate(typed);
        if (!day->isValid()) {
            m_messages.ShowNotice(this, Msg::AuditDateWrong);
            field->setFocus();
            field->selectAll();
            return false;
        }
    }
    if (!m_listed->setConditions(AuditTrail::conditions(filter))) {
        showReadFailure(m_listed->lastError());
        return false;
    }
    return true;
}

void AuditWindow::exportListed()
{
    if (!m_listed->readFailed() && m_listed->count() == 0) {
        m_messages.ShowNotice(this, Msg::AuditNothingListed);
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists())
        folder = QDir::homePath();
    const QString path = m_fileDialogs.saveFileName(
        this, Msg::AuditExport, QDir(folder).filePath(QStringLiteral("Tovrin35-activity.csv")), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const AuditExport::Result result = AuditExport::write(*m_listed, path);
    if (!result.ok) {
        m_messages.AskOperator(this, Msg::AuditExportFailed + QLatin1Char('\n') + result.error,
            Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
        return;
    }
    // Lines of the trail that left the program are the trail's too.
    Audit::note(m_db, AuditWords::TrailExport, QString(), QStringLiteral("%1 lines").arg(result.lines));
    m_messages.ShowNotice(this, Msg::AuditExportDone);
}

void AuditWindow::showReadFailure(const QString& error)
{
    Kit::reportDatabaseTrouble(m_messages, this, m_db.lastErrorIsBusy(), error);
}
