#pragma once

#include <QHash>
#include <QWidget>

class Database;
class Messages;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class RegistrationPanel;
class TableCursor;
class WindowRouter;

// The hub (`Frm1`): a column of eight buttons on the right, four panels shown in place beside it, a hint for the
// button under the mouse. Every other window is reached through the router. Each opening is a fresh load:
// cursors read, theme applied, hand-over flag "2".
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(Database& db, Messages& messages, WindowRouter& router, QWidget* parent = nullptr);

    // The hand-over flag (`Text3`): "1" once the window has handed over or registered an examinee, so that its
    // closing does not open the exit prompt.
    QString handOverFlag() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildColumn();
    void buildSettingsPanel();
    void buildClinicPanel();
    void buildThemePanel();
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
    void startCalculator();
    void showSettings();
    void openAbout();
    void leave();
    void showClinicPanel();
    void showThemePanel();
    void saveClinic();
    // At load: a stored theme whose skin cannot be read gives way to the first theme, stored, and the operator is
    // told.
    void replaceUnreadableTheme();
    void chooseTheme(int theme);
    // Writes the settings row as the bound fields stand; a failure is reported with the platform's text.
    bool storeThemeRow();
    void openBanner();

    Database& m_db;
    Messages& m_messages;
    WindowRouter& m_router;

    TableCursor* m_theme = nullptr;        // Adodc1
    TableCursor* m_form = nullptr;         // Adodc2
    TableCursor* m_answers = nullptr;      // Adodc3
    TableCursor* m_answersSpare = nullptr; // Adodc4
    TableCursor* m_codeCheck = nullptr;    // Adodc5

    QLineEdit* m_themeNumber = nullptr; // Text1
    QLineEdit* m_flag = nullptr;        // Text3
    QLineEdit* m_clinicName = nullptr;  // Text2
    QLineEdit* m_clinicAddress = nullptr; // Text14
    QLabel* m_clinicLabel = nullptr;    // SkinLabel1
    QLabel* m_hint = nullptr;           // SkinLabel2

    QFrame* m_column = nullptr;            // Frame7
    RegistrationPanel* m_registration = nullptr; // Frame10
    QFrame* m_settings = nullptr;          // Frame8
    QFrame* m_clinic = nullptr;            // Frame9
    QFrame* m_themes = nullptr;            // Frame6

    QHash<QObject*, QString> m_hints;
};
