#include "SampleMaker.h"
#include "about/AboutWindow.h"
#include "about/CreditColours.h"
#include "support/LayoutCheck.h"
#include "support/OwnSettings.h"
#include "text/ShownNumbers.h"
#include "ui/PersianText.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <memory>

using Rgb = CreditColours::Rgb;

namespace {

// An open About window whose random colours come from a fixed list.
struct About {
    explicit About(const Maker::Details& maker = fullDetails(), QList<double> random = { 0.2, 0.4, 0.6 })
        : window(new AboutWindow(
            maker, nullptr, [random, i = qsizetype(0)]() mutable { return random.at(i++ % random.size()); }))
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    ~About() { delete window.data(); }

    template <typename T> T* find(const char* name) const
    {
        T* child = window->findChild<T*>(QString::fromLatin1(name));
        if (!child)
            QTest::qFail(name, __FILE__, __LINE__);
        return child;
    }
    QLabel* label(int n) const { return find<QLabel>(qPrintable(QStringLiteral("Label%1").arg(n))); }
    QTimer* timer(const char* name) const { return find<QTimer>(name); }

    // Stops the timer and runs its ticks by hand, so a test sees each step.
    void step(const char* timerName, int ticks = 1)
    {
        QTimer* t = timer(timerName);
        t->stop();
        for (int i = 0; i < ticks; ++i)
            QMetaObject::invokeMethod(t, "timeout");
    }

    QPointer<AboutWindow> window;
};

QColor textColour(QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

} // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void opening();
    void sentenceTightens();
    void linesScrollAndWrap();
    void colours();
    void coloursReadOnADarkWindow();
    void takesTheThemesColours();
    void closeButton();
    void escapeCloses();
    void notices();
    void nothingCutOff();
    void numbersInPersianNamesAndAddressesAsWritten();

private:
    const OwnSettings m_settings;
};

void TestAboutWindow::opening()
{
    About about;
    QCOMPARE(about.window->windowTitle(), QStringLiteral("about"));
    QVERIFY(about.window->isModal());

    // Each animation has its timer, running from the start.
    const QList<QPair<const char*, int>> timers = { { "Timer1", 700 }, { "Timer3", 1 }, { "Timer10", 55 } };
    for (const auto& [name, interval] : timers) {
        QCOMPARE(about.timer(name)->interval(), interval);
        QVERIFY2(about.timer(name)->isActive(), name);
    }
    QCOMPARE(about.window->findChildren<QTimer*>().size(), 3);

    // The column starts with slots 0 to 3, top to bottom.
    const QStringList first
        = { QStringLiteral("نام نرم افزار:"), QStringLiteral(" نرم افزار پرسشنامه رضايت زناشويي تورين ۳۵ ماده اي "),
              QStringLiteral("برنامه نويس: ") + apart(QStringLiteral("Reza Ahmadi")),
              QStringLiteral("تلفن : ") + apart(QStringLiteral("۰۲۱-۵۵۵۵")) + QStringLiteral(" ") };
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(about.label(i)->text(), first.at(i - 1));
        if (i > 1)
            QVERIFY(about.label(i)->y() > about.label(i - 1)->y());
    }
    QVERIFY(about.find<QLineEdit>("Text1")->isReadOnly());
}

void TestAboutWindow::sentenceTightens()
{
    About about;
    auto* text = about.find<QLineEdit>("Text1");
    const QString settled = QStringLiteral("This Program Is Created By Reza  Ahmadi ");
    // Shown spread out and tightening at 1 ms a tick: how far it got while the window was being shown depends on
    // the machine's load, but it is never shorter than where it settles.
    QVERIFY2(text->text().startsWith(QLatin1Char('T')) && text->text().size() >= settled.size(),
        qPrintable(text->text()));
    // It settles within moments, and its timer then stops.
    QTRY_COMPARE(text->text(), settled);
    QTRY_VERIFY(!about.timer("Timer3")->isActive());
    QTest::qWait(20);
    QCOMPARE(text->text(), QStringLiteral("This Program Is Created By Reza  Ahmadi "));
}

