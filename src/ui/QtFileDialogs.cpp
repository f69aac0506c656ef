#include "ui/QtFileDialogs.h"

#include "ui/ModalHold.h"

#include <QFileDialog>
#include <QPointer>

namespace {

QString run(
    QWidget* owner, QFileDialog::AcceptMode mode, const QString& title, const QString& path, const QString& filter)
{
    // The dialog belongs to this call, not to the window it sits over (see ModalHold).
    const QPointer<QFileDialog> dialog = new QFileDialog(owner, title, path, filter);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setLayoutDirection(Qt::RightToLeft);
    QString chosen;
    if (ModalHold::exec(owner, dialog) == QDialog::Accepted && dialog && !dialog->selectedFiles().isEmpty())
        chosen = dialog->selectedFiles().constFirst();
    delete dialog.data();
    return chosen;
}

} // namespace

QString QtFileDialogs::saveFileName(
    QWidget* owner, const QString& title, const QString& suggestedPath, const QString& filter)
{
    return run(owner, QFileDialog::AcceptSave, title, suggestedPath, filter);
}

QString QtFileDialogs::openFileName(QWidget* owner, const QString& title, const QString& folder, const QString& filter)
{
    return run(owner, QFileDialog::AcceptOpen, title, folder, filter);
}
