#include "support/ScriptedMessages.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/QtMessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>

namespace {

// Runs `inspect` on the modal box once it is open, then closes it with `finish`.
void whenModalOpens(const std::function<void(QWidget*)>& inspect, int delayMs = 50)
{
    QTimer::singleShot(delayMs, [inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        inspect(modal);
    });
}

// A desktop whose standard buttons carry icons, as several Linux desktops do.
class ButtonIconsStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QList<QTimer*> noticeTimers(QWidget* owner)
{
    return owner->findChildren<QTimer*>(QStringLiteral("noticeTimer20480"), Qt::FindDirectChildrenOnly);
}

} // namespace

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void noticeIsBroughtToFrontOnceByItsTimer();
    void secondNoticeFromTheSameWindowReplacesThePendingTimer();
    void chartAndPrintNoticesWaitTwoSeconds();
    void standardBoxStyles_data();
    void standardBoxStyles();
    void promptReturnsTextOrEmptyOnCancel_data();
    void promptReturnsTextOrEmptyOnCancel();
    void scriptedSeamRecordsAndAnswers();
    void standardButtonsArePersianWithoutIcons_data();
    void standardButtonsArePersianWithoutIcons();
    void qtPersianTextsAreFound();
    void numberLinesReadRightToLeft();
    void boxesTakeTheThemesColours_data();
    void boxesTakeTheThemesColours();
    void defaultButtonOfAQuestion_data();
    void defaultButtonOfAQuestion();
};

// A line of item numbers under a Persian sentence reads as the sentence does, its first number at the right; lines
// with words keep the direction their words give them.
void TestMessages::numberLinesReadRightToLeft()
{
    QWidget owner;
    owner.show();
    QtMessages messages;
    QStringList shown;
    whenModalOpens([&](QWidget* modal) {
        auto* label = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        shown = label->text().split(QLatin1Char('\n'));
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    const QString text = Msg::UnansweredItems + QStringLiteral("\n\n۳  ۱۷  \nC:/Data/x.mdb");
    messages.AskOperator(&owner, text, Msg::Style::Exclamation, Msg::ErrorTitlePersian);
    QCOMPARE(shown.size(), 4);
    QCOMPARE(shown[0], Msg::UnansweredItems);
    QVERIFY(shown[2].isRightToLeft());
    QCOMPARE(shown[2].remove(QChar(0x200F)), QStringLiteral("۳  ۱۷  "));
    QCOMPARE(shown[3], QStringLiteral("C:/Data/x.mdb"));
}

void TestMessages::boxesTakeTheThemesColours_data()
{
    QTest::addColumn<int>("theme");
    QTest::newRow("a dark theme") << 3;
    QTest::newRow("no theme") << 0;
}

// Over a window painted with a dark theme a box is dark too; over an unthemed window it keeps the desktop's colours.
void TestMessages::boxesTakeTheThemesColours()
{
    QFETCH(int, theme);
    QWidget owner;
    QPalette dark = owner.palette();
    dark.setColor(QPalette::Window, QColor(30, 27, 58));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 240));
    owner.setPalette(dark);
    owner.setProperty("appliedTheme", theme);
    auto* field = new QLineEdit(&owner);
    owner.show();
    QtMessages messages;
    QList<QColor> windows;
    for (int kind = 0; kind < 3; ++kind) {
        whenModalOpens([&](QWidget* modal) {
            windows << modal->palette().color(QPalette::Window);
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                box->buttons().first()->click();
            else
                qobject_cast<QDialog*>(modal)->reject();
        });
        if (kind == 0)
            messages.ShowNotice(field, Msg::NoSuchExaminee);
        else if (kind == 1)
            messages.AskOperator(field, Msg::ConfirmDeletion, Msg::Style::YesNo, Msg::ApplicationTitle);
        else
            messages.PromptOperator(field, Msg::ScoringPrompt, Msg::ScoringTitle);
    }
    QCOMPARE(windows.size(), 3);
    for (const QColor& window : windows)
        QCOMPARE(window == QColor(30, 27, 58), theme > 0);
}

