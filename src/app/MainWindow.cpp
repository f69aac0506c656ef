#include "app/MainWindow.h"

#include "app/Desktop.h"
#include "app/HomePanel.h"
#include "app/SettingsPanels.h"
#include "app/WindowRouter.h"
#include "data/Database.h"
#include "data/ExamineeCode.h"
#include "data/HomeFigures.h"
#include "data/Rights.h"
#include "data/TableCursor.h"
#include "examinees/RegistrationPanel.h"
#include "settings/Theme.h"
#include "text/ShownNumbers.h"
#include "ui/ColumnBinding.h"
#include "ui/HelpContents.h"
#include "ui/MakerDetails.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace {

// Client area in twips: wide enough for the button column (ends at 10515), tall enough for the theme panel
// (ends at 7905) and the banner below the hint.
constexpr int kClientWidth = 10755;
constexpr int kClientHeight = 8160;

constexpr PanelPlace kRegistrationPlace{1500, 780, 6675, 2895};
// Below the clinic's name, between the hint and banner (which end at 3240) and the button column (from 8280), down to
// the window's foot.
constexpr PanelPlace kHomePlace{3360, 780, 4800, 7140};

// A move that a control under the pointer passed on to its parent (a styled button sees moves and does not take
// them) is not a move over the parent's background.
bool isBareBackground(QWidget* widget, QEvent* event)
{
    return !widget->childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
}

// The maker's banner: the program's name over the web site's host, or the program's name and version alone when
// no web site is set.
QPixmap bannerPicture(QSize size, const Maker::Details& maker)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    QLinearGradient shade(0, 0, size.width(), 0);
    shade.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
    shade.setColorAt(1, QColor(0x4a, 0x90, 0xc8));
    p.fillRect(pixmap.rect(), shade);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(qMax(10, size.height() / 3));
    p.setFont(font);
    const QString host = QUrl(Maker::webAddress(maker.webSite)).host();
    if (host.isEmpty()) {
        p.drawText(pixmap.rect(), Qt::AlignCenter, ShownNumbers::line(Maker::programNameAndVersion()));
        return pixmap;
    }
    p.drawText(pixmap.rect().adjusted(0, 2, 0, -size.height() / 2), Qt::AlignCenter, QStringLiteral("Tovrin35"));
    font.setBold(false);
    font.setPixelSize(qMax(9, size.height() / 4));
    p.setFont(font);
    p.drawText(pixmap.rect().adjusted(0, size.height() / 2, 0, -2), Qt::AlignCenter, host);
    return pixmap;
}

} // namespace

MainWindow::MainWindow(Database& db, Messages& messages, WindowRouter& router, QWidget* parent)
    : QWidget(parent)
    , m_db(db)
    , m_messages(messages)
    , m_router(router)
{
    Kit::setUpWindow(this, QStringLiteral("Frm1"), QStringLiteral("Tovrin35"), kClientWidth, kClientHeight);
    setMouseTracking(true);

    // The theme row and whether any examinee has answers, in one read.
    m_themeRow = new TableCursor(m_db, QStringLiteral("Theme"), TableCursor::Unread {});
    m_themeRow->setParent(this);
    m_anyAnswer = HomeFigures::reloadWithAnyAnswerRow(*m_themeRow);
    // The registration's cursor holds only the row being typed: filtered to no stored row, so the window never
    // counts every examinee when it opens or drops an unsaved registration.
    m_details = new TableCursor(m_db, QStringLiteral("IDE"), TableCursor::Unread {});
    m_details->setParent(this);
    m_details->setFilter(QStringLiteral("Code"), QString());

    m_themeNumber = Kit::hiddenField(this, QStringLiteral("Text1"));

    buildColumn();
    m_settings = new SettingsPanels(this, m_db, m_messages, m_router, *m_themeRow);
    connect(m_settings, &SettingsPanels::themeWanted, this, &MainWindow::showThemePanel);
    connect(m_settings, &SettingsPanels::clinicWanted, this, &MainWindow::showClinicPanel);
    connect(m_settings, &SettingsPanels::databaseWanted, this, &MainWindow::showDatabasePanel);
    connect(m_settings, &SettingsPanels::dataFileWanted, this, &MainWindow::showDataFilePanel);
    connect(m_settings, &SettingsPanels::phoneWanted, this, &MainWindow::showPhonePanel);
    connect(m_settings, &SettingsPanels::auditWanted, this, &MainWindow::openAuditWindow);
    connect(m_settings, &SettingsPanels::databaseCancelled, this, [this] {
        if (m_closeAfterCopy)
            QTimer::singleShot(0, this, &QWidget::close);
    });
    connect(m_settings, &SettingsPanels::exitWanted, this, &MainWindow::HidePanels);
    connect(m_settings, &SettingsPanels::themeStored, this, &MainWindow::handOverToThemeConfirmation);
    connect(m_settings, &SettingsPanels::built, this, &MainWindow::panelsBuilt);
    connect(m_settings, &SettingsPanels::digitsSwitched, this, [this] {
        m_home->refresh();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                window->update();
    });
    buildOtherItems();
    buildHomePanel();

    // Load: the settings row is read through the bound fields, the clinic-name label follows the name field.
    connect(m_settings, &SettingsPanels::clinicNameChanged, m_clinicLabel, &QLabel::setText);
    ColumnBinding::of(*m_themeRow).bind(m_themeNumber, QStringLiteral("TH"));
    m_clinicLabel->setText(m_themeRow->field(QStringLiteral("Name")));

    Twips::placeWindow(this, 2340, 765);
    replaceUnreadableTheme();
    Theme::applyTheme(this, m_db, m_themeNumber->text());
}

