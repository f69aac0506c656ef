#include "scoring/reports/ListReportPdf.h"

#include "ui/DocumentOutput.h"

#include <QPainter>

#include <memory>

namespace ListReportPdf {

Result write(TableCursor& rows, const Report& report, const QString& path, const TableTransfer::Watch& watch)
{
    Result result;
    std::unique_ptr<ListReport> document;
    std::unique_ptr<DocumentOutput::PdfFile> pdf;
    // The lines of the page being filled, and where the pages stand.
    QList<ListReportRow> lines;
    int page = 0;
    int total = 0;
    bool failed = false;

    const auto paint = [&](int index) {
        const ListReport::PagePlan plan = document->plan(index);
        // Rows removed since they were counted leave their lines empty.
        while (lines.size() < plan.rowCount)
            lines.append(ListReportRow());
        QPainter* painter = pdf->nextPage();
        if (!painter)
            return false;
        document->paintPage(*painter, index, lines.constData());
        lines.clear();
        return true;
    };
    const auto counted = [&](int count) {
        total = count;
        document = std::make_unique<ListReport>(count, report.captions, report.programmerLine);
        document->setPageLayout(report.pageLayout);
        pdf = std::make_unique<DocumentOutput::PdfFile>(*document, path);
        failed = !pdf->isOpen();
        // The first page of a long list and the pages before a line's page hold none (a list with no lines).
        while (!failed && page < document->pageCount() && document->plan(page).rowCount == 0
            && page < document->pageCount() - 1)
            failed = !paint(page++);
    };
    const auto take = [&](const ListReportRow& line) {
        if (failed || watch.cancelled() || page >= document->pageCount())
            return false;
        lines.append(line);
        ++result.rows;
        if (lines.size() < document->plan(page).rowCount)
            return true;
        if (!paint(page++))
            return failed = true, false;
        if (watch.progress)
            watch.progress(result.rows, total);
        // Pages that hold no lines of their own (the footer's alone) wait for the end.
        return page < document->pageCount() && document->plan(page).rowCount > 0;
    };

    QString readError;
    const bool read = forEachListRow(rows, report.order, counted, take, readError);
    if (watch.cancelled()) {
        result.cancelled = true;
        return result;
    }
    if (!read) {
        result.error = readError;
        return result;
    }
    while (!failed && document && page < document->pageCount())
        failed = !paint(page++);
    if (failed || !pdf || !pdf->commit()) {
        result.error = pdf ? pdf->error() : QString();
        return result;
    }
    if (watch.progress)
        watch.progress(total, total);
    result.ok = true;
    return result;
}

Result write(const Database::Location& location, const TableCursor::Selection& rows, const Report& report,
    const QString& path, const TableTransfer::Watch& watch)
{
    const std::unique_ptr<Database> db = Database::at(location);
    const Database::OpenResult opened = db->openToRead();
    if (!opened.ok()) {
        Result result;
        result.error = opened.error;
        return result;
    }
    TableCursor cursor(*db, rows);
    return write(cursor, report, path, watch);
}

} // namespace ListReportPdf
