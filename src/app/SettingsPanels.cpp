#include "app/SettingsPanels.h"

#include "app/DataFilePanel.h"
#include "app/WindowRouter.h"
#include "data/Database.h"
#include "settings/ClinicPanel.h"
#include "settings/DatabasePanel.h"
#include "settings/ThemePanel.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"
#include "web/PhonePanel.h"

#include <QCheckBox>
#include <QFrame>
#include <QPushButton>

namespace {

// Taller by one row for the phones' button: it starts where the hint and banner end.
// Taller by one row for the phones' button, where the hint and banner end, and one more for the activity report,
// grown upwards so its foot stays where it was.
constexpr PanelPlace kSettingsPlace{6060, 2640, 2175, 5055};
constexpr PanelPlace kClinicPlace{1620, 840, 6075, 2295};
constexpr PanelPlace kThemePlace{3420, 480, 2595, 7425};
// Beside the settings panel, clear of it and of the clinic-name label.
constexpr PanelPlace kDatabasePlace{240, 720, 5700, 4200};

} // namespace

void showPanelAt(QWidget* panel, const PanelPlace& place)
{
    Twips::place(panel, place.left, place.top, place.width, place.height);
    panel->show();
    panel->raise();
}

SettingsPanels::SettingsPanels(
    QWidget* window, Database& db, Messages& messages, WindowRouter& router, TableCursor& themeRow)
    : QObject(window)
    , m_window(window)
    , m_db(db)
    , m_messages(messages)
    , m_router(router)
    , m_themeRow(themeRow)
{
}

void SettingsPanels::build()
{
    if (m_settings)
        return;
    m_settings = new QFrame(m_window);
    m_settings->setObjectName(QStringLiteral("Frame8"));
    m_settings->setFrameShape(QFrame::Box);
    m_settings->setAutoFillBackground(true);
    m_settings->hide();
    const auto button = [this](const char* name, const QString& caption, int top, void (SettingsPanels::*wanted)()) {
        connect(Kit::button(m_settings, QString::fromLatin1(name), caption, 195, top, 1785, 495), &QPushButton::clicked,
            this, wanted);
    };
    button("Command68", QStringLiteral("تغيير تم برنامه"), 240, &SettingsPanels::themeWanted);
    button("Command67", QStringLiteral(" تعريف نام کلينيک"), 840, &SettingsPanels::clinicWanted);
    button("Command70", QStringLiteral("پايگاه داده"), 1440, &SettingsPanels::databaseWanted);
    button("Command71", QStringLiteral("محل فايل اطلاعات"), 2040, &SettingsPanels::dataFileWanted);
    button("Command72", Msg::PhoneButton, 3240, &SettingsPanels::phoneWanted);
    // How numbers are drawn is the choice of whoever sits at this computer: windows opened after a change follow it,
    // and the windows open now (a preview, a chart) are drawn again at once.
    auto* digits = new QCheckBox(QStringLiteral("ارقام فارسي"), m_settings);
    digits->setObjectName(QStringLiteral("CheckDigits"));
    digits->setChecked(ShownNumbers::persianDigits());
    Twips::place(digits, 195, 2640, 1785, 495);
    connect(digits, &QCheckBox::toggled, this, [this](bool on) {
        ShownNumbers::setPersianDigits(on);
        emit digitsSwitched();
    });
    button("Command73", Msg::AuditTitle, 3840, &SettingsPanels::auditWanted);
    button("Command69", QStringLiteral("خروج"), 4440, &SettingsPanels::exitWanted);

    m_clinic = new ClinicPanel(m_themeRow, m_messages, m_window);
    m_clinic->hide();
    connect(m_clinic, &ClinicPanel::nameChanged, this, &SettingsPanels::clinicNameChanged);
    connect(m_clinic, &ClinicPanel::saved, m_clinic, &QWidget::hide);
    connect(m_clinic, &ClinicPanel::saved, this, &SettingsPanels::clinicSaved);
    connect(m_clinic, &ClinicPanel::cancelled, m_clinic, &QWidget::hide);
    m_dataFile = new DataFilePanel(m_db.filePath(), m_router.desktop(), m_window);
    m_dataFile->hide();
    connect(m_dataFile, &DataFilePanel::closed, m_dataFile, &QWidget::hide);
    m_database = new DatabasePanel(m_messages, m_db.dataFolder(), m_window);
    m_database->hide();
    connect(m_database, &DatabasePanel::saved, m_database, &QWidget::hide);
    connect(m_database, &DatabasePanel::cancelled, m_database, &QWidget::hide);
    connect(m_database, &DatabasePanel::cancelled, this, &SettingsPanels::databaseCancelled);
    m_phone = new PhonePanel(m_messages, &m_router.phoneService(), m_window);
    m_phone->hide();
    connect(m_phone, &PhonePanel::saved, m_phone, &QWidget::hide);
    connect(m_phone, &PhonePanel::cancelled, m_phone, &QWidget::hide);
    m_theme = new ThemePanel(m_themeRow, m_messages, m_db.resourcesFolder(), m_window);
    m_theme->hide();
    connect(m_theme, &ThemePanel::themeStored, this, &SettingsPanels::themeStored);
    connect(m_theme, &ThemePanel::cancelled, m_theme, &QWidget::hide);
    emit built({ m_settings, m_clinic, m_theme });
}

void SettingsPanels::showSettings()
{
    build();
    showPanelAt(m_settings, kSettingsPlace);
}

void SettingsPanels::showClinic()
{
    build();
    m_clinic->showStored();
    showSettings();
    showPanelAt(m_clinic, kClinicPlace);
}

void SettingsPanels::showTheme()
{
    showSettings();
    showPanelAt(m_theme, kThemePlace);
}

void SettingsPanels::showDatabase()
{
    build();
    m_database->showStored();
    showSettings();
    showPanelAt(m_database, kDatabasePlace);
}

void SettingsPanels::showDataFile()
{
    showSettings();
    showPanelAt(m_dataFile, kClinicPlace);
}

void SettingsPanels::showPhone()
{
    build();
    m_phone->showStored();
    showSettings();
    showPanelAt(m_phone, kDatabasePlace);
}

void SettingsPanels::hideAll()
{
    if (!m_settings)
        return;
    for (QWidget* panel : std::initializer_list<QWidget*> { m_theme, m_settings, m_clinic, m_dataFile, m_database, m_phone })
        panel->hide();
}

bool SettingsPanels::isCopying() const
{
    return m_database && m_database->isCopying();
}

void SettingsPanels::cancelCopy()
{
    if (m_database)
        m_database->cancelCopy();
}
