#include "scoring/ComparisonTexts.h"

#include "scoring/PairComparison.h"
#include "text/ShownNumbers.h"

namespace {

// A half-space (zero-width non-joiner): "پاسخ‌ها" stays one word, never broken across lines.
const QChar halfSpace(0x200C);

QString joined(const char16_t* text)
{
    return QString::fromUtf16(text).replace(QLatin1Char('|'), halfSpace);
}

QString codeOf(const QString& code)
{
    return QStringLiteral("کد ") + code;
}

} // namespace

namespace ComparisonTexts {

QString beforeCaption()
{
    return QStringLiteral("پيش از مشاوره");
}

QString afterCaption()
{
    return QStringLiteral("پس از مشاوره");
}

QString examineeHeading(const PairComparison& comparison, bool second)
{
    const QString& code = second ? comparison.second.code : comparison.first.code;
    if (comparison.kind == ComparisonKind::Couple)
        return code;
    return (second ? afterCaption() : beforeCaption()) + QLatin1Char('\n') + code;
}

QString levelChange(const QString& from, const QString& to)
{
    if (from.isEmpty() || to.isEmpty())
        return QString();
    if (from == to)
        return from;
    return from + QStringLiteral(" ← ") + to;
}

QString signNote(const PairComparison& comparison)
{
    if (comparison.kind == ComparisonKind::Couple)
        return joined(u"تفاوت|ها: نمره آزمودني دوم (%2) منهاي نمره آزمودني اول (%1).")
            .arg(codeOf(comparison.first.code), codeOf(comparison.second.code));
    return joined(u"تفاوت|ها: پس از مشاوره منهاي پيش از مشاوره. در رضايت زناشويي، ارتباطات و حل تعارض، + يعني "
                  u"حرکت به سوي سلامت بيشتر؛ در تحريف آرماني، + يعني پاسخ|ها آرماني|تر شده|اند و بهبود به شمار "
                  u"نمي|آيد.");
}

QString idealisedCaution(const PairComparison& comparison)
{
    if (!comparison.idealisedFirst && !comparison.idealisedSecond)
        return QString();
    const QString rest = joined(u"ممکن است پاسخ|هاي %1 تصويري آرماني|تر از واقعيت بدهد. بهتر است نتايج با احتياط و "
                                u"در گفتگو با آنان بررسي شود.");
    if (comparison.idealisedFirst && comparison.idealisedSecond)
        return QStringLiteral("نمره تحريف آرماني هر دو همسر (%1 و %2) بالاست؛ ")
                   .arg(codeOf(comparison.first.code), codeOf(comparison.second.code))
            + rest.arg(QStringLiteral("آنان"));
    const bool first = comparison.idealisedFirst;
    return QStringLiteral("نمره تحريف آرماني %1 (%2) بالاست؛ ")
               .arg(first ? QStringLiteral("همسر اول") : QStringLiteral("همسر دوم"),
                   codeOf(first ? comparison.first.code : comparison.second.code))
        + rest.arg(QStringLiteral("او"));
}

QString idealisedOnlyStatus()
{
    return QStringLiteral("فقط در نمره تحريف آرماني");
}

QString idealisedItemsHeading()
{
    return joined(u"سوالات تحريف آرماني، جدا از مقياس|هاي محتوايي (+ يعني پاسخ آرماني|تر، نه بهبود)");
}

QString legendCaption(const PairComparison& comparison, bool second)
{
    const QString& code = second ? comparison.second.code : comparison.first.code;
    QString who;
    if (comparison.kind == ComparisonKind::Couple)
        who = second ? QStringLiteral("آزمودني دوم") : QStringLiteral("آزمودني اول");
    else
        who = second ? afterCaption() : beforeCaption();
    return who + QStringLiteral(": ") + code;
}

QString pageHeader(const PairComparison& comparison, const QString& date)
{
    const QString kind = comparison.kind == ComparisonKind::Couple ? QStringLiteral("زوج (همسران)")
                                                                   : QStringLiteral("پيش و پس از مشاوره");
    return QStringLiteral("%1 و %2 - %3 - تاريخ: %4")
        .arg(codeOf(comparison.first.code), codeOf(comparison.second.code), kind, ShownNumbers::text(date));
}

QString pageNumber(int page, int pages)
{
    return QStringLiteral("صفحه %1 از %2").arg(ShownNumbers::number(page), ShownNumbers::number(pages));
}

} // namespace ComparisonTexts
