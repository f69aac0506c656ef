#include "data/CursorTableModel.h"

#include "data/TableCursor.h"

CursorTableModel::CursorTableModel(TableCursor& cursor, const QList<Column>& columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_cursor(cursor)
    , m_columns(columns)
{
    for (const Column& c : m_columns)
        m_columnNames << c.name;
    m_rowCount = rowsNow();
    connect(&m_cursor, &TableCursor::rowsChanged, this, &CursorTableModel::startAfresh);
}

void CursorTableModel::refresh()
{
    m_refreshQueued = false;
    if (m_cursor.reload()) {
        m_refreshFailed = false;
        return;
    }
    if (!m_refreshFailed)
        emit readFailed(m_cursor.lastError());
    m_refreshFailed = true;
}

void CursorTableModel::startAfresh()
{
    beginResetModel();
    m_pages.clear();
    m_recentPages.clear();
    m_failureReported = false;
    ++m_generation;
    m_rowCount = rowsNow();
    endResetModel();
}

int CursorTableModel::rowsNow()
{
    if (m_cursor.isCounted() || m_cursor.readFailed())
        return m_cursor.count();
    // The first page shows at once; a page that is not full holds every row there is. (No rows are known yet, so
    // a short page is not taken for rows removed since a count.)
    m_rowCount = 0;
    const QList<QStringList>* first = page(0);
    if (!first)
        return 0;
    if (first->size() == PageSize)
        countLater();
    return static_cast<int>(first->size());
}

void CursorTableModel::countLater()
{
    // Queued behind the grid's painting, which the reset has already asked for.
    QMetaObject::invokeMethod(
        this, [this, generation = m_generation] { takeCount(generation); }, Qt::QueuedConnection);
}

void CursorTableModel::takeCount(int generation)
{
    if (generation != m_generation)
        return;
    const int counted = m_cursor.count();
    if (!m_cursor.isCounted()) {
        if (!m_failureReported) {
            m_failureReported = true;
            emit readFailed(m_cursor.lastError());
        }
        return;
    }
    if (counted > m_rowCount) {
        beginInsertRows(QModelIndex(), m_rowCount, counted - 1);
        m_rowCount = counted;
        endInsertRows();
    } else if (counted < m_rowCount) {
        // Rows removed by another program since the first page was read.
        startAfresh();
    }
}

int CursorTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int CursorTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

const QList<QStringList>* CursorTableModel::page(int index) const
{
    if (auto it = m_pages.constFind(index); it != m_pages.cend()) {
        m_recentPages.removeOne(index);
        m_recentPages.append(index);
        return &it.value();
    }
    QList<QStringList> rows;
    if (!m_cursor.readRows(index * PageSize, PageSize, m_columnNames, rows)) {
        if (!m_failureReported) {
            m_failureReported = true;
            emit readFailed(m_cursor.lastError());
        }
        return nullptr;
    }
    // Fewer rows than were counted: some are gone since. The rows are read afresh once the grid is done painting.
    if (rows.size() < qMin(PageSize, m_rowCount - index * PageSize) && !m_refreshQueued) {
        m_refreshQueued = true;
        QMetaObject::invokeMethod(const_cast<CursorTableModel*>(this), &CursorTableModel::refresh, Qt::QueuedConnection);
    }
    if (m_recentPages.size() >= PagesKept)
        m_pages.remove(m_recentPages.takeFirst());
    m_recentPages.append(index);
    return &*m_pages.insert(index, std::move(rows));
}

QString CursorTableModel::text(int row, int column) const
{
    if (row < 0 || row >= m_rowCount || column < 0 || column >= m_columns.size())
        return QString();
    const QList<QStringList>* rows = page(row / PageSize);
    const int inPage = row % PageSize;
    // A row removed by another program since the rows were counted reads as empty until the rows are read afresh.
    if (!rows || inPage >= rows->size())
        return QString();
    return rows->at(inPage).at(column);
}

QVariant CursorTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QVariant();
    return text(index.row(), index.column());
}

QVariant CursorTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= m_columns.size())
        return QVariant();
    return m_columns.at(section).header;
}