void TestMessages::defaultButtonOfAQuestion_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("expected");
    QTest::newRow("yes by default") << Msg::Style::YesNo << int(QMessageBox::Yes);
    QTest::newRow("no when asked") << (Msg::Style::YesNo | Msg::Style::DefaultSecond) << int(QMessageBox::No);
}

// A question whose "بله" cannot be undone makes "خير" the button Enter presses.
void TestMessages::defaultButtonOfAQuestion()
{
    QFETCH(int, style);
    QFETCH(int, expected);
    QWidget owner;
    owner.show();
    QtMessages messages;
    int defaultButton = -1;
    whenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        defaultButton = box->defaultButton() ? int(box->standardButton(box->defaultButton())) : 0;
        QTest::keyClick(box, Qt::Key_Return);
    });
    const int answer = messages.AskOperator(&owner, Msg::ConfirmDeletion, style, Msg::ApplicationTitle);
    QCOMPARE(defaultButton, expected);
    QCOMPARE(answer, expected == int(QMessageBox::No) ? Msg::No : Msg::Yes);
}

void TestMessages::noticeIsBroughtToFrontOnceByItsTimer()
{
    QWidget owner;
    owner.show();
    QtMessages messages;
    QSignalSpy raised(&messages, &QtMessages::noticeBroughtToFront);
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    int buttonCount = -1;
    whenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttonCount = box->buttons().size();
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->standardButton(box->buttons().first()), QMessageBox::Ok);
    });
    // Still open after the one second, so the timer must find and raise it; then the operator presses OK.
    QTimer::singleShot(1600, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Ok)->click();
    });
    messages.ShowNotice(&owner, Msg::NoSuchExaminee);

    QCOMPARE(title, QStringLiteral("پيام"));
    QCOMPARE(text, QStringLiteral("فردي با اين مشخصات وجود ندارد"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttonCount, 1);
    QCOMPARE(raised.count(), 1);
    QCOMPARE(noticeTimers(&owner).size(), 1);
    QVERIFY(!noticeTimers(&owner).first()->isActive());
}

void TestMessages::secondNoticeFromTheSameWindowReplacesThePendingTimer()
{
    QWidget owner;
    owner.show();
    QtMessages messages;
    QSignalSpy raised(&messages, &QtMessages::noticeBroughtToFront);
    auto pressOkSoon = [] {
        QTimer::singleShot(50, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Ok)->click();
        });
    };
    pressOkSoon();
    messages.ShowNotice(&owner, Msg::Start);
    pressOkSoon();
    messages.ShowNotice(&owner, Msg::End);
    QCOMPARE(noticeTimers(&owner).size(), 1);
    QVERIFY(noticeTimers(&owner).first()->isActive());
    // Both notices were closed within the second: the one timer fires once, finds nothing and stops.
    QTRY_VERIFY_WITH_TIMEOUT(!noticeTimers(&owner).first()->isActive(), 3000);
    QCOMPARE(raised.count(), 0);
}

