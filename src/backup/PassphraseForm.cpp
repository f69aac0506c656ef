// The passphrase of a version-1 encrypted backup as the key is derived from it. Every backup ever written in version 1
// opens only if these rules give the same bytes for the same typing for as long as such backups exist, so they are
// written out here once and for all instead of borrowed from the rules for examinee codes, which may change: the
// invisible characters are the format and control characters of Unicode as the program knew them when the format
// was made, the blanks those Qt trimmed then. Only the canonical composition is Unicode's own, which Unicode
// promises never to change for characters already assigned.
#include "backup/BackupCipher.h"

#include <array>
#include <utility>

namespace BackupCipher {

namespace {

// Zero-width and direction marks, embeddings, overrides, isolates, byte-order marks, soft hyphens, Arabic number
// signs, tabs and line breaks: nothing that shows on screen.
constexpr std::array<std::pair<char32_t, char32_t>, 23> invisible { {
    { 0x0000, 0x001F },
    { 0x007F, 0x009F },
    { 0x00AD, 0x00AD },
    { 0x0600, 0x0605 },
    { 0x061C, 0x061C },
    { 0x06DD, 0x06DD },
    { 0x070F, 0x070F },
    { 0x0890, 0x0891 },
    { 0x08E2, 0x08E2 },
    { 0x180E, 0x180E },
    { 0x200B, 0x200F },
    { 0x202A, 0x202E },
    { 0x2060, 0x2064 },
    { 0x2066, 0x206F },
    { 0xFEFF, 0xFEFF },
    { 0xFFF9, 0xFFFB },
    { 0x110BD, 0x110BD },
    { 0x110CD, 0x110CD },
    { 0x13430, 0x13438 },
    { 0x1BCA0, 0x1BCA3 },
    { 0x1D173, 0x1D17A },
    { 0xE0001, 0xE0001 },
    { 0xE0020, 0xE007F },
} };

// The blanks left out at either end (the controls among them are gone already).
constexpr std::array<char16_t, 19> blanks { 0x0020, 0x00A0, 0x1680, 0x2000, 0x2001, 0x2002, 0x2003, 0x2004, 0x2005,
    0x2006, 0x2007, 0x2008, 0x2009, 0x200A, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000 };

bool isInvisible(char32_t c)
{
    for (const auto& [first, last] : invisible)
        if (c >= first && c <= last)
            return true;
    return false;
}

bool isBlank(char16_t c)
{
    for (const char16_t blank : blanks)
        if (c == blank)
            return true;
    return false;
}

// Persian and Arabic-Indic digits as ASCII ones; Arabic yeh, alef maksura (which some keyboards give for yeh) and
// kaf as Persian yeh and keheh.
char32_t keyboardFree(char32_t c)
{
    if (c >= 0x06F0 && c <= 0x06F9)
        return U'0' + (c - 0x06F0);
    if (c >= 0x0660 && c <= 0x0669)
        return U'0' + (c - 0x0660);
    switch (c) {
    case 0x064A:
    case 0x0649:
        return 0x06CC;
    case 0x0643:
        return 0x06A9;
    default:
        return c;
    }
}

} // namespace

QByteArray passphraseForm(const QString& typed)
{
    QString composed = typed.normalized(QString::NormalizationForm_C);
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
        // A lone surrogate stays as it is, as it always has.
        if (!isInvisible(c.unicode()))
            kept += QChar(static_cast<char16_t>(keyboardFree(c.unicode())));
    }
    wipe(composed);
    qsizetype begin = 0;
    qsizetype end = kept.size();
    while (begin < end && isBlank(kept.at(begin).unicode()))
        ++begin;
    while (end > begin && isBlank(kept.at(end - 1).unicode()))
        --end;
    QString form = kept.mid(begin, end - begin);
    wipe(kept);
    QByteArray bytes = form.toUtf8();
    wipe(form);
    return bytes;
}

} // namespace BackupCipher
