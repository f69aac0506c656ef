#pragma once

#include <QList>
#include <QString>

class Database;

// What the main window's home panel tells at a glance: how many examinees are registered, how many have answered
// every item, and the last few registered. Counted by the engine in plain SQL that SQLite and PostgreSQL both read.
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

} // namespace HomeFigures
