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
    m_refreshDue = false;
    if (!m_drawn.isEmpty()) {
        m_current = QStringList(m_drawn.cbegin(), m_drawn.cend());
        m_drawn.clear();
    }
    if (m_current.isEmpty())
        return true;
    const Invitations::ProgressRead read = Invitations::progress(m_db, m_clock(), m_current);
    if (!read.read) {
        m_error = read.error;
        return false;
    }
    m_error.clear();
    bool changed = false;
    for (const QString& code : std::as_const(m_current)) {
        const auto found = read.byCode.constFind(code);
        const std::optional<Invitations::Progress> now
            = found == read.byCode.cend() ? std::nullopt : std::optional(*found);
        const auto was = m_progress.constFind(code);
        if (was != m_progress.cend() && was->has_value() == now.has_value()
            && (!now || (now->state == (*was)->state && now->answered == (*was)->answered
                && now->expired == (*was)->expired && now->expires == (*was)->expires)))
            continue;
        m_progress.insert(code, now);
        changed = true;
    }
    // Nothing changed: nothing is drawn again.
    const int rows = rowCount();
    if (changed && rows > 0)
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
    m_drawn.insert(code);
    const auto found = m_progress.constFind(code);
    if (found == m_progress.cend()) {
        // First drawn: read as soon as the drawing is done, with every other row drawn with it.
        if (!m_refreshDue) {
            m_refreshDue = true;
            QMetaObject::invokeMethod(const_cast<InvitationProgressModel*>(this), &InvitationProgressModel::refresh,
                Qt::QueuedConnection);
        }
        return QString();
    }
    return found->has_value() ? stateText(**found) : QString();
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
