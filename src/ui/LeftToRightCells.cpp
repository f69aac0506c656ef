#include "ui/LeftToRightCells.h"

void LeftToRightCells::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->direction = Qt::LeftToRight;
}
