#include "ui/QtFileDialogs.h"

#include <QFileDialog>

namespace {

QString run(
    QWidget* owner, QFileDialog::AcceptMode mode, const QString& title, const QString& path, const QString& filter)
{
    QFileDialog dialog(owner, title, path, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setLayoutDirection(Qt::RightToLeft);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
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
