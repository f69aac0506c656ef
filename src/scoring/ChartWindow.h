#pragma once

#include "scoring/ChartGeometry.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <array>

class QColor;
class QEvent;
class QFrame;
class QLabel;
class QPalette;
class QPushButton;
struct ShownResults;

// The results chart `Frmnem`: the four percents of the examinee last scored, as vertical bars on a fixed 0..100 axis
// laid out in twips, reading right to left (ChartGeometry). The scoring window hands the percents over as the texts
// of the value labels; the bars follow them only when the operator presses "رسم نمودار".
class ChartWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int BarCount = 4;

    explicit ChartWindow(QWidget* parent = nullptr);

    // Takes the percents the scoring window shows into the value labels; the bars wait for "رسم نمودار".
    void showResults(const ShownResults& results);

    // The value label of bar `index` (0..3: Rezayat, Ertebat, HaleT, TahrifeA).
    void setValueText(int index, const QString& text);
    QString valueText(int index) const;

    // Where bar `index` was last drawn, in twips; an undrawn bar is empty (height 0) at the bars' bottom edge.
    ChartGeometry::Bar barTwips(int index) const;

    // The fill of bar `index`: its scale's colour (ScaleColours) in the window's palette, so the bars follow the theme.
    static QColor barColour(int index, const QPalette& palette);

public slots:
    // "رسم نمودار": caps labels above 100 to "100" and sets every bar from its label.
    void drawBars();

protected:
    void changeEvent(QEvent* event) override;

private:
    // Strokes in the palette's text colour and bars in their scales' colours, after every change of palette (the
    // scoring window gives the chart its theme's).
    void recolour();
    void buildAxes();
    void buildLabels();
    void buildBars();
    void buildButtons();
    QFrame* addLine(const QString& name, int x1, int y1, int x2, int y2);
    QLabel* addLabel(const QString& name, const QString& text, int left, int top, int width, int height);
    void placeBar(int index);

    QList<QFrame*> m_lines;
    std::array<QFrame*, BarCount> m_bars{};
    std::array<ChartGeometry::Bar, BarCount> m_barTwips{};
    std::array<QLabel*, BarCount> m_valueLabels{};
    QPushButton* m_draw = nullptr;
    QPushButton* m_close = nullptr;
};
