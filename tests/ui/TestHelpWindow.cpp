#include "text/ProgramSettings.h"
#include "text/ShownNumbers.h"
#include "ui/HelpContents.h"
#include "ui/HelpWindow.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>

namespace {

QStringList keysHolding(const QString& text)
{
    QStringList keys;
    for (const HelpContents::Section& section : HelpContents::sections())
        if (HelpContents::plainText(section).contains(text))
            keys << section.key;
    return keys;
}

QStringList listedKeys(HelpWindow& help)
{
    auto* list = help.findChild<QListWidget*>(QStringLiteral("HelpSections"));
    QStringList keys;
    for (int row = 0; row < list->count(); ++row)
        if (!list->item(row)->isHidden())
            keys << list->item(row)->data(Qt::UserRole).toString();
    return keys;
}

QString selectedText(HelpWindow& help)
{
    return help.findChild<QTextBrowser*>(QStringLiteral("HelpPage"))->textCursor().selectedText();
}

} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }

    void everyListedPageIsBuiltIn();
    void linksLeadToSections();
    void everyMessageIsExplained_data();
    void everyMessageIsExplained();
    void sectionFor_data();
    void sectionFor();
    void searchPattern_data();
    void searchPattern();
    void pagesUseTheWindowsWords_data();
    void pagesUseTheWindowsWords();
    void noLineBreaksAtAHalfSpace();
    void searchMarksEveryPlaceAndKeepsTheSectionsThatHoldIt();
    void searchMovesToTheFirstSectionHoldingIt();
    void findNextWalksThroughEverySectionThatHoldsIt();
    void textFoundNowhereKeepsThePage();
    void clearingTheSearchListsEverySection();
    void askingForAHiddenSectionEndsTheSearch();
    void unknownSectionShowsTheFirst();
    void readsRightToLeft();
    void pagesDrawTheirNumbersAsTheWindowsDo();
    void linksTakeTheThemesTextColour();
    void escapeCloses();
};

void TestHelpWindow::everyListedPageIsBuiltIn()
{
    QFile contents(QStringLiteral(":/help/contents.txt"));
    QVERIFY(contents.open(QIODevice::ReadOnly));
    QStringList keys;
    for (const QString& line : QString::fromUtf8(contents.readAll()).split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty() && !line.trimmed().startsWith(QLatin1Char('#')))
            keys << line.section(QLatin1Char('|'), 0, 0).trimmed();
    QStringList loaded;
    for (const HelpContents::Section& section : HelpContents::sections()) {
        loaded << section.key;
        QVERIFY2(!section.title.isEmpty(), qPrintable(section.key));
        QVERIFY2(HelpContents::plainText(section).size() > 80, qPrintable(section.key));
        // The pages write the program's letters: Arabic yeh, as every text of the program does.
        QVERIFY2(!section.html.contains(QChar(0x06CC)), qPrintable(section.key));
    }
    QCOMPARE(loaded, keys);
    QVERIFY(keys.size() >= 20);
}

void TestHelpWindow::linksLeadToSections()
{
    static const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\\.html\""));
    for (const HelpContents::Section& section : HelpContents::sections())
        for (const QRegularExpressionMatch& match : link.globalMatch(section.html)) {
            bool found = false;
            for (const HelpContents::Section& other : HelpContents::sections())
                found = found || other.key == match.captured(1);
            QVERIFY2(found, qPrintable(section.key + QLatin1String(" -> ") + match.captured(1)));
        }
}

