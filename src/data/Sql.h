#pragma once

#include <QString>

// Names in SQL text. Every table and column name is written through quoted(), so names read the same on both engines
// (the server would fold unquoted names to lower case) and a name can never end the quotes it stands in.
namespace Sql {

inline QString quoted(const QString& name)
{
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

} // namespace Sql
