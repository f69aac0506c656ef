#pragma once

#include "data/Invitations.h"

#include <QDateTime>
#include <QHash>
#include <QIdentityProxyModel>

#include <functional>

class Database;

// The examinees' grid with one more column, "وضعيت پاسخگويي": where each examinee's latest invitation stands
// ("دعوت شده تا ...", "در حال پاسخ ۱۲ از ۳۵", "پاسخ کامل", "منقضي", "لغو شده"; empty for one never invited). The
// examinees' code is the grid's first column. The states are read in one query for every invited code at once, so
// a refresh costs the same whichever rows are in view.
class InvitationProgressModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    InvitationProgressModel(Database& db, QObject* parent = nullptr);

    static inline const QString Header = QStringLiteral("وضعيت پاسخگويي");

    // The present, for telling an expired link; the computer's clock unless a test moves it.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // Reads the states again; false (keeping what was shown) when they could not be read, see error().
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
    QHash<QString, Invitations::Progress> m_progress;
    QString m_error;
};
