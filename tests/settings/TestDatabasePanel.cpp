#include "data/DatabaseChoice.h"
#include "data/ServerFailure.h"
#include "settings/ServerFailureSentence.h"
#include "settings/DatabasePanel.h"
#include "settings/Theme.h"
#include "support/LayoutCheck.h"
#include "support/ScratchServer.h"
#include "support/TableContents.h"
#include "support/TableHold.h"
#include "support/TestProgram.h"
#include "text/Digits.h"
#include "text/ProgramSettings.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>

namespace {

ServerAddress clinic()
{
    ServerAddress a;
    a.host = QStringLiteral("clinic-server");
    a.port = 5433;
    a.database = QStringLiteral("clinic");
    a.user = QStringLiteral("counsellor");
    return a;
}

struct Panel {
    Panel()
    {
        panel = new DatabasePanel(program.messages(), program.folder(), &window);
        panel->setGeometry(Twips::toPixels(0, 0, 5700, 4200));
        window.setLayoutDirection(Qt::RightToLeft);
        panel->showStored();
        panel->show();
        window.show();
    }

    template <typename T = QLineEdit> T* control(const char* name)
    {
        return Drive::find<T>(panel, QString::fromLatin1(name));
    }
    void fill(const ServerAddress& server)
    {
        control<QRadioButton>("DatabaseServer")->setChecked(true);
        control("DatabaseHost")->setText(server.host);
        control("DatabasePort")->setText(QString::number(server.port));
        control("DatabaseName")->setText(server.database);
        control("DatabaseUser")->setText(server.user);
    }

    TestProgram program;
    QWidget window;
    DatabasePanel* panel = nullptr;
};

DatabaseChoice onServer(const ServerAddress& server)
{
    DatabaseChoice choice;
    choice.kind = DatabaseChoice::Kind::Server;
    choice.server = server;
    return choice;
}

} // namespace

class TestDatabasePanel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void localByDefault();
    void showsStoredServer();
    void saveStoresServer();
    void saveStoresLocalKeepingServer();
    void refusals_data();
    void refusals();
    void cancelStoresNothing();
    void testSaysWhyItFailed();
    void copyAskedFirst();
    void testSaysItWorks();
    void copyMovesTheClinic();
    void copyRefusedOnTakenCode();
    void longListOfTakenCodesShortened();
    void aPasswordInTheStoredOptionsIsNeverWrittenBack();
    void copyRefusedOnCodesHeldTwice();
    void cancelStopsTheCopyWithNothingCopied();
    void captionsNameFieldsAndTabOrder();
    void nothingCutOff();
    void unusedFieldsLookDisabledOnEveryTheme_data();
    void unusedFieldsLookDisabledOnEveryTheme();
};

void TestDatabasePanel::localByDefault()
{
    Panel p;
    QVERIFY(p.control<QRadioButton>("DatabaseLocal")->isChecked());
    for (const char* name : { "DatabaseHost", "DatabasePort", "DatabaseName", "DatabaseUser", "DatabaseHostCaption",
             "DatabasePortCaption", "DatabaseNameCaption", "DatabaseUserCaption" })
        QVERIFY2(!p.control<QWidget>(name)->isEnabled(), name);
    QVERIFY(!p.control<QPushButton>("DatabaseTest")->isEnabled());
    QVERIFY(!p.control<QPushButton>("DatabaseCopy")->isEnabled());
    QCOMPARE(Digits::toAscii(p.control("DatabasePort")->text()), QStringLiteral("5432"));
}

// On every theme a server field not in use looks so: drawn in the skin's disabled text colour, unlike a field in use.
void TestDatabasePanel::unusedFieldsLookDisabledOnEveryTheme_data()
{
    QTest::addColumn<int>("theme");
    for (int theme = 1; theme <= Theme::Count; ++theme)
        QTest::newRow(qPrintable(Theme::skinFile(theme))) << theme;
}

void TestDatabasePanel::unusedFieldsLookDisabledOnEveryTheme()
{
    QFETCH(int, theme);
    Panel p;
    const std::optional<SkinFile> skin = Theme::loadSkin(p.program.folder(), Theme::skinFile(theme));
    QVERIFY(skin);
    Theme::paint(&p.window, *skin);
    auto* host = p.control("DatabaseHost");
    QVERIFY(!host->isEnabled());
    const QImage off = host->grab().toImage();
    p.control<QRadioButton>("DatabaseServer")->setChecked(true);
    QVERIFY(host->isEnabled());
    const QImage on = host->grab().toImage();
    // The background differs, so the field does not look the same whether in use or not.
    const QPoint inside(host->width() / 2, host->height() - 4);
    QVERIFY2(off.pixelColor(inside) != on.pixelColor(inside), qPrintable(off.pixelColor(inside).name()));
}