void TestAboutWindow::linesScrollAndWrap()
{
    About about;
    QLabel* first = about.label(1);
    const int startY = first->y();
    const int startMap = first->mapTo(about.window, QPoint(0, 0)).y();
    about.step("Timer10", 10);
    // Ten ticks of 15 twips: 150 twips, 10 pixels at 96 dots an inch.
    QCOMPARE(first->y(), startY - qRound(150 * first->logicalDpiY() / 1440.0));
    QCOMPARE(first->mapTo(about.window, QPoint(0, 0)).y(), startMap - (startY - first->y()));

    // Label1 reaches the top (1920 down to 1000 twips or less) on the 63rd tick and goes below the others with
    // slot 4; the next to wrap is Label2 with slot 5.
    about.step("Timer10", 52);
    QCOMPARE(first->text(), QStringLiteral("نام نرم افزار:"));
    about.step("Timer10");
    QCOMPARE(
        first->text(), QStringLiteral(" ايميل : ") + apart(QStringLiteral("reza@maker.test")) + QStringLiteral("  "));
    for (int i = 2; i <= 4; ++i)
        QVERIFY(first->y() > about.label(i)->y());
    about.step("Timer10", 48);
    QCOMPARE(about.label(2)->text(), QStringLiteral(" وب سايت : ") + apart(QStringLiteral("https://maker.test")));
    QVERIFY(about.label(2)->y() > about.label(1)->y());
}

void TestAboutWindow::colours()
{
    About about(fullDetails(), { 0.2, 0.4, 0.6 });
    QLabel* first = about.label(1);
    QLabel* third = about.label(3);
    // Each drawn as it reads on the window's background (unchanged where it reads already).
    const QColor window = about.find<QWidget>("Credits")->palette().color(QPalette::Window);
    const Rgb background { window.red(), window.green(), window.blue() };
    const auto drawn = [&background](const Rgb& rgb) {
        const Rgb readable = CreditColours::readableOn(rgb, background);
        return QColor(readable.red, readable.green, readable.blue);
    };
    for (int round = 0; round < 2; ++round) {
        for (int entry = 0; entry < 16; entry += 2) {
            about.step("Timer1");
            QCOMPARE(textColour(first), drawn(CreditColours::paletteEntry(entry)));
            QCOMPARE(textColour(third), drawn(Rgb { 51, 102, 153 }));
        }
    }
    // Black reads on the light window as it is.
    QCOMPARE(drawn(CreditColours::paletteEntry(0)), QColor(0, 0, 0));
    // The other two lines keep the window's colour.
    QCOMPARE(textColour(about.label(2)), about.window->palette().color(QPalette::WindowText));
}

// On a dark theme's colours the changing lines still read: every step keeps at least 4.5:1 against the window.
void TestAboutWindow::coloursReadOnADarkWindow()
{
    About about(fullDetails(), { 0.0, 0.05, 0.1, 0.9, 0.95, 1.0 });
    QPalette dark = about.window->palette();
    dark.setColor(QPalette::Window, QColor(30, 27, 58));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 240));
    about.window->setPalette(dark);
    QCOMPARE(about.find<QWidget>("Credits")->palette().color(QPalette::Window), QColor(30, 27, 58));
    for (int tick = 0; tick < 16; ++tick) {
        about.step("Timer1");
        for (int line : { 1, 3 }) {
            const QColor c = textColour(about.label(line));
            QVERIFY2(CreditColours::contrast(Rgb { c.red(), c.green(), c.blue() }, Rgb { 30, 27, 58 }) >= 4.5,
                qPrintable(c.name()));
        }
    }
}

// Opened over a window painted with a theme, the About window takes its colours.
void TestAboutWindow::takesTheThemesColours()
{
    QWidget owner;
    QPalette dark = owner.palette();
    dark.setColor(QPalette::Window, QColor(30, 27, 58));
    owner.setPalette(dark);
    owner.setProperty("appliedTheme", 3);
    AboutWindow themed(fullDetails(), &owner);
    QCOMPARE(themed.palette().color(QPalette::Window), QColor(30, 27, 58));
    QWidget plain;
    plain.setPalette(dark);
    AboutWindow unthemed(fullDetails(), &plain);
    QVERIFY(unthemed.palette().color(QPalette::Window) != QColor(30, 27, 58));
}

