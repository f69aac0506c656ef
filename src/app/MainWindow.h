#pragma once

#include <QHash>
#include <QWidget>

class ClinicPanel;
class DataFilePanel;
class HomePanel;
class DatabasePanel;
class PhonePanel;
class Database;
class Messages;
class QFrame;
class QLabel;
class QLineEdit;
class RegistrationPanel;
class TableCursor;
class ThemePanel;
class WindowRouter;

// The hub (`Frm1`): a column of nine buttons on the right, four panels shown in place beside it, a hint for the
// button under the mouse. Every other window is reached through the router. Each opening is a fresh load:
// cursors read, theme applied, not handed over. What its closing means is the router's hand-over state.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(Database& db, Messages& messages, WindowRouter& router, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildColumn();
    void buildSettingsPanel();
    void buildOtherItems();

    // Closes every panel and, when there are examinees, drops an unsaved registration by reloading.
    void HidePanels();
    void showHint(const QString& text);
    void hideHint();

    // Whether the Answer table has rows; the buttons that need an examinee do nothing without one.
    bool anyExaminee();
    void openRegistration();
    void runTest();
    void handOverToScoring();
    void handOverToLookup();
    void handOverToComparison();
    void startCalculator();
    void showSettings();
    void openAbout();
    void invite();
    void leave();
    void showClinicPanel();
    void showThemePanel();
    void showDataFilePanel();
    void showDatabasePanel();
    void showPhonePanel();
    // At load: a stored theme whose skin cannot be read gives way to the first theme, stored, and the operator is
    // told.
    void replaceUnreadableTheme();
    void handOverToThemeConfirmation();
    void openBanner();
    void markHandedOver();
    void buildHomePanel();
    // For the buttons the opening rules of the hub leave silent: says that no examinee is registered yet.
    bool anyExamineeOrSay();

    Database& m_db;
    Messages& m_messages;
    WindowRouter& m_router;

    // The single Theme row (`Adodc1`: theme number, clinic name and address), and the IDE row the registration form
    // fills (`Adodc2`); registration's own checks and writes are its store's.
    TableCursor* m_themeRow = nullptr;
    TableCursor* m_details = nullptr;
    TableCursor* m_answers = nullptr; // `Adodc3`: whether any examinee has answers, for the test and scoring buttons

    QLineEdit* m_themeNumber = nullptr; // Text1
    QLabel* m_clinicLabel = nullptr; // SkinLabel1
    QLabel* m_hint = nullptr; // SkinLabel2
    QLabel* m_user = nullptr; // who is working, on a server with rights

    QFrame* m_buttonColumn = nullptr; // Frame7
    RegistrationPanel* m_registrationPanel = nullptr; // Frame10
    QFrame* m_settingsPanel = nullptr; // Frame8
    ClinicPanel* m_clinicPanel = nullptr; // Frame9
    ThemePanel* m_themePanel = nullptr; // Frame6
    DataFilePanel* m_dataFilePanel = nullptr;
    HomePanel* m_home = nullptr; // shown while no other panel is
    DatabasePanel* m_databasePanel = nullptr;
    // Closing was asked for while the database panel copied onto the server: done once the copy has stopped.
    bool m_closeAfterCopy = false;
    PhonePanel* m_phonePanel = nullptr;

    QHash<QObject*, QString> m_hints;
};
