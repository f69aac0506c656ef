#pragma once

#include "data/Invitations.h"

#include <QDateTime>
#include <QHash>
#include <QIdentityProxyModel>
#include <QSet>
#include <QStringList>

#include <optional>

#include <functional>

class Database;

// The examinees' grid with one more column, "وضعيت پاسخگويي": where each examinee's latest invitation stands
// ("دعوت شده تا ...", "در حال پاسخ ۱۲ از ۳۵", "پاسخ کامل", "منقضي", "لغو شده"; empty for one never invited). The
// examinees' code is the grid's first column. Only the rows the grid draws are read, in one query: a refresh costs
// the same for ten invitations or ten thousand. A row drawn for the first time is read right after it is drawn.
class InvitationProgressModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    InvitationProgressModel(Database& db, QObject* parent = nullptr);

    static inline const QString Header = QStringLiteral("وضعيت پاسخگويي");

    // The present, for telling an expired link; the computer's clock unless a test moves it.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // Reads again the states of the rows drawn since the last refresh (of those drawn before it when none was drawn
    // since); false (keeping what was shown) when they could not be read, see error().
    bool refresh();
    QString error() const { return m_error; }

    // The column's text for an examinee's progress.
    static QString stateText(const Invitations::Progress& progress);

    int progressColumn() const;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& idx) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    Database& m_db;
    std::function<QDateTime()> m_clock;
    // What is known of each code read so far; an entry with no value: never invited.
    QHash<QString, std::optional<Invitations::Progress>> m_progress;
    mutable QSet<QString> m_drawn; // codes drawn since the last refresh
    QStringList m_current; // codes the last refresh read
    mutable bool m_refreshDue = false;
    QString m_error;
};
