#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>
#include <utility>

#include "data/Database.h"

class QSqlQuery;

// A window's view of one table: the rows that pass its filter and a current row, whose fields text controls may show
// (ColumnBinding).
// Filters are always "column = value" with the value bound, never spliced into SQL, so any text is an ordinary value.
// Values compare exactly, as text ("7" and "07" differ; nothing is trimmed or case-folded).
// A read that fails is never taken for "no rows": readFailed() says so, and a window that looks something up tells
// the operator the file is busy or failing instead of "not found".
class TableCursor : public QObject {
    Q_OBJECT
public:
    TableCursor(Database& db, const QString& table, QObject* parent = nullptr);
    // A cursor that reads nothing until its first setFilter(): for a row looked up by its key, where the table's
    // first row and its count would be read for nothing (on a server, each read is a round trip).
    struct Unread {};
    TableCursor(Database& db, const QString& table, Unread);
    // A cursor for a grid: a read fetches the first row alone, and the rows are counted only when count() is first
    // asked for, so a grid can show its first screen before a count over thousands of rows (which a counsellor's
    // rights on the clinic's server make dearer still) has run.
    // With `firstRowsKept`, a read takes that many rows with the first one and keeps them for the first
    // readRows() of them: a window and its grid's first screen read once.
    struct CountedOnDemand {
        int firstRowsKept = 0;
    };
    TableCursor(Database& db, const QString& table, CountedOnDemand, QObject* parent = nullptr);
    // A cursor that only lists rows, in the order of one column (newest first, for a trail), for a grid and an
    // export: it counts, reads pages, every row and the distinct values, and has no current row to move, change or
    // remove. Its table need not carry the rows' identity.
    struct Listing {
        QString orderColumn;
        bool descending = false;
    };
    TableCursor(Database& db, const QString& table, const Listing& listing, QObject* parent = nullptr);

    // One test of a column against a bound value, among those that all must hold for a row to pass (beside the
    // filter): equal to it, or not before or before it in text order (the trail's times are written so that text
    // order is time order).
    struct Condition {
        enum class Test { Equal, AtLeast, Below };
        QString column;
        Test test = Test::Equal;
        QString value;
    };
    // Restricts the rows to those that meet every condition, then reloads. Fails on an unknown column.
    bool setConditions(const QList<Condition>& conditions);

    // Which rows a cursor lists and in what order, as plain values: long work on a worker thread lists the same rows
    // through a connection of its own (a connection belongs to the thread that made it).
    struct Selection {
        QString table;
        std::optional<QString> filterColumn;
        QString filterValue;
        QList<Condition> conditions;
        std::optional<Listing> listing;
    };
    Selection selection() const;
    // A cursor on `db` listing the rows `selection` names; it has read nothing yet but its columns, and counts its
    // rows when count() is first asked for.
    TableCursor(Database& db, const Selection& selection);

    const QString& table() const { return m_table; }
    Database& database() const { return m_db; }
    const QStringList& columns() const { return m_columns; }

    // Reads the rows again and moves to the first one; unsaved edits and an unsaved new row are dropped.
    bool reload();
    // reload(), reading in the same statement one value more beside the rows (on a server, one round trip for both):
    // `value` is a query of one value, its marks bound to `bound`. `read` gets it, or stays null when no row passes
    // the filter (the value is then not read).
    bool reloadWith(const QString& value, const QVariantList& bound, QVariant& read);

    // Restricts the rows to those whose `column` equals `value`, then reloads. Fails on an unknown column.
    bool setFilter(const QString& column, const QString& value);
    // setFilter() on each of several cursors of one database (none of them a listing), their rows read in one
    // statement: one look at one state of the data, and on a server one round trip for them all. False when a cursor
    // could not be read; each then says so as after a failed setFilter().
    static bool setFilterTogether(const QList<TableCursor*>& cursors, const QString& column, const QString& value);
    // The same with a value of each cursor's own.
    static bool setFiltersTogether(const QList<std::pair<TableCursor*, QString>>& filters, const QString& column);
    void clearFilter();
    // Drops the filter and the rows read, and reads nothing until the next setFilter(), as a cursor made Unread.
    void dropFilterUnread();
    bool isFiltered() const { return m_filterColumn.has_value(); }
    // The filter now in force ("" and "" when there is none).
    QString filterColumn() const { return m_filterColumn.value_or(QString()); }
    QString filterValue() const { return m_filterValue; }

    // Rows visible through the filter (an unsaved new row is not counted). Means nothing while readFailed().
    int count() const;
    // Whether count() has the number at hand, or would read it first.
    bool isCounted() const { return m_rowIds.has_value() || m_counted; }
    // The last reload, filter or move could not read the rows (another program holds the file, or it fails):
    // count() and the fields say nothing about the table until a read succeeds.
    bool readFailed() const { return m_readFailed; }
    // Whether there is a current row (a stored one, or a new one being filled).
    bool hasCurrent() const;
    bool isNewRow() const { return m_isNew; }
    // The current stored row's identity in its table (-1 when there is none): a row stored later has a larger one.
    qint64 rowId() const { return m_currentRowId; }
    int position() const { return m_position; }
    bool moveTo(int index);
    bool moveFirst() { return moveTo(0); }
    bool moveNext() { return moveTo(m_position + 1); }

    // The current row's value of `column` as text ("" when empty, unknown or when there is no current row).
    QString field(const QString& column) const;
    // Changes the current row's value; stored by the next update(). Ignored without a current row.
    void setField(const QString& column, const QString& value);
    bool isModified() const { return !m_edits.isEmpty(); }
    // Drops the current row's unsaved changes: fields and bound controls show the row as last read.
    void revert();

