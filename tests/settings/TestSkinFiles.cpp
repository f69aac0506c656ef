#include "settings/SkinFile.h"
#include "settings/Theme.h"

#include <QColor>
#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <cmath>

namespace {

// WCAG 2 relative luminance and contrast ratio.
double luminance(const QColor& c)
{
    const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QList<QColor> coloursIn(const QString& value)
{
    static const QRegularExpression hex(QStringLiteral("#[0-9a-fA-F]{6}\\b"));
    QList<QColor> colours;
    for (auto it = hex.globalMatch(value); it.hasNext();)
        colours << QColor(it.next().captured());
    return colours;
}

bool isTransparent(const QString& value)
{
    return value == QLatin1String("transparent") || value == QLatin1String("none");
}

// What a selector's last part styles: a decoration (a tick box's box, a bar's chunk), a container that other
// controls stand on, or a control that draws text.
enum class Kind { Decoration, Container, Text };

Kind kindOf(const QString& selector, bool* alsoContainer)
{
    static const QRegularExpression lastPart(QStringLiteral("([^\\s>]+)\\s*$"));
    const QString subject = lastPart.match(selector).captured(1);
    static const QRegularExpression parts(QStringLiteral("^\\.?([A-Za-z]*)[^:]*(?:::([a-z-]+))?"));
    const QRegularExpressionMatch m = parts.match(subject);
    const QString type = m.captured(1);
    const QString subControl = m.captured(2);
    static const QSet<QString> textSubControls
        = { QStringLiteral("section"), QStringLiteral("title"), QStringLiteral("tab"), QStringLiteral("item") };
    static const QSet<QString> containers = { QStringLiteral("QFrame"), QStringLiteral("QWidget"),
        QStringLiteral("QDialog"), QStringLiteral("RegistrationPanel"), QStringLiteral("QGroupBox") };
    static const QSet<QString> decorations
        = { QStringLiteral("QScrollBar"), QStringLiteral("QSlider"), QStringLiteral("QSplitter") };
    *alsoContainer = subControl.isEmpty() && containers.contains(type);
    if (decorations.contains(type))
        return Kind::Decoration;
    if (!subControl.isEmpty())
        return textSubControls.contains(subControl) ? Kind::Text : Kind::Decoration;
    if (type == QLatin1String("QGroupBox"))
        return Kind::Text; // its title
    if (containers.contains(type))
        return Kind::Container;
    return Kind::Text; // a named control, or any control that shows text
}

// Every text/background pair a skin uses that falls short of 4.5:1, and every rule that leaves a text's background
// (or a background's text) to chance. Rules of disabled controls need not meet the ratio.
QStringList legibilityFaults(const SkinFile& skin)
{
    QStringList faults;
    const auto role = [&](const char* name) { return QColor(skin.colourText(QLatin1String(name))); };
    const auto check = [&](const QString& where, const QColor& text, const QColor& background) {
        const double ratio = contrast(text, background);
        if (ratio < 4.5)
            faults << QStringLiteral("%1: %2 on %3 is %4:1")
                          .arg(where, text.name(), background.name())
                          .arg(ratio, 0, 'f', 2);
    };

    const std::pair<const char*, const char*> palettePairs[]
        = { { "window-text", "window" }, { "text", "base" }, { "text", "alternate-base" }, { "button-text", "button" },
              { "highlighted-text", "highlight" }, { "tooltip-text", "tooltip-base" }, { "link", "base" } };
    for (const auto& [text, background] : palettePairs) {
        if (!skin.colourText(QLatin1String(text)).isEmpty() && !skin.colourText(QLatin1String(background)).isEmpty())
            check(QStringLiteral("palette %1 on %2").arg(QLatin1String(text), QLatin1String(background)), role(text),
                role(background));
    }

    QList<QColor> containerBackgrounds { role("window") };
    QList<std::pair<QString, QColor>> textsOnContainers { { QStringLiteral("palette window-text"),
        role("window-text") } };

    QString sheet = skin.styleSheet();
    sheet.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    static const QRegularExpression block(QStringLiteral("([^{}]+)\\{([^{}]*)\\}"));
    for (auto it = block.globalMatch(sheet); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString selectors = m.captured(1).simplified();
        QHash<QString, QString> declared;
        for (const QString& declaration : m.captured(2).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const qsizetype colon = declaration.indexOf(QLatin1Char(':'));
            if (colon > 0)
                declared.insert(declaration.left(colon).trimmed(), declaration.mid(colon + 1).simplified());
        }
        const bool disabled = selectors.contains(QLatin1String(":disabled"));
        const bool hasColour = declared.contains(QStringLiteral("color"));
        const QString background
            = declared.value(QStringLiteral("background"), declared.value(QStringLiteral("background-color")));
        const bool hasBackground = !background.isEmpty();

        bool textBearing = false;
        bool container = false;
        for (const QString& selector : selectors.split(QLatin1Char(','))) {
            bool alsoContainer = false;
            const Kind kind = kindOf(selector.trimmed(), &alsoContainer);
            textBearing = textBearing || kind == Kind::Text;
            container = container || kind == Kind::Container || alsoContainer;
        }

        if (hasColour && !hasBackground)
            faults << QStringLiteral("%1: a text colour without its background").arg(selectors);
        if (hasBackground && textBearing && !hasColour)
            faults << QStringLiteral("%1: a background without its text colour").arg(selectors);
        if (declared.contains(QStringLiteral("selection-color"))
            != declared.contains(QStringLiteral("selection-background-color")))
            faults << QStringLiteral("%1: a selection colour without its pair").arg(selectors);
        if (hasBackground && !isTransparent(background) && coloursIn(background).isEmpty())
            faults << QStringLiteral("%1: background %2 names no colour #rrggbb").arg(selectors, background);

        if (container && hasBackground)
            containerBackgrounds << coloursIn(background);
        if (disabled)
            continue;
        if (hasColour && hasBackground) {
            const QColor text(declared.value(QStringLiteral("color")));
            if (isTransparent(background)) {
                textsOnContainers.append({ selectors, text });
            } else {
                QList<QColor> behind = coloursIn(background);
                behind << coloursIn(declared.value(QStringLiteral("alternate-background-color")));
                for (const QColor& b : behind)
                    check(selectors, text, b);
            }
        }
        if (declared.contains(QStringLiteral("selection-color"))) {
            for (const QColor& b : coloursIn(declared.value(QStringLiteral("selection-background-color"))))
                check(selectors + QStringLiteral(" (selection)"),
                    QColor(declared.value(QStringLiteral("selection-color"))), b);
        }
    }
    for (const auto& [where, text] : textsOnContainers)
        for (const QColor& b : containerBackgrounds)
            check(where + QStringLiteral(" on a panel"), text, b);
    return faults;
}

QString delivered(const QString& file)
{
    return QDir(QStringLiteral(T35_DELIVERED_SKINS)).filePath(file);
}

} // namespace

class TestSkinFiles : public QObject {
    Q_OBJECT
private slots:
    void eachSkinIsReadableAndLegible_data();
    void eachSkinIsReadableAndLegible();
    void skinsAreDistinct();
    void faultsAreFound_data();
    void faultsAreFound();
};

void TestSkinFiles::eachSkinIsReadableAndLegible_data()
{
    QTest::addColumn<QString>("file");
    for (int theme = 1; theme <= Theme::Count; ++theme)
        QTest::newRow(qPrintable(Theme::skinFile(theme))) << Theme::skinFile(theme);
}

void TestSkinFiles::eachSkinIsReadableAndLegible()
{
    QFETCH(QString, file);
    QString why;
    const auto skin = SkinFile::read(delivered(file), &why);
    QVERIFY2(skin, qPrintable(why));
    QVERIFY(skin->styleSheet().contains(QLatin1String("QPushButton")));
    const QStringList faults = legibilityFaults(*skin);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestSkinFiles::skinsAreDistinct()
{
    QSet<QString> looks;
    for (int theme = 1; theme <= Theme::Count; ++theme) {
        const auto skin = SkinFile::read(delivered(Theme::skinFile(theme)));
        QVERIFY(skin);
        looks << skin->colourText(QStringLiteral("window")) + skin->colourText(QStringLiteral("button"))
                + skin->colourText(QStringLiteral("highlight"));
    }
    QCOMPARE(looks.size(), Theme::Count);
}

void TestSkinFiles::faultsAreFound_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("fault");
    QTest::newRow("pale button text") << "QPushButton { color: #ffffff; background: #ffcc00; }"
                                      << "QPushButton: #ffffff on #ffcc00";
    QTest::newRow("one weak gradient stop")
        << "QPushButton:hover { color: #ffffff; background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, "
           "stop: 0 #202020, stop: 1 #9a9a9a); }"
        << "QPushButton:hover: #ffffff on #9a9a9a";
    QTest::newRow("text colour alone") << "QLabel { color: #333333; }"
                                       << "a text colour without its background";
    QTest::newRow("background alone") << "QLineEdit { background: #000000; }"
                                      << "a background without its text colour";
    QTest::newRow("named background") << "#Frm1 #SkinLabel1 { background: #101010; }"
                                      << "a background without its text colour";
    QTest::newRow("header without text") << "QHeaderView::section { background: #000000; }"
                                         << "a background without its text colour";
    QTest::newRow("dark panel under the window's text") << ".QFrame { background: #202020; }"
                                                        << "palette window-text on a panel";
    QTest::newRow("see-through text on the window") << "QRadioButton { color: #e0e0e0; background: transparent; }"
                                                    << "QRadioButton on a panel: #e0e0e0 on #f0f0f0";
    QTest::newRow("selection") << "QLineEdit { color: #000000; background: #ffffff; selection-color: #ffffff; "
                                  "selection-background-color: #dddddd; }"
                               << "(selection): #ffffff on #dddddd";
    QTest::newRow("selection half given") << "QLineEdit { color: #000000; background: #ffffff; "
                                             "selection-color: #ffffff; }"
                                          << "a selection colour without its pair";
    QTest::newRow("background by name") << "QPushButton { color: #000000; background: white; }"
                                        << "names no colour";
}

void TestSkinFiles::faultsAreFound()
{
    QFETCH(QString, style);
    QFETCH(QString, fault);
    const QString text = QStringLiteral("[palette]\nwindow = #f0f0f0\nwindow-text = #101010\nbase = #ffffff\n"
                                        "text = #202020\nbutton = #e0e0e0\nbutton-text = #000000\n"
                                        "highlight = #003366\nhighlighted-text = #ffffff\n[style]\n")
        + style;
    const auto skin = SkinFile::parse(text);
    QVERIFY(skin);
    const QStringList faults = legibilityFaults(*skin);
    QVERIFY2(faults.size() == 1 && faults.first().contains(fault), qPrintable(faults.join(QLatin1Char('\n'))));

    // Decorations and disabled controls are not held to the ratio.
    const auto fine = SkinFile::parse(text.section(QStringLiteral("[style]"), 0, 0)
        + QStringLiteral("[style]\nQCheckBox::indicator { background: #ffffff; }\n"
                         "QPushButton:disabled { color: #d0d0d0; background: #e0e0e0; }\n"
                         "QScrollBar:vertical { background: #000000; }"));
    QVERIFY(fine);
    QCOMPARE(legibilityFaults(*fine), QStringList());
}

QTEST_GUILESS_MAIN(TestSkinFiles)
#include "TestSkinFiles.moc"
