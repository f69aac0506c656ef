#include "ui/MessageCatalogue.h"
#include "ui/PathField.h"
#include "ui/PersianText.h"
#include "ui/QtFileDialogs.h"
#include "ui/QtMessages.h"
#include "ui/WindowKit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// What a person sees of an open box, read before it is closed so that a failed check never leaves it open.
struct Seen {
    bool opened = false;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    QString title;
    QStringList buttons; // the visible buttons' captions as drawn, accelerator marks included
    bool labelAtRight = false; // the box's text aligned to its right edge
    int lastLineLeftGap = -1; // blank columns to the left and right of the text's last line
    int lastLineRightGap = -1;
    QString detail; // whatever a case reads on top
};

struct Ink {
    int leftGap = -1;
    int rightGap = -1;
};

// The margins left and right of the last line of text a label draws, found in its pixels.
Ink lastLineInk(QLabel* label)
{
    const QImage image = label->grab().toImage();
    const QColor background = image.pixelColor(0, 0);
    auto inked = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return std::abs(c.lightness() - background.lightness()) > 80;
    };
    // The last band of rows with ink in it, from the bottom up.
    int bottom = -1;
    int top = -1;
    for (int y = image.height() - 1; y >= 0; --y) {
        bool any = false;
        for (int x = 0; x < image.width() && !any; ++x)
            any = inked(x, y);
        if (any && bottom < 0)
            bottom = y;
        if (!any && bottom >= 0) {
            top = y + 1;
            break;
        }
    }
    if (bottom < 0)
        return {};
    if (top < 0)
        top = 0;
    int left = image.width();
    int right = -1;
    for (int y = top; y <= bottom; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (inked(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return { left, image.width() - 1 - right };
}

bool alignedRight(QLabel* label)
{
    return QStyle::visualAlignment(label->layoutDirection(), label->alignment()) & Qt::AlignRight;
}

// Waits for the modal box, reads it with `read`, then closes it.
void readThenClose(Seen& seen, const std::function<void(QWidget*, Seen&)>& read = {})
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(20);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, &seen, read] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            // A box that never opens fails the case through seen.opened; the poll ends with it.
            if (++*tries > 500) {
                poll->stop();
                poll->deleteLater();
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        seen.opened = true;
        seen.direction = modal->layoutDirection();
        seen.title = modal->windowTitle();
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>())
            if (button->isVisible())
                seen.buttons << button->text();
        QLabel* text = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (!text) {
            // The prompt's one caption.
            for (QLabel* label : modal->findChildren<QLabel*>())
                if (label->isVisible() && !label->text().isEmpty())
                    text = label;
        }
        if (text) {
            seen.labelAtRight = alignedRight(text);
            const Ink ink = lastLineInk(text);
            seen.lastLineLeftGap = ink.leftGap;
            seen.lastLineRightGap = ink.rightGap;
        }
        if (read)
            read(modal, seen);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    poll->start();
}

void verifyReadsRightToLeft(const Seen& seen, const QString& title)
{
    QVERIFY(seen.opened);
    QCOMPARE(seen.direction, Qt::RightToLeft);
    QVERIFY(seen.labelAtRight);
    // A short last line, Latin or Persian, starts at the right: its gap there is the smaller one.
    QVERIFY2(seen.lastLineRightGap >= 0 && seen.lastLineRightGap < seen.lastLineLeftGap,
        qPrintable(QStringLiteral("left %1, right %2").arg(seen.lastLineLeftGap).arg(seen.lastLineRightGap)));
    QCOMPARE(seen.title, PersianText::titleBarText(title));
    for (const QString& caption : seen.buttons)
        QVERIFY2(!caption.contains(QLatin1Char('&')), qPrintable(caption));
}

// A long first line and a short last one, as the program's texts come with the platform's words after them.
QString twoLines(const QString& first, const QString& last)
{
    return first + QStringLiteral("\r\n") + last;
}

} // namespace

