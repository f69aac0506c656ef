#pragma once

#include <QString>

// Whether a data folder chosen for a run (--data-dir) is fit to hold the clients' answers, judged before anything in
// it is read or made. As ssh does for its keys: a folder that another user of the computer could write to, or that
// belongs to another user, lets that user plant a database of their own or swap the data for theirs, so neither the
// folder nor any folder above it may be one, links followed. The folders the program makes are its own (0700).
//
// Every folder from the data folder up to the root counts: each must belong to the user the program runs as or to
// the system (root), and none may be writable by its group or by others, except a folder above the data folder that
// carries the sticky bit (/tmp): there nobody may rename or remove what another user made. A link on the way must be
// the user's or the system's too. Besides: a file where a folder should be, a folder of the system's own kinds
// (/proc, /sys) and a name longer than the system takes are each told for what they are.
namespace DataFolderCheck {

enum class Verdict {
    Fit,
    OpenToOthers, // `where` may be written by its group or by others
    OwnedByOther, // `where` belongs to another user
    NotAFolder, // `where` is a file (or something else) where a folder is needed
    SystemFolder, // `where` lies in one of the system's own file systems, which hold no files of a program
    NameTooLong, // a folder's name, or the whole path with the program's files in it, is longer than the system takes
    Unreadable, // `where` could not be looked at; `detail` has the platform's words
};

struct Result {
    Verdict verdict = Verdict::Fit;
    QString where; // the folder, file or link the verdict is about
    QString detail; // the platform's words, when there are any

    bool fit() const { return verdict == Verdict::Fit; }
};

// `folder` made absolute by the caller (DataPlace does).
Result check(const QString& folder);

// The verdict in plain English for a terminal (the windows word it in Persian): what is wrong, naming `dataFolder`
// and the folder, file or link at fault.
QString describe(const Result& checked, const QString& dataFolder);

} // namespace DataFolderCheck
