#pragma once

#include <QHash>
#include <QList>
#include <QWidget>

#include <optional>

class HomePanel;
class Database;
class Messages;
class QFrame;
class QLabel;
class QLineEdit;
class RegistrationPanel;
class SettingsPanels;
class TableCursor;
class WindowRouter;

// The hub (`Frm1`): a column of nine buttons on the right, four panels shown in place beside it (each built the
// first time it is shown), a hint for the button under the mouse. Every other window is reached through the router. Each opening is a fresh load:
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
    void buildOtherItems();
    RegistrationPanel* registrationPanel();
    // Panels built after the window was loaded: skinned, and the home panel steps aside for them.
    void panelsBuilt(const QList<QWidget*>& panels);

    // Closes every panel and, when there are examinees, drops an unsaved registration by reloading.
    void HidePanels();
    void showHint(const QString& text);
    void hideHint();

    // Whether the Answer table has rows; the buttons that need an examinee do nothing without one. Empty, and said,
    // when the table could not be read.
    std::optional<bool> answerRows();
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
    void openAuditWindow();
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
    // `Adodc3`: whether any examinee has answers, for the test and scoring buttons; empty when it could not be read.
    std::optional<bool> m_anyAnswer;

    QLineEdit* m_themeNumber = nullptr; // Text1
    QLabel* m_clinicLabel = nullptr; // SkinLabel1
    QLabel* m_hint = nullptr; // SkinLabel2
    QLabel* m_user = nullptr; // who is working, on a server with rights

    QFrame* m_buttonColumn = nullptr; // Frame7
    RegistrationPanel* m_registrationPanel = nullptr; // Frame10
    SettingsPanels* m_settings = nullptr; // Frame8 and the panels it opens
    // Closing was asked for while the database panel copied onto the server: done once the copy has stopped.
    bool m_closeAfterCopy = false;
    HomePanel* m_home = nullptr; // shown while no other panel is

    QHash<QObject*, QString> m_hints;
};
