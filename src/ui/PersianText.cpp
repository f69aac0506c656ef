#include "ui/PersianText.h"

#include "text/PersianLetters.h"
#include "ui/MessageCatalogue.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QTranslator>
#include <QWidget>

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
            return Msg::ButtonYes;
        if (source == "No" || source == "&No")
            return Msg::ButtonNo;
        return {};
    }
};

// Qt's Persian texts as its translation gives them, less the accelerator marks.
class WithoutAccelerators : public QTranslator {
public:
    WithoutAccelerators(QTranslator* qt, QObject* parent)
        : QTranslator(parent)
        , m_qt(qt)
    {
    }

    bool isEmpty() const override { return m_qt->isEmpty(); }

    QString translate(const char* context, const char* sourceText, const char* disambiguation, int n) const override
    {
        return withoutAccelerator(m_qt->translate(context, sourceText, disambiguation, n));
    }

private:
    QTranslator* m_qt;
};

// Hands every title over to the title bar in Persian letters as it is set. The title set again from here has no
// letter left to change, so the change it announces passes through.
class TitleBarLetters : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowTitleChange && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            const QString title = widget->windowTitle();
            const QString shown = titleBarText(title);
            if (shown != title)
                widget->setWindowTitle(shown);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QString titleBarText(const QString& title)
{
    return PersianLetters::asTyped(title);
}

void giveTitleBarsPersianLetters(QApplication& app)
{
    const QString name = QStringLiteral("titleBarLetters");
    if (app.findChild<QObject*>(name, Qt::FindDirectChildrenOnly))
        return;
    auto* letters = new TitleBarLetters(&app);
    letters->setObjectName(name);
    app.installEventFilter(letters);
}

QString withoutAccelerator(const QString& caption)
{
    // No translation stays no translation (a null string), so Qt goes on to its own text.
    if (!caption.contains(QLatin1Char('&')))
        return caption;
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (c == QLatin1Char('&') && i + 1 < caption.size()) {
            const QChar next = caption.at(i + 1);
            if (next == QLatin1Char('&')) {
                plain += QStringLiteral("&&");
                ++i;
                continue;
            }
            if (next.isLetterOrNumber())
                continue;
        }
        plain += c;
    }
    return plain;
}

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
            QCoreApplication::installTranslator(new WithoutAccelerators(qt, qt));
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
    giveTitleBarsPersianLetters(app);
    if (loadFont()) {
        QFont font(fontFamily());
        font.setPointSizeF(9.5);
        app.setFont(font);
    }
    app.setLayoutDirection(Qt::RightToLeft);
}

} // namespace PersianText
