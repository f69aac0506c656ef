#include "ui/MakerDetails.h"

#include <QRegularExpression>
#include <QTest>

namespace {

// A detail inside a Persian line keeps its own direction.
QString apart(const QString& value)
{
    return QChar(0x2068) + value + QChar(0x2069);
}

Maker::Details site(const QString& webSite, const QString& shop = QString())
{
    Maker::Details maker;
    maker.webSite = webSite;
    maker.shop = shop;
    return maker;
}

} // namespace

class TestMakerDetails : public QObject {
    Q_OBJECT
private slots:
    void builtInValuesAreNoPlaceholders();
    void programNameAndVersion();
    void lines_data();
    void lines();
    void footNamesTheProgramOnce_data();
    void footNamesTheProgramOnce();
    void isolated();
    void webAddress_data();
    void webAddress();
    void helpPage_data();
    void helpPage();
    void bannerPages_data();
    void bannerPages();
};

void TestMakerDetails::builtInValuesAreNoPlaceholders()
{
    // What ships is either empty or real: no example domain, no sample name.
    const Maker::Details& d = Maker::details();
    for (const QString& value : { d.programmer, d.telephone, d.email, d.webSite, d.shop }) {
        QVERIFY2(!value.contains(QLatin1String("example"), Qt::CaseInsensitive), qPrintable(value));
        QVERIFY2(!value.contains(QLatin1String("localhost"), Qt::CaseInsensitive), qPrintable(value));
    }
    for (const QString& address : { d.webSite, d.shop })
        QVERIFY2(address.trimmed().isEmpty() || !Maker::webAddress(address).isEmpty(), qPrintable(address));
}

void TestMakerDetails::programNameAndVersion()
{
    QVERIFY(QRegularExpression(QStringLiteral("^Tovrin35 \\d+\\.\\d+(\\.\\d+)?$"))
                .match(Maker::programNameAndVersion())
                .hasMatch());
}

void TestMakerDetails::lines_data()
{
    QTest::addColumn<QString>("programmer");
    QTest::addColumn<QString>("telephone");
    QTest::addColumn<QString>("webSite");
    QTest::addColumn<QString>("shop");
    QTest::addColumn<QString>("programmerLine"); // "" for the program's name and version
    QTest::addColumn<QString>("webSiteLine");
    QTest::addColumn<QString>("shopLine");
    QTest::newRow("all set") << "Reza Ahmadi"
                             << "021-5555"
                             << "https://maker.test"
                             << "https://shop.maker.test"
                             << QStringLiteral("برنامه نويس: ") + apart("Reza Ahmadi") + QStringLiteral("  تلفن: ")
            + apart("021-5555")
                             << "https://maker.test"
                             << "https://shop.maker.test";
    QTest::newRow("no telephone") << "Reza Ahmadi"
                                  << ""
                                  << ""
                                  << "" << QStringLiteral("برنامه نويس: ") + apart("Reza Ahmadi") << ""
                                  << "";
    QTest::newRow("telephone without programmer") << ""
                                                  << "021-5555"
                                                  << ""
                                                  << ""
                                                  << ""
                                                  << ""
                                                  << "";
    QTest::newRow("blanks count as empty") << "  "
                                           << " "
                                           << "   "
                                           << " "
                                           << ""
                                           << ""
                                           << "";
    QTest::newRow("outer blanks dropped")
        << " Reza "
        << " 021 "
        << " https://maker.test "
        << "" << QStringLiteral("برنامه نويس: ") + apart("Reza") + QStringLiteral("  تلفن: ") + apart("021")
        << "https://maker.test"
        << "";
}

void TestMakerDetails::lines()
{
    QFETCH(QString, programmer);
    QFETCH(QString, telephone);
    QFETCH(QString, webSite);
    QFETCH(QString, shop);
    QFETCH(QString, programmerLine);
    QFETCH(QString, webSiteLine);
    QFETCH(QString, shopLine);
    Maker::Details maker;
    maker.programmer = programmer;
    maker.telephone = telephone;
    maker.webSite = webSite;
    maker.shop = shop;
    const QString fallback = Maker::programNameAndVersion();
    QCOMPARE(Maker::programmerLine(maker), programmerLine.isEmpty() ? fallback : programmerLine);
    QCOMPARE(Maker::webSiteLine(maker), webSiteLine.isEmpty() ? fallback : webSiteLine);
    // The shop's line stands in for the program only where the web site's line does not already.
    const QString shopFallback = webSite.trimmed().isEmpty() ? QString() : fallback;
    QCOMPARE(Maker::shopLine(maker), shopLine.isEmpty() ? shopFallback : shopLine);
}

