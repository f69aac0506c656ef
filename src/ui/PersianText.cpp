#include "ui/PersianText.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace PersianText {

QString fontFamily()
{
    return QStringLiteral("Tovrin Vazirmatn");
}

bool loadFont()
{
    static const bool loaded = [] {
        bool any = false;
        for (const char* file : {":/fonts/TovrinVazirmatn-Regular.ttf", ":/fonts/TovrinVazirmatn-Bold.ttf"})
            any = QFontDatabase::addApplicationFont(QString::fromLatin1(file)) >= 0 || any;
        return any;
    }();
    return loaded;
}

void applyTo(QApplication& app)
{
    if (loadFont()) {
        QFont font(fontFamily());
        font.setPointSizeF(9.5);
        app.setFont(font);
    }
    app.setLayoutDirection(Qt::RightToLeft);
}

} // namespace PersianText
