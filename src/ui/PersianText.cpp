#include "ui/PersianText.h"

#include "ui/MessageCatalogue.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QTranslator>

namespace PersianText {

QString fontFamily()
{
    return QStringLiteral("Tovrin Vazirmatn");
}

bool loadFont()
{
    static const bool loaded = [] {
        bool any = false;
        for (const char* file : { ":/fonts/TovrinVazirmatn-Regular.ttf", ":/fonts/TovrinVazirmatn-Bold.ttf" })
            any = QFontDatabase::addApplicationFont(QString::fromLatin1(file)) >= 0 || any;
        return any;
    }();
    return loaded;
}

namespace {

// The captions of the standard buttons in the program's own words and spelling, over whatever Qt's translation says.
class ButtonCaptions : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* disambiguation, int n) const override
    {
        Q_UNUSED(disambiguation)
        Q_UNUSED(n)
        if (qstrcmp(context, "QPlatformTheme") != 0 || !sourceText)
            return {};
        const QByteArray source(sourceText);
        if (source == "OK" || source == "&OK")
            return Msg::ButtonOk;
        if (source == "Cancel" || source == "&Cancel")
            return Msg::ButtonCancel;
        if (source == "Yes" || source == "&Yes")
            return QLatin1Char('&') + Msg::ButtonYes;
        if (source == "No" || source == "&No")
            return QLatin1Char('&') + Msg::ButtonNo;
        return {};
    }
};

} // namespace

QtTexts loadQtTranslation(QTranslator& translator, const QString& qtFolder)
{
    if (translator.load(QStringLiteral("qtbase_fa"), qtFolder))
        return QtTexts::QtFolder;
    if (translator.load(QStringLiteral(":/translations/qtbase_fa.qm")))
        return QtTexts::Bundled;
    return QtTexts::None;
}

QtTexts installQtTranslation()
{
    static const QtTexts installed = [] {
        auto* qt = new QTranslator(QCoreApplication::instance());
        const QtTexts source = loadQtTranslation(*qt, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        if (source != QtTexts::None)
            QCoreApplication::installTranslator(qt);
        else
            delete qt;
        // Installed last, so it is asked first.
        QCoreApplication::installTranslator(new ButtonCaptions(QCoreApplication::instance()));
        return source;
    }();
    return installed;
}

void applyTo(QApplication& app)
{
    installQtTranslation();
    if (loadFont()) {
        QFont font(fontFamily());
        font.setPointSizeF(9.5);
        app.setFont(font);
    }
    app.setLayoutDirection(Qt::RightToLeft);
}

} // namespace PersianText
