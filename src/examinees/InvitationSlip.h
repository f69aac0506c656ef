#pragma once

#include "ui/PagedDocument.h"

#include <QDate>
#include <QList>

// The printed slip of an invitation: one page with the clinic's name, the QR code of the link, the link itself, the
// last day it opens (Solar Hijri) and three lines on what to do and that the answers are confidential. It carries
// neither the examinee's name nor the code: a slip left in a waiting room tells nobody whose it is. A couple's slip
// has two halves, one per spouse, marked only "همسر اول" and "همسر دوم", to be cut apart.
class InvitationSlip : public PagedDocument {
public:
    struct Half {
        QString link;
        QDate lastDay; // local date of the expiry
    };
    InvitationSlip(const QString& clinicName, const QList<Half>& halves);

    QString title() const override;
    int pageCount() const override { return 1; }
    void paintPage(QPainter& painter, int index) const override;

    // The three lines under the code.
    static QStringList guidance();

private:
    void paintHalf(QPainter& painter, const QRectF& area, const Half& half, const QString& mark) const;

    QString m_clinicName;
    QList<Half> m_halves;
};
