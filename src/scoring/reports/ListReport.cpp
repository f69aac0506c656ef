#include "scoring/reports/ListReport.h"

#include <QPainter>

#include <algorithm>

using Report::PageContent;
using Report::Rule;
using Report::Shade;
using Report::TextBox;
using Report::TextStyle;

namespace {

constexpr int reportWidth = 9600;
constexpr int tableLeft = 378;
constexpr int tableRight = 9513;

// Band heights, twips.
constexpr int reportHeaderHeight = 1040; // Section4
constexpr int pageHeaderHeight = 480; // Section2
constexpr int lineHeight = 330; // Section1
constexpr int footerGap = 240;
constexpr int addressHeight = 660;
constexpr int reportFooterHeight = footerGap + addressHeight + 60 + 330; // Section5

const QColor headingShade(232, 236, 240);
const QColor lineRule(190, 190, 190);
const QColor programmerColour(80, 80, 80);

TextStyle style(int size, bool bold, Qt::Alignment alignment = Qt::AlignCenter, bool wrap = false)
{
    TextStyle s;
    s.size = size;
    s.bold = bold;
    s.alignment = alignment;
    s.wrap = wrap;
    return s;
}

} // namespace

ListReport::ListReport(QList<ListReportRow> rows, const ListReportCaptions& captions, const QString& programmerLine)
    : m_rows(std::move(rows))
    , m_captions(captions)
    , m_programmerLine(programmerLine)
{
    paginate();
}

const std::array<ListReport::Column, 11>& ListReport::columns()
{
    static const std::array<Column, 11> all = { {
        { QStringLiteral("رديف"), QStringLiteral("Label5"), QStringLiteral("Text1"), 8946, 9513 },
        { QStringLiteral("کد"), QStringLiteral("Label2"), QStringLiteral("txtCode"), 8379, 8946 },
        { QStringLiteral("گروه"), QStringLiteral("Label7"), QStringLiteral("txtGroup1"), 7725, 8379 },
        { QStringLiteral("سن"), QStringLiteral("Label10"), QStringLiteral("txtScore"), 7167, 7725 },
        { QStringLiteral("جنس"), QStringLiteral("Label6"), QStringLiteral("Text6"), 6474, 7167 },
        { QStringLiteral("تاهل"), QStringLiteral("Label4"), QStringLiteral("Text5"), 5760, 6474 },
        { QStringLiteral("تحصيلات"), QStringLiteral("Label1"), QStringLiteral("Text4"), 3974, 5760 },
        { QStringLiteral("رضايت زناشويي"), QStringLiteral("Label11"), QStringLiteral("txtBPosetive"), 2940, 3974 },
        { QStringLiteral("ارتباطات"), QStringLiteral("Label12"), QStringLiteral("txtConterlo"), 1926, 2940 },
        { QStringLiteral("حل تعارض"), QStringLiteral("Label13"), QStringLiteral("txtEtminan"), 946, 1926 },
        { QStringLiteral("تحريف آرماني"), QStringLiteral("Label17"), QStringLiteral("txtneyaz"), 378, 946 },
    } };
    return all;
}

QString ListReport::reportTitle()
{
    return QStringLiteral("گزارش نتيجه  پرسشنامه رضايت زناشويي تورين 35 ماده اي");
}

QString ListReport::title() const
{
    return QStringLiteral("گزارش آزمودني ها");
}

int ListReport::designWidth()
{
    return reportWidth;
}

double ListReport::scale() const
{
    return std::min(1.0, printableTwips().width() / reportWidth);
}

void ListReport::pageLayoutChanged()
{
    paginate();
}

void ListReport::paginate()
{
    const double height = printableTwips().height() / scale();
    m_firstPageRows = std::max(1, static_cast<int>((height - reportHeaderHeight - pageHeaderHeight) / lineHeight));
    m_otherPageRows = std::max(1, static_cast<int>((height - pageHeaderHeight) / lineHeight));

    const int rows = rowCount();
    double lastPageUsed = 0;
    if (rows <= m_firstPageRows) {
        m_rowPages = 1;
        lastPageUsed = reportHeaderHeight + pageHeaderHeight + rows * lineHeight;
    } else {
        const int rest = rows - m_firstPageRows;
        const int restPages = (rest + m_otherPageRows - 1) / m_otherPageRows;
        m_rowPages = 1 + restPages;
        const int lastRows = rest - (restPages - 1) * m_otherPageRows;
        lastPageUsed = pageHeaderHeight + lastRows * lineHeight;
    }
    m_footerOwnPage = lastPageUsed + reportFooterHeight > height;
}

int ListReport::pageCount() const
{
    return m_rowPages + (m_footerOwnPage ? 1 : 0);
}

