#include "ui/PageView.h"

#include "ui/PagedDocument.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int gap = 16; // pixels of desk around and between the pages

} // namespace

PageView::PageView(std::shared_ptr<const PagedDocument> document, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_document(std::move(document))
{
    // Pages lie on the desk as on paper, whatever the program's reading direction.
    setLayoutDirection(Qt::LeftToRight);
    viewport()->setAutoFillBackground(true);
    QPalette desk = viewport()->palette();
    desk.setColor(QPalette::Window, QColor(128, 128, 128));
    desk.setColor(QPalette::Base, QColor(128, 128, 128));
    viewport()->setPalette(desk);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
    updateScrollBars();
}

QSizeF PageView::pageSizePixels() const
{
    const QSizeF inches = m_document->pageLayout().fullRect(QPageLayout::Inch).size();
    return QSizeF(inches.width() * logicalDpiX() * m_zoom, inches.height() * logicalDpiY() * m_zoom);
}

int PageView::pageStride() const
{
    return static_cast<int>(std::ceil(pageSizePixels().height())) + gap;
}

int PageView::contentWidth() const
{
    return static_cast<int>(std::ceil(pageSizePixels().width())) + 2 * gap;
}

double PageView::fitWidthZoom() const
{
    const double inches = m_document->pageLayout().fullRect(QPageLayout::Inch).width();
    const int room = viewport()->width() - 2 * gap;
    if (inches <= 0 || room <= 0)
        return m_zoom;
    return std::clamp(room / (inches * logicalDpiX()), MinZoom, MaxZoom);
}

void PageView::setZoom(double zoom)
{
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    if (qFuzzyCompare(zoom, m_zoom))
        return;
    const int page = currentPage();
    m_zoom = zoom;
    updateScrollBars();
    showPage(page);
    // A page wider than the view shows its right edge first, where a Persian page begins.
    horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
    viewport()->update();
    emit zoomChanged(m_zoom);
}

void PageView::documentChanged()
{
    const int page = std::min(currentPage(), std::max(0, m_document->pageCount() - 1));
    updateScrollBars();
    showPage(page);
    viewport()->update();
    m_lastCurrentPage = -1;
    emitCurrentPage();
}

int PageView::currentPage() const
{
    const int count = m_document->pageCount();
    if (count <= 0)
        return 0;
    const int middle = verticalScrollBar()->value() + viewport()->height() / 2 - gap;
    return std::clamp(middle / std::max(1, pageStride()), 0, count - 1);
}

void PageView::showPage(int index)
{
    index = std::clamp(index, 0, std::max(0, m_document->pageCount() - 1));
    verticalScrollBar()->setValue(index * pageStride());
    emitCurrentPage();
}

void PageView::updateScrollBars()
{
    const qint64 height = qint64(m_document->pageCount()) * pageStride() + gap;
    const int maxHeight = static_cast<int>(std::min<qint64>(height, INT_MAX / 2));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, maxHeight - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, contentWidth() - viewport()->width()));
}

void PageView::emitCurrentPage()
{
    const int page = currentPage();
    if (page != m_lastCurrentPage) {
        m_lastCurrentPage = page;
        emit currentPageChanged(page);
    }
}

void PageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PageView::scrollContentsBy(int, int)
{
    viewport()->update();
    emitCurrentPage();
}

void PageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    const QSizeF paper = pageSizePixels();
    const int stride = pageStride();
    const int top = verticalScrollBar()->value();
    const double left
        = std::max<double>(gap, (viewport()->width() - paper.width()) / 2.0) - horizontalScrollBar()->value();
    const int first = std::max(0, (top + event->rect().top() - gap) / std::max(1, stride));
    const int last = std::min(m_document->pageCount() - 1, (top + event->rect().bottom()) / std::max(1, stride));

    const QRectF margins = m_document->pageLayout().paintRect(QPageLayout::Inch);
    const double pixelsPerTwipX = logicalDpiX() * m_zoom / 1440.0;
    const double pixelsPerTwipY = logicalDpiY() * m_zoom / 1440.0;
    for (int page = first; page <= last; ++page) {
        const QRectF sheet(left, gap + double(page) * stride - top, paper.width(), paper.height());
        painter.fillRect(sheet.translated(3, 3), QColor(70, 70, 70));
        painter.fillRect(sheet, Qt::white);
        painter.save();
        painter.setClipRect(sheet);
        painter.translate(sheet.left() + margins.left() * logicalDpiX() * m_zoom,
            sheet.top() + margins.top() * logicalDpiY() * m_zoom);
        painter.scale(pixelsPerTwipX, pixelsPerTwipY);
        m_document->paintPage(painter, page);
        painter.restore();
    }
}
