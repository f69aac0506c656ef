#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>

class QLabel;
class QToolButton;
class QWidget;

// A button made of two overlapping pictures: a resting one (a label) and a highlighted one (a button) that takes its
// place while the pointer is over it and alone answers a click. The window swaps them as the pointer moves.
namespace PictureButton {

enum class Mark { Confirm, Cancel };

// A tick or a cross on a rounded plate: grey at rest, coloured when highlighted.
QPixmap picture(Mark mark, bool highlighted, QSize size);

QLabel* resting(QWidget* parent, const QString& name, Mark mark, const QRect& where);
QToolButton* highlighted(QWidget* parent, const QString& name, Mark mark, const QRect& where);

} // namespace PictureButton