ListReport::PagePlan ListReport::plan(int index) const
{
    PagePlan plan;
    if (index < 0 || index >= pageCount())
        return plan;
    plan.reportHeader = index == 0;
    plan.reportFooter = index == pageCount() - 1;
    if (index >= m_rowPages) {
        plan.firstRow = rowCount();
        return plan;
    }
    plan.firstRow = index == 0 ? 0 : m_firstPageRows + (index - 1) * m_otherPageRows;
    const int room = index == 0 ? m_firstPageRows : m_otherPageRows;
    plan.rowCount = std::clamp(rowCount() - plan.firstRow, 0, room);
    return plan;
}

QString ListReport::cellText(const ListReportRow& row, int rowIndex, int column) const
{
    switch (column) {
    case 0:
        // The line's number in this printout, not the examinee's code.
        return QString::number(rowIndex + 1);
    case 1:
        return row.code;
    case 2:
        return row.group;
    case 3:
        return row.age;
    case 4:
        return row.sex;
    case 5:
        return row.maritalStatus;
    case 6:
        return row.education;
    default:
        return row.scores[static_cast<std::size_t>(column - 7)];
    }
}

PageContent ListReport::pageContent(int index) const
{
    PageContent page;
    const PagePlan p = plan(index);
    if (index < 0 || index >= pageCount())
        return page;

    double y = 0;
    if (p.reportHeader) {
        page.texts.append(
            { QStringLiteral("Label9"), m_captions.clinicName, QRectF(56, 0, 9373, 480), style(260, true) });
        page.texts.append({ QStringLiteral("Label3"), reportTitle(), QRectF(56, 500, 9373, 440), style(220, true) });
        y = reportHeaderHeight;
    }

    const double tableTop = y;
    page.shades.append(Shade { QRectF(tableLeft, y, tableRight - tableLeft, pageHeaderHeight), headingShade });
    for (const Column& c : columns())
        page.texts.append({ c.headingLabel, c.heading, QRectF(c.left + 20, y, c.right - c.left - 40, pageHeaderHeight),
            style(140, true, Qt::AlignCenter, true) });
    page.rules.append(Rule { QLineF(tableLeft, y, tableRight, y), 20 });
    y += pageHeaderHeight;
    page.rules.append(Rule { QLineF(tableLeft, y, tableRight, y), 20 });

    for (int k = 0; k < p.rowCount; ++k) {
        const int rowIndex = p.firstRow + k;
        const ListReportRow& row = m_rows[rowIndex];
        for (std::size_t c = 0; c < columns().size(); ++c) {
            const Column& column = columns()[c];
            page.texts.append({ column.field, cellText(row, rowIndex, static_cast<int>(c)),
                QRectF(column.left + 30, y, column.right - column.left - 60, lineHeight), style(160, false) });
        }
        y += lineHeight;
        const bool last = k + 1 == p.rowCount;
        page.rules.append(last ? Rule { QLineF(tableLeft, y, tableRight, y), 20 }
                               : Rule { QLineF(tableLeft, y, tableRight, y), 6, lineRule });
    }

    // The vertical rulings: the edges of every column's span.
    for (const Column& c : columns())
        page.rules.append(Rule { QLineF(c.left, tableTop, c.left, y), 12 });
    page.rules.append(Rule { QLineF(tableRight, tableTop, tableRight, y), 12 });

    if (p.reportFooter) {
        y += footerGap;
        const Column& first = columns()[0];
        TextStyle addressCaption = style(160, true, Qt::AlignRight | Qt::AlignVCenter);
        addressCaption.direction = Qt::LeftToRight;
        page.texts.append({ QStringLiteral("Label15"), QStringLiteral(":آدرس"),
            QRectF(first.left + 30, y, first.right - first.left - 60, lineHeight), addressCaption });
        page.texts.append({ QStringLiteral("Label14"), m_captions.address,
            QRectF(tableLeft, y + 20, first.left - tableLeft - 60, addressHeight),
            style(160, false, Qt::AlignRight | Qt::AlignTop, true) });
        TextStyle programmer = style(140, false);
        programmer.colour = programmerColour;
        page.texts.append({ QStringLiteral("Label16"), m_programmerLine,
            QRectF(tableLeft, y + addressHeight + 60, tableRight - tableLeft, 330), programmer });
    }
    return page;
}

void ListReport::paintPage(QPainter& painter, int index) const
{
    if (index < 0 || index >= pageCount())
        return;
    const double s = scale();
    painter.save();
    painter.translate((printableTwips().width() - reportWidth * s) / 2, 0);
    painter.scale(s, s);
    m_painter.paint(painter, pageContent(index));
    painter.restore();
}
