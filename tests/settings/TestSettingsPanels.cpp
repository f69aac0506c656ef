#include "data/TableCursor.h"
#include "settings/ClinicPanel.h"
#include "settings/ThemePanel.h"
#include "support/LayoutCheck.h"
#include "support/TestProgram.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

// Both panels on one cursor of the Theme row (theme 6, 'Razi', 'Tehran'), as the main window has them.
struct Panels {
    Panels()
    {
        program.exec(QStringLiteral("UPDATE Theme SET TH = '6', Name = 'Razi', Adress = 'Tehran'"));
        themeRow = std::make_unique<TableCursor>(program.database(), QStringLiteral("Theme"));
        clinic = new ClinicPanel(*themeRow, program.messages(), &window);
        clinic->setGeometry(Twips::toPixels(0, 0, 6075, 2295));
        themes = new ThemePanel(*themeRow, program.messages(), program.folder(), &window);
        themes->setGeometry(Twips::toPixels(6075, 0, 2595, 7425));
        clinic->show();
        themes->show();
        window.setLayoutDirection(Qt::RightToLeft);
        window.show();
    }

    QLineEdit* field(const char* name) { return Drive::find<QLineEdit>(clinic, QString::fromLatin1(name)); }
    QString stored(const char* column)
    {
        return program.scalar(QStringLiteral("SELECT \"%1\" FROM Theme").arg(QLatin1String(column))).toString();
    }
    void refuseWrites()
    {
        program.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Theme "
                                    "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END"));
    }

    TestProgram program;
    std::unique_ptr<TableCursor> themeRow;
    QWidget window;
    ClinicPanel* clinic = nullptr;
    ThemePanel* themes = nullptr;
};

} // namespace

class TestSettingsPanels : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void clinicSaveStoresNameAndAddress();
    void clinicCancelLeavesTheRowAsItWas();
    void clinicFailedSaveReportedAndKept();
    void eachThemeButtonStoresItsTheme_data();
    void eachThemeButtonStoresItsTheme();
    void themeFailedWriteLeavesTheRowAsItWas();
    void nothingCutOff();
};

void TestSettingsPanels::clinicSaveStoresNameAndAddress()
{
    Panels p;
    QCOMPARE(p.clinic->name(), QStringLiteral("Razi"));
    QCOMPARE(Drive::find<QLabel>(p.clinic, "SkinLabel5")->buddy(), p.field("Text14"));
    QSignalSpy named(p.clinic, &ClinicPanel::nameChanged);
    QSignalSpy saved(p.clinic, &ClinicPanel::saved);
    p.field("Text2")->clear();
    p.field("Text2")->setFocus();
    Drive::type(p.field("Text2"), QStringLiteral("کلينيک مهر"));
    p.field("Text14")->setText(QStringLiteral("شيراز، خيابان زند"));
    QCOMPARE(named.last().at(0).toString(), QStringLiteral("کلينيک مهر"));
    Drive::click(p.clinic, QStringLiteral("Command64"));
    QCOMPARE(saved.count(), 1);
    QCOMPARE(p.stored("Name"), QStringLiteral("کلينيک مهر"));
    QCOMPARE(p.stored("Adress"), QStringLiteral("شيراز، خيابان زند"));
    QCOMPARE(p.stored("TH"), QStringLiteral("6"));
    QCOMPARE(p.program.rowCount(QStringLiteral("Theme")), 1);
    QCOMPARE(p.program.messages().boxes.size(), 0);
}

void TestSettingsPanels::clinicCancelLeavesTheRowAsItWas()
{
    Panels p;
    QSignalSpy cancelled(p.clinic, &ClinicPanel::cancelled);
    p.field("Text2")->setText(QString());
    p.field("Text14")->setText(QStringLiteral("Shiraz"));
    Drive::click(p.clinic, QStringLiteral("Command7"));
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(p.stored("Name"), QStringLiteral("Razi"));
    QCOMPARE(p.stored("Adress"), QStringLiteral("Tehran"));

    // A theme chosen meanwhile stores the theme alone.
    Drive::click(p.themes, QStringLiteral("Command44"));
    QCOMPARE(p.stored("TH"), QStringLiteral("2"));
    QCOMPARE(p.stored("Name"), QStringLiteral("Razi"));

    // Shown again, the panel holds the stored row, so a save cannot store the abandoned text.
    p.field("Text14")->setText(QStringLiteral("Shiraz"));
    p.clinic->showStored();
    QCOMPARE(p.field("Text14")->text(), QStringLiteral("Tehran"));
    p.field("Text2")->setText(QString());
    Drive::click(p.clinic, QStringLiteral("Command64"));
    QCOMPARE(p.stored("Name"), QString());
    QCOMPARE(p.stored("Adress"), QStringLiteral("Tehran"));
}