void MainWindow::panelsBuilt(const QList<QWidget*>& panels)
{
    // Built after the window was painted with its theme: painted again, so they wear it too.
    Theme::applyTheme(this, m_db, m_themeNumber->text());
    m_home->followPanels(panels);
}

RegistrationPanel* MainWindow::registrationPanel()
{
    if (m_registrationPanel)
        return m_registrationPanel;
    m_registrationPanel = new RegistrationPanel(m_db, m_messages, *m_details, this);
    m_registrationPanel->hide();
    connect(m_registrationPanel, &RegistrationPanel::saved, this, [this] {
        const QString code = m_registrationPanel->lastSavedCode();
        HidePanels();
        markHandedOver();
        m_home->refresh();
        m_home->showStatus(Msg::RegistrationSaved.arg(code), Msg::InviteTitle, [this, code] { m_router.openInvitation(code); });
    });
    connect(m_registrationPanel, &RegistrationPanel::cancelled, this, [this] { HidePanels(); });
    panelsBuilt({ m_registrationPanel });
    return m_registrationPanel;
}

void MainWindow::markHandedOver()
{
    m_router.setHandOverState(WindowRouter::HandOverState::HandedOver);
}

void MainWindow::buildColumn()
{
    m_buttonColumn = new QFrame(this);
    m_buttonColumn->setObjectName(QStringLiteral("Frame7"));
    m_buttonColumn->setFrameShape(QFrame::Box);
    m_buttonColumn->setMouseTracking(true);
    m_buttonColumn->installEventFilter(this);
    Twips::place(m_buttonColumn, 8280, 540, 2235, 6435);

    struct Entry {
        const char* name;
        QString caption;
        int top;
        void (MainWindow::*action)();
        QString hint;
    };
    const Entry entries[] = {
        {"Command1", QStringLiteral("ثبت نام آزمودني"), 180, &MainWindow::openRegistration,
         QStringLiteral(" شما بايد هر آزمودني را ابتدا ثبت نام کرده و سپس روي دکمه اجراي تست کليک کرده و کد آزمودني را وارد کنيد")},
        {"Command2", QStringLiteral("اجراي تست"), 780, &MainWindow::runTest,
         QStringLiteral(" جهت جواب دادن به سؤالها روي اين دکمه کليک کنيد و کد آزمودني مورد نظر را وارد کنيد ")},
        {"Command3", QStringLiteral("نمره گذاري"), 1380, &MainWindow::handOverToScoring,
         QStringLiteral(" جهت کليد گذاري روي اين دکمه کليک مي کنيد")},
        {"Command4", QStringLiteral("نمايش کد آزمودني"), 1980, &MainWindow::handOverToLookup,
         QStringLiteral(" درصورتيکه کد آزمودني را فراموش کرده ايد با کليک بر روي  اين قسمت مي توانيد آن را بدست بياوريد")},
        {"Command5", QStringLiteral("ماشين حساب"), 2595, &MainWindow::startCalculator, QString()},
        {"Command9", QStringLiteral("تنظيمات"), 3195, &MainWindow::showSettings,
         QStringLiteral("با کليک بر روي اين دکمه شمامي توانيد:1- تم برنامه را عوض کنيد 2- نام و آدرس کلينيک را وارد کنيد")},
        {"Command12", QStringLiteral("درباره ما"), 3795, &MainWindow::openAbout, QString()},
        {"Command13", QStringLiteral("مقايسه دو آزمودني"), 4395, &MainWindow::handOverToComparison,
         QStringLiteral("پاسخ هاي دو همسر را در کنار هم ببينيد، يا نتيجه يک مراجع را پيش و پس از مشاوره مقايسه کنيد")},
        {"Command14", QStringLiteral("دعوت به پاسخگويي"), 4995, &MainWindow::invite,
         QStringLiteral("پيوند يا کد QR براي پاسخ دادن با تلفن همراه بسازيد")},
        {"Command6", QStringLiteral("خروج"), 5580, &MainWindow::leave, QString()},
    };
    for (const Entry& e : entries) {
        QPushButton* button = Kit::button(m_buttonColumn, QString::fromLatin1(e.name), e.caption, 240, e.top, 1785, 555);
        connect(button, &QPushButton::clicked, this, e.action);
        if (!e.hint.isEmpty()) {
            m_hints.insert(button, e.hint);
            button->installEventFilter(this);
        }
    }
}

