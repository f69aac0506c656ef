#include "text/Digits.h"

namespace Digits {

int valueOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= 0x06F0 && u <= 0x06F9)
        return u - 0x06F0;
    if (u >= 0x0660 && u <= 0x0669)
        return u - 0x0660;
    return -1;
}

int valueOf(const QString& text)
{
    return text.size() == 1 ? valueOf(text.at(0)) : -1;
}

QString toAscii(const QString& text)
{
    QString ascii = text;
    for (QChar& c : ascii) {
        const int value = valueOf(c);
        if (value >= 0)
            c = QChar(u'0' + value);
    }
    return ascii;
}

QString digitsOnly(const QString& text, int maxLength)
{
    QString digits;
    for (const QChar c : text) {
        if (maxLength > 0 && digits.size() >= maxLength)
            break;
        const int value = valueOf(c);
        if (value >= 0)
            digits += QChar(u'0' + value);
    }
    return digits;
}

} // namespace Digits
