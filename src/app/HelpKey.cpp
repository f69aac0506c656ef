#include "app/HelpKey.h"

#include "ui/HelpContents.h"

#include <QKeyEvent>
#include <QWidget>

HelpKey::HelpKey(QObject* parent)
    : QObject(parent)
{
}

QString HelpKey::sectionAt(QWidget* widget)
{
    for (QWidget* window = widget ? widget->window() : nullptr; window;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
        const QString name = window->objectName();
        const QObjectList children = window->children();
        for (auto it = children.crbegin(); it != children.crend(); ++it) {
            auto* panel = qobject_cast<QWidget*>(*it);
            if (!panel || panel->isWindow() || panel->isHidden() || panel->objectName().isEmpty())
                continue;
            const QString key = HelpContents::sectionFor(name + QLatin1Char('/') + panel->objectName());
            if (!key.isEmpty())
                return key;
        }
        const QString key = HelpContents::sectionFor(name);
        if (!key.isEmpty())
            return key;
    }
    return QString();
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
        return QObject::eventFilter(watched, event);
    // Taken at its first delivery to a widget (the focus widget), so it goes no further up.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return QObject::eventFilter(watched, event);
    if (static_cast<QKeyEvent*>(event)->isAutoRepeat())
        return true;
    const QString key = sectionAt(widget);
    emit helpWanted(key.isEmpty() ? HelpContents::firstKey() : key);
    return true;
}
