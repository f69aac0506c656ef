#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

class Database;
class TableCursor;
class QThread;

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

// Counted now, on the database's own connection.
Figures read(Database& db, int recentCount);

// Whether any examinee has an answer row, without counting them: what the buttons that need an examinee ask.
// Empty when the table could not be read (`db` then says why).
std::optional<bool> anyAnswerRow(Database& db);
// The same, read in the statement that reads `cursor`'s rows again (a window's first read at its opening): one read
// for both. Empty when that read failed (the cursor then says why).
std::optional<bool> reloadWithAnyAnswerRow(TableCursor& cursor);

// The figures read on a thread of its own, over a connection of its own to the same file or server, so that the
// main window, made afresh on every return to it, never waits for a count over a whole table: it shows the last
// figures read at once and asks for a new reading, which arrives (figuresRead) a moment later. Whoever wrote
// meanwhile, this program, its phone service or another program on the same data, is counted then.
// A reading asked for while one is under way is made once more after it.
class Reader : public QObject {
    Q_OBJECT
public:
    Reader(Database& db, int recentCount, QObject* parent = nullptr);
    // Waits for a reading under way to end.
    ~Reader() override;

    void request();
    // The last reading that succeeded; empty before the first.
    const std::optional<Figures>& latest() const { return m_latest; }

signals:
    // Every reading, read or not; a failed one leaves latest() as it was.
    void figuresRead(const HomeFigures::Figures& figures);

private:
    void run();
    void deliver(const Figures& figures);

    QString m_connectionOf; // the database's own connection, cloned in the reading thread
    QString m_schema; // on a server: the schema of the clinic's tables
    bool m_onServer = false;
    int m_recentCount = 0;
    std::optional<Figures> m_latest;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_wanted = false;
    bool m_stopping = false;
    QThread* m_thread = nullptr;
};

} // namespace HomeFigures