void MainWindow::buildHomePanel()
{
    m_home = new HomePanel(m_db, m_router.homeFigures(), this);
    connect(m_home, &HomePanel::coupleComparisonWanted, this, [this](const QString& first, const QString& second) {
        HidePanels();
        if (!m_router.openCoupleComparison(first, second))
            return;
        markHandedOver();
        close();
    });
    Twips::place(m_home, kHomePlace.left, kHomePlace.top, kHomePlace.width, kHomePlace.height);
    m_home->setClinic(m_themeRow->field(QStringLiteral("Name")), m_themeRow->field(QStringLiteral("Adress")));
    connect(m_settings, &SettingsPanels::clinicSaved, this, [this] {
        m_themeRow->reload();
        m_home->setClinic(m_themeRow->field(QStringLiteral("Name")), m_themeRow->field(QStringLiteral("Adress")));
    });
    connect(m_home, &HomePanel::helpWanted, this, [this] { m_router.openHelp(HelpContents::sectionFor(QStringLiteral("Frm1"))); });
}

void MainWindow::buildOtherItems()
{
    m_clinicLabel = new QLabel(this);
    m_clinicLabel->setObjectName(QStringLiteral("SkinLabel1"));
    // The clinic's name as it was typed: a name holding markup is not drawn as a heading.
    m_clinicLabel->setTextFormat(Qt::PlainText);
    // At the top of its slot: the theme panel, when shown, begins 360 twips below the slot's top, and the name
    // must stay clear of its frame.
    m_clinicLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont big = m_clinicLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    m_clinicLabel->setFont(big);
    Twips::place(m_clinicLabel, 1740, 120, 5955, 555);

    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("SkinLabel2"));
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    m_hint->setFrameShape(QFrame::StyledPanel);
    m_hint->setMargin(6);
    Twips::place(m_hint, 240, 3840, 3000, 3180);
    m_hint->hide();

    // Who is working, on a clinic's server that keeps counsellors apart; a data file has one user and says nothing.
    const Rights::Person person = Rights::whoIsWorking(m_db);
    if (person.isSomebody()) {
        m_user = new QLabel(this);
        QLabel* who = m_user;
        who->setObjectName(QStringLiteral("LabelUser"));
        who->setTextFormat(Qt::PlainText);
        who->setText((person.head ? Msg::WorkingHead : Msg::WorkingCounsellor).arg(person.name));
        who->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
        // Just above the banner, clear of every panel; a hint shown over the same corner hides it meanwhile.
        Twips::place(who, 240, 6720, 3000, 375);
    }

    // The help button and the banner lead to the maker's pages; where no address is set there is nothing to
    // open, so the help button is not shown and the banner shows the program's name without inviting a click.
    const Maker::Details& maker = m_router.maker();
    auto* help = new QToolButton(this);
    help->setObjectName(QStringLiteral("CmdHelp"));
    help->setText(QStringLiteral("Help"));
    help->setToolTip(QStringLiteral("براي مشاهده اين قسمت بايد به اينترنت کانکت شويد"));
    Twips::place(help, 8880, 7200, 1035, 435);
    const QString helpPage = Maker::helpPage(maker);
    help->setVisible(!helpPage.isEmpty());
    connect(help, &QToolButton::clicked, this, [this, helpPage] {
        if (!helpPage.isEmpty())
            m_router.desktop().openWebPage(helpPage);
    });

    auto* banner = new QToolButton(this);
    banner->setObjectName(QStringLiteral("Picture1"));
    const QRect bannerPlace = Twips::toPixels(240, 7140, 3000, 780);
    banner->setGeometry(bannerPlace);
    banner->setIcon(QIcon(bannerPicture(bannerPlace.size(), maker)));
    banner->setIconSize(bannerPlace.size());
    banner->setAutoRaise(true);
    banner->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    banner->setAccessibleName(Maker::programNameAndVersion());
    if (Maker::bannerPages(maker).isEmpty()) {
        banner->setFocusPolicy(Qt::NoFocus);
    } else {
        banner->setToolTip(QStringLiteral("جهت ورود به سايت کليک کنيد"));
        banner->setCursor(Qt::PointingHandCursor);
    }
    connect(banner, &QToolButton::clicked, this, &MainWindow::openBanner);
}

