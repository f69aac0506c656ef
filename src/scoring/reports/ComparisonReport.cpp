#include "scoring/reports/ComparisonReport.h"

#include "calendar/SolarHijri.h"
#include "data/QuestionnaireItems.h"
#include "questionnaire/Keying.h"
#include "scoring/ComparisonTexts.h"
#include "scoring/ScaleColours.h"
#include "scoring/reports/ComparisonChart.h"
#include "text/ShownNumbers.h"

#include <QPainter>

#include <algorithm>

using Report::PageContent;
using Report::Rule;
using Report::Shade;
using Report::TextBox;
using Report::TextStyle;

namespace {

constexpr double pageWidth = 10700;
constexpr double pageHeight = 15400;
// The foot every page carries: both codes, the kind, the date and the page's number.
constexpr double footTop = 15040;

const QColor ink(47, 72, 88);
const QColor headingShade(226, 235, 244);

const QString coupleTitle = QStringLiteral("زوج (همسران)");
const QString followUpTitle = QStringLiteral("پيش و پس از مشاوره");
const QString addressCaption = QStringLiteral("آدرس: ");
const QString talkAboutCaption = QStringLiteral("سوالات براي گفتگو: ");
const QString nothingToTalkAbout = QStringLiteral("سوالي با توافق منفي يا عدم توافق نيست.");
const QString noChangedItems = QStringLiteral("پاسخ هيچ سوالي دو درجه يا بيشتر تغيير نکرده است.");
const QString changedItemsTitle = QStringLiteral(u"سوالاتي که پاسخ آن\u200cها دو درجه يا بيشتر تغيير کرده است");
const QString itemsTitle = QStringLiteral("مقايسه سوال به سوال");
TextStyle style(int size, bool bold = false, Qt::Alignment alignment = Qt::AlignCenter, bool wrap = false)
{
    TextStyle s;
    s.size = size;
    s.bold = bold;
    s.alignment = alignment;
    s.wrap = wrap;
    return s;
}

void frame(PageContent& page, const QRectF& r, const QColor& fill = QColor())
{
    if (fill.isValid())
        page.shades.append(Shade { r, fill });
    page.rules.append(Rule { QLineF(r.topLeft(), r.topRight()), 10, ink });
    page.rules.append(Rule { QLineF(r.bottomLeft(), r.bottomRight()), 10, ink });
    page.rules.append(Rule { QLineF(r.topLeft(), r.bottomLeft()), 10, ink });
    page.rules.append(Rule { QLineF(r.topRight(), r.bottomRight()), 10, ink });
}

// A table from the right edge of the page leftward: a shaded heading row, then the rows, every cell ruled. Columns
// whose alignment is not centred (statements) wrap. Returns the bottom of the table.
struct Column {
    double width;
    Qt::Alignment alignment = Qt::AlignCenter;
    // Signed figures are set left to right, so "-5" keeps its sign in front.
    bool leftToRight = false;
};

double table(PageContent& page, const QString& name, double top, const QList<Column>& columns,
    const QStringList& headings, const QList<QStringList>& rows, double headingHeight, double rowHeight, int size)
{
    double width = 0;
    for (const Column& c : columns)
        width += c.width;
    const double right = (pageWidth + width) / 2;
    const auto lay = [&](const QStringList& texts, double y, double height, bool heading, int row) {
        double x = right;
        for (int i = 0; i < columns.size(); ++i) {
            const Column& c = columns[i];
            x -= c.width;
            const QRectF cell(x, y, c.width, height);
            frame(page, cell, heading ? headingShade : QColor());
            const bool wrap = heading || c.alignment != Qt::AlignCenter;
            TextStyle text = style(
                heading ? size - 10 : size, heading, heading ? Qt::AlignCenter : c.alignment | Qt::AlignVCenter, wrap);
            if (c.leftToRight && !heading)
                text.direction = Qt::LeftToRight;
            page.texts.append(TextBox { QStringLiteral("%1.%2.%3").arg(name).arg(row).arg(i), texts.value(i),
                cell.adjusted(50, 20, -50, -20), text });
        }
    };
    lay(headings, top, headingHeight, true, 0);
    double y = top + headingHeight;
    int row = 1;
    for (const QStringList& texts : rows) {
        lay(texts, y, rowHeight, false, row++);
        y += rowHeight;
    }
    return y;
}

QString optionCaption(int option)
{
    return option >= 1 && option <= 5 ? optionCaptions()[option - 1] : QString();
}

QString statementOf(int item)
{
    const QuestionnaireItem* described = questionnaireItem(item);
    return described ? QString::fromUtf8(described->statement) : QString();
}

} // namespace

