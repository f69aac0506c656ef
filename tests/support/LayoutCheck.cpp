#include "support/LayoutCheck.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QWidget>

namespace {

bool failWith(const QString& what)
{
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
    return false;
}

QString nameOf(const QWidget* w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

} // namespace

namespace LayoutCheck {

bool textsFit(QWidget* root)
{
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(root) || label->wordWrap() || label->text().isEmpty()
            || label->textFormat() == Qt::RichText)
            continue;
        if (label->text().contains(QLatin1Char('\n')))
            continue;
        const int needed = label->fontMetrics().horizontalAdvance(label->text()) + 2 * label->margin()
            + label->contentsMargins().left() + label->contentsMargins().right();
        if (needed > label->width())
            return failWith(QStringLiteral("label %1 cuts off \"%2\" (%3 > %4 px)")
                                .arg(nameOf(label), label->text())
                                .arg(needed)
                                .arg(label->width()));
    }
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(root) || button->text().isEmpty())
            continue;
        if (button->sizeHint().width() > button->width() + 4 || button->minimumSizeHint().height() > button->height())
            return failWith(QStringLiteral("button %1 cuts off \"%2\" (%3x%4 needed, %5x%6 given)")
                                .arg(nameOf(button), button->text())
                                .arg(button->sizeHint().width())
                                .arg(button->minimumSizeHint().height())
                                .arg(button->width())
                                .arg(button->height()));
    }
    return true;
}

bool nothingCutOff(QWidget* container, const QStringList& mayOverlap)
{
    QList<QWidget*> controls;
    for (QWidget* w : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(container) && !w->isWindow())
            controls << w;
    QRect inside = container->rect();
    // Inside a titled box the controls stand within its drawn frame, below the title, not across its border.
    if (auto* box = qobject_cast<QGroupBox*>(container)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        option.textAlignment = box->alignment();
        inside = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, box);
    }
    for (QWidget* w : controls) {
        if (!inside.contains(w->geometry()))
            return failWith(QStringLiteral("%1 lies outside %2").arg(nameOf(w), nameOf(container)));
        for (QWidget* other : controls) {
            if (other == w || !w->geometry().intersects(other->geometry()))
                continue;
            const QString pair = nameOf(w) + QLatin1Char('/') + nameOf(other);
            const QString reversed = nameOf(other) + QLatin1Char('/') + nameOf(w);
            if (!mayOverlap.contains(pair) && !mayOverlap.contains(reversed))
                return failWith(QStringLiteral("%1 overlaps %2").arg(nameOf(w), nameOf(other)));
        }
    }
    return textsFit(container);
}

} // namespace LayoutCheck