void TestMessages::chartAndPrintNoticesWaitTwoSeconds()
{
    QWidget owner;
    owner.show();
    QtMessages messages;
    int interval = 0;
    whenModalOpens([&](QWidget* modal) {
        interval = noticeTimers(&owner).first()->interval();
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    messages.ShowNotice(&owner, Msg::ScoreBeforeChart, 2000);
    QCOMPARE(interval, 2000);
}

void TestMessages::standardBoxStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("icon");
    QTest::addColumn<bool>("yesNo");
    QTest::addColumn<bool>("pressYes");
    QTest::addColumn<int>("answer");
    QTest::newRow("0 OK") << 0 << int(QMessageBox::NoIcon) << false << false << int(Msg::Ok);
    QTest::newRow("4 Yes") << 4 << int(QMessageBox::NoIcon) << true << true << int(Msg::Yes);
    QTest::newRow("4 No") << 4 << int(QMessageBox::NoIcon) << true << false << int(Msg::No);
    QTest::newRow("48 exclamation") << 48 << int(QMessageBox::Warning) << false << false << int(Msg::Ok);
    QTest::newRow("64 information") << 64 << int(QMessageBox::Information) << false << false << int(Msg::Ok);
    QTest::newRow("100010 stop rtl") << 0x100010 << int(QMessageBox::Critical) << false << false << int(Msg::Ok);
    QTest::newRow("100030 exclamation rtl")
        << 0x100030 << int(QMessageBox::Warning) << false << false << int(Msg::Ok);
    QTest::newRow("100040 information rtl")
        << 0x100040 << int(QMessageBox::Information) << false << false << int(Msg::Ok);
    QTest::newRow("200000 service") << 0x200000 << int(QMessageBox::NoIcon) << false << false << int(Msg::Ok);
}

void TestMessages::standardBoxStyles()
{
    QFETCH(int, style);
    QFETCH(int, icon);
    QFETCH(bool, yesNo);
    QFETCH(bool, pressYes);
    QFETCH(int, answer);
    QWidget owner;
    owner.show();
    QtMessages messages;
    bool seen = false;
    whenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        seen = true;
        QCOMPARE(box->windowTitle(), QStringLiteral("خطا"));
        QCOMPARE(int(box->icon()), icon);
        // Right to left whether or not the style asks for the right-to-left reading order.
        QCOMPARE(box->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(box->buttons().size(), yesNo ? 2 : 1);
        // A file name or the platform's words after the text are shown as they are, never as markup.
        QCOMPARE(box->textFormat(), Qt::PlainText);
        if (style == 0x200000)
            QVERIFY(!box->parentWidget());
        else
            QCOMPARE(box->parentWidget(), &owner);
        if (!yesNo)
            box->button(QMessageBox::Ok)->click();
        else
            box->button(pressYes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    QCOMPARE(
        messages.AskOperator(&owner, QStringLiteral("متن\n/tmp/<b>x</b>.mdbB"), style, QStringLiteral("خطا")), answer);
    QVERIFY(seen);
}

void TestMessages::promptReturnsTextOrEmptyOnCancel_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::newRow("typed and OK") << true << QStringLiteral(" 12 ") << QStringLiteral(" 12 ");
    QTest::newRow("Persian and OK") << true << QStringLiteral("کد") << QStringLiteral("کد");
    QTest::newRow("typed and cancelled") << false << QStringLiteral("12") << QString();
}

void TestMessages::promptReturnsTextOrEmptyOnCancel()
{
    QFETCH(bool, accept);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QWidget owner;
    owner.show();
    QtMessages messages;
    QString label, title;
    whenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        QVERIFY(dialog);
        label = dialog->labelText();
        title = dialog->windowTitle();
        dialog->setTextValue(typed);
        accept ? dialog->accept() : dialog->reject();
    });
    QCOMPARE(messages.PromptOperator(&owner, Msg::RunTestPrompt, Msg::RunTestTitle), result);
    QCOMPARE(label, QStringLiteral(" Plese Insert Code "));
    QCOMPARE(title, QStringLiteral("Enter Code "));
}

void TestMessages::scriptedSeamRecordsAndAnswers()
{
    ScriptedMessages messages;
    QWidget owner;
    messages.answers.enqueue(Msg::Yes);
    messages.answers.enqueue(Msg::No);
    messages.typed.enqueue(QStringLiteral("12"));
    messages.ShowNotice(&owner, Msg::End, 2000);
    QCOMPARE(messages.AskOperator(&owner, Msg::ConfirmDeletion, Msg::Style::YesNo, Msg::ApplicationTitle), Msg::Yes);
    QCOMPARE(messages.AskOperator(&owner, Msg::ConfirmDeletion, Msg::Style::YesNo, Msg::ApplicationTitle), Msg::No);
    QCOMPARE(messages.AskOperator(&owner, Msg::BackupDone, Msg::Style::Ok, Msg::ApplicationTitle), Msg::Ok);
    QCOMPARE(messages.PromptOperator(&owner, Msg::ScoringPrompt, Msg::ScoringTitle), QStringLiteral("12"));
    QCOMPARE(messages.PromptOperator(&owner, Msg::ScoringPrompt, Msg::ScoringTitle), QString());
    messages.Beep();

    QCOMPARE(messages.boxes.size(), 6);
    QCOMPARE(messages.boxes.at(0).kind, ScriptedMessages::Kind::Notice);
    QCOMPARE(messages.boxes.at(0).title, QStringLiteral("پيام"));
    QCOMPARE(messages.boxes.at(0).bringToFrontMs, 2000);
    QCOMPARE(messages.boxes.at(0).owner.data(), &owner);
    QCOMPARE(messages.boxes.at(1).style, 4);
    QCOMPARE(messages.boxes.at(4).kind, ScriptedMessages::Kind::Prompt);
    QCOMPARE(messages.boxes.at(4).title, QStringLiteral(" کد آزمودني را وارد کنيد"));
    QCOMPARE(messages.noticeTexts(), QStringList{QStringLiteral("پايان")});
    QCOMPARE(messages.beeps, 1);
}

