#pragma once

#include "ui/FileDialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

// The file-dialog seam for tests: answers each dialog with the next queued file name ("" when none is queued,
// as a cancelled dialog does) and records what every dialog was opened with.
class ScriptedFileDialogs : public FileDialogs {
public:
    enum class Kind { Save, Open };

    struct Request {
        Kind kind;
        QString title;
        QString path; // the suggested path of a save dialog, the folder of an open dialog
        QString filter;
    };

    QString saveFileName(QWidget*, const QString& title, const QString& suggestedPath, const QString& filter) override
    {
        requests.append({ Kind::Save, title, suggestedPath, filter });
        return names.isEmpty() ? QString() : names.dequeue();
    }

    QString openFileName(QWidget*, const QString& title, const QString& folder, const QString& filter) override
    {
        requests.append({ Kind::Open, title, folder, filter });
        return names.isEmpty() ? QString() : names.dequeue();
    }

    QQueue<QString> names;
    QList<Request> requests;
};
