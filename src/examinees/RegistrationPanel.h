#pragma once

#include "examinees/RegistrationCheck.h"
#include "examinees/RegistrationStore.h"

#include <QFrame>
#include <QHash>

#include <optional>

class Database;
class DigitsField;
class Messages;
class QComboBox;
class QLineEdit;
class QPushButton;
class TableCursor;

// The registration form (`Frame10`) embedded in the main window. It fills a new row of the window's `IDE` cursor
// and, on save, has its store write that row and the examinee's empty `Answer` row together.
class RegistrationPanel : public QFrame {
    Q_OBJECT
public:

    // `details` is the IDE cursor whose new row the fields fill; it belongs to the window that shows the panel.
    RegistrationPanel(Database& db, Messages& messages, TableCursor& details, QWidget* parent = nullptr);

    // A new, empty examinee: new form row, today's date and the time of day filled in, focus on the code.
    // The lists keep whatever they last showed.
    void startNewExaminee();

    // "ذخيره" and "انصراف"; public so the window's keyboard handling and tests can call them as the buttons do.
    void save();
    void cancel();
    // The code of the examinee stored by the last save, as the Answer row carries it.
    QString lastSavedCode() const { return m_lastSavedCode; }

signals:
    // Both rows are stored and the cursors reloaded; the main window closes the panel.
    void saved();
    // The new row was dropped; the main window closes the panel.
    void cancelled();

private:
    void buildControls();
    void copyListTexts();
    RegistrationCheck::Entry entry() const;
    QWidget* fieldFor(RegistrationCheck::Field field) const;
    void reportFailure(const RegistrationStore::Outcome& failure);
    void restoreUnsavedRow(const QHash<QString, QString>& values);

    Messages& m_messages;
    TableCursor& m_details;
    RegistrationStore m_store;
    QString m_lastSavedCode;

    QLineEdit* m_code = nullptr;        // Text11
    QLineEdit* m_firstName = nullptr;   // Text6
    QLineEdit* m_familyName = nullptr;  // Text4
    DigitsField* m_age = nullptr;       // Text5
    QComboBox* m_marital = nullptr;     // Combo1
    QLineEdit* m_date = nullptr;        // Text8
    QComboBox* m_sex = nullptr;         // Combo2
    QComboBox* m_group = nullptr;       // Combo3
    QLineEdit* m_education = nullptr;   // Text7
    QLineEdit* m_time = nullptr;        // Text9
    QLineEdit* m_maritalField = nullptr; // Text15, hidden, bound to Taahol
    QLineEdit* m_sexField = nullptr;     // Text16, hidden, bound to Jens
    QLineEdit* m_groupField = nullptr;   // Text17, hidden, bound to Group
    QPushButton* m_save = nullptr;      // Command8
    QPushButton* m_cancel = nullptr;    // Command10
};