void MainWindow::HidePanels()
{
    m_settings->hideAll();
    if (m_registrationPanel)
        m_registrationPanel->hide();
    // An unsaved registration is dropped.
    if (m_details->isNewRow())
        m_details->reload();
}

void MainWindow::showHint(const QString& text)
{
    // The hints number their points: drawn as every number is.
    m_hint->setText(ShownNumbers::text(text));
    m_hint->show();
    if (m_user)
        m_user->hide();
}

void MainWindow::hideHint()
{
    m_hint->clear();
    m_hint->hide();
    if (m_user)
        m_user->show();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        if (auto it = m_hints.constFind(watched); it != m_hints.cend())
            showHint(*it);
        else if (watched == m_buttonColumn && event->type() == QEvent::MouseMove && isBareBackground(m_buttonColumn, event))
            hideHint();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (isBareBackground(this, event))
        hideHint();
    QWidget::mouseMoveEvent(event);
}

void MainWindow::openRegistration()
{
    HidePanels();
    showPanelAt(registrationPanel(), kRegistrationPlace);
    m_registrationPanel->startNewExaminee();
}

std::optional<bool> MainWindow::answerRows()
{
    // Read at load, and again while none were there or the read failed: examinees registered since count at once.
    if (m_anyAnswer.value_or(false))
        return true;
    m_anyAnswer = HomeFigures::anyAnswerRow(m_db);
    // A file that cannot be read is said, never taken for "no examinees yet".
    if (!m_anyAnswer)
        Kit::reportDatabaseTrouble(m_messages, this, m_db.lastErrorIsBusy(), m_db.lastError());
    return m_anyAnswer;
}

bool MainWindow::anyExaminee()
{
    return answerRows().value_or(false);
}

void MainWindow::runTest()
{
    if (!anyExaminee())
        return;
    HidePanels();
    const QString typed = m_messages.PromptOperator(this, Msg::RunTestPrompt, Msg::RunTestTitle, QString());
    // Blanks and invisible marks alone are no code; the test window looks the code up as it is stored.
    if (ExamineeCode::normalised(typed).isEmpty()) {
        m_messages.ShowNotice(this, Msg::EnterExamineeNumber);
        return;
    }
    switch (m_router.runTest(this, typed.trimmed())) {
    case WindowRouter::TestRun::NoSuchExaminee:
        m_messages.ShowNotice(this, Msg::NoSuchExaminee);
        break;
    case WindowRouter::TestRun::Saved:
        m_home->refresh();
        m_home->showStatus(Msg::TestSaved.arg(typed.trimmed()));
        break;
    case WindowRouter::TestRun::Ran:
        m_home->refresh();
        break;
    case WindowRouter::TestRun::NotRun:
        break;
    }
}