void TestMessages::standardButtonsArePersianWithoutIcons_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("captions");
    // The program's words, spelled as its other texts are.
    const QString ok = QStringLiteral("\u062A\u0623\u064A\u064A\u062F");
    const QString cancel = QStringLiteral("\u0627\u0646\u0635\u0631\u0627\u0641");
    const QString yes = QStringLiteral("\u0628\u0644\u0647");
    const QString no = QStringLiteral("\u062E\u064A\u0631");
    QTest::newRow("notice") << "notice" << QStringList{ok};
    QTest::newRow("standard box, OK") << "ok" << QStringList{ok};
    QTest::newRow("standard box, Yes and No") << "yesno" << QStringList{yes, no};
    QTest::newRow("input prompt") << "prompt" << QStringList{ok, cancel};
}

void TestMessages::standardButtonsArePersianWithoutIcons()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, captions);
    PersianText::installQtTranslation();
    if (!dynamic_cast<ButtonIconsStyle*>(QApplication::style()))
        QApplication::setStyle(new ButtonIconsStyle);
    QWidget owner;
    owner.show();
    QtMessages messages;
    QStringList seen;
    int icons = 0;
    whenModalOpens([&](QWidget* modal) {
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
            if (!button->isVisible())
                continue;
            // As shown: no accelerator mark underlines a letter of a Persian caption.
            seen << button->text();
            icons += !button->icon().isNull();
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    if (kind == QLatin1String("notice"))
        messages.ShowNotice(&owner, Msg::NoSuchExaminee);
    else if (kind == QLatin1String("ok"))
        messages.AskOperator(&owner, Msg::SaveFailed, Msg::Style::ExclamationRtl, Msg::ErrorTitlePersian);
    else if (kind == QLatin1String("yesno"))
        messages.AskOperator(&owner, Msg::ConfirmDeletion, Msg::Style::YesNo, Msg::ApplicationTitle);
    else
        messages.PromptOperator(&owner, Msg::RunTestPrompt, Msg::RunTestTitle);
    seen.sort();
    captions.sort();
    QCOMPARE(seen, captions);
    QCOMPARE(icons, 0);
}

void TestMessages::qtPersianTextsAreFound()
{
    // Qt's own texts beyond the standard buttons, such as a text box's edit menu, read Persian too: from Qt's
    // translations folder, or from the copy built into the program on a machine without it.
    QTranslator fromQt;
    QCOMPARE(PersianText::loadQtTranslation(fromQt, QLibraryInfo::path(QLibraryInfo::TranslationsPath)),
             PersianText::QtTexts::QtFolder);
    QTranslator bundled;
    QCOMPARE(PersianText::loadQtTranslation(bundled, QStringLiteral("/no/such/folder")), PersianText::QtTexts::Bundled);
    for (QTranslator* t : {&fromQt, &bundled}) {
        const QString copy = t->translate("QLineEdit", "&Copy");
        QVERIFY2(!copy.isEmpty() && !copy.contains(QLatin1String("Copy")), qPrintable(copy));
    }
}

QTEST_MAIN(TestMessages)
#include "TestMessages.moc"
