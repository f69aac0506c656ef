#include "ui/QtFileDialogs.h"

#include <QEvent>
#include <QFileDialog>

namespace {

// A path reads left to right, so a folder with a Persian name among Latin ones keeps its place in it. The dialog
// builds its fields when it first shows (unless the desktop's own dialog is used), so they are turned then.
class PathFieldsLeftToRight : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            for (const char* name : { "fileNameEdit", "lookInCombo" }) {
                if (auto* field = watched->findChild<QWidget*>(QString::fromLatin1(name)))
                    field->setLayoutDirection(Qt::LeftToRight);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

QString run(
    QWidget* owner, QFileDialog::AcceptMode mode, const QString& title, const QString& path, const QString& filter)
{
    QFileDialog dialog(owner, title, path, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setLayoutDirection(Qt::RightToLeft);
    PathFieldsLeftToRight paths;
    dialog.installEventFilter(&paths);
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
