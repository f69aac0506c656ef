#include "ui/LeftToRightCells.h"

#include <QApplication>
#include <QPainter>
#include <QTextOption>

void LeftToRightCells::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // The style draws the cell without its text; the text is set here with a left-to-right option, because a
    // styled table draws its cells' text in the table's own direction whatever the cell asks for.
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    const QWidget* widget = cell.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    QTextOption layout(Qt::AlignCenter);
    layout.setTextDirection(Qt::LeftToRight);
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(QPalette::Text));
    painter->drawText(QRectF(cell.rect), text, layout);
    painter->restore();
}
