#include "settings/SkinFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// The least a skin needs: the required roles and a style section.
QString minimalSkin(
    const QString& extraPalette = QString(), const QString& colours = QString(), const QString& style = QString())
{
    return QStringLiteral("# a skin\n[palette]\n"
                          "window = #f0f0f0\nwindow-text = #101010\nbase = #ffffff\ntext = #202020\n"
                          "button = #e0e0e0\nbutton-text = #000000\nhighlight = #003366\nhighlighted-text = #ffffff\n")
        + extraPalette + QStringLiteral("\n[colours]\n") + colours + QStringLiteral("\n[style]\n") + style;
}

} // namespace

class TestSkinFile : public QObject {
    Q_OBJECT
private slots:
    void readsPaletteAndColours();
    void namesInTheStyleBecomeColours();
    void styleRunsToTheEnd();
    void disabledColoursWorkedOut();
    void refused_data();
    void refused();
    void missingFile();
    void onlyARegularFileUpToTheLimitIsRead();
};

void TestSkinFile::readsPaletteAndColours()
{
    QString why;
    const auto skin = SkinFile::parse(
        minimalSkin(QStringLiteral("tooltip-base = #FFFFE1\n"), QStringLiteral("accent = #1d7f7a\n")), &why);
    QVERIFY2(skin, qPrintable(why));
    QCOMPARE(skin->palette().value(QStringLiteral("window")), 0xf0f0f0u);
    QCOMPARE(skin->palette().value(QStringLiteral("tooltip-base")), 0xffffe1u);
    QCOMPARE(skin->colours().value(QStringLiteral("accent")), 0x1d7f7au);
    QCOMPARE(skin->colourText(QStringLiteral("highlight")), QStringLiteral("#003366"));
    QCOMPARE(skin->colourText(QStringLiteral("accent")), QStringLiteral("#1d7f7a"));
    QCOMPARE(skin->colourText(QStringLiteral("nothing")), QString());
}

void TestSkinFile::namesInTheStyleBecomeColours()
{
    const auto skin = SkinFile::parse(minimalSkin({}, QStringLiteral("accent = #1d7f7a\naccent-dark = #0a3a38\n"),
        QStringLiteral("QPushButton { color: @button-text; background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, "
                       "stop: 0 @accent, stop: 1 @accent-dark); }\n#Frm1 #SkinLabel1 { color: @highlight; }")));
    QVERIFY(skin);
    QCOMPARE(skin->styleSheet(),
        QStringLiteral("QPushButton { color: #000000; background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, "
                       "stop: 0 #1d7f7a, stop: 1 #0a3a38); }\n#Frm1 #SkinLabel1 { color: #003366; }"));
}

void TestSkinFile::styleRunsToTheEnd()
{
    // Lines that would be comments or headers elsewhere belong to the style sheet once it has begun.
    const QString style = QStringLiteral("#Frame7 { border: none; }\n\n[palette]\nQLabel { color: @text; }\n");
    const auto skin = SkinFile::parse(minimalSkin({}, {}, style));
    QVERIFY(skin);
    QCOMPARE(
        skin->styleSheet(), QStringLiteral("#Frame7 { border: none; }\n\n[palette]\nQLabel { color: #202020; }\n"));
}

void TestSkinFile::disabledColoursWorkedOut()
{
    const auto skin = SkinFile::parse(minimalSkin(QStringLiteral("disabled.text = #999999\n")));
    QVERIFY(skin);
    QCOMPARE(skin->disabled().value(QStringLiteral("text")), 0x999999u);
    // Half-way between #101010 and #f0f0f0, and between #000000 and #e0e0e0.
    QCOMPARE(skin->disabled().value(QStringLiteral("window-text")), 0x808080u);
    QCOMPARE(skin->disabled().value(QStringLiteral("button-text")), 0x707070u);
    QVERIFY(!skin->disabled().contains(QStringLiteral("window")));
}

void TestSkinFile::refused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("why");
    QTest::newRow("empty file") << QString() << "the palette has no window";
    QTest::newRow("no style section") << minimalSkin().section(QStringLiteral("[style]"), 0, 0)
                                      << "there is no [style] section";
    QTest::newRow("unknown section") << minimalSkin().replace(QStringLiteral("[colours]"), QStringLiteral("[fonts]"))
                                     << "unknown section [fonts]";
    QTest::newRow("unknown role") << minimalSkin(QStringLiteral("window-glow = #ffffff\n"))
                                  << "unknown palette role window-glow";
    QTest::newRow("unknown disabled role")
        << minimalSkin(QStringLiteral("disabled.glow = #ffffff\n")) << "unknown palette role disabled.glow";
    QTest::newRow("short colour") << minimalSkin(QStringLiteral("link = #fff\n")) << "#fff is not a colour";
    QTest::newRow("colour by name") << minimalSkin({}, QStringLiteral("accent = red\n")) << "red is not a colour";
    QTest::newRow("colour with alpha") << minimalSkin({}, QStringLiteral("accent = #80ff0000\n"))
                                       << "#80ff0000 is not a colour";
    QTest::newRow("a colour named like a role")
        << minimalSkin({}, QStringLiteral("window = #123456\n")) << "window cannot name a colour";
    QTest::newRow("entry before any section")
        << QStringLiteral("window = #ffffff\n") + minimalSkin() << "line 1: expected";
    QTest::newRow("line that is no entry") << minimalSkin(QStringLiteral("window: #ffffff\n")) << "expected";
    QTest::newRow("required role missing") << minimalSkin().replace(QStringLiteral("highlighted-text = #ffffff\n"),
        QString()) << "the palette has no highlighted-text";
    QTest::newRow("style names no colour")
        << minimalSkin({}, {}, QStringLiteral("QLabel { color: @acent; }")) << "the style names no colour @acent";
}

void TestSkinFile::refused()
{
    QFETCH(QString, text);
    QFETCH(QString, why);
    QString error;
    QVERIFY(!SkinFile::parse(text, &error));
    QVERIFY2(error.contains(why), qPrintable(error));
}

void TestSkinFile::missingFile()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!SkinFile::read(dir.filePath(QStringLiteral("chizh.skn")), &error));
    QVERIFY(!error.isEmpty());
}

void TestSkinFile::onlyARegularFileUpToTheLimitIsRead()
{
    QTemporaryDir dir;
    const QByteArray skin = minimalSkin().toUtf8();
    QFile padded(dir.filePath(QStringLiteral("padded.skn")));
    QVERIFY(padded.open(QIODevice::WriteOnly));
    padded.write(skin + QByteArray(SkinFile::MaxBytes - skin.size(), ' '));
    padded.close();
    QVERIFY(SkinFile::read(padded.fileName()));
    // Refused unread: a byte past the limit, a hundred megabytes past it (sparse), /dev/zero, a pipe with no writer.
    QVERIFY(padded.resize(SkinFile::MaxBytes + 1));
    QFile huge(dir.filePath(QStringLiteral("huge.skn")));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(SkinFile::MaxBytes + 100 * 1024 * 1024));
    huge.close();
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("zero.skn"))));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.skn"))).constData(), 0600), 0);
    for (const char* name : { "padded.skn", "huge.skn", "zero.skn", "pipe.skn" }) {
        QString error;
        QVERIFY2(!SkinFile::read(dir.filePath(QString::fromLatin1(name)), &error), name);
        QVERIFY2(error.contains(QLatin1String("larger than")) || error.contains(QLatin1String("not a regular file")),
            qPrintable(error));
    }
}

QTEST_GUILESS_MAIN(TestSkinFile)
#include "TestSkinFile.moc"
