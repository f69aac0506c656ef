#include "calendar/SolarHijri.h"
#include "data/ComparedPairs.h"
#include "data/Invitations.h"
#include "examinees/InvitationSlip.h"
#include "examinees/InvitationWindow.h"
#include "support/PdfText.h"
#include "support/TestProgram.h"
#include "text/ShownNumbers.h"
#include "ui/DocumentOutput.h"
#include "ui/MessageCatalogue.h"
#include "web/QuestionnaireService.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Whether the PDF's text holds the link. The reader gives an underscore of the link (a token may hold one) as a word
// of its own, placed by the page's right-to-left order, though the page draws it in place: underscores are left out
// of both sides.
bool holdsLink(QString flat, QString link)
{
    return flat.remove(QLatin1Char('_')).contains(link.remove(QLatin1Char('_')));
}

const QString Code = QStringLiteral("98765");
const QString Partner = QStringLiteral("98766");
const QString Name = QStringLiteral("Zarrinnegar");
const QString PartnerName = QStringLiteral("Golbarg");
const QString Clinic = QStringLiteral("مرکز مشاوره آرامش");

struct Inviting {
    TestProgram program;
    QDateTime now = QDateTime(QDate(2026, 12, 10), QTime(9, 0), Qt::UTC);
    std::unique_ptr<InvitationWindow> window;
    QuestionnaireService service;
    std::shared_ptr<PagedDocument> slip;

    explicit Inviting(const QString& linkBase = QStringLiteral("https://clinic.example/t35"))
        : service(program.database(), [this] { return now; })
    {
        program.addExaminee(Code, Name);
        program.addExaminee(Partner, PartnerName);
        program.exec(QStringLiteral("UPDATE Theme SET Name = ?"), { Clinic });
        window = std::make_unique<InvitationWindow>(program.database(), program.messages(),
            InvitationWindow::Setting { linkBase, Clinic, QStringLiteral("counsellor"), [this] { return now; } }, Code);
        QObject::connect(window.get(), &InvitationWindow::previewRequested,
            [this](std::shared_ptr<PagedDocument> document) { slip = std::move(document); });
        window->show();
    }

    template <typename T> T* find(const QString& name) { return window->findChild<T*>(name); }

    int status(const QString& link)
    {
        const QString path = link.mid(link.indexOf(QStringLiteral("/a/")));
        return service.handle({ "GET", path, {}, QStringLiteral("192.0.2.1") }).status;
    }

    // The slip as the preview window saves it, read back as text.
    QString printed(const QTemporaryDir& dir)
    {
        slip.reset();
        QTest::mouseClick(find<QPushButton>(QStringLiteral("CommandPrint")), Qt::LeftButton);
        if (!slip)
            return QString();
        const QString path = dir.filePath(QStringLiteral("slip.pdf"));
        QString error;
        if (!DocumentOutput::writePdf(*slip, path, error))
            return QString();
        return PdfText::extract(path);
    }
};

} // namespace

class TestInvitationWindow : public QObject {
    Q_OBJECT
private slots:
    void makesALinkShownAsTextAndCode_data();
    void makesALinkShownAsTextAndCode();
    void refusesAnUnknownCode();
    void slipCarriesTheLinkAndExpiryButNoNameNorCode();
    void revokedLinksOpenNothing();
    void aCoupleGetsTwoLinksOnOneSlip();
    void aCoupleNeedsTheSecondCode();
    void linksCloseWhenTheirDaysAreOver_data();
    void linksCloseWhenTheirDaysAreOver();
};

void TestInvitationWindow::makesALinkShownAsTextAndCode_data()
{
    QTest::addColumn<QString>("base");
    QTest::newRow("plain") << "https://clinic.example";
    QTest::newRow("with a slash") << "http://192.168.1.20:8035/";
}