class TestBoxDirection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { m_owner.reset(); }
    void standardBoxesReadRightToLeft_data();
    void standardBoxesReadRightToLeft();
    void noticeReadsRightToLeftAndIsStillFound();
    void promptsReadRightToLeft_data();
    void promptsReadRightToLeft();
    void fileDialogsReadRightToLeft_data();
    void fileDialogsReadRightToLeft();
    void pathFieldReadsLeftToRight();
    void pathsAreDrawnFolderAfterFolder_data();
    void pathsAreDrawnFolderAfterFolder();
    void qtCaptionsCarryNoAccelerator_data();
    void qtCaptionsCarryNoAccelerator();
    void untranslatedQtTextsStayQtsOwn();
    void longPathsAreShortenedInTheMiddle_data();
    void longPathsAreShortenedInTheMiddle();
    void acceleratorMarksAreDropped_data();
    void acceleratorMarksAreDropped();

private:
    std::unique_ptr<QWidget> m_owner;
};

void TestBoxDirection::initTestCase()
{
    PersianText::applyTo(*qApp);
    m_owner = std::make_unique<QWidget>();
    m_owner->resize(400, 300);
    m_owner->show();
}

void TestBoxDirection::standardBoxesReadRightToLeft_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    const std::pair<const char*, int> styles[] = { { "0", Msg::Style::Ok }, { "4", Msg::Style::YesNo },
        { "48", Msg::Style::Exclamation }, { "64", Msg::Style::Information }, { "100010", Msg::Style::StopRtl },
        { "100030", Msg::Style::ExclamationRtl }, { "100040", Msg::Style::InformationRtl },
        { "200000", Msg::Style::ServiceNotification } };
    const QString titles[]
        = { Msg::AlreadyRunningTitle, Msg::ErrorTitle, Msg::ErrorTitlePersian, Msg::ApplicationTitle, Msg::NoticeTitle };
    for (const auto& [name, style] : styles) {
        for (const QString& title : titles) {
            // The last line in Latin letters (the platform's words) and in Persian.
            QTest::addRow("%s, %s, Latin last", name, qPrintable(title))
                << style << title << twoLines(Msg::CopyFailed + Msg::CopyFailed, QStringLiteral("Access denied"));
            QTest::addRow("%s, %s, Persian last", name, qPrintable(title))
                << style << title << twoLines(Msg::BackupTargetExists, Msg::ErrorTitlePersian);
        }
    }
}

void TestBoxDirection::standardBoxesReadRightToLeft()
{
    QFETCH(int, style);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QtMessages messages;
    Seen seen;
    readThenClose(seen);
    messages.AskOperator(m_owner.get(), text, style, title);
    verifyReadsRightToLeft(seen, title);
}

void TestBoxDirection::noticeReadsRightToLeftAndIsStillFound()
{
    QtMessages messages;
    Seen seen;
    readThenClose(seen, [](QWidget* modal, Seen& s) {
        // What the bring-to-front timer runs finds the notice by its title, as the title bar now spells it.
        s.detail = QtMessages::BringNoticeToFront() == modal ? QStringLiteral("found") : QStringLiteral("lost");
    });
    messages.ShowNotice(m_owner.get(), twoLines(Msg::ScoreBeforePrint, Msg::End));
    verifyReadsRightToLeft(seen, Msg::NoticeTitle);
    QCOMPARE(seen.title, QStringLiteral("\u067E\u06CC\u0627\u0645")); // پیام, with the Persian yeh
    QCOMPARE(seen.detail, QStringLiteral("found"));
}

void TestBoxDirection::promptsReadRightToLeft_data()
{
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("secret");
    QTest::newRow("run the test") << Msg::RunTestPrompt << Msg::RunTestTitle << false;
    QTest::newRow("scoring") << Msg::ScoringPrompt << Msg::ScoringTitle << false;
    QTest::newRow("passphrase") << Msg::EnterCode << Msg::ErrorTitle << true;
}

