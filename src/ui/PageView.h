#pragma once

#include <QAbstractScrollArea>

#include <memory>

class PagedDocument;

// The pages of a document one below the other on a grey desk, at a zoom factor (1 = the paper's real size on this
// screen). Only the pages in view are painted, so a document of thousands of pages scrolls as lightly as one page.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr double MinZoom = 0.25;
    static constexpr double MaxZoom = 4.0;

    explicit PageView(std::shared_ptr<const PagedDocument> document, QWidget* parent = nullptr);

    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    // The zoom at which a page fills the view's width.
    double fitWidthZoom() const;

    // The page at the middle of the view (0 = first).
    int currentPage() const;
    void showPage(int index);

    // Call after the document's page layout or page count changed.
    void documentChanged();

signals:
    void currentPageChanged(int index);
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QSizeF pageSizePixels() const;
    int pageStride() const;
    int contentWidth() const;
    void updateScrollBars();
    void emitCurrentPage();

    std::shared_ptr<const PagedDocument> m_document;
    double m_zoom = 1.0;
    int m_lastCurrentPage = -1;
};
