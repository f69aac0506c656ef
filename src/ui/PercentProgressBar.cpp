#include "ui/PercentProgressBar.h"

#include "text/ShownNumbers.h"

QString PercentProgressBar::text() const
{
    const qint64 span = qint64(maximum()) - minimum();
    if (span <= 0 || value() < minimum())
        return QString();
    return ShownNumbers::percent((qint64(value()) - minimum()) * 100 / span);
}
