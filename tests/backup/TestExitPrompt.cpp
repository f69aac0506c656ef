#include "backup/ExitPrompt.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

const QString kFirstTitle = QStringLiteral(" تهيه نسخه پشتيبان");
const QString kSecondTitle = QStringLiteral("پشتيبان گيري");
const QString kDesignTitle = QStringLiteral("تهيه نسخه پشتيبان");

struct Prompt {
    Prompt()
        : window(new ExitPrompt)
    {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    ~Prompt() { delete window.data(); }

    template <typename T>
    T* find(const char* name) { return window->findChild<T*>(QString::fromLatin1(name)); }
    QWidget* picture(const char* name) { return find<QWidget>(name); }
    QCheckBox* backup() { return find<QCheckBox>("Check1"); }
    // Puts the pointer on a picture; the resting picture gives way to the clickable one.
    void hover(const char* resting) { QTest::mouseMove(picture(resting), picture(resting)->rect().center()); }
    // Puts the pointer on the window's free area, between the tick box and the pictures.
    void hoverBackground() { QTest::mouseMove(window, QPoint(4, window->height() - 4)); }

    QPointer<ExitPrompt> window;
};

} // namespace

class TestExitPrompt : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void opening();
    void hover_data();
    void hover();
    void titleBlinks();
    void captionFollowsTitle();
    void confirm_data();
    void confirm();
    void cancel();
    void restingPicturesDoNotAnswer();
    void keyboard_data();
    void keyboard();
    void nothingCutOff();
    // Last: from here on every title of this process reaches the title bar in Persian letters.
    void tickCaptionKeepsTheProgramsLettersUnderAPersianTitleBar();
};

void TestExitPrompt::opening()
{
    Prompt p;
    QCOMPARE(p.window->windowTitle(), kDesignTitle);
    QCOMPARE(p.find<QLabel>("Label1")->text(), QStringLiteral("آيا براي خروج از برنامه اطمينان داريد"));
    QVERIFY(!p.backup()->isChecked());
    QCOMPARE(p.backup()->text(), kDesignTitle);
    QVERIFY(p.picture("k1")->isVisible());
    QVERIFY(p.picture("C1")->isVisible());
    QVERIFY(!p.picture("k2")->isVisible());
    QVERIFY(!p.picture("C2")->isVisible());
    for (const char* name : {"Timer2", "Timer3", "tmCaptionAnimate"}) {
        auto* timer = p.find<QTimer>(name);
        QVERIFY2(timer, name);
        QVERIFY2(timer->isActive(), name);
        QCOMPARE(timer->interval(), 500);
    }
    // Placed at left 5000, top 4500 twips when it loads.
    QCOMPARE(p.window->pos(), QPoint(Twips::toPixelsX(5000), Twips::toPixelsY(4500)));
}

void TestExitPrompt::hover_data()
{
    QTest::addColumn<QString>("resting");
    QTest::addColumn<QString>("clickable");
    QTest::addColumn<QString>("otherResting");
    QTest::addColumn<QString>("otherClickable");
    QTest::newRow("confirm") << "k1" << "k2" << "C1" << "C2";
    QTest::newRow("cancel") << "C1" << "C2" << "k1" << "k2";
}

void TestExitPrompt::hover()
{
    QFETCH(QString, resting);
    QFETCH(QString, clickable);
    QFETCH(QString, otherResting);
    QFETCH(QString, otherClickable);
    Prompt p;
    p.hover(qPrintable(resting));
    QVERIFY(!p.picture(qPrintable(resting))->isVisible());
    QVERIFY(p.picture(qPrintable(clickable))->isVisible());
    QVERIFY(p.picture(qPrintable(otherResting))->isVisible());
    QVERIFY(!p.picture(qPrintable(otherClickable))->isVisible());

    p.hoverBackground();
    for (const QString& name : {resting, otherResting})
        QVERIFY2(p.picture(qPrintable(name))->isVisible(), qPrintable(name));
    for (const QString& name : {clickable, otherClickable})
        QVERIFY2(!p.picture(qPrintable(name))->isVisible(), qPrintable(name));
}

void TestExitPrompt::titleBlinks()
{
    Prompt p;
    QSignalSpy changes(p.window.data(), &QWidget::windowTitleChanged);
    QElapsedTimer clock;
    clock.start();
    QList<qint64> at;
    connect(p.window.data(), &QWidget::windowTitleChanged, this, [&] { at << clock.elapsed(); });
    QTRY_VERIFY_WITH_TIMEOUT(changes.count() >= 4, 4000);

    QStringList titles;
    for (const QList<QVariant>& change : changes)
        titles << change.at(0).toString();
    for (qsizetype i = 0; i < titles.size(); ++i) {
        QVERIFY2(titles.at(i) == kFirstTitle || titles.at(i) == kSecondTitle, qPrintable(titles.at(i)));
        if (i > 0)
            QVERIFY2(titles.at(i) != titles.at(i - 1), "the two titles alternate");
    }
    // From the second change on, one text stands for half a second.
    for (qsizetype i = 2; i < at.size(); ++i) {
        const qint64 gap = at.at(i) - at.at(i - 1);
        QVERIFY2(gap >= 400 && gap <= 900, qPrintable(QString::number(gap)));
    }
}

void TestExitPrompt::captionFollowsTitle()
{
    Prompt p;
    p.backup()->setChecked(true);
    QSet<QString> captions;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2200) {
        QTest::qWait(50);
        captions.insert(p.backup()->text());
        QVERIFY(p.backup()->isChecked());
    }
    QVERIFY2(captions.contains(kFirstTitle), "first title reached the tick box");
    QVERIFY2(captions.contains(kSecondTitle), "second title reached the tick box");
    // The caption lags the title by at most one tick.
    const QString title = p.window->windowTitle();
    QTRY_COMPARE_WITH_TIMEOUT(p.backup()->text(), title, 600);
    QVERIFY(p.backup()->isChecked());

    p.backup()->setChecked(false);
    QTest::qWait(600);
    QVERIFY(!p.backup()->isChecked());
}

