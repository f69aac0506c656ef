#pragma once

#include "scoring/reports/PageContent.h"
#include "scoring/reports/TextPainter.h"
#include "ui/PagedDocument.h"

#include <QList>
#include <QString>
#include <QTransform>

#include <array>

// One examinee's line of the list report: the details and the four stored raw scores, as stored.
struct ListReportRow {
    QString code;
    QString group;
    QString age;
    QString sex;
    QString maritalStatus;
    QString education;
    std::array<QString, 4> scores; // Rezayat, Ertebat, HaleT, TahrifeA
};

// The captions of the list report that are set at run time. They belong to the report, not to one printout: a
// caption keeps what it was last set to until it is set again, whoever prints next.
struct ListReportCaptions {
    QString clinicName; // Label9, at the head of the report
    QString address; // Label14, at its foot
};

// The list report `DataRPrint`: a table with one line per examinee. The report header (clinic name and title) opens
// the first page, the column headings head every page, the lines are numbered 1, 2, 3 ... in "رديف" whatever the
// codes, and the report footer (address and the programmer line) closes the last page. When the footer does not fit
// under the last line, the last line goes over with it. Pages are laid out only when
// asked for, by arithmetic on the fixed line height, so the report holds its rows and nothing per page.
class ListReport : public PagedDocument {
public:
    struct Column {
        QString heading;
        QString headingLabel; // Label5, Label2, ...
        QString field; // Text1, txtCode, ...
        int left; // ruling span, twips
        int right;
    };

    // What one page carries. A page holds its column headings only over lines of its own, apart from the first page
    // of a list with no lines at all.
    struct PagePlan {
        bool reportHeader = false;
        bool headings = false;
        int firstRow = 0;
        int rowCount = 0;
        bool reportFooter = false;
    };

    ListReport(QList<ListReportRow> rows, const ListReportCaptions& captions, const QString& programmerLine);
    // A report of `rowCount` lines that holds none of them: each page is painted from its own lines, handed in as
    // they are read (paintPage(painter, index, lines)), so a list of any length is written holding one page of it.
    ListReport(int rowCount, const ListReportCaptions& captions, const QString& programmerLine);

    // The columns from right to left, as designed; a page may widen the code and group columns (see spans()).
    static const std::array<Column, 11>& columns();
    static QString reportTitle();

    QString title() const override;
    int pageCount() const override;
    void paintPage(QPainter& painter, int index) const override;

    // Page `index` from `lines`, the plan's rowCount lines from its firstRow on.
    void paintPage(QPainter& painter, int index, const ListReportRow* lines) const;

    int rowCount() const { return m_rowCount; }
    const ListReportCaptions& captions() const { return m_captions; }
    PagePlan plan(int index) const;
    // Page `index` laid out in twips from the top-left of the report's own width (see designWidth()).
    Report::PageContent pageContent(int index) const;
    Report::PageContent pageContent(int index, const ListReportRow* lines) const;

    // The report is drawn this wide and centred on the paper, smaller when the paper is narrower.
    static int designWidth();
    // Where the report lands on the paper: from the report's twips to twips of the printable area.
    QTransform designToPrintable() const;

protected:
    void pageLayoutChanged() override;

private:
    struct Span {
        int left = 0;
        int right = 0;
    };
    // The ruling spans of the columns on a page.
    std::array<Span, 11> spans(const PagePlan& p, const ListReportRow* lines) const;
    static std::array<Span, 11> designedSpans();
    void paginate();
    double scale() const;
    QString cellText(const ListReportRow& row, int rowIndex, int column) const;

    QList<ListReportRow> m_rows;
    int m_rowCount = 0;
    ListReportCaptions m_captions;
    QString m_programmerLine;
    Report::TextPainter m_painter;

    int m_firstPageRows = 1;
    int m_otherPageRows = 1;
    int m_rowPages = 1;
    bool m_footerOwnPage = false;
    // Lines moved from the last full page to the footer's page, so that it is no page of headings over nothing.
    int m_carried = 0;
};