void TestDatabasePanel::showsStoredServer()
{
    Panel p;
    QVERIFY(onServer(clinic()).store());
    p.panel->showStored();
    QVERIFY(p.control<QRadioButton>("DatabaseServer")->isChecked());
    QCOMPARE(p.control("DatabaseHost")->text(), QStringLiteral("clinic-server"));
    QCOMPARE(Digits::toAscii(p.control("DatabasePort")->text()), QStringLiteral("5433"));
    QCOMPARE(p.control("DatabaseName")->text(), QStringLiteral("clinic"));
    QCOMPARE(p.control("DatabaseUser")->text(), QStringLiteral("counsellor"));
    QVERIFY(p.control<QPushButton>("DatabaseTest")->isEnabled());
}

void TestDatabasePanel::saveStoresServer()
{
    Panel p;
    QSignalSpy saved(p.panel, &DatabasePanel::saved);
    p.fill(clinic());
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseSave")));
    QCOMPARE(saved.count(), 1);
    QCOMPARE(DatabaseChoice::stored(), onServer(clinic()));
    QCOMPARE(p.program.messages().noticeTexts(), QStringList { Msg::DatabaseChoiceSaved });
}

void TestDatabasePanel::saveStoresLocalKeepingServer()
{
    Panel p;
    QVERIFY(onServer(clinic()).store());
    p.panel->showStored();
    Drive::click(p.panel, QStringLiteral("DatabaseLocal"));
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseSave")));
    QCOMPARE(DatabaseChoice::stored().kind, DatabaseChoice::Kind::Local);
    QCOMPARE(DatabaseChoice::storedServer(), clinic());
}

void TestDatabasePanel::refusals_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no database") << "5432"
                                 << "  " << Msg::DatabaseNameNeeded << "DatabaseName";
    QTest::newRow("port 0") << "0"
                            << "clinic" << Msg::DatabasePortWrong << "DatabasePort";
    QTest::newRow("port too big") << "70000"
                                  << "clinic" << Msg::DatabasePortWrong << "DatabasePort";
    QTest::newRow("no port") << ""
                             << "clinic" << Msg::DatabasePortWrong << "DatabasePort";
}

void TestDatabasePanel::refusals()
{
    QFETCH(QString, port);
    QFETCH(QString, name);
    QFETCH(QString, notice);
    QFETCH(QString, focus);
    Panel p;
    QSignalSpy saved(p.panel, &DatabasePanel::saved);
    p.fill(clinic());
    p.control("DatabasePort")->setText(port);
    p.control("DatabaseName")->setText(name);
    for (const char* button : { "DatabaseSave", "DatabaseTest", "DatabaseCopy" }) {
        p.program.messages().clear();
        QVERIFY(Drive::click(p.panel, QString::fromLatin1(button)));
        QCOMPARE(p.program.messages().noticeTexts(), QStringList { notice });
        QCOMPARE(p.window.focusWidget() ? p.window.focusWidget()->objectName() : QString(), focus);
    }
    QCOMPARE(saved.count(), 0);
    QCOMPARE(DatabaseChoice::stored().kind, DatabaseChoice::Kind::Local);
}

void TestDatabasePanel::cancelStoresNothing()
{
    Panel p;
    QSignalSpy cancelled(p.panel, &DatabasePanel::cancelled);
    p.fill(clinic());
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseCancel")));
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(DatabaseChoice::stored(), DatabaseChoice());
    QVERIFY(p.program.messages().boxes.isEmpty());
}

void TestDatabasePanel::testSaysWhyItFailed()
{
    // A folder with no server's socket in it: nothing listens there.
    Panel p;
    ServerAddress nowhere = clinic();
    nowhere.host = p.program.folder();
    nowhere.port = 5432;
    p.fill(nowhere);
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseTest")));
    QCOMPARE(p.program.messages().boxes.size(), 1);
    const ScriptedMessages::Box& box = p.program.messages().boxes.first();
    QCOMPARE(box.kind, ScriptedMessages::Kind::Standard);
    QCOMPARE(box.title, Msg::ErrorTitlePersian);
    QVERIFY2(
        box.text.startsWith(ServerFailure::sentence(ServerFailure::Reason::Refused, nowhere)), qPrintable(box.text));
    // Trying stores nothing.
    QCOMPARE(DatabaseChoice::stored(), DatabaseChoice());
}