void TestBoxDirection::promptsReadRightToLeft()
{
    QFETCH(QString, prompt);
    QFETCH(QString, title);
    QFETCH(bool, secret);
    QtMessages messages;
    Seen seen;
    readThenClose(seen);
    if (secret)
        messages.PromptSecret(m_owner.get(), prompt, title);
    else
        messages.PromptOperator(m_owner.get(), prompt, title);
    QVERIFY(seen.opened);
    QCOMPARE(seen.direction, Qt::RightToLeft);
    QVERIFY(seen.labelAtRight);
    QCOMPARE(seen.title, PersianText::titleBarText(title));
    for (const QString& caption : seen.buttons)
        QVERIFY2(!caption.contains(QLatin1Char('&')), qPrintable(caption));
}

void TestBoxDirection::fileDialogsReadRightToLeft_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("save") << true;
    QTest::newRow("open") << false;
}

void TestBoxDirection::fileDialogsReadRightToLeft()
{
    QFETCH(bool, save);
    QTemporaryDir dir;
    QtFileDialogs dialogs;
    Seen seen;
    readThenClose(seen);
    const QString title = QStringLiteral("خروجي اکسل");
    if (save)
        dialogs.saveFileName(
            m_owner.get(), title, QDir(dir.path()).filePath(QStringLiteral("x.csv")), QStringLiteral("CSV (*.csv)"));
    else
        dialogs.openFileName(m_owner.get(), title, dir.path(), QStringLiteral("CSV (*.csv)"));
    QVERIFY(seen.opened);
    QCOMPARE(seen.direction, Qt::RightToLeft);
    QCOMPARE(seen.title, QStringLiteral("خروجی اکسل"));
    for (const QString& caption : seen.buttons)
        QVERIFY2(!caption.contains(QLatin1Char('&')), qPrintable(caption));
}

void TestBoxDirection::pathFieldReadsLeftToRight()
{
    QWidget window;
    window.setLayoutDirection(Qt::RightToLeft);
    QLineEdit* path = Kit::pathField(&window, QStringLiteral("Text1"));
    QCOMPARE(path->objectName(), QStringLiteral("Text1"));
    QCOMPARE(path->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(QStyle::visualAlignment(path->layoutDirection(), path->alignment()) & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter),
        Qt::AlignLeft);
    // The window around it still reads right to left.
    QCOMPARE(window.layoutDirection(), Qt::RightToLeft);
}

void TestBoxDirection::pathsAreDrawnFolderAfterFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("Persian folder first")
        << QStringLiteral("/پشتيبان/مرکز 2/x.mdbB") << QStringList { "پشتيبان", "مرکز 2", "x.mdbB" };
    QTest::newRow("Windows, the default backup name")
        << QStringLiteral("C:\\Tovrin35\\Back\\در تاريخ1403.1.1 ساعت)9.05).mdbB")
        << QStringList { "C:", "Tovrin35", "Back", "در تاريخ1403.1.1 ساعت)9.05).mdbB" };
    QTest::newRow("two Persian folders side by side")
        << QStringLiteral("/home/علي/اسناد/1403/پشتيبان")
        << QStringList { "home", "علي", "اسناد", "1403", "پشتيبان" };
}