    // Starts a new row with every column empty; update() inserts it.
    void addNew();
    // Writes the current row (insert for a new row, otherwise the changed columns). True when stored.
    bool update();
    // Writes the changes of the current stored row as update() does, as a write transaction of its own that takes the
    // data for writing as Transaction does (waiting for another writer as long, busy alike): on a server the whole
    // of it is one statement. Inside the caller's transaction, update(). When it fails nothing is stored and the
    // changes are still pending, as after a failed update().
    bool updateAlone();

    // A new row stored by a statement of the caller's, with its fields as set here: the fields set, and the row
    // taken as update() takes the row it stored, with the identity the statement gave it.
    const QHash<QString, QString>& newRowFields() const { return m_edits; }
    void takeStoredNewRow(qint64 rowId);
    // Removes the current row; the next row becomes current.
    bool remove();
    // Removes every row through the filter (every row of the table when there is none), then reads the rows again.
    bool removeAll();

    // Reads `count` rows from position `first` (in the cursor's order) through the filter, each as the texts of
    // `columns`, without moving the current row. A grid reads a screenful at a time this way instead of holding every
    // row. False (with lastError) on an unknown column or a failed read.
    bool readRows(int first, int count, const QStringList& columns, QList<QStringList>& rows);

    // The different non-empty values of `column` among the rows through the filter, in Persian alphabetical order:
    // what a list of names offers. False (with lastError) on an unknown column or a failed read.
    bool distinctValues(const QString& column, QStringList& values);
    // The same for several columns in one read (on a server, one round trip): `values` gets a list for each column,
    // in the order of `columns`.
    bool distinctValues(const QStringList& columns, QList<QStringList>& values);

    // The platform's description of the last failure, and whether it was the file being held by another program.
    QString lastError() const { return m_lastError; }
    bool lastErrorIsBusy() const { return m_lastErrorBusy; }
    // Whether the last write was refused because its examinee code is already another's (see Engine::isCodeTaken).
    bool lastErrorIsCodeTaken() const { return m_lastErrorCodeTaken; }

    // Reads `columns` of every row the filter lets through, in the cursor's order, in one pass and without moving
    // the current row: `row` gets each row's values in the order of `columns`. Meant for printing long lists.
    // False when a column is unknown or the rows could not be read.
    bool readAll(const QStringList& columns, const std::function<void(const QStringList& values)>& row);
    // The same, one row at a time from the server too, so that memory does not grow with the rows, and until `row`
    // returns false (true then: nothing failed).
    bool readEach(const QStringList& columns, const std::function<bool(const QStringList& values)>& row);

signals:
    // The current row changed: moved, reloaded, added, or stored.
    void currentChanged();
    // A field of the current row was changed or its changes dropped, without moving.
    void fieldsChanged();
    // The rows themselves changed: read again (also under a new filter), one removed, added or stored.
    void rowsChanged();

private:
    bool loadColumns();
    bool reloadReading(const QString* value, const QVariantList& bound, QVariant* read);
    // What a reload forgets before it reads, and what it says after.
    void forgetRows();
    bool finishReading(bool ok);
    bool loadRowIds();
    // Places a new row just stored as the current one, after the rows read before it.
    void placeInserted();
    // The current row's pending changes written by one UPDATE of its identity, `alsoWhere` added to the condition;
    // a row that is no longer there fails. The cursor's own copy of the row is left to the caller.
    bool storeEdits(const QString& alsoWhere);
    bool loadCurrent();
    bool fail(const QString& error, bool busy = false);
    bool run(QSqlQuery& query);
    // The statement kept by the database, noting a failure to prepare it as run() does. A cursor reads every row a
    // statement gives (a row, a screenful, the ids or a list to its end): on the server they come all at once.
    Database::Statement prepared(const QString& sql, Database::Fetch fetch = Database::Fetch::AllAtOnce);
    // The identity and the columns, as a row is read.
    QString selectedColumns() const;
    // The current row's identity and values from `query`, starting at its column `first`.
    void takeRow(const QSqlQuery& query, int first);
    QString quotedColumn(const QString& column) const;
    QString whereClause() const;
    // Counts the rows through the filter into m_count; false when that cannot be read.
    bool countRows() const;
    // The filter's and the conditions' values, in the order whereClause() asks for them.
    void bindFilter(QSqlQuery& query) const;
    QString orderClause() const;
    bool readThrough(const QStringList& columns, Database::Fetch fetch,
        const std::function<bool(const QStringList& values)>& row);

    Database& m_db;
    QString m_table;
    QStringList m_columns;
    std::optional<QString> m_filterColumn;
    QString m_filterValue;
    QList<Condition> m_conditions;
    std::optional<Listing> m_listing;

    // Row ids are fetched on demand; a reload only counts and fetches the first row.
    mutable std::optional<QList<qint64>> m_rowIds;
    mutable int m_count = 0;
    bool m_countOnDemand = false;
    int m_firstRowsKept = 0;
    // The rows read with the first one (each in the order of m_columns), until the first readRows() of them or a
    // write.
    std::optional<QList<QStringList>> m_firstRows;
    mutable bool m_counted = true; // m_count is the number of rows, not yet read when counted on demand
    // The row this cursor stored last since it read its rows, kept among its row ids even outside the filter.
    qint64 m_inserted = -1;
    int m_position = -1;
    qint64 m_currentRowId = -1;
    bool m_isNew = false;
    QHash<QString, QString> m_values;
    QHash<QString, QString> m_edits;
    QString m_lastError;
    bool m_lastErrorBusy = false;
    bool m_lastErrorCodeTaken = false;
    bool m_readFailed = false;
};
