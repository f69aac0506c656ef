#include "data/Database.h"
#include "support/TestProgram.h"
#include "ui/MessageCatalogue.h"
#include "web/PhonePanel.h"
#include "web/PhoneService.h"
#include "web/ServiceSettings.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// The panel "پاسخگويي با تلفن همراه": off unless turned on, what it stores, what it refuses, and the service it starts
// and stops inside the program.
class TestPhonePanel : public QObject {
    Q_OBJECT

private slots:
    void offUntilTurnedOn();
    void refusals_data();
    void refusals();
    void plainHttpBeyondThisComputerWithAWarning();
};

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Whether a service on this computer's `port` serves the style sheet; the service runs on this thread, so the event
// loop turns while waiting.
bool answers(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    QByteArray answer;
    QElapsedTimer waited;
    waited.start();
    bool sent = false;
    while (waited.elapsed() < 3000 && !answer.contains("\r\n\r\n")) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (socket.state() == QAbstractSocket::UnconnectedState)
            return false;
        if (!sent && socket.state() == QAbstractSocket::ConnectedState) {
            socket.write("GET /style.css HTTP/1.1\r\nHost: x\r\n\r\n");
            sent = true;
        }
        answer += socket.readAll();
    }
    return answer.startsWith("HTTP/1.1 200");
}

struct Panel {
    Panel()
        : service(program.database())
        , panel(program.messages(), &service)
    {
        panel.showStored();
        panel.show();
    }
    template <typename T>
    T* find(const char* name)
    {
        return Drive::find<T>(&panel, QString::fromLatin1(name));
    }
    TestProgram program;
    PhoneService service;
    PhonePanel panel;
};

} // namespace

void TestPhonePanel::offUntilTurnedOn()
{
    Panel p;
    QVERIFY(!p.find<QCheckBox>("CheckPhoneService")->isChecked());
    QCOMPARE(p.find<QLineEdit>("TextPhoneListen")->text(), QStringLiteral("127.0.0.1:8035"));
    QVERIFY(!p.find<QCheckBox>("CheckPlainHttp")->isChecked());
    QVERIFY(!p.find<QLabel>("LabelPlainHttpWarning")->isVisible());
    QVERIFY(!p.service.running());

    const quint16 port = freePort();
    p.find<QCheckBox>("CheckPhoneService")->setChecked(true);
    p.find<QLineEdit>("TextPhoneListen")->setText(QStringLiteral("127.0.0.1:%1").arg(port));
    p.find<QLineEdit>("TextPhoneLinkBase")->setText(QStringLiteral("https://answers.example"));
    QSignalSpy saved(&p.panel, &PhonePanel::saved);
    QVERIFY(Drive::click(&p.panel, QStringLiteral("CmdSavePhone")));
    QCOMPARE(saved.count(), 1);
    QVERIFY(p.program.messages().noticeTexts().isEmpty());
    QVERIFY(p.service.running());
    QVERIFY(answers(port));
    const ServiceSettings stored = ServiceSettings::stored();
    QVERIFY(stored.enabled);
    QCOMPARE(stored.listen, QStringLiteral("127.0.0.1:%1").arg(port));
    QCOMPARE(stored.linkBase, QStringLiteral("https://answers.example"));

    p.find<QCheckBox>("CheckPhoneService")->setChecked(false);
    QVERIFY(Drive::click(&p.panel, QStringLiteral("CmdSavePhone")));
    QVERIFY(!p.service.running());
    QVERIFY(!answers(port));
    QVERIFY(!ServiceSettings::stored().enabled);
}

void TestPhonePanel::refusals_data()
{
    QTest::addColumn<QString>("listen");
    QTest::addColumn<QString>("notice");
    QTest::newRow("no port") << "127.0.0.1" << Msg::PhoneListenWrong;
    QTest::newRow("port out of range") << "127.0.0.1:70000" << Msg::PhoneListenWrong;
    QTest::newRow("a name") << "clinic-server:8035" << Msg::PhoneListenWrong;
    QTest::newRow("every address, plain") << "0.0.0.0:8035" << Msg::PhonePlainHttpNeeded;
    QTest::newRow("the Wi-Fi's address, plain") << "192.168.1.10:8035" << Msg::PhonePlainHttpNeeded;
}

void TestPhonePanel::refusals()
{
    QFETCH(QString, listen);
    QFETCH(QString, notice);
    Panel p;
    p.find<QCheckBox>("CheckPhoneService")->setChecked(true);
    p.find<QLineEdit>("TextPhoneListen")->setText(listen);
    QSignalSpy saved(&p.panel, &PhonePanel::saved);
    QVERIFY(Drive::click(&p.panel, QStringLiteral("CmdSavePhone")));
    QCOMPARE(p.program.messages().noticeTexts(), QStringList { notice });
    QCOMPARE(saved.count(), 0);
    QVERIFY(!p.service.running());
    QVERIFY(!ServiceSettings::stored().enabled);
}

void TestPhonePanel::plainHttpBeyondThisComputerWithAWarning()
{
    Panel p;
    auto* tick = p.find<QCheckBox>("CheckPlainHttp");
    auto* warning = p.find<QLabel>("LabelPlainHttpWarning");
    QTest::mouseClick(tick, Qt::LeftButton, {}, QPoint(5, tick->height() / 2));
    QVERIFY(tick->isChecked());
    QVERIFY(warning->isVisible());
    QCOMPARE(warning->text(), Msg::PhonePlainHttpWarning);
    const quint16 port = freePort();
    p.find<QCheckBox>("CheckPhoneService")->setChecked(true);
    p.find<QLineEdit>("TextPhoneListen")->setText(QStringLiteral("0.0.0.0:%1").arg(port));
    QVERIFY(Drive::click(&p.panel, QStringLiteral("CmdSavePhone")));
    QVERIFY(p.program.messages().noticeTexts().isEmpty());
    QVERIFY(p.service.running());
    QVERIFY(answers(port));
    QVERIFY(ServiceSettings::stored().allowPlainHttp);
    // Shown again, the stored tick brings its warning with it.
    p.panel.showStored();
    QVERIFY(warning->isVisible());
}

QTEST_MAIN(TestPhonePanel)
#include "TestPhonePanel.moc"
