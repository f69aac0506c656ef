#pragma once

#include <QIdentityProxyModel>

// The trail's lines as the activity window shows them, over the grid's rows (When, Who, What, Code, Detail): the time
// as a Solar Hijri date and a clock in the program's digits, the action in Persian words. Only what is drawn changes;
// the rows stay the trail's own.
class AuditLinesModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    enum Column { When, Who, What, Code, Detail };

    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // A stored When as shown: "1403/09/20 14:05:09" (in the digits the operator chose); "" when it is no time.
    static QString shownWhen(const QString& stored);
    // The same with ASCII digits, as a file keeps it.
    static QString writtenWhen(const QString& stored);
};
