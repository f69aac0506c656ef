#include "scoring/reports/ListReport.h"

#include "text/ShownNumbers.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

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

// Code and group columns widen for the longest text on their page, taking the room from education, which keeps
// at least this much, and then from the age, sex and marital status.
constexpr int codeColumn = 1;
constexpr int groupColumn = 2;
constexpr int ageColumn = 3;
constexpr int sexColumn = 4;
constexpr int maritalColumn = 5;
constexpr int educationColumn = 6;
constexpr int narrowestEducation = 800;
constexpr int cellInset = 30;

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

TextStyle headingStyle()
{
    return style(140, true, Qt::AlignCenter, true);
}

TextStyle cellStyle(int column)
{
    TextStyle s = style(160, false);
    // A line is matched to its examinee by the code and the group, so those are never shortened.
    s.whole = column == codeColumn || column == groupColumn;
    return s;
}

} // namespace

ListReport::ListReport(QList<ListReportRow> rows, const ListReportCaptions& captions, const QString& programmerLine)
    : m_rows(std::move(rows))
    , m_rowCount(static_cast<int>(m_rows.size()))
    , m_captions(captions)
    , m_programmerLine(programmerLine)
{
    paginate();
}

ListReport::ListReport(int rowCount, const ListReportCaptions& captions, const QString& programmerLine)
    : m_rowCount(std::max(0, rowCount))
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

QTransform ListReport::designToPrintable() const
{
    const double s = scale();
    return QTransform::fromTranslate((printableTwips().width() - reportWidth * s) / 2, 0).scale(s, s);
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
    int lastRows = rows;
    if (rows <= m_firstPageRows) {
        m_rowPages = 1;
        lastPageUsed = reportHeaderHeight + pageHeaderHeight + rows * lineHeight;
    } else {
        const int rest = rows - m_firstPageRows;
        const int restPages = (rest + m_otherPageRows - 1) / m_otherPageRows;
        m_rowPages = 1 + restPages;
        lastRows = rest - (restPages - 1) * m_otherPageRows;
        lastPageUsed = pageHeaderHeight + lastRows * lineHeight;
    }
    m_footerOwnPage = lastPageUsed + reportFooterHeight > height;
    // The footer's own page takes the last line along, under its headings, when the page it leaves keeps a line; on
    // paper too small for a line and the footer together, the footer stands alone, without headings.
    m_carried = m_footerOwnPage && lastRows >= 2 && pageHeaderHeight + lineHeight + reportFooterHeight <= height ? 1 : 0;
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
        plan.firstRow = rowCount() - m_carried;
        plan.rowCount = m_carried;
    } else {
        plan.firstRow = index == 0 ? 0 : m_firstPageRows + (index - 1) * m_otherPageRows;
        const int room = index == 0 ? m_firstPageRows : m_otherPageRows;
        plan.rowCount = std::clamp(rowCount() - plan.firstRow, 0, room);
        if (index == m_rowPages - 1)
            plan.rowCount -= m_carried;
    }
    plan.headings = plan.rowCount > 0 || rowCount() == 0;
    return plan;
}

QString ListReport::cellText(const ListReportRow& row, int rowIndex, int column) const
{
    switch (column) {
    case 0:
        // The line's number in this printout, not the examinee's code.
        return ShownNumbers::number(rowIndex + 1);
    case 1:
        return row.code;
    case 2:
        return row.group;
    case 3:
        return ShownNumbers::text(row.age);
    case 4:
        return row.sex;
    case 5:
        return row.maritalStatus;
    case 6:
        return row.education;
    default:
        return ShownNumbers::text(row.scores[static_cast<std::size_t>(column - 7)]);
    }
}

std::array<ListReport::Span, 11> ListReport::spans(const PagePlan& p, const ListReportRow* lines) const
{
    std::array<int, 11> widths;
    for (std::size_t c = 0; c < widths.size(); ++c)
        widths[c] = columns()[c].right - columns()[c].left;
    const auto needed = [](double textWidth) { return static_cast<int>(std::ceil(textWidth)) + 2 * cellInset + 2; };
    // The widest text of a column on this page, as drawn.
    const auto widest = [&](int column) {
        double width = 0;
        for (int k = 0; k < p.rowCount; ++k)
            width = std::max(width,
                Report::TextPainter::naturalWidth(
                    cellText(lines[k], p.firstRow + k, column), cellStyle(column)));
        return width;
    };

    // A widened column leaves a little air between its text and the rulings.
    constexpr int air = 40;
    int moreCode = std::max(0, needed(widest(codeColumn)) + air - widths[codeColumn]);
    int moreGroup = std::max(0, needed(widest(groupColumn)) + air - widths[groupColumn]);
    if (moreCode + moreGroup == 0)
        return designedSpans();

    // The room comes from education first, then from the short details beside it, each keeping what its own
    // heading and texts on this page need; the scores keep their columns.
    struct Donor {
        int column;
        int narrowest;
    };
    std::array<Donor, 4> donors = { { { educationColumn, narrowestEducation }, { maritalColumn, 0 }, { sexColumn, 0 },
        { ageColumn, 0 } } };
    for (std::size_t d = 1; d < donors.size(); ++d) {
        const int c = donors[d].column;
        const double heading = Report::TextPainter::naturalWidth(columns()[c].heading, headingStyle()) + 40;
        donors[d].narrowest = std::min(widths[c], std::max(needed(widest(c)), static_cast<int>(std::ceil(heading))));
    }
    int room = 0;
    for (const Donor& d : donors)
        room += widths[d.column] - d.narrowest;
    if (moreCode + moreGroup > room) {
        // Not room for both: each gets its share, and the text still too long is set smaller.
        moreCode = static_cast<int>(static_cast<qint64>(room) * moreCode / (moreCode + moreGroup));
        moreGroup = room - moreCode;
    }
    widths[codeColumn] += moreCode;
    widths[groupColumn] += moreGroup;
    int owed = moreCode + moreGroup;
    for (const Donor& d : donors) {
        const int given = std::min(owed, widths[d.column] - d.narrowest);
        widths[d.column] -= given;
        owed -= given;
    }

    std::array<Span, 11> result;
    int right = tableRight;
    for (std::size_t c = 0; c < result.size(); ++c) {
        result[c] = { right - widths[c], right };
        right -= widths[c];
    }
    return result;
}

