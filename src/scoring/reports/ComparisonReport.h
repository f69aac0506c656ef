#pragma once

#include "scoring/PairComparison.h"
#include "scoring/reports/PageContent.h"
#include "scoring/reports/TextPainter.h"
#include "ui/PagedDocument.h"

#include <QSizeF>
#include <QString>
#include <QTransform>

// The comparison report: on the first page the clinic, both examinees, the scale table with the differences and the
// paired-bar chart; on the second, for a couple the 35 statements with both answers and the agreement and the
// statements to talk about, before and after counselling the answers that moved. It keeps a copy of the comparison
// it was given, so what is printed is what the window showed when asked. Every page ends with both codes, the kind,
// the date and its number, so a loose sheet is still known.
class ComparisonReport : public PagedDocument {
public:
    // `date` is the day printed at the foot of every page (Solar Hijri, as stored); empty for today.
    ComparisonReport(const PairComparison& comparison, const QString& clinicName, const QString& clinicAddress,
        const QString& date = QString());

    static QString reportTitle();
    static QSizeF designSize();

    QString title() const override;
    int pageCount() const override;
    void paintPage(QPainter& painter, int index) const override;

    // Page `index` laid out in twips of the design size.
    Report::PageContent pageContent(int index) const;
    QTransform designToPrintable() const;

private:
    Report::PageContent firstPage() const;
    Report::PageContent coupleItemsPage() const;
    Report::PageContent changedItemsPage() const;
    void addFoot(Report::PageContent& page, int index) const;

    PairComparison m_comparison;
    QString m_clinicName;
    QString m_clinicAddress;
    QString m_date;
    Report::TextPainter m_painter;
};
