#pragma once

#include "data/Database.h"
#include "data/TableCursor.h"
#include "data/TableTransfer.h"
#include "scoring/reports/ListReport.h"
#include "scoring/reports/ListReportRows.h"

#include <QPageLayout>
#include <QString>

// The list report written straight to a PDF: each page laid out and painted as soon as its lines are read, so the
// memory it takes is one page's, whatever the length of the list. The pages are those the preview shows for the same
// rows. Long work: it reports how many lines it has painted and stops when told to, leaving no file.
namespace ListReportPdf {

struct Result {
    bool ok = false;
    bool cancelled = false;
    int rows = 0;
    QString error; // the platform's description when neither ok nor cancelled
};

struct Report {
    ListOrder order = ListOrder::TableOrder;
    ListReportCaptions captions;
    QString programmerLine;
    QPageLayout pageLayout = PagedDocument::defaultPageLayout();
};

// The rows `rows` lists, through its own connection.
Result write(TableCursor& rows, const Report& report, const QString& path, const TableTransfer::Watch& watch = {});

// The same rows on a connection of its own to `location`: for a worker thread.
Result write(const Database::Location& location, const TableCursor::Selection& rows, const Report& report,
    const QString& path, const TableTransfer::Watch& watch = {});

} // namespace ListReportPdf