void TestBoxDirection::pathsAreDrawnFolderAfterFolder()
{
    QFETCH(QString, path);
    QFETCH(QStringList, names);
    const QString shown = PathField::readable(path);
    // Nothing but invisible marks is added.
    QString visible = shown;
    visible.remove(QChar(0x200E)).remove(QChar(0x2068)).remove(QChar(0x2069));
    QCOMPARE(visible, path);

    // Laid out as the field draws it, each name lies wholly to the right of the one before it.
    QFont font(PersianText::fontFamily());
    font.setPixelSize(16);
    QTextLayout layout(shown, font);
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(4000);
    layout.endLayout();
    double previousRight = -1;
    qsizetype from = 0;
    for (const QString& name : names) {
        const qsizetype start = shown.indexOf(name, from);
        QVERIFY2(start >= 0, qPrintable(name));
        from = start + name.size();
        double left = 1e9;
        double right = -1;
        for (qsizetype i = start; i <= from; ++i) {
            const double x = line.cursorToX(int(i));
            left = std::min(left, x);
            right = std::max(right, x);
        }
        QVERIFY2(left >= previousRight - 0.5, qPrintable(name));
        previousRight = right;
    }

    // The field holds the path as given and draws it from the left while nobody types in it.
    QWidget window;
    window.setLayoutDirection(Qt::RightToLeft);
    auto* field = Kit::pathField(&window, QStringLiteral("Text2"));
    field->setGeometry(10, 10, 600, 30);
    field->setText(path);
    window.resize(620, 50);
    window.show();
    QCOMPARE(field->text(), path);
    QVERIFY(!field->hasFocus());
    const QImage image = field->grab().toImage();
    const QColor background = image.pixelColor(image.width() / 2, 4);
    int leftmost = -1;
    for (int x = 4; x < image.width() - 4 && leftmost < 0; ++x)
        for (int y = image.height() / 2 - 4; y <= image.height() / 2 + 4; ++y)
            if (std::abs(image.pixelColor(x, y).lightness() - background.lightness()) > 80)
                leftmost = x;
    QVERIFY(leftmost >= 0 && leftmost < 20);
}

void TestBoxDirection::qtCaptionsCarryNoAccelerator_data()
{
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QByteArray>("source");
    QTest::newRow("file dialog, open") << QByteArray("QFileDialog") << QByteArray("&Open");
    QTest::newRow("file dialog, save") << QByteArray("QFileDialog") << QByteArray("&Save");
    QTest::newRow("file dialog, file name") << QByteArray("QFileDialog") << QByteArray("File &name:");
    QTest::newRow("file dialog, mark inside a word") << QByteArray("QFileDialog") << QByteArray("Show &hidden files");
    QTest::newRow("print dialog") << QByteArray("QPrintDialog") << QByteArray("&Print");
    QTest::newRow("edit menu") << QByteArray("QLineEdit") << QByteArray("&Copy");
    QTest::newRow("standard button") << QByteArray("QPlatformTheme") << QByteArray("&Yes");
}

void TestBoxDirection::qtCaptionsCarryNoAccelerator()
{
    QFETCH(QByteArray, context);
    QFETCH(QByteArray, source);
    const QString caption = QCoreApplication::translate(context.constData(), source.constData());
    // Persian, so the translation is in use, and without a mark.
    QVERIFY2(caption != QString::fromLatin1(source) && caption.contains(QRegularExpression(QStringLiteral("\\p{Arabic}"))),
        qPrintable(caption));
    QVERIFY2(!caption.contains(QLatin1Char('&')), qPrintable(caption));
}

void TestBoxDirection::untranslatedQtTextsStayQtsOwn()
{
    // A text the translation lacks is shown in Qt's own words, never as an empty caption.
    QVERIFY(PersianText::withoutAccelerator(QString()).isNull());
    QCOMPARE(QCoreApplication::translate("QPrintDialog", "Properties"), QStringLiteral("Properties"));
    QCOMPARE(QCoreApplication::translate("TestBoxDirection", "&No such text"), QStringLiteral("&No such text"));
}

// A box naming a path thousands of characters long stays within the screen, its button reachable: the path is shown
// with its middle left out, and whole as the text's tooltip. A short path is shown as it is.
void TestBoxDirection::longPathsAreShortenedInTheMiddle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isolated");
    QString deep;
    while (deep.size() < 4438)
        deep += QStringLiteral("/clinic-folder-") + QString::number(deep.size());
    deep = deep.left(4438);
    QString spaced;
    while (spaced.size() < 4438)
        spaced += QStringLiteral("/پوشه مرکز ") + QString::number(spaced.size());
    QTest::newRow("4,438 characters, in a sentence") << deep << true;
    QTest::newRow("4,438 characters, in the platform's words") << deep << false;
    QTest::newRow("Persian names with blanks, in a sentence") << spaced << true;
    QTest::newRow("a short path") << QStringLiteral("/home/علي/پشتيبان") << true;
}

