#include "scoring/reports/PageContent.h"

namespace Report {

const TextBox* PageContent::find(const QString& name) const
{
    for (const TextBox& box : texts)
        if (box.name == name)
            return &box;
    return nullptr;
}

QList<const TextBox*> PageContent::findAll(const QString& name) const
{
    QList<const TextBox*> found;
    for (const TextBox& box : texts)
        if (box.name == name)
            found << &box;
    return found;
}

} // namespace Report