ComparisonReport::ComparisonReport(
    const PairComparison& comparison, const QString& clinicName, const QString& clinicAddress, const QString& date)
    : m_comparison(comparison)
    , m_clinicName(clinicName)
    , m_clinicAddress(clinicAddress)
    , m_date(date.isEmpty() ? SolarHijriToday(0) : date)
{
}

QString ComparisonReport::reportTitle()
{
    return QStringLiteral("مقايسه دو آزمودني");
}

QSizeF ComparisonReport::designSize()
{
    return { pageWidth, pageHeight };
}

QString ComparisonReport::title() const
{
    return reportTitle() + QStringLiteral(" ") + m_comparison.first.code + QStringLiteral(" - ")
        + m_comparison.second.code;
}

int ComparisonReport::pageCount() const
{
    // Before and after with no answer moved has nothing for a second page; the first says so.
    if (m_comparison.kind == ComparisonKind::FollowUp && m_comparison.changedItems.isEmpty())
        return 1;
    return 2;
}

QTransform ComparisonReport::designToPrintable() const
{
    const QSizeF room = printableTwips();
    const double s = std::min(room.width() / pageWidth, room.height() / pageHeight);
    return QTransform::fromTranslate((room.width() - pageWidth * s) / 2, 0).scale(s, s);
}

void ComparisonReport::paintPage(QPainter& painter, int index) const
{
    if (index < 0 || index >= pageCount())
        return;
    painter.save();
    painter.setTransform(designToPrintable(), true);
    painter.setRenderHint(QPainter::Antialiasing);
    m_painter.paint(painter, pageContent(index));
    painter.restore();
}

PageContent ComparisonReport::pageContent(int index) const
{
    PageContent page;
    if (index == 0)
        page = firstPage();
    else if (index == 1 && pageCount() == 2)
        page = m_comparison.kind == ComparisonKind::Couple ? coupleItemsPage() : changedItemsPage();
    else
        return page;
    addFoot(page, index);
    return page;
}

void ComparisonReport::addFoot(PageContent& page, int index) const
{
    page.rules.append(Rule { QLineF(300, footTop, pageWidth - 300, footTop), 8, ink });
    TextStyle header = style(150, false, Qt::AlignRight | Qt::AlignVCenter);
    header.whole = true;
    page.texts.append({ QStringLiteral("PageHeader"), ComparisonTexts::pageHeader(m_comparison, m_date),
        QRectF(2100, footTop + 40, pageWidth - 2400, 300), header });
    page.texts.append({ QStringLiteral("PageNumber"), ComparisonTexts::pageNumber(index + 1, pageCount()),
        QRectF(300, footTop + 40, 1700, 300), style(150, false, Qt::AlignLeft | Qt::AlignVCenter) });
}

