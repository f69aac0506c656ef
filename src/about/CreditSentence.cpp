#include "about/CreditSentence.h"

#include <QStringList>

namespace {

// Blanks after each character of the spread-out sentence.
constexpr int kBlankRun = 3;

} // namespace

QString CreditSentence::spreadOut(const QString& programmer)
{
    const QStringList nameParts = programmer.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString joined;
    if (nameParts.isEmpty()) {
        joined = QStringLiteral("Tovrin35.");
    } else {
        joined
            = QStringLiteral("This.Program.Is.Created.By.") + nameParts.join(QStringLiteral("..")) + QLatin1Char('.');
    }
    const QString blanks(kBlankRun, QLatin1Char(' '));
    QString spread;
    spread.reserve(joined.size() * (kBlankRun + 1));
    for (qsizetype i = 0; i < joined.size(); ++i) {
        if (i > 0)
            spread += blanks;
        spread += joined.at(i);
    }
    return spread;
}

CreditSentence::CreditSentence(const QString& text)
    : m_text(text)
    , m_search(QStringLiteral(" "))
    , m_replacement(QStringLiteral(""))
{
}

bool CreditSentence::tick()
{
    if (m_search.isEmpty() || m_replacement == m_search)
        return false;
    const qsizetype at = m_text.indexOf(m_search);
    if (at >= 0) {
        m_text.replace(at, m_search.size(), m_replacement);
        return true;
    }
    m_search = QStringLiteral(".");
    m_replacement = QStringLiteral(" ");
    return false;
}

bool CreditSentence::settled() const
{
    return m_search == QLatin1String(".") && !m_text.contains(m_search);
}
