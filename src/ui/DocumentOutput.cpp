#include "ui/DocumentOutput.h"

#include "text/OwnerOnly.h"
#include "ui/MakerDetails.h"
#include "ui/PagedDocument.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace DocumentOutput {

void paintPage(QPainter& painter, const PagedDocument& document, int index)
{
    const QPaintDevice* device = painter.device();
    if (!device)
        return;
    painter.save();
    painter.scale(device->logicalDpiX() / 1440.0, device->logicalDpiY() / 1440.0);
    document.paintPage(painter, index);
    painter.restore();
}

bool writePdf(const PagedDocument& document, const QString& path, QString& error)
{
    QSaveFile file(path);
    // A report carries a client's answers: the file is the operator's alone.
    if (!OwnerOnly::open(file)) {
        error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(document.pageLayout());
        writer.setTitle(document.title());
        writer.setCreator(Maker::programNameAndVersion());
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = file.errorString();
            file.cancelWriting();
            return false;
        }
        painter.setRenderHint(QPainter::Antialiasing);
        bool complete = true;
        for (int page = 0; page < document.pageCount() && complete; ++page) {
            complete = page == 0 || writer.newPage();
            if (complete)
                paintPage(painter, document, page);
        }
        complete = painter.end() && complete;
        if (!complete || file.error() != QFileDevice::NoError) {
            error = file.errorString();
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool print(const PagedDocument& document, QPrinter& printer)
{
    const int last = document.pageCount() - 1;
    int from = 0;
    int to = last;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage() - 1;
        to = printer.toPage() > 0 ? std::min(printer.toPage() - 1, last) : last;
    }
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    bool first = true;
    for (int copy = 0; copy < copies; ++copy) {
        for (int page = from; page <= to; ++page) {
            if (!first && !printer.newPage()) {
                painter.end();
                return false;
            }
            first = false;
            paintPage(painter, document, page);
        }
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace DocumentOutput