PageContent ComparisonReport::firstPage() const
{
    PageContent page;
    const bool couple = m_comparison.kind == ComparisonKind::Couple;
    page.texts.append({ QStringLiteral("ClinicName"), m_clinicName, QRectF(0, 0, pageWidth, 420), style(260, true) });
    page.texts.append(
        { QStringLiteral("Title"),
            ShownNumbers::text(reportTitle()) + QStringLiteral(" - ") + (couple ? coupleTitle : followUpTitle),
            QRectF(0, 460, pageWidth, 380), style(220, true) });
    page.texts.append({ QStringLiteral("Address"), addressCaption + m_clinicAddress, QRectF(0, 860, pageWidth, 320),
        style(170, false, Qt::AlignCenter, true) });

    // Both examinees.
    QList<QStringList> people;
    for (const ExamineeDetails* e : { &m_comparison.firstExaminee, &m_comparison.secondExaminee })
        people << QStringList { e->code, e->firstName, e->lastName, e->sex, ShownNumbers::text(e->age), e->group,
            ShownNumbers::text(e->date) };
    double y = table(page, QStringLiteral("Details"), 1320,
        { { 1500 }, { 1600 }, { 1900 }, { 1000 }, { 900 }, { 1800 }, { 1500 } },
        { QStringLiteral("کد"), QStringLiteral("نام"), QStringLiteral("نام خانوادگي"), QStringLiteral("جنس"),
            QStringLiteral("سن"), QStringLiteral("گروه"), QStringLiteral("تاريخ") },
        people, 380, 380, 170);

    // The scales: each examinee's figures as the scoring window gives them, and the differences.
    const bool followUp = !couple;
    const QString& a = m_comparison.first.code;
    const QString& b = m_comparison.second.code;
    const double differenceWidth = followUp ? 900 : 1200;
    QList<Column> columns = { { 1500 }, { 800 }, { 800 }, { 1100 }, { 800 }, { 800 }, { 1100 },
        { differenceWidth, Qt::AlignCenter, true }, { differenceWidth, Qt::AlignCenter, true } };
    QStringList headings = { QStringLiteral("مقياس"), QStringLiteral("نمره خام ") + a, QStringLiteral("درصد ") + a,
        QStringLiteral("سطح ") + a, QStringLiteral("نمره خام ") + b, QStringLiteral("درصد ") + b,
        QStringLiteral("سطح ") + b, QStringLiteral("تفاوت نمره خام"), QStringLiteral("تفاوت درصد") };
    if (followUp) {
        columns << Column { 1800 };
        headings << QStringLiteral("تغيير سطح");
    }
    QList<QStringList> rows;
    for (const ScaleInfo& info : scales()) {
        const ShownResults::ScaleTexts& first = m_comparison.first.of(info.scale);
        const ShownResults::ScaleTexts& second = m_comparison.second.of(info.scale);
        const PairComparison::ScaleRow& difference = m_comparison.row(info.scale);
        QStringList cells = { info.caption, ShownNumbers::text(first.raw), ShownNumbers::text(first.percent),
            first.level, ShownNumbers::text(second.raw), ShownNumbers::text(second.percent), second.level,
            signedFigure(difference.rawDifference), signedFigure(difference.percentDifference) };
        if (followUp)
            cells << ComparisonTexts::levelChange(first.level, second.level);
        rows << cells;
    }
    y = table(page, QStringLiteral("Scales"), y + 300, columns, headings, rows, 620, 400, 170);
    page.texts.append({ QStringLiteral("SignNote"), ComparisonTexts::signNote(m_comparison),
        QRectF(600, y + 100, pageWidth - 1200, 560), style(160, false, Qt::AlignRight | Qt::AlignTop, true) });
    y += 560;

    const QRectF chartArea(900, y + 300, pageWidth - 1800, 5200);
    const PageContent chart = ComparisonChart::layOut(m_comparison, chartArea, ScaleColours::paper());
    page.shades << chart.shades;
    page.rules << chart.rules;
    page.texts << chart.texts;
    y = chartArea.bottom() + 300;

    if (couple) {
        QList<QStringList> agreement;
        for (const PairComparison::ScaleAgreement& scale : m_comparison.agreement)
            agreement << QStringList { scaleInfo(scale.scale).caption, ShownNumbers::number(scale.positivePercent) };
        y = table(page, QStringLiteral("Agreement"), y, { { 2400 }, { 2400 } },
            { QStringLiteral("مقياس"), QStringLiteral("توافق مثبت (درصد)") }, agreement, 380, 380, 170);
        if (m_comparison.idealisedCaution)
            page.texts.append({ QStringLiteral("Caution"), ComparisonTexts::idealisedCaution(m_comparison),
                QRectF(600, y + 200, pageWidth - 1200, 700), style(170, false, Qt::AlignRight | Qt::AlignTop, true) });
    } else if (m_comparison.changedItems.isEmpty()) {
        page.texts.append({ QStringLiteral("NoChangedItems"), noChangedItems, QRectF(600, y, pageWidth - 1200, 400),
            style(180, false, Qt::AlignRight | Qt::AlignTop, true) });
    }
    return page;
}

