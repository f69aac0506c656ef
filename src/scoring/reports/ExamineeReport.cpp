#include "scoring/reports/ExamineeReport.h"

#include "scoring/Scales.h"
#include "text/ShownNumbers.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

using Report::PageContent;
using Report::Rule;
using Report::Shade;
using Report::TextStyle;

namespace {

constexpr double pageWidth = 7000;
constexpr double pageHeight = 9750;

// The frame and its two tabs.
const QRectF frameRect(120, 300, 6760, 9150);
constexpr double frameRadius = 420;
const QRectF topTab(1300, 60, 4400, 560);
const QRectF bottomTab(1300, 9190, 4400, 500);
constexpr double tabRadius = 220;

// The content: a column of row captions at the right, then the four scale columns.
constexpr double cellWidth = 1341;
constexpr double captionWidth = 760;
constexpr double contentRight = 6562;
constexpr double contentLeft = contentRight - captionWidth - 4 * cellWidth;
constexpr double captionLeft = contentRight - captionWidth;

// The clinic's name between the top tab and the details.
const QRectF clinicNameRect(contentLeft, 640, contentRight - contentLeft, 330);

constexpr double detailsTop = 1000;
constexpr double detailsHeight = 460;
constexpr double secondDetailsTop = 1540;
// The second row's pairs from the right: education, name, date.
constexpr double educationWidth = 1500;
constexpr double nameHeadingWidth = 400;
constexpr double dateHeadingWidth = 520;
constexpr double dateWidth = 1000;

constexpr double gridTop = 2500;
constexpr double gridHeadingHeight = 560;
constexpr double resultHeight = 460;
constexpr double sentenceHeight = 2158;
constexpr double addressTop = 7100;
constexpr double addressWidth = 4860;
constexpr double addressHeight = 810;

const QColor ink(47, 72, 88);
const QColor headingShade(226, 235, 244);
const QColor paper(250, 251, 253);
const QColor pattern(228, 235, 243);

// The grid's columns from right to left, with the labels of the heading and of the four cells.
struct GridColumn {
    Scale scale;
    const char* heading;
    const char* cells[4]; // raw score, percentage, level, interpretation
};
constexpr GridColumn grid[4] = {
    { Scale::Rezayat, "Label11", { "Label23", "Label28", "Label30", "Label37" } },
    { Scale::Ertebat, "Label13", { "Label17", "Label24", "Label25", "Label36" } },
    { Scale::HaleT, "Label12", { "Label26", "Label27", "Label31", "Label35" } },
    { Scale::TahrifeA, "Label18", { "Label32", "Label33", "Label34", "Label8" } },
};

// The details row from right to left: heading label, heading, its width, value label, its width. The first heading
// is as wide as the column of row captions below it, the rest share the width of the four scale columns.
struct Detail {
    const char* heading;
    const char* text;
    double headingWidth;
    const char* value;
    double valueWidth;
    bool whole; // the code and the group name the examinee: set smaller when long, never shortened
};
const Detail details[5] = {
    { "Label2", "کد", captionWidth, "Label15", 1000, true },
    { "Label7", "گروه", 480, "Label16", 1000, true },
    { "Label10", "سن", 400, "Label19", 440, false },
    { "Label6", "جنس", 440, "Label20", 560, false },
    { "Label4", "تاهل", 480, "Label21", 564, false },
};

TextStyle style(int size, bool bold, Qt::Alignment alignment = Qt::AlignCenter, bool wrap = false)
{
    TextStyle s;
    s.size = size;
    s.bold = bold;
    s.alignment = alignment;
    s.wrap = wrap;
    s.colour = Qt::black;
    return s;
}

void addBox(PageContent& page, const QRectF& r, const QColor& fill, double width = 12)
{
    page.shades.append(Shade { r, fill });
    page.rules.append(Rule { QLineF(r.topLeft(), r.topRight()), width, ink });
    page.rules.append(Rule { QLineF(r.bottomLeft(), r.bottomRight()), width, ink });
    page.rules.append(Rule { QLineF(r.topLeft(), r.bottomLeft()), width, ink });
    page.rules.append(Rule { QLineF(r.topRight(), r.bottomRight()), width, ink });
}

QRectF inset(const QRectF& r, double dx, double dy = 0)
{
    return r.adjusted(dx, dy, -dx, -dy);
}

} // namespace

