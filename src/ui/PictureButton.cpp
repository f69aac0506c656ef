#include "ui/PictureButton.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace PictureButton {

QPixmap picture(Mark mark, bool highlighted, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = mark == Mark::Confirm ? QColor(0x2e, 0x8b, 0x57) : QColor(0xb2, 0x22, 0x22);
    const QColor plate = highlighted ? colour : QColor(0xe6, 0xe6, 0xe6);
    const QColor ink = highlighted ? QColor(Qt::white) : colour;
    const QRectF r = QRectF(pixmap.rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(highlighted ? colour.darker(130) : QColor(0xa0, 0xa0, 0xa0), 1.5));
    p.setBrush(plate);
    p.drawRoundedRect(r, 6, 6);

    const qreal side = qMin(r.width(), r.height()) * 0.5;
    const QPointF c = r.center();
    QPainterPath path;
    if (mark == Mark::Confirm) {
        path.moveTo(c + QPointF(-side * 0.5, 0));
        path.lineTo(c + QPointF(-side * 0.1, side * 0.4));
        path.lineTo(c + QPointF(side * 0.55, -side * 0.4));
    } else {
        path.moveTo(c + QPointF(-side * 0.4, -side * 0.4));
        path.lineTo(c + QPointF(side * 0.4, side * 0.4));
        path.moveTo(c + QPointF(side * 0.4, -side * 0.4));
        path.lineTo(c + QPointF(-side * 0.4, side * 0.4));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, qMax(2.0, side * 0.18), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    return pixmap;
}

QLabel* resting(QWidget* parent, const QString& name, Mark mark, const QRect& where)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setPixmap(picture(mark, false, where.size()));
    label->setMouseTracking(true);
    return label;
}

QToolButton* highlighted(QWidget* parent, const QString& name, Mark mark, const QRect& where)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setGeometry(where);
    button->setIcon(QIcon(picture(mark, true, where.size())));
    button->setIconSize(where.size());
    button->setAutoRaise(true);
    // The picture is the whole button, in every state, whatever look the window wears.
    button->setStyleSheet(QStringLiteral("QToolButton, QToolButton:hover, QToolButton:pressed "
                                         "{ border: none; padding: 0; background: transparent; }"));
    button->setAccessibleName(mark == Mark::Confirm ? QStringLiteral("OK") : QStringLiteral("Cancel"));
    return button;
}

} // namespace PictureButton