void TestInvitationWindow::makesALinkShownAsTextAndCode()
{
    QFETCH(QString, base);
    Inviting inviting(base);
    auto* copy = inviting.find<QPushButton>(QStringLiteral("CommandCopy"));
    QVERIFY(!copy->isEnabled());
    QTest::mouseClick(inviting.find<QPushButton>(QStringLiteral("CommandInvite")), Qt::LeftButton);

    const QStringList links = inviting.window->links();
    QCOMPARE(links.size(), 1);
    QString expectedStart = base;
    while (expectedStart.endsWith(QLatin1Char('/')))
        expectedStart.chop(1);
    QVERIFY2(links.first().startsWith(expectedStart + QStringLiteral("/a/")), qPrintable(links.first()));
    auto* shown = inviting.find<QLineEdit>(QStringLiteral("TextLink"));
    QCOMPARE(shown->text(), links.first());
    QVERIFY(shown->isReadOnly());
    QCOMPARE(shown->layoutDirection(), Qt::LeftToRight);
    // Large enough to scan from the screen.
    const QPixmap code = inviting.find<QLabel>(QStringLiteral("PictureQr"))->pixmap();
    QVERIFY(code.width() >= 200);

    // Stored as its hash only, made by whoever made it, open for the default days.
    const QString token = links.first().mid(links.first().lastIndexOf(QLatin1Char('/')) + 1);
    QCOMPARE(inviting.program.rowCount(QStringLiteral("Invitation"), QStringLiteral("TokenHash"),
                 Invitations::hashOf(token)),
        1);
    QCOMPARE(inviting.program.rowCount(QStringLiteral("Invitation"), QStringLiteral("TokenHash"), token), 0);
    QCOMPARE(inviting.program.scalar(QStringLiteral("SELECT MadeBy FROM Invitation")).toString(),
        QStringLiteral("counsellor"));
    QCOMPARE(inviting.program.scalar(QStringLiteral("SELECT Expires FROM Invitation")).toString(),
        Invitations::storedTime(inviting.now.addDays(7)));
    QCOMPARE(inviting.status(links.first()), 200);

    QTest::mouseClick(copy, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), links.first());
}

void TestInvitationWindow::refusesAnUnknownCode()
{
    Inviting inviting;
    inviting.find<QLineEdit>(QStringLiteral("TextCode"))->setText(QStringLiteral("55555"));
    QVERIFY(!inviting.window->invite());
    QVERIFY(inviting.program.messages().lastText().startsWith(Msg::NoExamineeWithCode));
    QCOMPARE(inviting.program.rowCount(QStringLiteral("Invitation")), 0);
    QVERIFY(inviting.window->links().isEmpty());
    QVERIFY(!inviting.find<QPushButton>(QStringLiteral("CommandPrint"))->isEnabled());
}

void TestInvitationWindow::slipCarriesTheLinkAndExpiryButNoNameNorCode()
{
    Inviting inviting;
    inviting.find<QSpinBox>(QStringLiteral("SpinDays"))->setValue(10);
    QVERIFY(inviting.window->invite());
    const QString link = inviting.window->links().first();
    QTemporaryDir dir;
    const QString text = inviting.printed(dir);
    QVERIFY(!text.isEmpty());
    QCOMPARE(PdfText::pageCount(dir.filePath(QStringLiteral("slip.pdf"))), 1);
    const QString flat = PdfText::comparable(text);
    QVERIFY2(holdsLink(flat, link), qPrintable(text));
    const QString lastDay = ShownNumbers::text(SolarHijriDate(inviting.now.addDays(10).toLocalTime().date()));
    QVERIFY2(flat.contains(PdfText::comparable(lastDay)), qPrintable(text));
    QVERIFY(flat.contains(PdfText::comparable(Clinic)));
    QVERIFY(!flat.contains(Name));
    // The code is in no form: neither as typed nor as drawn.
    QVERIFY(!QString(flat).remove(PdfText::comparable(link)).contains(Code));
    QVERIFY(!flat.contains(PdfText::comparable(ShownNumbers::text(Code))));
}

void TestInvitationWindow::revokedLinksOpenNothing()
{
    Inviting inviting;
    QVERIFY(inviting.window->invite());
    const QString link = inviting.window->links().first();
    QCOMPARE(inviting.status(link), 200);

    // A hurried Enter keeps the link.
    inviting.program.messages().answers.enqueue(Msg::No);
    QVERIFY(!inviting.window->revoke());
    QCOMPARE(inviting.status(link), 200);

    inviting.program.messages().answers.enqueue(Msg::Yes);
    inviting.now = inviting.now.addSecs(60);
    QTest::mouseClick(inviting.find<QPushButton>(QStringLiteral("CommandRevoke")), Qt::LeftButton);
    QCOMPARE(inviting.status(link), 404);
    QCOMPARE(inviting.program.scalar(QStringLiteral("SELECT State FROM Invitation")).toString(),
        QStringLiteral("revoked"));
    QCOMPARE(inviting.program.scalar(QStringLiteral("SELECT RevokedBy FROM Invitation")).toString(),
        QStringLiteral("counsellor"));
    QCOMPARE(inviting.program.scalar(QStringLiteral("SELECT Changed FROM Invitation")).toString(),
        Invitations::storedTime(inviting.now));
    // The link is no longer shown, so it cannot be printed or copied again.
    QVERIFY(inviting.window->links().isEmpty());
    QCOMPARE(inviting.find<QLineEdit>(QStringLiteral("TextLink"))->text(), QString());
    QVERIFY(!inviting.find<QPushButton>(QStringLiteral("CommandPrint"))->isEnabled());
}