ExamineeReport::ExamineeReport(const ShownResults& shown, const QString& webSiteLine, const QString& shopLine)
    : m_clinicName(shown.clinicName)
    , m_name((shown.firstName + QLatin1Char(' ') + shown.lastName).trimmed())
    , m_testDate(ShownNumbers::text(shown.date))
    , m_webSiteLine(webSiteLine)
    , m_shopLine(shopLine)
{
    // The examinee's details, then the results grid column by column, then the address.
    m_captions = {
        { QStringLiteral("Label15"), shown.code },
        // The cell under the heading "گروه" carries the examinee's group.
        { QStringLiteral("Label16"), shown.group },
        { QStringLiteral("Label19"), ShownNumbers::text(shown.age) },
        { QStringLiteral("Label20"), shown.sex },
        { QStringLiteral("Label21"), shown.maritalStatus },
        { QStringLiteral("Label22"), shown.education },
    };
    for (const GridColumn& column : grid) {
        const ShownResults::ScaleTexts& texts = shown.of(column.scale);
        // As the scoring window draws them.
        const QString values[4]
            = { ShownNumbers::text(texts.raw), ShownNumbers::text(texts.percent), texts.level, texts.sentence };
        for (int row = 0; row < 4; ++row)
            m_captions.append({ QString::fromLatin1(column.cells[row]), values[row] });
    }
    m_captions.append({ QStringLiteral("Label29"), shown.clinicAddress });
}

QString ExamineeReport::reportTitle()
{
    return QStringLiteral("پرسشنامه رضايت زناشويي تورين 35 ماده اي");
}

QSizeF ExamineeReport::designSize()
{
    return { pageWidth, pageHeight };
}

QString ExamineeReport::title() const
{
    return QStringLiteral("گزارش آزمودني ") + caption(QStringLiteral("Label15"));
}

QString ExamineeReport::caption(const QString& label) const
{
    for (const ReportCaption& c : m_captions)
        if (c.label == label)
            return c.text;
    return {};
}