void TestDatabasePanel::copyAskedFirst()
{
    Panel p;
    ServerAddress nowhere = clinic();
    nowhere.host = p.program.folder();
    p.fill(nowhere);
    p.program.messages().answers.enqueue(Msg::No);
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseCopy")));
    QCOMPARE(p.program.messages().boxes.size(), 1);
    QCOMPARE(p.program.messages().boxes.first().style, Msg::Style::YesNo);
}

void TestDatabasePanel::testSaysItWorks()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    Panel p;
    p.fill(scratch.address());
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseTest")));
    QCOMPARE(p.program.messages().boxes.size(), 1);
    const ScriptedMessages::Box& box = p.program.messages().boxes.first();
    QCOMPARE(box.text, Msg::ServerConnectionWorks.arg(QChar(0x2066) + scratch.address().displayName() + QChar(0x2069)));
    QCOMPARE(box.style, Msg::Style::InformationRtl);
    QCOMPARE(DatabaseChoice::stored(), DatabaseChoice());
}

void TestDatabasePanel::copyMovesTheClinic()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    Panel p;
    p.program.addExaminee(QStringLiteral("7"), QStringLiteral("مريم"));
    p.program.addExaminee(QStringLiteral("12"));
    p.fill(scratch.address());
    p.program.messages().answers.enqueue(Msg::Yes);
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseCopy")));
    QCOMPARE(p.program.messages().lastText(),
        Msg::CopyToServerDone.arg(
            QChar(0x2066) + scratch.address().displayName() + QChar(0x2069), QStringLiteral("2")));
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    QCOMPARE(tableContents(*server).value(QStringLiteral("IDE")),
        tableContents(p.program.database()).value(QStringLiteral("IDE")));
}

void TestDatabasePanel::copyRefusedOnTakenCode()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    Panel p;
    p.program.addExaminee(QStringLiteral("7"));
    p.program.addExaminee(QStringLiteral("12"));
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    QVERIFY(server->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('7')")));
    QVERIFY(server->exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\") VALUES ('7')")));
    const auto before = tableContents(*server);
    p.fill(scratch.address());
    p.program.messages().answers.enqueue(Msg::Yes);
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseCopy")));
    QCOMPARE(p.program.messages().lastText(),
        Msg::CopyToServerCodesTaken.arg(QChar(0x2066) + scratch.address().displayName() + QChar(0x2069))
            + QStringLiteral("\n7"));
    QCOMPARE(tableContents(*server), before);
}

void TestDatabasePanel::aPasswordInTheStoredOptionsIsNeverWrittenBack()
{
    Panel p;
    QVERIFY(onServer(clinic()).store());
    {
        QSettings settings(ProgramSettings::filePath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("database/options"), QStringLiteral("sslmode=require; password=secret"));
    }
    p.panel->showStored();
    QCOMPARE(p.control("DatabaseName")->text(), QStringLiteral("clinic"));
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseSave")));
    QFile file(ProgramSettings::filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains("secret"));
    QCOMPARE(DatabaseChoice::stored(), onServer(clinic()));
}

void TestDatabasePanel::copyRefusedOnCodesHeldTwice()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    Panel p;
    p.program.addExaminee(QStringLiteral("7"));
    p.program.addExaminee(QStringLiteral("12"));
    p.program.exec(QStringLiteral("INSERT INTO IDE (Code) VALUES ('12')"));
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    const auto before = tableContents(*server);
    p.fill(scratch.address());
    p.program.messages().answers.enqueue(Msg::Yes);
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseCopy")));
    QCOMPARE(p.program.messages().lastText(),
        Msg::CopyToServerCodesDoubled.arg(QChar(0x2066) + scratch.address().displayName() + QChar(0x2069))
            + QStringLiteral("\n12"));
    QCOMPARE(p.program.messages().boxes.last().title, Msg::ErrorTitlePersian);
    QCOMPARE(tableContents(*server), before);
}

