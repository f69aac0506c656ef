#include "ui/ModalHold.h"

#include <QDialog>
#include <QEvent>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QWidget>

namespace {

// Qt notes on an object that a deferred deletion was posted for it and drops any later one while other events for it
// wait; a deletion the hold took in is never carried out, so the note would swallow the deletion the hold posts when
// the last box has returned. Reached through a pointer to the member named from a class of our own, as C++ allows
// for a protected member.
struct DeletionNote : QObject {
    static void clear(QObject* object) { (object->*(&DeletionNote::d_ptr))->deleteLaterCalled = false; }
};

// The widgets boxes are open over, each with the boxes over it and whether its deletion waits for them.
class Keeper : public QObject {
public:
    struct Held {
        int holds = 0;
        QList<QPointer<QDialog>> boxes;
        bool deletionDue = false;
    };

    static Keeper& instance()
    {
        static Keeper keeper;
        return keeper;
    }

    void hold(QObject* object, QDialog* box)
    {
        auto it = m_held.find(object);
        if (it == m_held.end()) {
            // A widget whose deletion is already on its way takes no new box: the code after the last box may try
            // to open another before that deletion has come round.
            it = m_held.insert(object, Held { 0, {}, m_leaving.contains(object) });
            object->installEventFilter(this);
            // A widget deleted outright (not deferred) is no longer held by anyone.
            connect(object, &QObject::destroyed, this, &Keeper::forget, Qt::UniqueConnection);
        }
        ++it->holds;
        it->boxes.append(box);
    }

    void release(QObject* object, QDialog* box)
    {
        auto it = m_held.find(object);
        if (it == m_held.end())
            return;
        if (const qsizetype at = it->boxes.indexOf(box); at >= 0)
            it->boxes.removeAt(at);
        if (--it->holds > 0)
            return;
        const bool deletionDue = it->deletionDue;
        m_held.erase(it);
        object->removeEventFilter(this);
        // Posted from the caller of the last box, so the deletion happens once that caller has returned; until it
        // has, the widget is known to be leaving.
        if (deletionDue) {
            m_leaving.insert(object);
            DeletionNote::clear(object);
            object->deleteLater();
        } else if (!m_leaving.contains(object)) {
            disconnect(object, &QObject::destroyed, this, &Keeper::forget);
        }
    }

    bool leaving(QObject* object) const
    {
        const auto it = m_held.constFind(object);
        return (it != m_held.cend() && it->deletionDue) || m_leaving.contains(object);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto it = m_held.find(watched);
        if (it == m_held.end())
            return false;
        if (event->type() == QEvent::DeferredDelete) {
            it->deletionDue = true;
            closeBoxes(watched);
            return true;
        }
        // A window closed or hidden by the program (not by the window system) takes its boxes with it.
        if (event->type() == QEvent::Hide && !event->spontaneous() && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->isWindow())
            closeBoxes(watched);
        return false;
    }

private:
    void forget(QObject* object)
    {
        m_held.remove(object);
        m_leaving.remove(object);
    }

    void closeBoxes(QObject* object)
    {
        const QList<QPointer<QDialog>> boxes = m_held.value(object).boxes;
        for (const QPointer<QDialog>& box : boxes)
            if (box && box->isVisible())
                box->reject();
    }

    QHash<QObject*, Held> m_held;
    QSet<QObject*> m_leaving; // deletion posted once their last box returned, not yet done
};

} // namespace

ModalHold::ModalHold(QWidget* owner, QDialog* box)
    : m_box(box)
{
    for (QWidget* widget = owner; widget; widget = widget->parentWidget()) {
        Keeper::instance().hold(widget, box);
        m_held.append(widget);
    }
}

ModalHold::~ModalHold()
{
    for (const QPointer<QObject>& object : m_held)
        if (object)
            Keeper::instance().release(object, m_box);
}

bool ModalHold::ownerLeaving() const
{
    for (const QPointer<QObject>& object : m_held)
        if (object && Keeper::instance().leaving(object))
            return true;
    return false;
}

std::optional<int> ModalHold::exec(QWidget* owner, QDialog* dialog)
{
    ModalHold hold(owner, dialog);
    if (hold.ownerLeaving())
        return std::nullopt;
    return dialog->exec();
}
