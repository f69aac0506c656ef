#pragma once

#include <QStyledItemDelegate>

// Draws a column's cells left to right inside a right-to-left table: a signed figure such as "-5" keeps its sign in
// front of the digits, where the right-to-left layout of the table would put it after them.
class LeftToRightCells : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