void TestHelpWindow::everyMessageIsExplained_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("main window") << "main"
                                 << QStringList { Msg::EnterExamineeNumber, Msg::NoSuchExaminee, Msg::NoExamineesYet,
                                        Msg::SkinUnreadable, Msg::HomeReadFailed, Msg::AlreadyRunning };
    QTest::newRow("registration") << "registration"
                                  << QStringList { Msg::EnterCode, Msg::EnterFirstName, Msg::EnterFamilyName,
                                         Msg::ChooseSex, Msg::EnterAge, Msg::ChooseMaritalStatus, Msg::ChooseGroup,
                                         Msg::EnterEducation, Msg::CodeTaken, Msg::DigitsOnly, Msg::SaveFailed };
    QTest::newRow("test window") << "test"
                                 << QStringList { Msg::Start, Msg::End, Msg::DigitsOnly, Msg::AnswerNotStored,
                                        Msg::SaveFailed };
    QTest::newRow("scoring window") << "scoring"
                                    << QStringList { Msg::EnterExamineeNumber, Msg::NoSuchExaminee,
                                           Msg::UnansweredItems, Msg::ScoreBeforeChart, Msg::ScoreBeforePrint,
                                           Msg::ExamineeDetailsMissing, Msg::DamagedAnswers, Msg::ScoresNotStored,
                                           Msg::ListNotComplete };
    QTest::newRow("lookup window") << "lookup"
                                   << QStringList { Msg::ChooseLookupGroup, Msg::EnterExamineeNumber,
                                          Msg::NoExamineeWithCode, Msg::ConfirmDeletion, Msg::DeletionDone,
                                          Msg::ExportDone, Msg::ExportFailed, Msg::NoExamineeListed,
                                          Msg::ListNotComplete };
    QTest::newRow("comparison window") << "comparison"
                                       << QStringList { Msg::CompareEnterBothCodes, Msg::CompareSameCode,
                                              Msg::CompareBeforePrint, Msg::ComparePairNotStored,
                                              Msg::ScoresNotStored };
    QTest::newRow("invitation window") << "invite"
                                       << QStringList { Msg::NoExamineeWithCode, Msg::InviteEnterPartner,
                                              Msg::InviteConfirmRevoke, Msg::InviteRevoked, Msg::InviteLostSlip };
    QTest::newRow("preview window") << "preview" << QStringList { Msg::PdfNotSaved, Msg::PrintFailed };
    QTest::newRow("backup window") << "backup"
                                   << QStringList { Msg::ChooseBackupTarget, Msg::BackupTargetExists, Msg::BackupDone,
                                          Msg::BackupRefused, Msg::BackupOntoDatabase, Msg::ChooseRestoreSource,
                                          Msg::ConfirmRestore, Msg::RestoreRefused, Msg::RestoreDone,
                                          Msg::RestoreFromDatabase, Msg::RestoreNotOurs, Msg::RestoreDamaged,
                                          Msg::RestoreUnreadable, Msg::RestoreSourceMissing, Msg::RestoreSourceNotFile,
                                          Msg::DiskFull, Msg::CopyFailed, Msg::RestoreCopyFailed,
                                          Msg::RestoreFailedSuffix, Msg::PassphraseMismatch, Msg::PassphraseTooShort,
                                          Msg::EncryptionFailed, Msg::RestorePassphrasePrompt,
                                          Msg::RestorePassphraseOrAltered, Msg::RestoreEncryptedAltered,
                                          Msg::RestoreEncryptedCutShort, Msg::RestoreEncryptedNewer,
                                          Msg::RestoreDecryptionFailed };
    QTest::newRow("every window") << "files"
                                  << QStringList { Msg::DatabaseBusy, Msg::DatabaseFailing, Msg::SaveFailed,
                                         Msg::DatabaseCannotOpen };
}

void TestHelpWindow::everyMessageIsExplained()
{
    QFETCH(QString, section);
    QFETCH(QStringList, messages);
    QString page;
    for (const HelpContents::Section& each : HelpContents::sections())
        if (each.key == section)
            page = HelpContents::plainText(each);
    QVERIFY(!page.isEmpty());
    // Quoted as the box shows it, blanks at either end aside, and followed by what it means.
    for (const QString& message : messages) {
        const QString quoted = QStringLiteral("«") + message.trimmed() + QStringLiteral("»: ");
        QVERIFY2(page.contains(quoted), qPrintable(message));
    }
}

void TestHelpWindow::sectionFor_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");
    QTest::newRow("main window") << "Frm1"
                                 << "main";
    QTest::newRow("registration panel") << "Frm1/Frame10"
                                        << "registration";
    QTest::newRow("settings panel") << "Frm1/Frame8"
                                    << "settings";
    QTest::newRow("test window") << "FrmTest"
                                 << "test";
    QTest::newRow("a panel name alone is not the main window's panel") << "Frame10"
                                                                       << "";
    QTest::newRow("a frame of another window") << "FrmTest/Frame1"
                                               << "";
    QTest::newRow("unknown") << "Nothing"
                             << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestHelpWindow::sectionFor()
{
    QFETCH(QString, name);
    QFETCH(QString, key);
    QCOMPARE(HelpContents::sectionFor(name), key);
}