void MainWindow::handOverToScoring()
{
    if (!anyExaminee())
        return;
    HidePanels();
    if (!m_router.openScoringWindow())
        return;
    markHandedOver();
    close();
}

bool MainWindow::anyExamineeOrSay()
{
    const std::optional<bool> any = answerRows();
    if (!any)
        return false;
    if (*any)
        return true;
    m_messages.ShowNotice(this, Msg::NoExamineesYet);
    return false;
}

void MainWindow::handOverToComparison()
{
    if (!anyExamineeOrSay())
        return;
    HidePanels();
    if (!m_router.openComparisonWindow())
        return;
    markHandedOver();
    close();
}

void MainWindow::handOverToLookup()
{
    if (!anyExaminee())
        return;
    HidePanels();
    if (!m_router.openLookupWindow())
        return;
    markHandedOver();
    close();
}

void MainWindow::startCalculator()
{
    HidePanels();
    // Nothing happening at all would look like a fault of the program: the operator is told what to install.
    if (m_router.desktop().startCalculator().isEmpty())
        m_messages.ShowNotice(this, Msg::NoCalculator.arg(Desktop::calculators().join(QStringLiteral("، "))));
}

void MainWindow::showSettings()
{
    HidePanels();
    m_settings->showSettings();
}

void MainWindow::invite()
{
    HidePanels();
    m_router.openInvitation(QString());
}

void MainWindow::openAbout()
{
    HidePanels();
    m_router.openAbout(this);
}

void MainWindow::leave()
{
    HidePanels();
    m_router.openExitPrompt(5000, 4500);
    close();
}

void MainWindow::showClinicPanel()
{
    HidePanels();
    m_settings->showClinic();
}

void MainWindow::showDataFilePanel()
{
    HidePanels();
    m_settings->showDataFile();
}

void MainWindow::openAuditWindow()
{
    HidePanels();
    m_router.openAuditWindow(this);
}

void MainWindow::showDatabasePanel()
{
    HidePanels();
    // The panel reaches down over the hint's place; a hint left from the settings button would show beneath it.
    hideHint();
    m_settings->showDatabase();
}

void MainWindow::showPhonePanel()
{
    HidePanels();
    m_settings->showPhone();
}

void MainWindow::replaceUnreadableTheme()
{
    const int replacement = Theme::replacementFor(m_db.resourcesFolder(), m_themeNumber->text());
    if (replacement == 0)
        return;
    m_themeNumber->setText(QString::number(replacement));
    // Stored, so the operator hears of it once and later starts find the replacement.
    const bool stored = m_themeRow->update();
    const QString error = m_themeRow->lastError();
    // Said once the window is up, over it.
    QTimer::singleShot(0, this, [this, stored, error] {
        m_messages.ShowNotice(this, Msg::SkinUnreadable);
        if (!stored)
            Kit::reportSaveFailure(m_messages, this, error);
    });
}

void MainWindow::showThemePanel()
{
    HidePanels();
    m_settings->showTheme();
}

void MainWindow::handOverToThemeConfirmation()
{
    // Stored, so the confirmation opens in the new theme; the window closes only once it is open.
    if (!m_router.openThemeConfirmation())
        return;
    markHandedOver();
    close();
}

void MainWindow::openBanner()
{
    for (const QString& page : Maker::bannerPages(m_router.maker()))
        m_router.desktop().openWebPage(page);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_settings->isCopying()) {
        // Not with the server's rows half written: the copy stops first, nothing of it stored, and the window closes
        // once it has.
        m_closeAfterCopy = true;
        m_settings->cancelCopy();
        event->ignore();
        return;
    }
    m_details->reload();
    if (m_router.handOverState() == WindowRouter::HandOverState::HandedOver) {
        // Handed over (or an examinee registered): the window closes without the exit prompt.
        m_details->reload();
        event->accept();
        return;
    }
    HidePanels();
    m_details->reload();
    m_router.openExitPrompt(5000, 1500);
    event->accept();
}
