#pragma once

#include "ui/FileDialogs.h"

// The platform's file dialogs, laid out right to left like the rest of the program.
class QtFileDialogs : public FileDialogs {
public:
    QString saveFileName(
        QWidget* owner, const QString& title, const QString& suggestedPath, const QString& filter) override;
    QString openFileName(QWidget* owner, const QString& title, const QString& folder, const QString& filter) override;
};
