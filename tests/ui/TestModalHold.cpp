#include "ui/ModalHold.h"

#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

// A window deleted while its box is open: the box is closed as cancelled, no further box opens over the window on
// its way out, and the window is deleted once its box has returned, even with other events for it waiting.
class TestModalHold : public QObject {
    Q_OBJECT
private slots:
    void windowDeletedUnderItsBox_data();
    void windowDeletedUnderItsBox();
};

void TestModalHold::windowDeletedUnderItsBox_data()
{
    QTest::addColumn<bool>("eventsWaiting");
    QTest::newRow("nothing else waiting for the window") << false;
    QTest::newRow("other events waiting for the window") << true;
}

void TestModalHold::windowDeletedUnderItsBox()
{
    QFETCH(bool, eventsWaiting);
    auto* window = new QWidget;
    QPointer<QWidget> guarded(window);
    window->show();
    QDialog first;
    QDialog second;
    bool secondShown = false;
    QTimer::singleShot(0, window, [window] { window->deleteLater(); });
    // An event for the window posted as its box closes is still waiting when the hold posts the deletion.
    if (eventsWaiting)
        connect(&first, &QDialog::finished, window,
            [window] { QCoreApplication::postEvent(window, new QEvent(QEvent::User)); });
    connect(&second, &QDialog::finished, this, [&secondShown] { secondShown = true; });
    QTimer::singleShot(5000, &first, &QDialog::accept); // only if the hold fails to close it

    const std::optional<int> answered = ModalHold::exec(window, &first);
    QVERIFY(guarded); // still here while the code after its box runs
    QCOMPARE(answered, std::optional<int>(QDialog::Rejected));
    // The code after the box goes on to another box over the same window: it is not shown.
    QCOMPARE(ModalHold::exec(window, &second), std::nullopt);
    QVERIFY(!secondShown);
    QTRY_VERIFY(guarded.isNull());
}

QTEST_MAIN(TestModalHold)
#include "TestModalHold.moc"
