#include "scoring/ChartWindow.h"

#include "scoring/ScaleColours.h"
#include "scoring/Scales.h"
#include "scoring/ShownResults.h"
#include "text/ShownNumbers.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QColor>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include <algorithm>

namespace {

using namespace ChartGeometry;

constexpr int windowWidth = ChartWidth;
constexpr int windowHeight = 8040;

constexpr int valueLabelTop = 6660;
constexpr int valueLabelWidth = 780;
constexpr int valueLabelHeight = 330;

// The scale names are the Label1 elements 0, 1, 4 and 2, in the scales' order (right to left).
constexpr std::array<int, ChartWindow::BarCount> scaleNameElement = {0, 1, 4, 2};
constexpr int scaleNameTop = 6165;
constexpr int scaleNameWidth = 1200;
constexpr int scaleNameHeight = 360;

// The row titles stand at the right, beside the axis, where a Persian row begins.
constexpr int rowTitleLeft = AxisX + 60;
constexpr int rowTitleWidth = ChartWidth - rowTitleLeft - 60;

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
    recolour();

    Twips::placeWindow(this, 3750, 750);
}

QFrame* ChartWindow::addLine(const QString& name, int x1, int y1, int x2, int y2)
{
    auto* line = new QFrame(this);
    line->setObjectName(name);
    line->setAutoFillBackground(true);
    m_lines << line;
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
    addLine(QStringLiteral("Line1"), AxisX, AxisTop, AxisX, AxisBottom);
    addLine(QStringLiteral("Line2"), BaselineLeft, BaselineY, BaselineRight, BaselineY);
    // Line3 elements 0..10 mark 100 down to 0 percent.
    const QList<int> percents = tickPercents();
    for (qsizetype i = 0; i < percents.size(); ++i) {
        const int y = tickY(percents.at(i));
        addLine(QStringLiteral("Line3_%1").arg(i), AxisX, y, AxisX + TickLength, y);
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
    // SkinLabeln elements 5..14 read 10..100 percent, each level with its tick, just right of the axis.
    for (int element = 5; element <= 14; ++element) {
        const int percent = (element - 4) * TickStep;
        QLabel* tick = addLabel(QStringLiteral("SkinLabeln_%1").arg(element), ShownNumbers::percent(percent),
                                TickLabelLeft, tickY(percent) - TickLabelHeight / 2, TickLabelWidth, TickLabelHeight);
        tick->setAlignment(Qt::AlignAbsolute | Qt::AlignLeft | Qt::AlignVCenter);
    }
    for (int i = 0; i < BarCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        m_valueLabels[n] = addLabel(QStringLiteral("SkinLabeln_%1").arg(i), QString(),
                                    barLeft(i) + (BarWidth - valueLabelWidth) / 2, valueLabelTop, valueLabelWidth,
                                    valueLabelHeight);
        QLabel* name = addLabel(QStringLiteral("Label1_%1").arg(scaleNameElement[n]), scales()[n].caption,
                                barLeft(i) + (BarWidth - scaleNameWidth) / 2, scaleNameTop, scaleNameWidth,
                                scaleNameHeight);
        name->setBuddy(m_bars[n]);
    }
    addLabel(QStringLiteral("Label1_5"), QStringLiteral("مقياسها"), rowTitleLeft, scaleNameTop, rowTitleWidth,
             scaleNameHeight);
    addLabel(QStringLiteral("Label1_3"), QStringLiteral("درصد"), rowTitleLeft, valueLabelTop, rowTitleWidth,
             valueLabelHeight);
}

QColor ChartWindow::barColour(int index, const QPalette& palette)
{
    return ScaleColours::of(allScales[static_cast<std::size_t>(std::clamp(index, 0, BarCount - 1))], palette);
}

void ChartWindow::buildBars()
{
    for (int i = 0; i < BarCount; ++i) {
        auto* bar = new QFrame(this);
        bar->setObjectName(QStringLiteral("Shn_%1").arg(i));
        bar->setAutoFillBackground(true);
        m_bars[static_cast<std::size_t>(i)] = bar;
        placeBar(i);
    }
}

void ChartWindow::recolour()
{
    const QPalette own = palette();
    for (QFrame* line : std::as_const(m_lines)) {
        QPalette p = line->palette();
        p.setColor(QPalette::Window, own.color(QPalette::WindowText));
        line->setPalette(p);
    }
    for (int i = 0; i < BarCount; ++i) {
        QFrame* bar = m_bars[static_cast<std::size_t>(i)];
        QPalette p = bar->palette();
        p.setColor(QPalette::Window, barColour(i, own));
        bar->setPalette(p);
    }
}

void ChartWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        recolour();
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
    Twips::place(m_bars[n], barLeft(index), bar.top, BarWidth, bar.height);
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
