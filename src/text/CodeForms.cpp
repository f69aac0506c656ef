#include "text/CodeForms.h"

#include "text/Digits.h"

namespace ExamineeCode {

namespace {

// Zero-width and direction marks, embeddings, overrides, isolates, byte-order marks and soft hyphens are format
// characters (Cf); tabs, line breaks and the like are control characters (Cc). None of them shows on screen.
bool isInvisible(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Format || category == QChar::Other_Control;
}


} // namespace

QString normalised(const QString& typed)
{
    const QString composed = typed.normalized(QString::NormalizationForm_C);
    QString kept;
    kept.reserve(composed.size());
    for (qsizetype i = 0; i < composed.size(); ++i) {
        const QChar c = composed.at(i);
        if (c.isHighSurrogate() && i + 1 < composed.size() && composed.at(i + 1).isLowSurrogate()) {
            const char32_t pair = QChar::surrogateToUcs4(c, composed.at(i + 1));
            if (!isInvisible(pair)) {
                kept += c;
                kept += composed.at(i + 1);
            }
            ++i;
            continue;
        }
        if (!isInvisible(c.unicode()))
            kept += c;
    }
    return Digits::toAscii(kept).trimmed();
}

QStringList lookupForms(const QString& typed)
{
    const QString code = normalised(typed);
    if (code.isEmpty())
        return {};
    const QString asTyped = typed.trimmed();
    if (asTyped == code)
        return { code };
    return { asTyped, code };
}

} // namespace ExamineeCode
