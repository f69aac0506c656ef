#include "app/AppFixture.h"
#include "backup/BackupEncryption.h"
#include "backup/DatabaseCopy.h"
#include "scoring/reports/ListReport.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/QtFileDialogs.h"
#include "ui/QtMessages.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDialog>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>

#include <functional>

// Every window that shows boxes, with one of its boxes open, is closed (or deleted) under that box, with the real
// boxes of the program: the program carries on, the box goes with its window, and the window is deleted once the
// box has returned to the code that opened it.

namespace {

const QString examinee = QStringLiteral("1001");
const QString passphrase = QStringLiteral("a passphrase of the clinic");

// How the window is made to go while its box is open.
enum class Way {
    ExitButton, // its exit button pressed through the accessibility action, as a screen reader or keyboard does
    Close, // closed by the program (its close box does the same)
    DeleteLater, // deleted from the event loop, as a window that deletes itself on closing is
    Owner, // the window it is modal over is closed
    Itself, // the window closes itself, asked to close before the box opened
};

// The text a modal window shows: a box's text or a prompt's label; the objectName of any other.
QString shownText(QWidget* modal)
{
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        return box->text();
    if (auto* prompt = qobject_cast<QInputDialog*>(modal))
        return prompt->labelText();
    return modal->objectName();
}

void press(QWidget* root, const QString& name)
{
    auto* button = Drive::find<QAbstractButton>(root, name);
    QVERIFY(button);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    QVERIFY(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// One step taken when a modal window showing `text` opens; the last step of a scene is the box to close under.
struct Step {
    QString text;
    std::function<void(QWidget* modal)> answer; // none for the last step
};

// Answers a box Yes, or a prompt with `typed`.
std::function<void(QWidget*)> reply(const QString& typed = QString())
{
    return [typed](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->button(QMessageBox::Yes)->click();
        } else if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
            prompt->setTextValue(typed);
            prompt->accept();
        }
    };
}

// Watches the modal windows that open while an action runs: takes the scene's steps in order, then makes the window
// go under the last one. Any modal window still open some turns of the loop after the window was made to go is
// recorded and closed, so a box that stays does not hang the test.
class Driver : public QObject {
public:
    Driver(QList<Step> steps, std::function<void()> makeItGo)
        : m_steps(std::move(steps))
        , m_makeItGo(std::move(makeItGo))
    {
        connect(&m_timer, &QTimer::timeout, this, &Driver::look);
        m_timer.start(5);
    }

    QStringList seen; // the texts of the modal windows seen, in order
    QStringList stayed; // modal windows still open after their window went
    QPointer<QWidget> underBox; // the box the window went under
    bool went = false;

private:
    void look()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (went) {
            // Closing a box leaves the loop at once; many turns later anything still open stayed.
            if (modal && modal->isVisible() && ++m_turnsAfter > 200) {
                stayed << shownText(modal);
                static_cast<QDialog*>(modal)->reject();
            }
            return;
        }
        if (!modal || m_handled.contains(modal) || m_step >= m_steps.size())
            return;
        const QString text = shownText(modal);
        if (!text.contains(m_steps.at(m_step).text))
            return;
        m_handled << modal;
        seen << text;
        const Step step = m_steps.at(m_step++);
        const QPointer<QWidget> guarded = modal;
        // Answered from a turn of the loop of its own: an answer may open the next box and wait in it.
        QTimer::singleShot(0, this, [this, step, guarded] {
            if (!guarded)
                return;
            if (step.answer) {
                step.answer(guarded);
                return;
            }
            underBox = guarded;
            went = true;
            m_makeItGo();
        });
    }

    QList<Step> m_steps;
    std::function<void()> m_makeItGo;
    QTimer m_timer;
    QList<QPointer<QWidget>> m_handled;
    qsizetype m_step = 0;
    int m_turnsAfter = 0;
};

// The program's router with the real boxes over a temporary program, and the real file dialogs when asked for.
struct Program {
    explicit Program(bool realFileDialogs)
        : router(
            program.database(), boxes, realFileDialogs ? static_cast<FileDialogs&>(fileDialogs) : program.fileDialogs())
    {
        router.desktop().startProgram = [](const QString&) { return true; };
        router.desktop().openUrl = [](const QUrl&) { return true; };
        program.addExaminee(examinee, QStringLiteral("حسين"));
    }

    QWidget* topLevel(const QString& name) const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible())
                return w;
        return nullptr;
    }

    TestProgram program;
    QtMessages boxes;
    QtFileDialogs fileDialogs;
    WindowRouter router;
};

struct Scene {
    const char* name;
    // Opens the window and returns it.
    std::function<QWidget*(Program&)> open;
    // What is done in the window; it returns when every box it opened has.
    std::function<void(Program&, QWidget* window)> act;
    std::function<QList<Step>(Program&)> steps;
    Way way;
    const char* exitButton; // for Way::ExitButton
    // The window that goes, when not the one opened (a modal window's, found when the box is open).
    std::function<QWidget*(Program&)> going;
    bool realFileDialogs = false;
    // Whether the window may close before the last box opens (it then need not open).
    bool boxMayNotOpen = false;
};