PageContent ExamineeReport::pageContent() const
{
    PageContent page;
    page.texts.append(
        { QStringLiteral("Label1"), ShownNumbers::text(reportTitle()), inset(topTab, 100), style(210, true) });
    // The clinic that hands the report over names itself at the head of the page.
    page.texts.append({ QStringLiteral("ClinicName"), m_clinicName, clinicNameRect, style(170, true) });

    // Details: heading and value pairs from the right; education below the first pair, as wide as the row allows.
    double right = contentRight;
    for (const Detail& d : details) {
        const QRectF heading(right - d.headingWidth, detailsTop, d.headingWidth, detailsHeight);
        right -= d.headingWidth;
        const QRectF value(right - d.valueWidth, detailsTop, d.valueWidth, detailsHeight);
        right -= d.valueWidth;
        addBox(page, heading, headingShade);
        addBox(page, value, Qt::white);
        page.texts.append(
            { QString::fromLatin1(d.heading), QString::fromUtf8(d.text), inset(heading, 30), style(150, true) });
        TextStyle valueStyle = style(150, false);
        valueStyle.whole = d.whole;
        page.texts.append(
            { QString::fromLatin1(d.value), caption(QString::fromLatin1(d.value)), inset(value, 40), valueStyle });
    }
    // Below: the education, the examinee's name and the day of the test, in the same heading and value pairs.
    const QRectF educationHeading(captionLeft, secondDetailsTop, captionWidth, detailsHeight);
    const QRectF education(captionLeft - educationWidth, secondDetailsTop, educationWidth, detailsHeight);
    const QRectF nameHeading(education.left() - nameHeadingWidth, secondDetailsTop, nameHeadingWidth, detailsHeight);
    const QRectF dateHeading(contentLeft + dateWidth, secondDetailsTop, dateHeadingWidth, detailsHeight);
    const QRectF name(dateHeading.right(), secondDetailsTop, nameHeading.left() - dateHeading.right(), detailsHeight);
    const QRectF date(contentLeft, secondDetailsTop, dateWidth, detailsHeight);
    for (const QRectF& heading : { educationHeading, nameHeading, dateHeading })
        addBox(page, heading, headingShade);
    for (const QRectF& value : { education, name, date })
        addBox(page, value, Qt::white);
    page.texts.append(
        { QStringLiteral("Label3"), QStringLiteral("تحصيلات"), inset(educationHeading, 30), style(150, true) });
    TextStyle educationStyle = style(150, false, Qt::AlignRight | Qt::AlignVCenter, true);
    page.texts.append(
        { QStringLiteral("Label22"), caption(QStringLiteral("Label22")), inset(education, 40), educationStyle });
    page.texts.append(
        { QStringLiteral("NameHeading"), QStringLiteral("نام"), inset(nameHeading, 20), style(150, true) });
    TextStyle nameStyle = style(150, false, Qt::AlignRight | Qt::AlignVCenter);
    nameStyle.whole = true;
    page.texts.append({ QStringLiteral("ExamineeName"), m_name, inset(name, 40), nameStyle });
    page.texts.append(
        { QStringLiteral("DateHeading"), QStringLiteral("تاريخ"), inset(dateHeading, 20), style(150, true) });
    TextStyle dateStyle = style(150, false);
    dateStyle.whole = true;
    page.texts.append({ QStringLiteral("TestDate"), m_testDate, inset(date, 30), dateStyle });

    // Results grid: headings, then raw score, percentage, level and interpretation, each row captioned at the right.
    const double rowTops[5] = { gridTop + gridHeadingHeight, gridTop + gridHeadingHeight + resultHeight,
        gridTop + gridHeadingHeight + 2 * resultHeight, gridTop + gridHeadingHeight + 3 * resultHeight,
        gridTop + gridHeadingHeight + 3 * resultHeight + sentenceHeight };
    const QRectF headingRow(contentLeft, gridTop, contentRight - contentLeft, gridHeadingHeight);
    addBox(page, headingRow, headingShade);
    addBox(page, QRectF(captionLeft, rowTops[0], captionWidth, rowTops[4] - rowTops[0]), headingShade);
    page.shades.append(
        Shade { QRectF(contentLeft, rowTops[0], captionLeft - contentLeft, rowTops[4] - rowTops[0]), Qt::white });
    const char* rowCaptions[4][2] = { { "CaptionRaw", "نمره خام" }, { "CaptionPercent", "درصد" },
        { "CaptionLevel", "سطح" }, { "CaptionSentence", "تفسير" } };
    for (int row = 0; row < 4; ++row) {
        const QRectF r(captionLeft, rowTops[row], captionWidth, rowTops[row + 1] - rowTops[row]);
        page.texts.append({ QString::fromLatin1(rowCaptions[row][0]), QString::fromUtf8(rowCaptions[row][1]),
            inset(r, 30), style(140, true, row == 3 ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignCenter) });
    }
    for (int k = 0; k < 4; ++k) {
        const GridColumn& column = grid[k];
        const double left = captionLeft - (k + 1) * cellWidth;
        page.texts.append({ QString::fromLatin1(column.heading), scaleInfo(column.scale).caption,
            QRectF(left + 40, gridTop, cellWidth - 80, gridHeadingHeight), style(150, true, Qt::AlignCenter, true) });
        for (int row = 0; row < 4; ++row) {
            const QRectF cell(left, rowTops[row], cellWidth, rowTops[row + 1] - rowTops[row]);
            const QString label = QString::fromLatin1(column.cells[row]);
            const bool sentence = row == 3;
            page.texts.append({ label, caption(label), sentence ? inset(cell, 60, 60) : inset(cell, 40),
                sentence ? style(140, false, Qt::AlignRight | Qt::AlignTop, true)
                         : style(row == 2 ? 150 : 160, row < 2) });
        }
        page.rules.append(Rule { QLineF(left, gridTop, left, rowTops[4]), 12, ink });
    }
    for (int row = 0; row < 4; ++row)
        page.rules.append(Rule { QLineF(contentLeft, rowTops[row + 1], contentRight, rowTops[row + 1]), 12, ink });
    page.rules.append(Rule { QLineF(captionLeft, gridTop, captionLeft, rowTops[4]), 12, ink });
    page.rules.append(Rule { QLineF(contentRight, gridTop, contentRight, rowTops[4]), 12, ink });

    // The clinic's address: caption at the right, the wide cell beside it.
    const QRectF addressCaption(captionLeft, addressTop, captionWidth, addressHeight);
    const QRectF address(captionLeft - addressWidth, addressTop, addressWidth, addressHeight);
    addBox(page, addressCaption, headingShade);
    addBox(page, address, Qt::white);
    page.texts.append(
        { QStringLiteral("Label9"), QStringLiteral("آدرس"), inset(addressCaption, 30), style(150, true) });
    page.texts.append({ QStringLiteral("Label29"), caption(QStringLiteral("Label29")), inset(address, 60, 40),
        style(150, false, Qt::AlignRight | Qt::AlignVCenter, true) });

    // The maker's two lines in the bottom tab.
    const QRectF foot = inset(bottomTab, 120, 20);
    TextStyle makerStyle = style(120, false);
    makerStyle.colour = ink;
    page.texts.append({ QStringLiteral("Label5"), ShownNumbers::line(m_webSiteLine),
        QRectF(foot.left(), foot.top(), foot.width(), foot.height() / 2), makerStyle });
    page.texts.append({ QStringLiteral("Label14"), ShownNumbers::line(m_shopLine),
        QRectF(foot.left(), foot.center().y(), foot.width(), foot.height() / 2), makerStyle });
    return page;
}

