#pragma once

#include <QList>
#include <QObject>

class ClinicPanel;
class DataFilePanel;
class Database;
class DatabasePanel;
class Messages;
class PhonePanel;
class QFrame;
class QWidget;
class TableCursor;
class ThemePanel;
class WindowRouter;

// A panel's place in the main window, in twips.
struct PanelPlace {
    int left;
    int top;
    int width;
    int height;
};

// Places a panel of the main window and brings it to the front.
void showPanelAt(QWidget* panel, const PanelPlace& place);

// The main window's settings: the settings panel (`Frame8`) and those it opens beside it (the theme, the clinic,
// the database, the data file's place, the phones). Built the first time the operator asks for one of them, since
// most openings of the main window never show them and the window is made afresh on every return to it.
class SettingsPanels : public QObject {
    Q_OBJECT
public:
    SettingsPanels(QWidget* window, Database& db, Messages& messages, WindowRouter& router, TableCursor& themeRow);

    // Each shows the settings panel, and the panel named beside it; the others are left as they are.
    void showSettings();
    void showClinic();
    void showTheme();
    void showDatabase();
    void showDataFile();
    void showPhone();
    void hideAll();
    // Whether the database panel is copying a data file onto the server, and stopping that copy.
    bool isCopying() const;
    void cancelCopy();

signals:
    // The panels were just built: they take the window's theme and the home panel steps aside for them.
    void built(const QList<QWidget*>& panels);
    // A button of the settings panel: the window closes what is open and shows the panel asked for.
    void themeWanted();
    void clinicWanted();
    void databaseWanted();
    void dataFileWanted();
    void phoneWanted();
    void auditWanted();
    void exitWanted();
    // The database panel was left: cancelled, or its copy onto the server stopped.
    void databaseCancelled();
    // The digits were switched: what the window shows is drawn again.
    void digitsSwitched();
    void clinicNameChanged(const QString& name);
    void clinicSaved();
    // A theme was stored: the window hands over to its confirmation.
    void themeStored();

private:
    void build();

    QWidget* m_window;
    Database& m_db;
    Messages& m_messages;
    WindowRouter& m_router;
    TableCursor& m_themeRow;

    QFrame* m_settings = nullptr; // Frame8
    ClinicPanel* m_clinic = nullptr; // Frame9
    ThemePanel* m_theme = nullptr; // Frame6
    DataFilePanel* m_dataFile = nullptr;
    DatabasePanel* m_database = nullptr;
    PhonePanel* m_phone = nullptr;
};
