#include "settings/Theme.h"
#include "support/TestProgram.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// A window of the kind every skinned window is: controls placed in it, and a window of its own that it owns.
struct SampleWindow {
    QWidget window;
    QPushButton* button = new QPushButton(QStringLiteral("ذخيره"), &window);
    QLabel* picture = new QLabel(&window);
    QFrame* panel = new QFrame(&window);
    QLabel* caption = new QLabel(QStringLiteral(" :نام"), panel);
    QLabel* marked = new QLabel(QStringLiteral("!"), panel);
    QPushButton* nestedButton = new QPushButton(QStringLiteral("چاپ"), panel);
    QWidget* owned = new QWidget(&window, Qt::Window);
    QPushButton* ownedButton = new QPushButton(QStringLiteral("خروج"), owned);

    SampleWindow()
    {
        picture->setStyleSheet(QStringLiteral("QLabel { border: none; }"));
        QPalette red = marked->palette();
        red.setColor(QPalette::WindowText, QColor(0xaa, 0, 0));
        marked->setPalette(red);
    }
};

QString windowColour(const QWidget* w)
{
    return w->palette().color(QPalette::Window).name();
}

} // namespace

class TestTheme : public QObject {
    Q_OBJECT
private slots:
    void themeNumber_data();
    void themeNumber();
    void skinTable_data();
    void skinTable();
    void applyPaintsTheWindow_data();
    void applyPaintsTheWindow();
    void nothingAppliedForNoTheme_data();
    void nothingAppliedForNoTheme();
    void missingOrDamagedSkinKeepsTheLook_data();
    void missingOrDamagedSkinKeepsTheLook();
    void ownedWindowsAndOwnSheetsKept();
    void unreadableSkinGivesWayToTheFirstTheme();
};

void TestTheme::themeNumber_data()
{
    QTest::addColumn<QString>("th");
    QTest::addColumn<int>("theme");
    QTest::newRow("1") << "1" << 1;
    QTest::newRow("1.0") << "1.0" << 1;
    QTest::newRow("blank then 1") << " 1" << 1;
    QTest::newRow("11") << "11" << 11;
    QTest::newRow("7 then text") << "7abc" << 7;
    QTest::newRow("1.5") << "1.5" << 0;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("12") << "12" << 0;
    QTest::newRow("-3") << "-3" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("text") << "abc" << 0;
}

void TestTheme::themeNumber()
{
    QFETCH(QString, th);
    QFETCH(int, theme);
    QCOMPARE(Theme::themeNumber(th), theme);
}

void TestTheme::skinTable_data()
{
    QTest::addColumn<int>("theme");
    QTest::addColumn<QString>("file");
    const QStringList files = { "chizh.skn", "Green.skn", "galaxy.skn", "_temp.skn", "B-Studio.skn", "Mac.skn",
        "O-Universe.skn", "metallic.skn", "Paper.skn", "winaqua.skn", "office2007.skn" };
    for (int i = 0; i < files.size(); ++i)
        QTest::newRow(qPrintable(files.at(i))) << i + 1 << files.at(i);
    QTest::newRow("0") << 0 << "";
    QTest::newRow("12") << 12 << "";
}

void TestTheme::skinTable()
{
    QFETCH(int, theme);
    QFETCH(QString, file);
    QCOMPARE(Theme::skinFile(theme), file);
}

void TestTheme::applyPaintsTheWindow_data()
{
    QTest::addColumn<QString>("th");
    QTest::addColumn<QString>("file");
    QTest::newRow("1") << "1"
                       << "chizh.skn";
    QTest::newRow("1.0") << "1.0"
                         << "chizh.skn";
    QTest::newRow("blank then 1") << " 1"
                                  << "chizh.skn";
    QTest::newRow("7") << "7"
                       << "O-Universe.skn";
    QTest::newRow("11") << "11"
                        << "office2007.skn";
}

void TestTheme::applyPaintsTheWindow()
{
    QFETCH(QString, th);
    QFETCH(QString, file);
    TestProgram program;
    SampleWindow sample;
    Theme::applyTheme(&sample.window, program.database(), th);
    QCOMPARE(windowColour(&sample.window), program.skinColour(file, QStringLiteral("window")));
    QCOMPARE(sample.window.property("appliedTheme").toInt(), Theme::themeNumber(th));
    // The style sheet reaches the controls: the button wears the skin's button text colour.
    sample.button->ensurePolished();
    QCOMPARE(sample.button->palette().color(QPalette::ButtonText).name(),
        program.skinColour(file, QStringLiteral("button-text")));
    // And the controls on a panel of the window.
    sample.nestedButton->ensurePolished();
    QCOMPARE(sample.nestedButton->palette().color(QPalette::ButtonText).name(),
        program.skinColour(file, QStringLiteral("button-text")));
    // So does the palette: a caption on a panel, which no rule of the sheet names, reads in the skin's text colour.
    sample.caption->ensurePolished();
    QCOMPARE(sample.caption->palette().color(QPalette::WindowText).name(),
        program.skinColour(file, QStringLiteral("window-text")));
}