void TestInvitationWindow::aCoupleGetsTwoLinksOnOneSlip()
{
    Inviting inviting;
    QSignalSpy couples(inviting.window.get(), &InvitationWindow::coupleInvited);
    inviting.find<QLineEdit>(QStringLiteral("TextPartner"))->setText(Partner);
    QTest::mouseClick(inviting.find<QPushButton>(QStringLiteral("CommandCouple")), Qt::LeftButton);

    const QStringList links = inviting.window->links();
    QCOMPARE(links.size(), 2);
    QVERIFY(links.at(0) != links.at(1));
    QCOMPARE(inviting.find<QLineEdit>(QStringLiteral("TextLinkSecond"))->text(), links.at(1));
    QCOMPARE(inviting.program.rowCount(QStringLiteral("Invitation"), QStringLiteral("Code"), Code), 1);
    QCOMPARE(inviting.program.rowCount(QStringLiteral("Invitation"), QStringLiteral("Code"), Partner), 1);
    QCOMPARE(couples.size(), 1);
    // Remembered for the comparison window.
    ComparedPairs pairs(inviting.program.database());
    const std::optional<ComparedPairs::Pair> pair = pairs.pairOf(Partner);
    QVERIFY(pair.has_value());
    QCOMPARE(pair->firstCode, Code);
    QCOMPARE(pair->kind, ComparedPairs::CoupleKind);

    QTemporaryDir dir;
    const QString flat = PdfText::comparable(inviting.printed(dir));
    QCOMPARE(PdfText::pageCount(dir.filePath(QStringLiteral("slip.pdf"))), 1);
    QVERIFY(holdsLink(flat, links.at(0)));
    QVERIFY(holdsLink(flat, links.at(1)));
    QVERIFY(flat.contains(PdfText::comparable(QStringLiteral("همسر اول"))));
    QVERIFY(flat.contains(PdfText::comparable(QStringLiteral("همسر دوم"))));
    QVERIFY(!flat.contains(Name));
    QVERIFY(!flat.contains(PartnerName));

    // One "لغو دعوت" closes both.
    inviting.program.messages().answers.enqueue(Msg::Yes);
    QVERIFY(inviting.window->revoke());
    QCOMPARE(inviting.status(links.at(0)), 404);
    QCOMPARE(inviting.status(links.at(1)), 404);
}

void TestInvitationWindow::aCoupleNeedsTheSecondCode()
{
    Inviting inviting;
    QVERIFY(!inviting.window->inviteCouple());
    QCOMPARE(inviting.program.messages().lastText(), Msg::InviteEnterPartner);
    // A second code nobody has: neither spouse is left with a link.
    inviting.find<QLineEdit>(QStringLiteral("TextPartner"))->setText(QStringLiteral("55555"));
    QVERIFY(!inviting.window->inviteCouple());
    QCOMPARE(inviting.program.rowCount(QStringLiteral("Invitation"), QStringLiteral("State"), QStringLiteral("open")), 0);
    QVERIFY(inviting.window->links().isEmpty());
}

void TestInvitationWindow::linksCloseWhenTheirDaysAreOver_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("hoursLater");
    QTest::addColumn<int>("status");
    QTest::newRow("one day, an hour before") << 1 << 23 << 200;
    QTest::newRow("one day, at its end") << 1 << 24 << 404;
    QTest::newRow("thirty days, the last day") << 30 << 30 * 24 - 1 << 200;
    QTest::newRow("thirty days, after") << 30 << 30 * 24 << 404;
    QTest::newRow("asked for more than thirty") << 45 << 30 * 24 << 404;
}

void TestInvitationWindow::linksCloseWhenTheirDaysAreOver()
{
    QFETCH(int, days);
    QFETCH(int, hoursLater);
    QFETCH(int, status);
    Inviting inviting;
    auto* spin = inviting.find<QSpinBox>(QStringLiteral("SpinDays"));
    QCOMPARE(spin->value(), Invitations::DefaultDays);
    spin->setValue(days);
    QVERIFY(spin->value() <= 30);
    QVERIFY(inviting.window->invite());
    inviting.now = inviting.now.addSecs(hoursLater * 3600);
    QCOMPARE(inviting.status(inviting.window->links().first()), status);
    const Invitations::ProgressRead progress = Invitations::progress(inviting.program.database(), inviting.now);
    QVERIFY(progress.read);
    QCOMPARE(progress.byCode.value(Code).expired, status == 404);
}

QTEST_MAIN(TestInvitationWindow)
#include "TestInvitationWindow.moc"
