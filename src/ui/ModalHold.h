#pragma once

#include <QList>
#include <QPointer>

#include <optional>

class QDialog;
class QObject;
class QWidget;

// Held for as long as a box (or any modal window) runs its own event loop over `owner`, by the call that opened it.
// While it is held, neither `owner` nor any widget it sits in is deleted by a deferred deletion (a window closing
// with Qt::WA_DeleteOnClose, deleteLater): the deletion closes the box as cancelled and waits until the last box
// over that widget has returned to its caller. A window closed under its box closes the box the same way. So a box
// never outlives its window, the window is never deleted with a box's loop still on the stack, and the code after
// the box never runs on a deleted window.
class ModalHold {
public:
    ModalHold(QWidget* owner, QDialog* box);
    ~ModalHold();
    ModalHold(const ModalHold&) = delete;
    ModalHold& operator=(const ModalHold&) = delete;

    // Whether a widget the box would sit over is already on its way out: the box is then not worth showing.
    bool ownerLeaving() const;

    // Runs `dialog` modally over `owner` under a hold and returns what exec() gave; nothing when the owner was already
    // on its way out and the dialog was not shown.
    static std::optional<int> exec(QWidget* owner, QDialog* dialog);

private:
    QList<QPointer<QObject>> m_held;
    QPointer<QDialog> m_box;
};