void TestTheme::nothingAppliedForNoTheme_data()
{
    QTest::addColumn<QString>("th");
    QTest::newRow("1.5") << "1.5";
    QTest::newRow("0") << "0";
    QTest::newRow("12") << "12";
    QTest::newRow("empty") << "";
}

void TestTheme::nothingAppliedForNoTheme()
{
    QFETCH(QString, th);
    TestProgram program;
    SampleWindow sample;
    const QString before = windowColour(&sample.window);
    Theme::applyTheme(&sample.window, program.database(), th);
    QCOMPARE(windowColour(&sample.window), before);
    QCOMPARE(sample.button->styleSheet(), QString());
    QCOMPARE(sample.window.property("appliedTheme").toInt(), 0);
}

void TestTheme::missingOrDamagedSkinKeepsTheLook_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: the file is missing
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("damaged colour") << QByteArray("[palette]\nwindow = #12345\n[style]\n");
    QTest::newRow("not a skin") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
}

void TestTheme::missingOrDamagedSkinKeepsTheLook()
{
    QFETCH(QByteArray, content);
    TestProgram program;
    const QString path = QDir(program.folder()).filePath(QStringLiteral("galaxy.skn"));
    QVERIFY(QFile::remove(path));
    if (!content.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    SampleWindow sample;
    const QString before = windowColour(&sample.window);
    Theme::applyTheme(&sample.window, program.database(), QStringLiteral("3"));
    QCOMPARE(windowColour(&sample.window), before);
    QCOMPARE(sample.button->styleSheet(), QString());
    QCOMPARE(program.messages().boxes.size(), 0);
}

void TestTheme::ownedWindowsAndOwnSheetsKept()
{
    TestProgram program;
    SampleWindow sample;
    const QString ownedBefore = windowColour(sample.owned);
    Theme::applyTheme(&sample.window, program.database(), QStringLiteral("5"));
    Theme::applyTheme(&sample.window, program.database(), QStringLiteral("3"));

    // A window the skinned window owns (a chart, a box) keeps its own look.
    QCOMPARE(windowColour(sample.owned), ownedBefore);
    sample.ownedButton->ensurePolished();
    QVERIFY(sample.ownedButton->styleSheet().isEmpty());
    QVERIFY(sample.ownedButton->palette().color(QPalette::ButtonText).name()
        != program.skinColour(QStringLiteral("galaxy.skn"), QStringLiteral("button-text")));

    // A control that chose its own colour keeps it.
    sample.marked->ensurePolished();
    QCOMPARE(sample.marked->palette().color(QPalette::WindowText), QColor(0xaa, 0, 0));

    // A control's own style sheet stays as it was (nearer the control than the window's, it goes before the
    // skin's), and painting again replaces the skin instead of adding one: the skin's rules are on the window once.
    QCOMPARE(sample.picture->styleSheet(), QStringLiteral("QLabel { border: none; }"));
    const std::optional<SkinFile> galaxy = Theme::loadSkin(program.folder(), QStringLiteral("galaxy.skn"));
    QVERIFY(galaxy);
    const QString button = program.skinColour(QStringLiteral("galaxy.skn"), QStringLiteral("button"));
    QVERIFY(galaxy->styleSheet().count(button) > 0);
    QCOMPARE(sample.window.styleSheet().count(button), galaxy->styleSheet().count(button));
    QCOMPARE(windowColour(&sample.window), program.skinColour(QStringLiteral("galaxy.skn"), QStringLiteral("window")));
}

void TestTheme::unreadableSkinGivesWayToTheFirstTheme()
{
    TestProgram program;
    const QDir folder(program.folder());
    QCOMPARE(Theme::replacementFor(program.folder(), QStringLiteral("7")), 0);
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("O-Universe.skn"))));
    QCOMPARE(Theme::replacementFor(program.folder(), QStringLiteral("7")), Theme::First);
    QCOMPARE(Theme::replacementFor(program.folder(), QStringLiteral("3")), 0);
    // The first theme has nothing to give way to, and a text that names no theme has no skin.
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("chizh.skn"))));
    QCOMPARE(Theme::replacementFor(program.folder(), QStringLiteral("1")), 0);
    QCOMPARE(Theme::replacementFor(program.folder(), QStringLiteral("12")), 0);
}

QTEST_MAIN(TestTheme)
#include "TestTheme.moc"
