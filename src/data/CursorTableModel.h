#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class TableCursor;

// The rows of a table cursor as a grid sees them: chosen columns under their headers, read a page at a time as the
// grid scrolls, so a table of a hundred thousand examinees is never held at once. Whenever the cursor's rows change
// (read again, filtered, a row removed, added or stored) the model starts afresh; so it does when a page comes back
// shorter than the rows counted (another program removed rows), rather than show empty rows.
class CursorTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString name; // the table's column
        QString header; // what the grid's header says
    };

    // Rows read at once, and how many such pages are kept; together a few screens of any grid.
    static constexpr int PageSize = 128;
    static constexpr int PagesKept = 8;

    CursorTableModel(TableCursor& cursor, const QList<Column>& columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text of a cell, "" outside the rows.
    QString text(int row, int column) const;

    // Reads the rows again through the cursor, as they are stored now: another program on the same file may have
    // removed or added some. A failure is told once until a read succeeds again.
    void refresh();

signals:
    // A page could not be read; given once until the rows start afresh, with the platform's description.
    void readFailed(const QString& error) const;

private:
    void startAfresh();
    // The number of rows to show now: the cursor's count, or, while the cursor has not counted, the rows of the
    // first page, with the count asked for once the grid has been drawn.
    int rowsNow();
    void countLater();
    void takeCount(int generation);
    const QList<QStringList>* page(int index) const;

    TableCursor& m_cursor;
    QList<Column> m_columns;
    QStringList m_columnNames;
    int m_rowCount = 0;

    mutable QHash<int, QList<QStringList>> m_pages;
    mutable QList<int> m_recentPages; // most recently used last
    mutable bool m_failureReported = false;
    mutable bool m_refreshQueued = false;
    bool m_refreshFailed = false;
    int m_generation = 0; // each start afresh, so a count asked for before it is not taken after it
};
