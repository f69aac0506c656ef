#include "ui/DocumentOutput.h"

#include "text/OwnerOnly.h"
#include "ui/MakerDetails.h"
#include "ui/PagedDocument.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <optional>

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

struct PdfFile::Private {
    explicit Private(const QString& path)
        : file(path)
    {
    }
    QSaveFile file;
    std::optional<QPdfWriter> writer;
    QPainter painter;
    bool open = false;
    bool failed = false;
    bool pageBegun = false; // the painter's state saved before the page's scale
    int pages = 0;
    QString error;
};

PdfFile::PdfFile(const PagedDocument& document, const QString& path)
    : d(std::make_unique<Private>(path))
{
    // A report carries a client's answers: the file is the operator's alone.
    if (!OwnerOnly::open(d->file)) {
        d->error = d->file.errorString();
        return;
    }
    d->writer.emplace(&d->file);
    d->writer->setPageLayout(document.pageLayout());
    d->writer->setTitle(document.title());
    d->writer->setCreator(Maker::programNameAndVersion());
    if (!d->painter.begin(&*d->writer)) {
        d->error = d->file.errorString();
        d->file.cancelWriting();
        return;
    }
    d->painter.setRenderHint(QPainter::Antialiasing);
    d->open = true;
}

PdfFile::~PdfFile()
{
    if (d->painter.isActive())
        d->painter.end();
    // Not committed: the temporary file goes, the chosen one stays as it was.
    d->file.cancelWriting();
}

bool PdfFile::isOpen() const
{
    return d->open;
}

QPainter* PdfFile::nextPage()
{
    if (!d->open || d->failed)
        return nullptr;
    QPainter& painter = d->painter;
    if (d->pageBegun)
        painter.restore();
    d->pageBegun = false;
    if (d->pages > 0 && !d->writer->newPage()) {
        d->failed = true;
        return nullptr;
    }
    ++d->pages;
    painter.save();
    d->pageBegun = true;
    const QPaintDevice* device = painter.device();
    painter.scale(device->logicalDpiX() / 1440.0, device->logicalDpiY() / 1440.0);
    return &painter;
}

bool PdfFile::commit()
{
    if (!d->open)
        return false;
    if (d->pageBegun)
        d->painter.restore();
    d->pageBegun = false;
    const bool ended = d->painter.end() && !d->failed;
    if (!ended || d->file.error() != QFileDevice::NoError) {
        d->error = d->file.errorString();
        d->file.cancelWriting();
        return false;
    }
    if (!d->file.commit()) {
        d->error = d->file.errorString();
        return false;
    }
    return true;
}

QString PdfFile::error() const
{
    return d->error;
}

bool writePdf(const PagedDocument& document, const QString& path, QString& error)
{
    return writePdf(document, path, error, {});
}

bool writePdf(const PagedDocument& document, const QString& path, QString& error,
    const std::function<bool(int done, int pages)>& going)
{
    error.clear();
    PdfFile pdf(document, path);
    if (!pdf.isOpen()) {
        error = pdf.error();
        return false;
    }
    const int pages = document.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (going && !going(page, pages))
            return false;
        QPainter* painter = pdf.nextPage();
        if (!painter)
            break;
        document.paintPage(*painter, page);
    }
    if (!pdf.commit()) {
        error = pdf.error();
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