void TestSettingsPanels::clinicFailedSaveReportedAndKept()
{
    Panels p;
    p.refuseWrites();
    QSignalSpy saved(p.clinic, &ClinicPanel::saved);
    p.field("Text2")->setText(QStringLiteral("Mehr"));
    Drive::click(p.clinic, QStringLiteral("Command64"));
    const QList<ScriptedMessages::Box>& boxes = p.program.messages().boxes;
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().kind, ScriptedMessages::Kind::Standard);
    QCOMPARE(boxes.first().title, Msg::ErrorTitlePersian);
    QVERIFY(boxes.first().text.startsWith(Msg::SaveFailed));
    QVERIFY(boxes.first().text.contains(QLatin1String("the disk is full")));
    QCOMPARE(saved.count(), 0);
    QCOMPARE(p.field("Text2")->text(), QStringLiteral("Mehr"));
    QCOMPARE(p.stored("Name"), QStringLiteral("Razi"));

    // Once the file takes writes again, the same text is stored.
    p.program.exec(QStringLiteral("DROP TRIGGER refuse"));
    Drive::click(p.clinic, QStringLiteral("Command64"));
    QCOMPARE(saved.count(), 1);
    QCOMPARE(p.stored("Name"), QStringLiteral("Mehr"));
}

void TestSettingsPanels::eachThemeButtonStoresItsTheme_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("theme");
    // Theme 1 at the top, 11 at the bottom; 12 is the panel's "خروج", which stores nothing.
    const char* buttons[] = { "Command45", "Command44", "Command43", "Command42", "Command50", "Command49", "Command48",
        "Command47", "Command41", "Command52", "Command53", "Command46" };
    for (int theme = 1; theme <= 12; ++theme)
        QTest::newRow(buttons[theme - 1]) << QString::fromLatin1(buttons[theme - 1]) << theme;
}

void TestSettingsPanels::eachThemeButtonStoresItsTheme()
{
    QFETCH(QString, button);
    QFETCH(int, theme);
    Panels p;
    QSignalSpy stored(p.themes, &ThemePanel::themeStored);
    QSignalSpy cancelled(p.themes, &ThemePanel::cancelled);
    p.field("Text2")->setText(QStringLiteral("typed, not saved"));
    // The caption names the theme in Persian digits; the row stores it in ASCII ones.
    const QString caption = Drive::find<QPushButton>(p.themes, button)->text();
    if (theme < 12) {
        QVERIFY2(caption.contains(ShownNumbers::number(theme)), qPrintable(caption));
        QVERIFY2(!caption.contains(QRegularExpression(QStringLiteral("[0-9]"))), qPrintable(caption));
    }
    Drive::click(p.themes, button);
    const bool exit = theme == 12;
    QCOMPARE(p.stored("TH"), exit ? QStringLiteral("6") : QString::number(theme));
    QCOMPARE(stored.count(), exit ? 0 : 1);
    QCOMPARE(cancelled.count(), exit ? 1 : 0);
    if (!exit)
        QCOMPARE(stored.first().at(0).toInt(), theme);
    QCOMPARE(p.stored("Name"), QStringLiteral("Razi"));
    QCOMPARE(p.program.messages().boxes.size(), 0);
}

void TestSettingsPanels::themeFailedWriteLeavesTheRowAsItWas()
{
    Panels p;
    p.refuseWrites();
    QSignalSpy stored(p.themes, &ThemePanel::themeStored);
    Drive::click(p.themes, QStringLiteral("Command42"));
    QCOMPARE(p.program.messages().boxes.size(), 1);
    QVERIFY(p.program.messages().lastText().contains(QLatin1String("the disk is full")));
    QCOMPARE(stored.count(), 0);
    QCOMPARE(p.stored("TH"), QStringLiteral("6"));
    // The window's cursor holds the stored theme again, not the refused one.
    QCOMPARE(p.themeRow->field(QStringLiteral("TH")), QStringLiteral("6"));
    QVERIFY(!p.themeRow->isModified());
}

void TestSettingsPanels::nothingCutOff()
{
    Panels p;
    QVERIFY(LayoutCheck::nothingCutOff(p.clinic));
    QVERIFY(LayoutCheck::nothingCutOff(p.themes));
}

QTEST_MAIN(TestSettingsPanels)
#include "TestSettingsPanels.moc"
