#include "examinees/ShareMarkModel.h"

ShareMarkModel::ShareMarkModel(Database& db, QObject* parent)
    : QIdentityProxyModel(parent)
    , m_db(db)
{
}

QString ShareMarkModel::markText(const QStringList& colleagues, const QString& me)
{
    if (colleagues.isEmpty())
        return QString();
    QStringList names;
    for (const QString& colleague : colleagues)
        names << (colleague == me ? QStringLiteral("من") : colleague);
    return QStringLiteral("با ") + names.join(QStringLiteral("، "));
}

bool ShareMarkModel::refresh()
{
    Sharing::Shares read = Sharing::visible(m_db);
    if (!read.read) {
        m_error = read.error;
        return false;
    }
    m_error.clear();
    const bool changed = read.colleaguesByCode != m_shares.colleaguesByCode || read.me != m_shares.me;
    m_shares = std::move(read);
    const int rows = rowCount();
    if (changed && rows > 0)
        emit dataChanged(index(0, markColumn()), index(rows - 1, markColumn()), { Qt::DisplayRole });
    return true;
}

int ShareMarkModel::markColumn() const
{
    return sourceModel() ? sourceModel()->columnCount() : 0;
}

int ShareMarkModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount() + 1;
}

QModelIndex ShareMarkModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!parent.isValid() && column == markColumn() && row >= 0 && row < rowCount())
        return createIndex(row, column);
    return QIdentityProxyModel::index(row, column, parent);
}

QModelIndex ShareMarkModel::parent(const QModelIndex&) const
{
    return QModelIndex(); // a flat table
}

QModelIndex ShareMarkModel::sibling(int row, int column, const QModelIndex&) const
{
    return index(row, column);
}

QModelIndex ShareMarkModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (proxyIndex.isValid() && proxyIndex.column() == markColumn())
        return QModelIndex();
    return QIdentityProxyModel::mapToSource(proxyIndex);
}

QVariant ShareMarkModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != markColumn())
        return QIdentityProxyModel::data(index, role);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    const QString code = sourceModel()->index(index.row(), 0).data().toString().trimmed();
    return markText(m_shares.colleaguesByCode.value(code), m_shares.me);
}

QVariant ShareMarkModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == markColumn())
        return role == Qt::DisplayRole ? QVariant(Header) : QVariant();
    return QIdentityProxyModel::headerData(section, orientation, role);
}

Qt::ItemFlags ShareMarkModel::flags(const QModelIndex& index) const
{
    if (index.isValid() && index.column() == markColumn())
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return QIdentityProxyModel::flags(index);
}