void TestExitPrompt::confirm_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::newRow("unticked") << false;
    QTest::newRow("ticked") << true;
}

void TestExitPrompt::confirm()
{
    QFETCH(bool, ticked);
    Prompt p;
    p.backup()->setChecked(ticked);
    QSignalSpy confirmed(p.window.data(), &ExitPrompt::confirmed);
    QSignalSpy cancelled(p.window.data(), &ExitPrompt::cancelled);
    p.hover("k1");
    QTest::mouseClick(p.find<QToolButton>("k2"), Qt::LeftButton);
    QCOMPARE(confirmed.count(), 1);
    QCOMPARE(confirmed.first().at(0).toBool(), ticked);
    QCOMPARE(cancelled.count(), 0);
    QVERIFY(p.window);
    // With the box ticked the prompt steps aside for the backup window, still loaded.
    QCOMPARE(p.window->isVisible(), !ticked);
}

void TestExitPrompt::cancel()
{
    Prompt p;
    QSignalSpy confirmed(p.window.data(), &ExitPrompt::confirmed);
    QSignalSpy cancelled(p.window.data(), &ExitPrompt::cancelled);
    p.hover("C1");
    QTest::mouseClick(p.find<QToolButton>("C2"), Qt::LeftButton);
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(confirmed.count(), 0);
    QTRY_VERIFY(!p.window);
}

void TestExitPrompt::restingPicturesDoNotAnswer()
{
    Prompt p;
    QSignalSpy confirmed(p.window.data(), &ExitPrompt::confirmed);
    QSignalSpy cancelled(p.window.data(), &ExitPrompt::cancelled);
    // Pressing where the picture is, without the pointer having moved onto it first.
    for (const char* name : {"k1", "C1"}) {
        QWidget* resting = p.picture(name);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(resting->rect().center()),
                          resting->mapToGlobal(QPointF(resting->rect().center())), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(resting, &press);
    }
    QCOMPARE(confirmed.count(), 0);
    QCOMPARE(cancelled.count(), 0);
    QVERIFY(p.window->isVisible());
}

void TestExitPrompt::keyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("confirmations");
    QTest::addColumn<int>("cancellations");
    QTest::newRow("Enter") << int(Qt::Key_Return) << false << 1 << 0;
    QTest::newRow("Enter, ticked") << int(Qt::Key_Return) << true << 1 << 0;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false << 1 << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << false << 0 << 1;
}

void TestExitPrompt::keyboard()
{
    QFETCH(int, key);
    QFETCH(bool, ticked);
    QFETCH(int, confirmations);
    QFETCH(int, cancellations);
    Prompt p;
    p.backup()->setChecked(ticked);
    QSignalSpy confirmed(p.window.data(), &ExitPrompt::confirmed);
    QSignalSpy cancelled(p.window.data(), &ExitPrompt::cancelled);
    p.backup()->setFocus();
    QTest::keyClick(p.backup(), Qt::Key(key));
    QCOMPARE(confirmed.count(), confirmations);
    QCOMPARE(cancelled.count(), cancellations);
    if (confirmations)
        QCOMPARE(confirmed.first().at(0).toBool(), ticked);
}

void TestExitPrompt::nothingCutOff()
{
    Prompt p;
    auto* question = p.find<QLabel>("Label1");
    QVERIFY(question->fontMetrics().horizontalAdvance(question->text()) <= question->width());
    // The tick box holds either title as its caption.
    for (const QString& caption : {kDesignTitle, kFirstTitle, kSecondTitle}) {
        p.backup()->setText(caption);
        QVERIFY2(p.backup()->sizeHint().width() <= p.backup()->width(), qPrintable(caption));
    }
    for (const char* name : {"Label1", "Check1", "k1", "k2", "C1", "C2"})
        QVERIFY2(p.window->rect().contains(p.picture(name)->geometry()), name);
    QVERIFY(!p.picture("k1")->geometry().intersects(p.picture("C1")->geometry()));
    QVERIFY(!p.picture("Check1")->geometry().intersects(p.picture("k1")->geometry()));
}

void TestExitPrompt::tickCaptionKeepsTheProgramsLettersUnderAPersianTitleBar()
{
    PersianText::giveTitleBarsPersianLetters(*qApp);
    Prompt p;
    QCOMPARE(p.window->windowTitle(), PersianText::titleBarText(kDesignTitle));
    QSet<QString> captions;
    QSet<QString> titles;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2200) {
        QTest::qWait(50);
        captions.insert(p.backup()->text());
        titles.insert(p.window->windowTitle());
    }
    // The caption follows the title as the program writes it, not as the title bar got it.
    QVERIFY2(captions.contains(kFirstTitle), "first title reached the tick box");
    QVERIFY2(captions.contains(kSecondTitle), "second title reached the tick box");
    for (const QString& caption : captions)
        QVERIFY2(caption == kDesignTitle || caption == kFirstTitle || caption == kSecondTitle, qPrintable(caption));
    for (const QString& title : titles)
        QVERIFY2(title == PersianText::titleBarText(kDesignTitle) || title == PersianText::titleBarText(kFirstTitle)
                || title == PersianText::titleBarText(kSecondTitle),
            qPrintable(title));
}

QTEST_MAIN(TestExitPrompt)
#include "TestExitPrompt.moc"