void TestHelpWindow::searchPattern_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::newRow("Persian yeh finds Arabic yeh")
        << QStringLiteral("آزمودنی") << QStringLiteral("ثبت نام آزمودني") << true;
    QTest::newRow("Arabic yeh finds Persian yeh") << QStringLiteral("آزمودني") << QStringLiteral("آزمودنی") << true;
    QTest::newRow("Arabic kaf finds keheh") << QStringLiteral("\u0643\u062F") << QStringLiteral("کد آزمودني") << true;
    QTest::newRow("case does not matter") << "pdf" << QStringLiteral("ذخيره PDF") << true;
    QTest::newRow("signs are plain letters") << "(%1)" << QStringLiteral("فايل (%1) باز نشد") << true;
    QTest::newRow("a dot is no wildcard") << "a.c"
                                          << "abc" << false;
    QTest::newRow("another word") << QStringLiteral("نمودار") << QStringLiteral("نمره") << false;
    QTest::newRow("a Latin digit finds a Persian one") << "1" << QStringLiteral("تم شماره ۱") << true;
    QTest::newRow("Persian digits find Latin ones") << QStringLiteral("۱۱") << QStringLiteral("تم شماره 11") << true;
    QTest::newRow("an Arabic-Indic digit finds a Latin one") << QStringLiteral("\u0663") << "3" << true;
    QTest::newRow("another digit") << "2" << QStringLiteral("تم شماره ۱") << false;
    QTest::newRow("a blank finds a half-space") << QStringLiteral("مي شود") << QStringLiteral(u"مي\u200cشود") << true;
    QTest::newRow("a half-space finds a blank") << QStringLiteral(u"مي\u200cشود") << QStringLiteral("مي شود") << true;
    QTest::newRow("run together finds a half-space")
        << QStringLiteral("ميشود") << QStringLiteral(u"مي\u200cشود") << true;
    QTest::newRow("Persian yeh and half-space")
        << QStringLiteral(u"می\u200cشود") << QStringLiteral(u"مي\u200cشود") << true;
}

// Each page says what its window says: the captions of the buttons and ticks it names are the windows' own.
void TestHelpWindow::pagesUseTheWindowsWords_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("preview zoom") << "preview" << QStringList { QStringLiteral("«+»"), QStringLiteral("«-»") };
    QTest::newRow("exit tick") << "exit"
                               << QStringList { QStringLiteral("«تهيه نسخه پشتيبان»"),
                                      QStringLiteral("«پشتيبان گيري»") };
    QTest::newRow("database") << "database"
                              << QStringList { QStringLiteral("«آزمايش اتصال»"), QStringLiteral("PGPASSWORD"),
                                     QStringLiteral("«همين رايانه»") };
    QTest::newRow("lookup export") << "lookup"
                                   << QStringList { QStringLiteral("«با نام و نام خانوادگي»"),
                                          QStringLiteral(u"«با گزينه\u200cها»"), QStringLiteral("«خير»") };
    QTest::newRow("comparison") << "comparison"
                                << QStringList { QStringLiteral("«توافق مثبت»"),
                                       QStringLiteral("«توافق منفي - براي گفتگو»"),
                                       QStringLiteral("«عدم توافق - براي گفتگو»"), QStringLiteral("«ترديد»"),
                                       QStringLiteral("«فقط در نمره تحريف آرماني»"), QStringLiteral("«تغيير سطح»"),
                                       QStringLiteral("منهاي") };
}

void TestHelpWindow::pagesUseTheWindowsWords()
{
    QFETCH(QString, section);
    QFETCH(QStringList, words);
    QString page;
    for (const HelpContents::Section& each : HelpContents::sections())
        if (each.key == section)
            page = HelpContents::plainText(each);
    QVERIFY(!page.isEmpty());
    for (const QString& word : words)
        QVERIFY2(page.contains(word), qPrintable(word));
}

// A half-space joins the two parts of a word: however narrow the page, a line never ends or starts at one.
void TestHelpWindow::noLineBreaksAtAHalfSpace()
{
    QString text;
    for (const HelpContents::Section& each : HelpContents::sections())
        text += HelpContents::plainText(each) + QLatin1Char(' ');
    QVERIFY(text.contains(QChar(0x200C)));
    QFont font = QApplication::font();
    for (int width : { 120, 200, 333 }) {
        QTextLayout layout(text, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        option.setTextDirection(Qt::RightToLeft);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(width);
        layout.endLayout();
        for (int i = 1; i < layout.lineCount(); ++i) {
            const int start = layout.lineAt(i).textStart();
            QVERIFY2(text.at(start - 1) != QChar(0x200C) && text.at(start) != QChar(0x200C),
                qPrintable(text.mid(start - 10, 20)));
        }
    }
}

void TestHelpWindow::searchPattern()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(bool, found);
    QCOMPARE(text.contains(HelpContents::searchPattern(typed)), found);
}