void ExamineeReport::paintFrame(QPainter& painter) const
{
    QPainterPath frame;
    frame.addRoundedRect(frameRect, frameRadius, frameRadius);
    painter.fillPath(frame, paper);

    // A light lattice over the paper inside the frame.
    painter.save();
    painter.setClipPath(frame);
    painter.setPen(QPen(pattern, 8));
    constexpr double spacing = 300;
    for (double x = -pageHeight; x < pageWidth; x += spacing) {
        painter.drawLine(QPointF(x, 0), QPointF(x + pageHeight, pageHeight));
        painter.drawLine(QPointF(x + pageHeight, 0), QPointF(x, pageHeight));
    }
    painter.restore();

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 40));
    painter.drawPath(frame);
    QPainterPath inner;
    inner.addRoundedRect(inset(frameRect, 100, 100), frameRadius - 100, frameRadius - 100);
    painter.setPen(QPen(ink, 12));
    painter.drawPath(inner);

    for (const QRectF& tab : { topTab, bottomTab }) {
        QPainterPath path;
        path.addRoundedRect(tab, tabRadius, tabRadius);
        painter.fillPath(path, headingShade);
        painter.setPen(QPen(ink, 30));
        painter.drawPath(path);
    }
}

QTransform ExamineeReport::designToPrintable() const
{
    // As large as the paper allows, centred across it.
    const QSizeF room = printableTwips();
    const double s = std::min(room.width() / pageWidth, room.height() / pageHeight);
    return QTransform::fromTranslate((room.width() - pageWidth * s) / 2, 0).scale(s, s);
}

void ExamineeReport::paintPage(QPainter& painter, int index) const
{
    if (index != 0)
        return;
    painter.save();
    painter.setTransform(designToPrintable(), true);
    paintFrame(painter);
    m_painter.paint(painter, pageContent());
    painter.restore();
}
