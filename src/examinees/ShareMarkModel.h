#pragma once

#include "data/Sharing.h"

#include <QIdentityProxyModel>

class Database;

// The examinees' grid with one more column, "اشتراک": with whom each examinee is shared ("با sara"; "با من" for
// one a colleague shared with the login; empty for one not shared), from the shares the login may see. The
// examinees' code is the grid's first column. The shares of a clinic are few: refresh() reads them all at once.
class ShareMarkModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    ShareMarkModel(Database& db, QObject* parent = nullptr);

    static inline const QString Header = QStringLiteral("اشتراک");

    // Reads the shares again; false (keeping what was shown) when they could not be read, see error().
    bool refresh();
    QString error() const { return m_error; }

    // The column's text for an examinee shared with `colleagues`, read by `me`.
    static QString markText(const QStringList& colleagues, const QString& me);

    int markColumn() const;
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
    Sharing::Shares m_shares;
    QString m_error;
};
