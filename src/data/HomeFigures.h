#pragma once

#include <QList>
#include <QtGlobal>
#include <QString>

class Database;

// What the main window's home panel tells at a glance: how many examinees are registered, how many have answered
// every item, and the last few registered. Counted by the engine in plain SQL that SQLite and PostgreSQL both read.
// On the data file the answered are read once and then kept as answers are written (Database::keptCompleteAnswers),
// so the panel, drawn on every return to the main window, never reads every answer again; the clinic's server,
// which other counsellors write to as well, counts them each time.
namespace HomeFigures {

struct Recent {
    QString code;
    QString firstName;
    QString familyName;
    QString date;
};

struct Figures {
    bool read = false; // false: the figures below say nothing; `error` and `busy` say why
    bool busy = false;
    QString error;
    int registered = 0; // IDE rows
    int answered = 0; // Answer rows with every item answered
    QList<Recent> recent; // the last registered, newest first
};

Figures read(Database& db, int recentCount);

// What the table cursor tells after it wrote the answers: an answer row stored (added or changed) or removed, or
// rows removed by a filter (which are then read again with the next figures).
void answerRowStored(Database& db, qint64 rowId);
void answerRowRemoved(Database& db, qint64 rowId);
void answerRowsRemoved(Database& db);

} // namespace HomeFigures
