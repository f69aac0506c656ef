#include "ui/OptionButton.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// Qt describes a radio button that is not auto-exclusive as a check box, and its toggle action only flips the state
// without a click; this description says what the option is and clicks it.
class OptionButtonAccessible : public QAccessibleWidget {
public:
    explicit OptionButtonAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::RadioButton)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            QString name = button()->text();
            name.remove(QLatin1Char('&'));
            return name;
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList { pressAction(), toggleAction() } + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == pressAction() || action == toggleAction()) {
            if (widget()->isEnabled())
                button()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* describeOptionButton(const QString& className, QObject* object)
{
    if (className == QLatin1String("OptionButton") && object && object->isWidgetType())
        return new OptionButtonAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

OptionButton::OptionButton(const QString& text, QWidget* parent)
    : QRadioButton(text, parent)
{
    static const bool described = [] {
        QAccessible::installFactory(describeOptionButton);
        return true;
    }();
    Q_UNUSED(described)
    setAutoExclusive(false);
}
