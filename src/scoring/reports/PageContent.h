#pragma once

#include <QColor>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>

// One laid-out page of a report: boxes of text, rulings and shaded cells, placed in twips. Reports lay a page out
// when it is asked for and paint it at once, so only the page in hand is ever held; tests read the same layout.
namespace Report {

struct TextStyle {
    int size = 160; // letter height in twips (160 = 8 pt)
    bool bold = false;
    Qt::Alignment alignment = Qt::AlignCenter;
    bool wrap = false; // several lines, word by word; otherwise one line, shortened with "…" when too long
    // Texts a reader matches a line by (codes, groups) are never shortened: when they do not fit they are set
    // smaller, and over more lines when that reads larger, however small it takes.
    bool whole = false;
    // The paragraph's direction. Captions written with their colon first (":آدرس") are set left to right, so the
    // colon ends up after the word as a reader of Persian expects.
    Qt::LayoutDirection direction = Qt::RightToLeft;
    QColor colour = Qt::black;
};

struct TextBox {
    QString name; // the label or field the box stands for, for example "Label9" or "txtCode"
    QString text;
    QRectF rect;
    TextStyle style;
};

struct Rule {
    QLineF line;
    double width = 10;
    QColor colour = Qt::black;
};

struct Shade {
    QRectF rect;
    QColor colour;
};

struct PageContent {
    QList<Shade> shades;
    QList<Rule> rules;
    QList<TextBox> texts;

    // The first box of that name, or nullptr.
    const TextBox* find(const QString& name) const;
    // Every box of that name, top to bottom as laid out.
    QList<const TextBox*> findAll(const QString& name) const;
};

} // namespace Report
