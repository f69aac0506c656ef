#include "ui/QrCode.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// What a phone's camera reads from the code: decoded by zbarimg (Debian zbar-tools).
class TestQrCode : public QObject {
    Q_OBJECT
private slots:
    void decodesBackToTheLink_data();
    void decodesBackToTheLink();
    void aTextTooLongForACodeDrawsNothing();

private:
    static QString decoded(const QImage& image);
    static QString correctionLevel(const QrCode::Modules& modules);
};

QString TestQrCode::decoded(const QImage& image)
{
    const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbarimg.isEmpty()) {
        QTest::qFail("zbarimg (Debian zbar-tools) is not installed", __FILE__, __LINE__);
        return QString();
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("code.png"));
    if (!image.save(path))
        return QString();
    QProcess zbar;
    zbar.start(zbarimg, { QStringLiteral("--quiet"), QStringLiteral("--raw"), path });
    if (!zbar.waitForFinished(30000) || zbar.exitCode() != 0)
        return QString();
    QString text = QString::fromUtf8(zbar.readAllStandardOutput());
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

void TestQrCode::decodesBackToTheLink_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("painted");
    const QString shortLink = QStringLiteral("https://t35.example/a/AbCdEfGhIjKlMnOpQrStUvWxYz012-_9");
    QString longLink = QStringLiteral("https://counselling-centre.example.org/services/questionnaire/phone/");
    while (longLink.size() < 200 - 35)
        longLink += QStringLiteral("path-part/");
    longLink = longLink.left(200 - 35) + QStringLiteral("/a/Zz9_-yXwVuTsRqPoNmLkJiHgFeDcBa01");
    QCOMPARE(longLink.size(), 200);
    QTest::newRow("short, as an image") << shortLink << false;
    QTest::newRow("200 characters, as an image") << longLink << false;
    QTest::newRow("short, painted") << shortLink << true;
    QTest::newRow("200 characters, painted") << longLink << true;
}

void TestQrCode::decodesBackToTheLink()
{
    QFETCH(QString, link);
    QFETCH(bool, painted);
    QImage image;
    if (painted) {
        // As a slip paints it: shapes into a square of the page.
        image = QImage(600, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QVERIFY(QrCode::paint(painter, QRectF(20, 20, 560, 560), link));
    } else {
        image = QrCode::image(link, 4);
        QVERIFY(!image.isNull());
    }
    QCOMPARE(decoded(image), link);
    QCOMPARE(correctionLevel(QrCode::encode(link)), QStringLiteral("M"));
}

QString TestQrCode::correctionLevel(const QrCode::Modules& modules)
{
    // The format information beside the top-left finder: row 8 left to right, then column 8 upwards, skipping the
    // timing pattern; its first two bits, unmasked, name the level (01 L, 00 M, 11 Q, 10 H).
    if (modules.size < 21)
        return QString();
    QList<bool> bits;
    for (int column : { 0, 1, 2, 3, 4, 5, 7, 8 })
        bits << modules.isDark(8, column);
    for (int row : { 7, 5, 4, 3, 2, 1, 0 })
        bits << modules.isDark(row, 8);
    const bool first = bits.at(0) != true; // the mask 101010000010010 flips the first bit
    const bool second = bits.at(1) != false;
    static const QString levels[2][2] = { { QStringLiteral("M"), QStringLiteral("L") },
        { QStringLiteral("H"), QStringLiteral("Q") } };
    return levels[first][second];
}

void TestQrCode::aTextTooLongForACodeDrawsNothing()
{
    const QString tooLong(5000, QLatin1Char('a'));
    QVERIFY(QrCode::image(tooLong, 4).isNull());
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QVERIFY(!QrCode::paint(painter, QRectF(0, 0, 100, 100), tooLong));
    painter.end();
    QCOMPARE(image.pixelColor(50, 50), QColor(Qt::white));
}

QTEST_MAIN(TestQrCode)
#include "TestQrCode.moc"