void TestMakerDetails::footNamesTheProgramOnce_data()
{
    QTest::addColumn<QString>("webSite");
    QTest::addColumn<QString>("shop");
    QTest::addColumn<QStringList>("lines");
    const QString program = Maker::programNameAndVersion();
    QTest::newRow("neither") << "" << "" << QStringList { program, QString() };
    QTest::newRow("blanks only") << "  " << " " << QStringList { program, QString() };
    QTest::newRow("web site only") << "https://maker.test"
                                   << "" << QStringList { QStringLiteral("https://maker.test"), program };
    QTest::newRow("shop only") << ""
                               << "https://shop.maker.test"
                               << QStringList { program, QStringLiteral("https://shop.maker.test") };
    QTest::newRow("both") << "https://maker.test"
                          << "https://shop.maker.test"
                          << QStringList { QStringLiteral("https://maker.test"), QStringLiteral("https://shop.maker.test") };
}

void TestMakerDetails::footNamesTheProgramOnce()
{
    QFETCH(QString, webSite);
    QFETCH(QString, shop);
    QFETCH(QStringList, lines);
    const Maker::Details maker = site(webSite, shop);
    QCOMPARE((QStringList { Maker::webSiteLine(maker), Maker::shopLine(maker) }), lines);
}

void TestMakerDetails::isolated()
{
    QCOMPARE(Maker::isolated(QString()), QString());
    QCOMPARE(Maker::isolated(QStringLiteral("021-5555")), apart(QStringLiteral("021-5555")));
}

void TestMakerDetails::webAddress_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blanks") << "   "
                            << "";
    QTest::newRow("https") << "https://maker.test"
                           << "https://maker.test";
    QTest::newRow("http") << "http://maker.test/fa/"
                          << "http://maker.test/fa/";
    QTest::newRow("outer blanks") << "  https://maker.test "
                                  << "https://maker.test";
    QTest::newRow("bare host is https") << "www.maker.test"
                                        << "https://www.maker.test";
    QTest::newRow("bare host with path") << "maker.test/shop"
                                         << "https://maker.test/shop";
    QTest::newRow("file is refused") << "file:///etc/passwd"
                                     << "";
    QTest::newRow("script is refused") << "javascript:alert(1)"
                                       << "";
    QTest::newRow("mail is refused") << "mailto:reza@maker.test"
                                     << "";
    QTest::newRow("no host") << "https://"
                             << "";
    QTest::newRow("blank inside") << "https://maker test"
                                  << "";
}

void TestMakerDetails::webAddress()
{
    QFETCH(QString, value);
    QFETCH(QString, address);
    QCOMPARE(Maker::webAddress(value), address);
}

void TestMakerDetails::helpPage_data()
{
    QTest::addColumn<QString>("webSite");
    QTest::addColumn<QString>("page");
    QTest::newRow("no web site") << ""
                                 << "";
    QTest::newRow("site") << "https://maker.test"
                          << "https://maker.test/software/software-settings.html";
    QTest::newRow("trailing slash") << "https://maker.test/"
                                    << "https://maker.test/software/software-settings.html";
    QTest::newRow("from the site's root") << "https://maker.test/fa/index.html"
                                          << "https://maker.test/software/software-settings.html";
    QTest::newRow("bare host") << "maker.test"
                               << "https://maker.test/software/software-settings.html";
    QTest::newRow("refused address") << "ftp://maker.test"
                                     << "";
}

void TestMakerDetails::helpPage()
{
    QFETCH(QString, webSite);
    QFETCH(QString, page);
    QCOMPARE(Maker::helpPage(site(webSite)), page);
}

void TestMakerDetails::bannerPages_data()
{
    QTest::addColumn<QString>("webSite");
    QTest::addColumn<QString>("shop");
    QTest::addColumn<QStringList>("pages");
    QTest::newRow("both, site first") << "https://maker.test"
                                      << "https://shop.test"
                                      << QStringList { "https://maker.test", "https://shop.test" };
    QTest::newRow("site only") << "https://maker.test"
                               << "" << QStringList { "https://maker.test" };
    QTest::newRow("shop only") << ""
                               << "shop.test" << QStringList { "https://shop.test" };
    QTest::newRow("neither") << ""
                             << "" << QStringList {};
    QTest::newRow("refused shop") << "https://maker.test"
                                  << "file:///tmp" << QStringList { "https://maker.test" };
}

void TestMakerDetails::bannerPages()
{
    QFETCH(QString, webSite);
    QFETCH(QString, shop);
    QFETCH(QStringList, pages);
    QCOMPARE(Maker::bannerPages(site(webSite, shop)), pages);
}

QTEST_GUILESS_MAIN(TestMakerDetails)
#include "TestMakerDetails.moc"
