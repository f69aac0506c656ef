#include "examinees/InvitationProgressModel.h"

#include "calendar/SolarHijri.h"
#include "data/QuestionnaireItems.h"
#include "text/ShownNumbers.h"

InvitationProgressModel::InvitationProgressModel(Database& db, QObject* parent)
    : QIdentityProxyModel(parent)
    , m_db(db)
    , m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
}

QString InvitationProgressModel::stateText(const Invitations::Progress& progress)
{
    using Invitations::State;
    if (progress.state == State::Revoked)
        return QStringLiteral("لغو شده");
    if (progress.state == State::Finished)
        return QStringLiteral("پاسخ کامل");
    if (progress.expired)
        return QStringLiteral("منقضي");
    if (progress.state == State::Answering)
        return QStringLiteral("در حال پاسخ %1 از %2")
            .arg(ShownNumbers::number(progress.answered), ShownNumbers::number(QuestionnaireItemCount));
    return QStringLiteral("دعوت شده تا %1")
        .arg(ShownNumbers::text(SolarHijriDate(progress.expires.toLocalTime().date())));
}

bool InvitationProgressModel::refresh()
{
    const Invitations::ProgressRead read = Invitations::progress(m_db, m_clock());
    if (!read.read) {
        m_error = read.error;
        return false;
    }
    m_error.clear();
    if (read.byCode.size() == m_progress.size() && [&] {
            for (auto it = read.byCode.cbegin(); it != read.byCode.cend(); ++it) {
                const auto was = m_progress.constFind(it.key());
                if (was == m_progress.cend() || was->state != it->state || was->answered != it->answered
                    || was->expired != it->expired || was->expires != it->expires)
                    return false;
            }
            return true;
        }())
        return true; // nothing changed: the grid is not repainted
    m_progress = read.byCode;
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, progressColumn()), index(rows - 1, progressColumn()), { Qt::DisplayRole });
    return true;
}

int InvitationProgressModel::progressColumn() const
{
    return sourceModel() ? sourceModel()->columnCount() : 0;
}

int InvitationProgressModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount() + 1;
}

QModelIndex InvitationProgressModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!parent.isValid() && column == progressColumn() && row >= 0 && row < rowCount())
        return createIndex(row, column);
    return QIdentityProxyModel::index(row, column, parent);
}

QModelIndex InvitationProgressModel::parent(const QModelIndex&) const
{
    return QModelIndex(); // a flat table
}

QModelIndex InvitationProgressModel::sibling(int row, int column, const QModelIndex&) const
{
    return index(row, column);
}

QModelIndex InvitationProgressModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (proxyIndex.isValid() && proxyIndex.column() == progressColumn())
        return QModelIndex();
    return QIdentityProxyModel::mapToSource(proxyIndex);
}

QVariant InvitationProgressModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != progressColumn())
        return QIdentityProxyModel::data(index, role);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    const QString code = sourceModel()->index(index.row(), 0).data().toString().trimmed();
    const auto found = m_progress.constFind(code);
    return found == m_progress.cend() ? QString() : stateText(*found);
}

QVariant InvitationProgressModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == progressColumn())
        return role == Qt::DisplayRole ? QVariant(Header) : QVariant();
    return QIdentityProxyModel::headerData(section, orientation, role);
}

Qt::ItemFlags InvitationProgressModel::flags(const QModelIndex& index) const
{
    if (index.isValid() && index.column() == progressColumn())
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return QIdentityProxyModel::flags(index);
}