void TestAboutWindow::closeButton()
{
    About about;
    QVERIFY(QTest::qWaitForWindowActive(about.window));
    QTest::mouseClick(about.find<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(!about.window->isVisible());
    QCOMPARE(about.window->result(), int(QDialog::Accepted));
}

void TestAboutWindow::escapeCloses()
{
    About about;
    QVERIFY(QTest::qWaitForWindowActive(about.window));
    // The close button has the focus first, then the notices button.
    QCOMPARE(QApplication::focusWidget(), about.find<QWidget>("Command1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), about.find<QWidget>("CmdNotices"));
    QTest::keyClick(about.window, Qt::Key_Escape);
    QVERIFY(!about.window->isVisible());
}

void TestAboutWindow::notices()
{
    About about;
    QStringList titles;
    QStringList headings;
    QStringList scrollSideways;
    QString seen;
    bool overAbout = false;
    bool readOnly = false;
    // Everything is read inside the nested loop and checked after it, so a failed check cannot leave the
    // notices window open.
    QTimer::singleShot(0, this, [&] {
        QWidget* notices = QApplication::activeModalWidget();
        if (!notices)
            return;
        seen = notices->objectName();
        overAbout = notices->parentWidget() == about.window;
        auto* list = notices->findChild<QListWidget*>(QStringLiteral("NoticeList"));
        auto* text = notices->findChild<QPlainTextEdit*>(QStringLiteral("NoticeText"));
        if (list && text) {
            readOnly = text->isReadOnly();
            for (int row = 0; row < list->count(); ++row) {
                list->setCurrentRow(row);
                titles << list->item(row)->text();
                headings << text->toPlainText().section(QLatin1Char('\n'), 0, 0).trimmed();
                // Shown as laid out, each line whole: no sideways scrolling.
                if (text->horizontalScrollBar()->maximum() > 0)
                    scrollSideways << list->item(row)->text();
            }
        }
        auto* close = notices->findChild<QPushButton*>(QStringLiteral("CmdClose"));
        if (close)
            QTest::mouseClick(close, Qt::LeftButton);
        else
            notices->close();
    });
    QTest::mouseClick(about.find<QPushButton>("CmdNotices"), Qt::LeftButton);
    QCOMPARE(seen, QStringLiteral("FrmNotices"));
    QVERIFY(overAbout);
    QVERIFY(readOnly);
    QCOMPARE(titles.size(), 4);
    QCOMPARE(headings,
        QStringList({ "Tovrin35: software from others that the program uses", "GNU LESSER GENERAL PUBLIC LICENSE",
            "GNU GENERAL PUBLIC LICENSE",
            "Copyright 2015 The Vazirmatn Project Authors (https://github.com/rastikerdar/vazirmatn)" }));
    QCOMPARE(scrollSideways, QStringList());
    // Back in the About window, which is still open.
    QVERIFY(about.window->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), about.window.data());
}

void TestAboutWindow::nothingCutOff()
{
    About about;
    // Every credit line, whichever label shows it, fits the column's width.
    about.step("Timer10", 400);
    QVERIFY(LayoutCheck::nothingCutOff(about.window));
    QVERIFY(LayoutCheck::nothingCutOff(about.find<QWidget>("Frame1")));
    for (const QString& line : CreditScroll::lines(fullDetails())) {
        const QString drawn = ShownNumbers::line(line);
        QVERIFY2(about.label(1)->fontMetrics().horizontalAdvance(drawn) <= about.label(1)->width(), qPrintable(drawn));
    }
}

void TestAboutWindow::numbersInPersianNamesAndAddressesAsWritten()
{
    // Without a programmer the line names the program and its version: the name as it is, the version's digits
    // as every number is drawn; the addresses as they are written.
    Maker::Details maker = fullDetails();
    maker.programmer.clear();
    maker.email = QStringLiteral("reza35@maker.test");
    {
        About about(maker);
        const QString version = Maker::programNameAndVersion().section(QLatin1Char(' '), 1);
        QCOMPARE(about.label(3)->text(), QStringLiteral("Tovrin35 ") + ShownNumbers::text(version));
        QVERIFY(about.label(3)->text() != Maker::programNameAndVersion());
        about.step("Timer10", 63);
        QCOMPARE(about.label(1)->text(),
            QStringLiteral(" ايميل : ") + apart(QStringLiteral("reza35@maker.test")) + QStringLiteral("  "));
    }
    // With "ارقام فارسي" off every line reads as it is kept.
    ShownNumbers::setPersianDigits(false);
    const auto backOn = qScopeGuard([] { ShownNumbers::setPersianDigits(true); });
    About about(maker);
    QCOMPARE(about.label(2)->text(), QStringLiteral(" نرم افزار پرسشنامه رضايت زناشويي تورين 35 ماده اي "));
    QCOMPARE(about.label(3)->text(), Maker::programNameAndVersion());
    QCOMPARE(about.label(4)->text(), QStringLiteral("تلفن : ") + apart(QStringLiteral("021-5555")) + QStringLiteral(" "));
}

QTEST_MAIN(TestAboutWindow)
#include "TestAboutWindow.moc"