void TestDatabasePanel::longListOfTakenCodesShortened()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    Panel p;
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    QStringList codes;
    for (int i = 1; i <= 25; ++i) {
        const QString code = QString::number(i);
        codes << code;
        p.program.addExaminee(code);
        QVERIFY(server->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('%1')").arg(code)));
    }
    p.fill(scratch.address());
    p.program.messages().answers.enqueue(Msg::Yes);
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseCopy")));
    QCOMPARE(p.program.messages().lastText(),
             Msg::CopyToServerCodesTaken.arg(QChar(0x2066) + scratch.address().displayName() + QChar(0x2069))
                 + QLatin1Char('\n') + codes.mid(0, 20).join(QStringLiteral("، ")) + QLatin1Char(' ')
                 + Msg::AndMoreCodes.arg(5));
}

void TestDatabasePanel::captionsNameFieldsAndTabOrder()
{
    Panel p;
    p.fill(clinic());
    const QStringList fields { "DatabaseHost", "DatabasePort", "DatabaseName", "DatabaseUser" };
    for (const QString& field : fields) {
        auto* label = Drive::find<QLabel>(p.panel, field + QStringLiteral("Caption"));
        QCOMPARE(label->buddy(), p.panel->findChild<QWidget*>(field));
        // Latin words, typed left to right.
        QCOMPARE(p.panel->findChild<QWidget*>(field)->layoutDirection(), Qt::LeftToRight);
    }
    QCOMPARE(p.panel->layoutDirection(), Qt::RightToLeft);
    // The port is a number: at the right edge, as the form's other numbers; the words start at the left.
    for (const char* field : { "DatabaseHost", "DatabaseName", "DatabaseUser" })
        QCOMPARE(Drive::find<QLineEdit>(p.panel, field)->alignment() & (Qt::AlignHorizontal_Mask | Qt::AlignAbsolute),
            Qt::AlignLeft | Qt::AlignAbsolute);
    QCOMPARE(Drive::find<QLineEdit>(p.panel, "DatabasePort")->alignment() & (Qt::AlignHorizontal_Mask | Qt::AlignAbsolute),
        Qt::AlignRight | Qt::AlignAbsolute);
    const QStringList order { "DatabaseLocal", "DatabaseServer", "DatabaseHost", "DatabasePort", "DatabaseName",
        "DatabaseUser", "DatabaseTest", "DatabaseCopy", "DatabaseSave", "DatabaseCancel" };
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget* next = p.panel->findChild<QWidget*>(order.at(i - 1))->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        QCOMPARE(next->objectName(), order.at(i));
    }
    // Right to left: of each pair of buttons, the first in the order is on the right.
    for (qsizetype i = 7; i < order.size(); i += 2)
        QVERIFY(p.panel->findChild<QWidget*>(order.at(i - 1))->x() > p.panel->findChild<QWidget*>(order.at(i))->x());
}

void TestDatabasePanel::nothingCutOff()
{
    Panel p;
    p.fill(clinic());
    QVERIFY(LayoutCheck::nothingCutOff(p.panel));
}

void TestDatabasePanel::cancelStopsTheCopyWithNothingCopied()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    Panel p;
    p.program.addExaminee(QStringLiteral("7"));
    p.program.addExaminee(QStringLiteral("12"));
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    const auto before = tableContents(*server);
    p.fill(scratch.address());
    p.program.messages().answers.enqueue(Msg::Yes);
    QSignalSpy closed(p.panel, &DatabasePanel::cancelled);
    // The examinees are written, their answers wait: "انصراف" meanwhile.
    TableHold hold(scratch.address(), QStringLiteral("Answer"), QStringLiteral("SHARE"));
    QVERIFY(hold.held());
    bool showed = false;
    hold.whenWaitedFor([&] {
        showed = p.control<QProgressBar>("CopyProgress")->isVisible() && p.panel->isCopying();
        QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseCancel")));
    });
    QVERIFY(Drive::click(p.panel, QStringLiteral("DatabaseCopy")));
    QVERIFY(showed);
    QVERIFY(!p.panel->isCopying());
    QCOMPARE(closed.size(), 1);
    QCOMPARE(p.program.messages().boxes.size(), 1);
    QCOMPARE(tableContents(*server), before);
    // The panel is as before the copy, ready for another.
    QVERIFY(p.control<QPushButton>("DatabaseCopy")->isVisible());
    QVERIFY(!p.control<QProgressBar>("CopyProgress")->isVisible());
}

QTEST_MAIN(TestDatabasePanel)
#include "TestDatabasePanel.moc"
