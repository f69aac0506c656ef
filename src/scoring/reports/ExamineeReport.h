#pragma once

#include "scoring/ShownResults.h"
#include "scoring/reports/PageContent.h"
#include "scoring/reports/TextPainter.h"
#include "ui/PagedDocument.h"

#include <QList>
#include <QSizeF>
#include <QString>
#include <QTransform>

// A label of a report and the text it was given.
struct ReportCaption {
    QString label;
    QString text;
};

// The examinee report `DataR1`: one page with one examinee's details and the four scale results with their
// interpretations, inside a drawn page frame (a border with rounded corners and a tab at the top and the bottom over
// a light pattern). It holds copies of the texts it was given: whatever the scoring window shows later, the report
// keeps what it showed when printed. Beside the education it names the examinee (first and family name) and the
// day of the test, so a clinic's file copy says whose it is and when.
class ExamineeReport : public PagedDocument {
public:
    ExamineeReport(const ShownResults& shown, const QString& webSiteLine, const QString& shopLine);

    static QString reportTitle();
    // The page as designed, before it is fitted to the paper.
    static QSizeF designSize();

    QString title() const override;
    int pageCount() const override { return 1; }
    void paintPage(QPainter& painter, int index) const override;

    // The captions taken from the scoring window, in the order they were copied.
    const QList<ReportCaption>& captions() const { return m_captions; }
    QString caption(const QString& label) const;

    // The page laid out in twips of the design size.
    Report::PageContent pageContent() const;
    // Where the design lands on the paper: from design twips to twips of the printable area.
    QTransform designToPrintable() const;

private:
    void paintFrame(QPainter& painter) const;

    QList<ReportCaption> m_captions;
    QString m_clinicName;
    QString m_name; // first and family name
    QString m_testDate;
    QString m_webSiteLine;
    QString m_shopLine;
    Report::TextPainter m_painter;
};