void TestHelpWindow::searchMarksEveryPlaceAndKeepsTheSectionsThatHoldIt()
{
    HelpWindow help;
    help.showSection(QStringLiteral("backup"));
    const QString word = QStringLiteral("نسخه پشتيبان");
    help.search(word);
    QCOMPARE(help.currentSection(), QStringLiteral("backup"));
    QCOMPARE(listedKeys(help), keysHolding(word));
    QString page;
    for (const HelpContents::Section& section : HelpContents::sections())
        if (section.key == QLatin1String("backup"))
            page = HelpContents::plainText(section);
    QCOMPARE(help.marksOnPage(), static_cast<int>(page.count(word)));
    QVERIFY(help.marksOnPage() >= 2);
    QCOMPARE(help.findChild<QLabel*>(QStringLiteral("HelpFound"))->text(), Msg::HelpFoundCount.arg(ShownNumbers::number(help.marksOnPage())));
}

void TestHelpWindow::searchMovesToTheFirstSectionHoldingIt()
{
    HelpWindow help;
    help.showSection(QStringLiteral("about"));
    // Typed into the box as a person does, with the Persian keyboard's yeh.
    help.findChild<QLineEdit*>(QStringLiteral("HelpSearch"))->setText(QStringLiteral("تحريف آرمانی"));
    const QStringList holding = keysHolding(QStringLiteral("تحريف آرماني"));
    QVERIFY(!holding.isEmpty());
    QVERIFY(!holding.contains(QStringLiteral("about")));
    QCOMPARE(listedKeys(help), holding);
    QCOMPARE(help.currentSection(), holding.first());
    QVERIFY(help.marksOnPage() > 0);
}

void TestHelpWindow::findNextWalksThroughEverySectionThatHoldsIt()
{
    HelpWindow help;
    const QString word = QStringLiteral("پيش نمايش چاپ");
    const QStringList holding = keysHolding(word);
    QVERIFY(holding.size() >= 3);
    help.search(word);
    QCOMPARE(help.currentSection(), holding.first());
    QStringList visited;
    int places = 0;
    for (const QString& key : holding)
        for (const HelpContents::Section& section : HelpContents::sections())
            if (section.key == key)
                places += static_cast<int>(HelpContents::plainText(section).count(word));
    for (int step = 0; step < places; ++step) {
        help.findNext();
        QCOMPARE(selectedText(help), word);
        if (visited.isEmpty() || visited.last() != help.currentSection())
            visited << help.currentSection();
    }
    QCOMPARE(visited, holding);
    // After the last place of the last section, the first section's first place again.
    help.findNext();
    QCOMPARE(help.currentSection(), holding.first());
    QCOMPARE(selectedText(help), word);
}

void TestHelpWindow::textFoundNowhereKeepsThePage()
{
    HelpWindow help;
    help.showSection(QStringLiteral("test"));
    help.search(QStringLiteral("zzqqxx"));
    QCOMPARE(help.currentSection(), QStringLiteral("test"));
    QCOMPARE(help.marksOnPage(), 0);
    QCOMPARE(listedKeys(help), QStringList { QStringLiteral("test") });
    QCOMPARE(help.findChild<QLabel*>(QStringLiteral("HelpFound"))->text(), Msg::HelpNothingFound);
    help.findNext();
    QCOMPARE(help.currentSection(), QStringLiteral("test"));
}

void TestHelpWindow::clearingTheSearchListsEverySection()
{
    HelpWindow help;
    auto* box = help.findChild<QLineEdit*>(QStringLiteral("HelpSearch"));
    box->setText(QStringLiteral("BACKUP"));
    QVERIFY(listedKeys(help).size() < HelpContents::sections().size());
    box->clear();
    QCOMPARE(listedKeys(help).size(), HelpContents::sections().size());
    QCOMPARE(help.marksOnPage(), 0);
    QVERIFY(help.findChild<QLabel*>(QStringLiteral("HelpFound"))->text().isEmpty());
}

