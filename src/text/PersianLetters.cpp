#include "text/PersianLetters.h"

namespace PersianLetters {

QString asTyped(const QString& text)
{
    QString typed = text;
    for (QChar& c : typed) {
        switch (c.unicode()) {
        case 0x064A: // Arabic yeh
        case 0x0649: // alef maksura, which Arabic keyboards give for a final yeh
            c = QChar(0x06CC);
            break;
        case 0x0643: // Arabic kaf
            c = QChar(0x06A9);
            break;
        default:
            break;
        }
    }
    return typed;
}

} // namespace PersianLetters
