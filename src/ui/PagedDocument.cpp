#include "ui/PagedDocument.h"

#include <QMarginsF>
#include <QPageSize>
#include <QRectF>

PagedDocument::PagedDocument()
    : m_layout(defaultPageLayout())
{
}

PagedDocument::~PagedDocument() = default;

void PagedDocument::setPageLayout(const QPageLayout& layout)
{
    if (!layout.isValid())
        return;
    m_layout = layout;
    pageLayoutChanged();
}

QSizeF PagedDocument::printableTwips() const
{
    const QRectF inches = m_layout.paintRect(QPageLayout::Inch);
    return inches.size() * 1440.0;
}

QPageLayout PagedDocument::defaultPageLayout()
{
    return QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}
