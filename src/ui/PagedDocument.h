#pragma once

#include <QPageLayout>
#include <QSizeF>
#include <QString>

class QPainter;

// A document that the preview shows, prints and saves page by page. It is laid out for one page layout (paper,
// orientation, margins) and paints any one page on demand, so a long document costs no more to show than the page
// in view. Units are twips (1/1440 inch): a page is painted with one painter unit per twip and the origin at the
// top-left corner of the printable area.
class PagedDocument {
public:
    PagedDocument();
    virtual ~PagedDocument();
    PagedDocument(const PagedDocument&) = delete;
    PagedDocument& operator=(const PagedDocument&) = delete;

    // Names the document in the preview's title, the PDF's properties and the suggested file name.
    virtual QString title() const = 0;
    virtual int pageCount() const = 0;
    // Paints page `index` (0 = first); an index out of range paints nothing.
    virtual void paintPage(QPainter& painter, int index) const = 0;

    const QPageLayout& pageLayout() const { return m_layout; }
    // Lays the pages out again for another paper, orientation or margins; an invalid layout is ignored.
    void setPageLayout(const QPageLayout& layout);
    // The printable area (the page less its margins) in twips.
    QSizeF printableTwips() const;

    // A4 upright with 10 mm margins: the paper clinics in Iran print on.
    static QPageLayout defaultPageLayout();

protected:
    // Called after the page layout has changed; documents that paginate recompute their pages here.
    virtual void pageLayoutChanged() { }

private:
    QPageLayout m_layout;
};
