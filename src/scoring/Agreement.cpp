#include "scoring/Agreement.h"

namespace {

bool favourable(int keyed)
{
    return keyed == 4 || keyed == 5;
}

bool unfavourable(int keyed)
{
    return keyed == 1 || keyed == 2;
}

} // namespace

Agreement agreementFor(int firstKeyed, int secondKeyed)
{
    if (favourable(firstKeyed) && favourable(secondKeyed))
        return Agreement::Positive;
    if (unfavourable(firstKeyed) && unfavourable(secondKeyed))
        return Agreement::Negative;
    if ((favourable(firstKeyed) && unfavourable(secondKeyed)) || (unfavourable(firstKeyed) && favourable(secondKeyed)))
        return Agreement::Disagreement;
    return Agreement::Undecided;
}

QString agreementCaption(Agreement agreement)
{
    switch (agreement) {
    case Agreement::Positive:
        return QStringLiteral("توافق مثبت");
    case Agreement::Negative:
        return QStringLiteral("توافق منفي - براي گفتگو");
    case Agreement::Disagreement:
        // Counted among the statements to talk about, as a negative agreement is, and marked so.
        return QStringLiteral("عدم توافق - براي گفتگو");
    case Agreement::Undecided:
        break;
    }
    return QStringLiteral("ترديد");
}
