#include "scoring/ChartWindow.h"

#include "scoring/Scales.h"
#include "scoring/ShownResults.h"
#include "text/ShownNumbers.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace {

constexpr int windowWidth = 7020;
constexpr int windowHeight = 8040;

constexpr int axisX = 1080;
constexpr int axisTop = 900;
constexpr int axisBottom = 5985;
constexpr int baselineY = 6030;
constexpr int baselineLeft = 1125;
constexpr int baselineRight = 6480;
constexpr int tickLeft = 855;

constexpr std::array<int, 11> tickY = {1030, 1530, 2030, 2535, 3030, 3530, 4030, 4530, 5030, 5530, 6030};
// Tick labels 5..14 read 10..100 from the bottom up.
constexpr std::array<int, 10> tickLabelTop = {5310, 4815, 4320, 3825, 3285, 2790, 2295, 1755, 1305, 810};
constexpr int tickLabelLeft = 405;
constexpr int hundredLabelLeft = 225;
constexpr int tickLabelRight = 840;
constexpr int tickLabelHeight = 330;

constexpr std::array<int, ChartWindow::BarCount> barLeft = {1260, 2520, 3780, 5040};
constexpr int barWidth = 1140;

constexpr std::array<int, ChartWindow::BarCount> valueLabelLeft = {1440, 2700, 3960, 5400};
constexpr std::array<int, ChartWindow::BarCount> valueLabelTop = {6660, 6660, 6615, 6660};
constexpr int valueLabelWidth = 780;
constexpr int valueLabelHeight = 330;

// The scale names are the Label1 elements 0, 1, 4 and 2, left to right.
constexpr std::array<int, ChartWindow::BarCount> scaleNameElement = {0, 1, 4, 2};
constexpr std::array<int, ChartWindow::BarCount> scaleNameLeft = {1305, 2565, 3735, 5040};
constexpr int scaleNameTop = 6165;
constexpr int scaleNameWidth = 1200;
constexpr int scaleNameHeight = 360;

QFont chartFont(double pointSize)
{
    QFont font;
    font.setFamilies({PersianText::fontFamily()});
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

ChartWindow::ChartWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Frmnem"));
    setWindowTitle(QStringLiteral("نمودار"));
    setFixedSize(Twips::toPixelsX(windowWidth), Twips::toPixelsY(windowHeight));
    setAutoFillBackground(true);

    buildAxes();
    buildBars();
    buildLabels();
    buildButtons();

    Twips::placeWindow(this, 3750, 750);
}

QFrame* ChartWindow::addLine(const QString& name, int x1, int y1, int x2, int y2)
{
    auto* line = new QFrame(this);
    line->setObjectName(name);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::WindowText));
    line->setPalette(palette);
    // A stroke one pixel thick, whatever twips-per-pixel the screen has.
    const int left = Twips::toPixelsX(x1);
    const int top = Twips::toPixelsY(y1);
    const int width = std::max(1, Twips::toPixelsX(x2) - left);
    const int height = std::max(1, Twips::toPixelsY(y2) - top);
    line->setGeometry(left, top, width, height);
    return line;
}

void ChartWindow::buildAxes()
{
    addLine(QStringLiteral("Line1"), axisX, axisTop, axisX, axisBottom);
    addLine(QStringLiteral("Line2"), baselineLeft, baselineY, baselineRight, baselineY);
    for (std::size_t i = 0; i < tickY.size(); ++i) {
        const bool last = i + 1 == tickY.size();
        addLine(QStringLiteral("Line3_%1").arg(i), tickLeft, tickY[i], last ? baselineLeft : axisX, tickY[i]);
    }
}

QLabel* ChartWindow::addLabel(const QString& name, const QString& text, int left, int top, int width, int height)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(chartFont(8.5));
    label->setAlignment(Qt::AlignCenter);
    Twips::place(label, left, top, width, height);
    return label;
}

