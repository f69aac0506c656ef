#pragma once

#include "scoring/reports/ListReport.h"
#include "scoring/reports/PageContent.h"

#include <QStringList>

// The codes a list report prints, top to bottom, page after page.
inline QStringList printedCodes(const ListReport& report)
{
    QStringList codes;
    for (int page = 0; page < report.pageCount(); ++page) {
        const Report::PageContent content = report.pageContent(page);
        for (const Report::TextBox* box : content.findAll(QStringLiteral("txtCode")))
            codes << box->text;
    }
    return codes;
}