void TestHelpWindow::askingForAHiddenSectionEndsTheSearch()
{
    HelpWindow help;
    auto* box = help.findChild<QLineEdit*>(QStringLiteral("HelpSearch"));
    box->setText(QStringLiteral("REASTOR"));
    QVERIFY(!listedKeys(help).contains(QStringLiteral("registration")));
    help.showSection(QStringLiteral("registration"));
    QCOMPARE(help.currentSection(), QStringLiteral("registration"));
    QVERIFY(box->text().isEmpty());
    QCOMPARE(listedKeys(help).size(), HelpContents::sections().size());
}

void TestHelpWindow::unknownSectionShowsTheFirst()
{
    HelpWindow help;
    help.showSection(QStringLiteral("scoring"));
    help.showSection(QStringLiteral("no-such-window"));
    QCOMPARE(help.currentSection(), HelpContents::firstKey());
    // Choosing in the list shows that section.
    auto* list = help.findChild<QListWidget*>(QStringLiteral("HelpSections"));
    list->setCurrentRow(3);
    QCOMPARE(help.currentSection(), HelpContents::sections().at(3).key);
}

void TestHelpWindow::pagesDrawTheirNumbersAsTheWindowsDo()
{
    QTemporaryDir dir;
    ProgramSettings::setFilePath(dir.filePath(QStringLiteral("tovrin35.conf")));
    const auto back = qScopeGuard([] { ProgramSettings::setFilePath(QString()); });
    for (const bool persian : { true, false }) {
        ShownNumbers::setPersianDigits(persian);
        HelpWindow help;
        auto* page = help.findChild<QTextBrowser*>(QStringLiteral("HelpPage"));
        help.showSection(QStringLiteral("themes"));
        const QString themes = page->toPlainText();
        QVERIFY2(themes.contains(persian ? QStringLiteral("تم شماره ۱۱") : QStringLiteral("تم شماره 11")),
            qPrintable(themes));
        // The link to the next page still leads there.
        QVERIFY(page->toHtml().contains(QStringLiteral("skin.html")));
        help.showSection(QStringLiteral("main"));
        // A key's name is a name.
        QVERIFY(page->toPlainText().contains(QStringLiteral("F1")));
        // Typed in either digits, the search finds the number on the page.
        help.search(QStringLiteral("11"));
        QCOMPARE(help.currentSection(), QStringLiteral("themes"));
        QVERIFY(help.marksOnPage() > 0);
        help.search(QString());
    }
    ShownNumbers::setPersianDigits(true);
}

void TestHelpWindow::linksTakeTheThemesTextColour()
{
    HelpWindow help;
    help.showSection(QStringLiteral("main"));
    // A theme applied to the window after the page was drawn, as the program applies one.
    QPalette dark = help.palette();
    dark.setColor(QPalette::Text, QColor(0xf1, 0xf0, 0xff));
    dark.setColor(QPalette::Base, QColor(0x25, 0x25, 0x4b));
    help.setPalette(dark);
    QTextDocument* page = help.findChild<QTextBrowser*>(QStringLiteral("HelpPage"))->document();
    int links = 0;
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isAnchor())
                continue;
            ++links;
            QCOMPARE(format.foreground().color(), QColor(0xf1, 0xf0, 0xff));
        }
    }
    QVERIFY(links > 0);
}

void TestHelpWindow::readsRightToLeft()
{
    HelpWindow help;
    QCOMPARE(help.objectName(), QStringLiteral("FrmHelp"));
    QCOMPARE(help.layoutDirection(), Qt::RightToLeft);
    help.showSection(QStringLiteral("lookup"));
    QTextDocument* page = help.findChild<QTextBrowser*>(QStringLiteral("HelpPage"))->document();
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next())
        QCOMPARE(block.blockFormat().layoutDirection(), Qt::RightToLeft);
    // The list of sections stands on the right of the page.
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QVERIFY(help.findChild<QListWidget*>(QStringLiteral("HelpSections"))->x()
        > help.findChild<QTextBrowser*>(QStringLiteral("HelpPage"))->x());
}

void TestHelpWindow::escapeCloses()
{
    HelpWindow help;
    help.show();
    QVERIFY(QTest::qWaitForWindowActive(&help));
    auto* box = help.findChild<QLineEdit*>(QStringLiteral("HelpSearch"));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(!help.isVisible());
}

QTEST_MAIN(TestHelpWindow)
#include "TestHelpWindow.moc"