void ChartWindow::buildLabels()
{
    for (std::size_t i = 0; i < tickLabelTop.size(); ++i) {
        const int element = static_cast<int>(i) + 5;
        const int value = (static_cast<int>(i) + 1) * 10;
        const int left = value == 100 ? hundredLabelLeft : tickLabelLeft;
        QLabel* tick = addLabel(QStringLiteral("SkinLabeln_%1").arg(element), ShownNumbers::number(value), left,
                                tickLabelTop[i], tickLabelRight - left, tickLabelHeight);
        tick->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int i = 0; i < BarCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        m_valueLabels[n] = addLabel(QStringLiteral("SkinLabeln_%1").arg(i), QString(), valueLabelLeft[n],
                                    valueLabelTop[n], valueLabelWidth, valueLabelHeight);
        QLabel* name = addLabel(QStringLiteral("Label1_%1").arg(scaleNameElement[n]), scales()[n].caption,
                                scaleNameLeft[n], scaleNameTop, scaleNameWidth, scaleNameHeight);
        name->setBuddy(m_bars[n]);
    }
    addLabel(QStringLiteral("Label1_5"), QStringLiteral("مقياسها"), 315, 6165, 900, scaleNameHeight);
    addLabel(QStringLiteral("Label1_3"), QStringLiteral("درصد"), 405, 6750, 720, scaleNameHeight);
}

QColor ChartWindow::barColour(int index, const QPalette& palette)
{
    // Qt has no title-bar or scroll-bar role of its own: the darkest frame shade stands for the active title bar and
    // the mid shade, which styles give scroll-bar grooves, for the scroll bars.
    switch (index) {
    case 0:
        return palette.color(QPalette::Active, QPalette::Shadow);
    case 1:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case 2:
        return palette.color(QPalette::Active, QPalette::Mid);
    default:
        return QColor(0, 128, 0);
    }
}

void ChartWindow::buildBars()
{
    for (int i = 0; i < BarCount; ++i) {
        auto* bar = new QFrame(this);
        bar->setObjectName(QStringLiteral("Shn_%1").arg(i));
        bar->setAutoFillBackground(true);
        QPalette palette = bar->palette();
        palette.setColor(QPalette::Window, barColour(i, palette));
        bar->setPalette(palette);
        m_bars[static_cast<std::size_t>(i)] = bar;
        placeBar(i);
    }
}

void ChartWindow::buildButtons()
{
    QFont buttonFont;
    buttonFont.setFamilies({QStringLiteral("B Nazanin"), PersianText::fontFamily()});
    m_draw = new QPushButton(QStringLiteral("رسم نمودار"), this);
    m_draw->setObjectName(QStringLiteral("Command1"));
    m_draw->setFont(buttonFont);
    Twips::place(m_draw, 3720, 7260, 1560, 495);
    connect(m_draw, &QPushButton::clicked, this, &ChartWindow::drawBars);

    m_close = new QPushButton(QStringLiteral("خروج"), this);
    m_close->setObjectName(QStringLiteral("Command2"));
    m_close->setFont(buttonFont);
    Twips::place(m_close, 1740, 7260, 1560, 495);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(m_draw, m_close);
}

void ChartWindow::placeBar(int index)
{
    const auto n = static_cast<std::size_t>(index);
    const ChartGeometry::Bar& bar = m_barTwips[n];
    Twips::place(m_bars[n], barLeft[n], bar.top, barWidth, bar.height);
    m_bars[n]->setVisible(bar.height > 0);
}

void ChartWindow::setValueText(int index, const QString& text)
{
    if (index >= 0 && index < BarCount)
        m_valueLabels[static_cast<std::size_t>(index)]->setText(text);
}

void ChartWindow::showResults(const ShownResults& results)
{
    for (const ScaleInfo& info : scales())
        setValueText(static_cast<int>(info.scale), ShownNumbers::text(results.of(info.scale).percent));
}

QString ChartWindow::valueText(int index) const
{
    if (index < 0 || index >= BarCount)
        return {};
    return m_valueLabels[static_cast<std::size_t>(index)]->text();
}

ChartGeometry::Bar ChartWindow::barTwips(int index) const
{
    if (index < 0 || index >= BarCount)
        return {};
    return m_barTwips[static_cast<std::size_t>(index)];
}

void ChartWindow::drawBars()
{
    for (int i = 0; i < BarCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        QLabel* label = m_valueLabels[n];
        label->setText(ChartGeometry::cappedLabel(label->text()));
        m_barTwips[n] = ChartGeometry::barFor(label->text());
        placeBar(i);
    }
}