PageContent ComparisonReport::coupleItemsPage() const
{
    PageContent page;
    page.texts.append({ QStringLiteral("ItemsTitle"), itemsTitle, QRectF(0, 0, pageWidth, 380), style(220, true) });
    QList<QStringList> rows;
    for (const PairComparison::ItemRow& row : m_comparison.items)
        rows << QStringList { ShownNumbers::number(row.item), statementOf(row.item), optionCaption(row.firstOption),
            optionCaption(row.secondOption),
            row.agreement ? agreementCaption(*row.agreement) : ComparisonTexts::idealisedOnlyStatus() };
    const double y
        = table(page, QStringLiteral("Items"), 440, { { 500 }, { 5500, Qt::AlignRight }, { 1200 }, { 1200 }, { 2300 } },
            { QStringLiteral("شماره"), QStringLiteral("عبارت"), m_comparison.first.code, m_comparison.second.code,
                QStringLiteral("وضعيت") },
            rows, 360, 370, 140);
    QStringList numbers;
    for (int item : m_comparison.toTalkAbout)
        numbers << ShownNumbers::number(item);
    page.texts.append({ QStringLiteral("TalkAbout"),
        numbers.isEmpty() ? nothingToTalkAbout : talkAboutCaption + numbers.join(QStringLiteral("، ")),
        QRectF(300, y + 150, pageWidth - 600, 700), style(180, true, Qt::AlignRight | Qt::AlignTop, true) });
    return page;
}

PageContent ComparisonReport::changedItemsPage() const
{
    PageContent page;
    page.texts.append(
        { QStringLiteral("ItemsTitle"), changedItemsTitle, QRectF(0, 0, pageWidth, 380), style(220, true) });
    // The content scales' statements first; the distortion statements apart, as their change is no improvement.
    QList<QStringList> rows;
    QList<QStringList> idealisedRows;
    for (int item : m_comparison.changedItems) {
        const PairComparison::ItemRow& row = m_comparison.item(item);
        (isIdealisedItem(item) ? idealisedRows : rows)
            << QStringList { ShownNumbers::number(item), statementOf(item), optionCaption(row.firstOption),
                   optionCaption(row.secondOption), signedFigure(row.secondKeyed - row.firstKeyed) };
    }
    const QList<Column> columns
        = { { 500 }, { 5900, Qt::AlignRight }, { 1500 }, { 1500 }, { 1100, Qt::AlignCenter, true } };
    const QStringList headings
        = { QStringLiteral("شماره"), QStringLiteral("عبارت"), ComparisonTexts::examineeHeading(m_comparison, false),
              ComparisonTexts::examineeHeading(m_comparison, true), QStringLiteral("تغيير") };
    // Rows grow shorter when many statements moved, so both tables stay above the foot.
    const double room = footTop - 440 - 2 * 560 - 800;
    const double rowHeight = std::min(380.0, room / std::max<qsizetype>(1, rows.size() + idealisedRows.size()));
    double y = 440;
    if (!rows.isEmpty())
        y = table(page, QStringLiteral("Items"), y, columns, headings, rows, 560, rowHeight, 140) + 200;
    if (!idealisedRows.isEmpty()) {
        page.texts.append({ QStringLiteral("IdealisedTitle"), ComparisonTexts::idealisedItemsHeading(),
            QRectF(300, y, pageWidth - 600, 360), style(170, true, Qt::AlignRight | Qt::AlignVCenter, true) });
        table(page, QStringLiteral("IdealisedItems"), y + 400, columns, headings, idealisedRows, 560, rowHeight, 140);
    }
    return page;
}