// An encrypted backup of the program's database, at the cheapest cost so the restore's derivation is quick.
QString encryptedBackup(Program& p)
{
    const QString backup = QDir(p.program.folder()).filePath(QStringLiteral("chosen.mdbB"));
    BackupCipher::Encryption encryption(passphrase, BackupCipher::cheapestCost());
    if (!DatabaseCopy::copyFile(p.program.database().filePath(), backup, {}, nullptr, &encryption).ok())
        QTest::qFail("the backup was not written", __FILE__, __LINE__);
    return backup;
}

QWidget* openMain(Program& p)
{
    p.router.showMainWindow();
    return p.router.mainWindow();
}

// The test window of the main window, with its first item shown and a refused key's notice open in it.
QList<Step> testWindowNotice(Program&)
{
    return {
        { Msg::RunTestPrompt, reply(examinee) },
        { QStringLiteral("FrmTest"),
            [](QWidget* test) {
                Drive::click(test, QStringLiteral("Command1"));
                Drive::type(Drive::find<QLineEdit>(test, QStringLiteral("Text6")), QStringLiteral("x"));
            } },
        { Msg::DigitsOnly, {} },
    };
}

const QList<Scene>& scenes()
{
    static const QList<Scene> all = {
        { "main window, its prompt open", openMain,
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("Command2"))->click(); },
            [](Program&) {
                return QList<Step> { { Msg::RunTestPrompt, {} } };
            },
            Way::Close, nullptr, {} },
        { "main window deleted, its prompt open", openMain,
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("Command2"))->click(); },
            [](Program&) {
                return QList<Step> { { Msg::RunTestPrompt, {} } };
            },
            Way::DeleteLater, nullptr, {} },
        { "test window closed, its notice open", openMain,
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("Command2"))->click(); },
            testWindowNotice, Way::Close, nullptr, [](Program& p) { return p.topLevel(QStringLiteral("FrmTest")); } },
        { "main window closed under the test window's notice", openMain,
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("Command2"))->click(); },
            testWindowNotice, Way::Owner, nullptr, {} },
        { "about window's notices open, main window closed", openMain,
            [](Program& p, QWidget* w) { p.router.openAbout(w); },
            [](Program&) {
                return QList<Step> {
                    { QStringLiteral("FrmAbout"),
                        [](QWidget* about) {
                            Drive::find<QAbstractButton>(about, QStringLiteral("CmdNotices"))->click();
                        } },
                    { QStringLiteral("FrmNotices"), {} },
                };
            },
            Way::Owner, nullptr, {} },
        { "lookup window, deletion done, exit pressed",
            [](Program& p) {
                p.router.openLookupWindow();
                return p.topLevel(QStringLiteral("FrmCode"));
            },
            [](Program&, QWidget* w) {
                Drive::find<QLineEdit>(w, QStringLiteral("Text5"))->setText(examinee);
                Drive::find<QAbstractButton>(w, QStringLiteral("Command2"))->click();
            },
            [](Program&) {
                return QList<Step> { { Msg::ConfirmDeletion, reply() }, { Msg::DeletionDone, {} } };
            },
            Way::ExitButton, "Command6", {} },
        { "scoring window, chart asked before scoring, exit pressed",
            [](Program& p) {
                p.router.openScoringWindow();
                return p.topLevel(QStringLiteral("FrmkLID"));
            },
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("Command2"))->click(); },
            [](Program&) {
                return QList<Step> { { Msg::ScoreBeforeChart, {} } };
            },
            Way::ExitButton, "Command5", {} },
        { "comparison window, no codes, exit pressed",
            [](Program& p) {
                p.router.openComparisonWindow();
                return p.topLevel(QStringLiteral("FrmCompare"));
            },
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("Command1"))->click(); },
            [](Program&) {
                return QList<Step> { { Msg::CompareEnterBothCodes, {} } };
            },
            Way::ExitButton, "Command5", {} },
        { "backup window, no restore source, exit pressed",
            [](Program& p) {
                p.router.openBackupWindow();
                return p.topLevel(QStringLiteral("Frmbackup"));
            },
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("VisualButtonEx3"))->click(); },
            [](Program&) {
                return QList<Step> { { Msg::ChooseRestoreSource, {} } };
            },
            Way::ExitButton, "Command1", {} },
        { "backup window, encrypted restore refused, exit pressed",
            [](Program& p) {
                const QString backup = encryptedBackup(p);
                p.router.openBackupWindow();
                QWidget* w = p.topLevel(QStringLiteral("Frmbackup"));
                Drive::find<QLineEdit>(w, QStringLiteral("Text2"))->setText(backup);
                return w;
            },
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("VisualButtonEx3"))->click(); },
            [](Program&) {
                return QList<Step> { { Msg::ConfirmRestore, reply() },
                    { Msg::RestorePassphrasePrompt, reply(QStringLiteral("not the passphrase at all")) },
                    { QString(), {} } };
            },
            Way::ExitButton, "Command1", {} },
        { "backup window deleted, encrypted restore refused",
            [](Program& p) {
                const QString backup = encryptedBackup(p);
                p.router.openBackupWindow();
                QWidget* w = p.topLevel(QStringLiteral("Frmbackup"));
                Drive::find<QLineEdit>(w, QStringLiteral("Text2"))->setText(backup);
                return w;
            },
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("VisualButtonEx3"))->click(); },
            [](Program&) {
                return QList<Step> { { Msg::ConfirmRestore, reply() },
                    { Msg::RestorePassphrasePrompt, reply(QStringLiteral("not the passphrase at all")) },
                    { QString(), {} } };
            },
            Way::DeleteLater, nullptr, {} },
        { "backup window closed as an encrypted restore starts, its refusal open",
            [](Program& p) {
                const QString backup = encryptedBackup(p);
                p.router.openBackupWindow();
                QWidget* w = p.topLevel(QStringLiteral("Frmbackup"));
                Drive::find<QLineEdit>(w, QStringLiteral("Text2"))->setText(backup);
                // Closed the moment the copy starts: the window waits for the copy and then closes itself.
                auto* progress = Drive::find<QProgressBar>(w, QStringLiteral("CopyProgress"));
                QObject::connect(progress, &QProgressBar::valueChanged, w, [w] { w->close(); });
                return w;
            },
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("VisualButtonEx3"))->click(); },
            [](Program&) {
                return QList<Step> { { Msg::ConfirmRestore, reply() },
                    { Msg::RestorePassphrasePrompt, reply(QStringLiteral("not the passphrase at all")) },
                    { QString(), {} } };
            },
            Way::Itself, nullptr, {}, false, true },
        { "backup window, file dialog open, exit pressed",
            [](Program& p) {
                p.router.openBackupWindow();
                return p.topLevel(QStringLiteral("Frmbackup"));
            },
            [](Program&, QWidget* w) { Drive::find<QAbstractButton>(w, QStringLiteral("b2"))->click(); },
            [](Program&) {
                return QList<Step> { { QString(), {} } };
            },
            Way::ExitButton, "Command1", {}, true },
        { "preview window, PDF not saved, exit pressed",
            [](Program& p) {
                p.router.showPreview(
                    std::make_shared<ListReport>(QList<ListReportRow>(), ListReportCaptions(), QString()));
                return p.topLevel(QStringLiteral("PreviewWindow"));
            },
            [](Program& p, QWidget* w) {
                p.program.fileDialogs().names
                    << QDir(p.program.folder()).filePath(QStringLiteral("no such folder/list.pdf"));
                Drive::find<QAbstractButton>(w, QStringLiteral("PreviewSavePdf"))->click();
            },
            [](Program&) {
                return QList<Step> { { Msg::PdfNotSaved, {} } };
            },
            Way::ExitButton, "PreviewClose", {} },
    };
    return all;
}

} // namespace

class TestBoxesOverClosingWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void windowGoesUnderItsBox_data();
    void windowGoesUnderItsBox();
};

void TestBoxesOverClosingWindows::windowGoesUnderItsBox_data()
{
    QTest::addColumn<int>("scene");
    for (qsizetype i = 0; i < scenes().size(); ++i)
        QTest::newRow(scenes().at(i).name) << int(i);
}

void TestBoxesOverClosingWindows::windowGoesUnderItsBox()
{
    QFETCH(int, scene);
    const Scene& s = scenes().at(scene);
    Program p(s.realFileDialogs);
    QPointer<QWidget> window = s.open(p);
    QVERIFY(window);
    QVERIFY(Drive::waitUntilActive(window));
    QPointer<QWidget> going;

    Driver driver(s.steps(p), [&] {
        going = s.going ? s.going(p) : window.data();
        QVERIFY(going);
        switch (s.way) {
        case Way::ExitButton:
            press(going, QString::fromLatin1(s.exitButton));
            break;
        case Way::Close:
            going->close();
            break;
        case Way::DeleteLater:
            going->deleteLater();
            break;
        case Way::Owner:
            p.router.mainWindow()->close();
            going = p.router.mainWindow();
            break;
        case Way::Itself:
            break;
        }
    });
    s.act(p, window);
    if (!driver.went && s.boxMayNotOpen)
        going = window;

    // Every box came back to the code that opened it, and none stayed.
    QVERIFY2(driver.went || s.boxMayNotOpen, qPrintable(driver.seen.join(QLatin1String(" | "))));
    QCOMPARE(driver.stayed, QStringList());
    QTRY_VERIFY(!driver.underBox || !driver.underBox->isVisible());
    // The window that went is deleted once back in the event loop (a modal test window by the caller that ran it).
    QTRY_VERIFY(going.isNull());
    QTRY_VERIFY(!QApplication::activeModalWidget());
    letTheRouterSettle();
}

QTEST_MAIN(TestBoxesOverClosingWindows)
#include "TestBoxesOverClosingWindows.moc"