void TestBoxDirection::longPathsAreShortenedInTheMiddle()
{
    QFETCH(QString, path);
    QFETCH(bool, isolated);
    const QString text = isolated ? Msg::DataFolderNameTooLong.arg(QChar(0x2066) + path + QChar(0x2069))
                                  : twoLines(Msg::CopyFailed, QStringLiteral("cannot create folder ") + path);
    const bool long_ = path.size() > 1000;
    QtMessages messages;
    Seen seen;
    QString shownText;
    QString tip;
    bool fits = false;
    readThenClose(seen, [&](QWidget* modal, Seen&) {
        auto* label = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        shownText = label ? label->text() : QString();
        tip = label ? label->toolTip() : QString();
        const QRect screen = modal->screen()->availableGeometry();
        fits = modal->frameGeometry().height() <= screen.height() && modal->frameGeometry().width() <= screen.width();
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>())
            if (button->isVisible())
                fits = fits && screen.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size()));
    });
    messages.AskOperator(m_owner.get(), text, Msg::Style::StopRtl, Msg::ErrorTitlePersian);
    QVERIFY(seen.opened);
    QVERIFY(fits);
    if (!long_) {
        QCOMPARE(shownText, text);
        QCOMPARE(tip, QString());
        return;
    }
    QVERIFY(shownText.size() < 600);
    QVERIFY(shownText.contains(QChar(0x2026)));
    QVERIFY(shownText.contains(path.left(40)));
    QVERIFY(shownText.contains(path.right(40)));
    QCOMPARE(tip, text);
    // The shortened path stays one isolated run, ellipsis included, so it reads left to right as a whole and the
    // sentence after it keeps its direction.
    if (isolated) {
        const qsizetype opened = shownText.indexOf(QChar(0x2066));
        const qsizetype ellipsis = shownText.indexOf(QChar(0x2026));
        const qsizetype closed = shownText.lastIndexOf(QChar(0x2069));
        QVERIFY(opened >= 0 && opened < ellipsis && ellipsis < closed);
        QCOMPARE(shownText.count(QChar(0x2066)), 1);
        int depth = 0;
        for (qsizetype i = opened; i <= closed; ++i) {
            const char16_t c = shownText.at(i).unicode();
            depth += (c >= 0x2066 && c <= 0x2068) ? 1 : c == 0x2069 ? -1 : 0;
            QVERIFY(depth >= 0);
            QVERIFY(depth > 0 || i == closed);
        }
    }
}

void TestBoxDirection::acceleratorMarksAreDropped_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::newRow("first letter") << QStringLiteral("&ذخیره") << QStringLiteral("ذخیره");
    QTest::newRow("inside a word") << QStringLiteral("نمایش م&خفی") << QStringLiteral("نمایش مخفی");
    QTest::newRow("Latin") << QStringLiteral("&Open") << QStringLiteral("Open");
    QTest::newRow("a real ampersand") << QStringLiteral("R&&D") << QStringLiteral("R&&D");
    QTest::newRow("ampersand before a blank") << QStringLiteral("a & b") << QStringLiteral("a & b");
    QTest::newRow("ampersand last") << QStringLiteral("a&") << QStringLiteral("a&");
    QTest::newRow("none") << QStringLiteral("چاپ") << QStringLiteral("چاپ");
    QTest::newRow("empty") << QString() << QString();
}

void TestBoxDirection::acceleratorMarksAreDropped()
{
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    QCOMPARE(PersianText::withoutAccelerator(caption), shown);
}

QTEST_MAIN(TestBoxDirection)
#include "TestBoxDirection.moc"
