#pragma once

#include <QString>

class QWidget;

// The one way windows ask the operator for a file: the program uses the Qt dialogs (QtFileDialogs); tests queue the
// next file name instead of clicking a dialog. Filters are in Qt's form, "Description (*.ext)".
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // A save dialog opened on `suggestedPath` (folder and file name); the chosen path, or "" when cancelled.
    virtual QString saveFileName(
        QWidget* owner, const QString& title, const QString& suggestedPath, const QString& filter)
        = 0;

    // An open dialog showing `folder`; the chosen existing file, or "" when cancelled.
    virtual QString openFileName(QWidget* owner, const QString& title, const QString& folder, const QString& filter)
        = 0;
};
