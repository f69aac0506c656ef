#pragma once

#include "data/Database.h"
#include "data/TableCursor.h"
#include "data/TableTransfer.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The examinees now listed, written for research as a CSV file a spreadsheet opens: UTF-8 with a byte order mark
// (so Persian shows), quoted as RFC 4180 says, one row per examinee: details, the 35 keyed answers (the chosen option
// turned round where the item is reversed, so 5 is always the healthy end), when asked the 35 options as chosen, and
// for each scale the stored raw score with its percent and level, and last the partner's code where a couple was
// compared. Headings and level words are written with the Persian yeh and keheh operators type.
// The details leave the first and family names out unless they are asked for: research gets codes, never names. A
// cell that a spreadsheet would take for a formula is written as text. The file is built beside the chosen name and
// renamed, so a failure never leaves half a file.
class ResearchExport {
public:
    struct Figures {
        QString percent;
        QString level;
    };

    // What scoring knows, handed in so this folder needs none of its code: the scales in their fixed order, and
    // the percent and level of a stored raw score of scale 0..3 (both empty where there is none).
    struct Scoring {
        struct Scale {
            QString column; // the IDE column of the raw score
            QString caption; // the scale's name
        };
        QList<Scale> scales;
        std::function<Figures(int scale, const QString& raw)> figures;
    };

    // Whether the first and family names are among the details.
    enum class Names { LeftOut, Included };
    // Whether the options as chosen follow the keyed answers, as a second set of columns.
    enum class Choices { LeftOut, Included };

    struct Result {
        bool ok = false;
        bool cancelled = false; // told to stop: nothing was written
        int examinees = 0;
        QString error; // the platform's description when not ok
    };

    // The first line of the file, written with the Persian yeh and keheh that operators type.
    static QStringList header(const Scoring& scoring, Names names = Names::LeftOut, Choices choices = Choices::LeftOut);

    // The cells of one examinee: IDE details (the names only when included) and answers as stored, then raw score,
    // percent, level per scale, then the code of the partner the examinee was compared with as a couple (empty for
    // none).
    static QStringList cells(const QStringList& details, const QStringList& answers, const Scoring& scoring,
        const QString& partner = QString(), Names names = Names::LeftOut, Choices choices = Choices::LeftOut);

    // The option 1..5 an examinee chose, from the stored keyed answer of `item`; empty when the answer is not 1..5.
    static QString chosenOption(int item, const QString& keyed);

    // A cell beginning with =, +, -, @, a tab or a carriage return gets a leading apostrophe, which spreadsheets
    // show as text instead of running it.
    static QString guarded(const QString& cell);

    // One field of a line: guarded, then between double quotes (inner quotes doubled) when it holds a comma, a
    // double quote or a line break.
    static QString field(const QString& cell);

    // One line, ended by CR LF.
    static QByteArray line(const QStringList& cells);

    // Writes the examinees `listed` shows (a cursor on IDE, through its filter) to `path`, an owner-only file, each
    // line as its row is read. Through `watch` it tells how many are written and learns that it is to stop.
    static Result write(TableCursor& listed, const QString& path, const Scoring& scoring, Names names = Names::LeftOut,
        Choices choices = Choices::LeftOut, const TableTransfer::Watch& watch = {});
    // The same through a connection of its own to `location`, for a worker thread.
    static Result write(const Database::Location& location, const TableCursor::Selection& listed, const QString& path,
        const Scoring& scoring, Names names, Choices choices, const TableTransfer::Watch& watch);
};