std::array<ListReport::Span, 11> ListReport::designedSpans()
{
    std::array<Span, 11> result;
    for (std::size_t c = 0; c < result.size(); ++c)
        result[c] = { columns()[c].left, columns()[c].right };
    return result;
}

PageContent ListReport::pageContent(int index) const
{
    // A report that holds no lines lays its pages out only from the lines handed in.
    const PagePlan p = plan(index);
    if (m_rows.size() != m_rowCount && p.rowCount > 0)
        return PageContent();
    return pageContent(index, m_rows.constData() + p.firstRow);
}

PageContent ListReport::pageContent(int index, const ListReportRow* lines) const
{
    PageContent page;
    const PagePlan p = plan(index);
    if (index < 0 || index >= pageCount())
        return page;

    double y = 0;
    if (p.reportHeader) {
        page.texts.append(
            { QStringLiteral("Label9"), m_captions.clinicName, QRectF(56, 0, 9373, 480), style(260, true) });
        page.texts.append({ QStringLiteral("Label3"), ShownNumbers::text(reportTitle()), QRectF(56, 500, 9373, 440),
            style(220, true) });
        y = reportHeaderHeight;
    }

    if (p.headings) {
        const std::array<Span, 11> span = spans(p, lines);
        const double tableTop = y;
        page.shades.append(Shade { QRectF(tableLeft, y, tableRight - tableLeft, pageHeaderHeight), headingShade });
        for (std::size_t c = 0; c < columns().size(); ++c)
            page.texts.append({ columns()[c].headingLabel, columns()[c].heading,
                QRectF(span[c].left + 20, y, span[c].right - span[c].left - 40, pageHeaderHeight), headingStyle() });
        page.rules.append(Rule { QLineF(tableLeft, y, tableRight, y), 20 });
        y += pageHeaderHeight;
        page.rules.append(Rule { QLineF(tableLeft, y, tableRight, y), 20 });

        for (int k = 0; k < p.rowCount; ++k) {
            const int rowIndex = p.firstRow + k;
            const ListReportRow& row = lines[k];
            for (std::size_t c = 0; c < columns().size(); ++c) {
                page.texts.append({ columns()[c].field, cellText(row, rowIndex, static_cast<int>(c)),
                    QRectF(span[c].left + cellInset, y, span[c].right - span[c].left - 2 * cellInset, lineHeight),
                    cellStyle(static_cast<int>(c)) });
            }
            y += lineHeight;
            const bool last = k + 1 == p.rowCount;
            page.rules.append(last ? Rule { QLineF(tableLeft, y, tableRight, y), 20 }
                                   : Rule { QLineF(tableLeft, y, tableRight, y), 6, lineRule });
        }

        // The vertical rulings: the edges of every column's span.
        for (const Span& c : span)
            page.rules.append(Rule { QLineF(c.left, tableTop, c.left, y), 12 });
        page.rules.append(Rule { QLineF(tableRight, tableTop, tableRight, y), 12 });
    }

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
        page.texts.append({ QStringLiteral("Label16"), ShownNumbers::line(m_programmerLine),
            QRectF(tableLeft, y + addressHeight + 60, tableRight - tableLeft, 330), programmer });
    }
    return page;
}

void ListReport::paintPage(QPainter& painter, int index) const
{
    if (index < 0 || index >= pageCount())
        return;
    painter.save();
    painter.setTransform(designToPrintable(), true);
    m_painter.paint(painter, pageContent(index));
    painter.restore();
}

void ListReport::paintPage(QPainter& painter, int index, const ListReportRow* lines) const
{
    if (index < 0 || index >= pageCount())
        return;
    painter.save();
    painter.setTransform(designToPrintable(), true);
    m_painter.paint(painter, pageContent(index, lines));
    painter.restore();
}
