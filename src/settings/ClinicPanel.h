#pragma once

#include <QFrame>

class Messages;
class QLineEdit;
class TableCursor;

// The clinic's name and address (`Frame9`), shown in the main window beside the settings panel. Its two fields show
// the `Name` and `Adress` of the single Theme row; "ذخيره " stores them as they stand, "انصراف" stores nothing. The
// cursor belongs to the window; the panel only uses it.
class ClinicPanel : public QFrame {
    Q_OBJECT
public:
    ClinicPanel(TableCursor& themeRow, Messages& messages, QWidget* parent = nullptr);

    // Reads the row again, so the fields show what is stored: text typed earlier and abandoned is dropped here, and
    // no later save can store it unseen.
    void showStored();

    // The name field's text: the stored name, or what is typed over it.
    QString name() const;

signals:
    // The name field changed, by a read of the row or by typing; the main window shows it as the clinic's name.
    void nameChanged(const QString& name);
    // The name and the address are stored; the main window closes the panel.
    void saved();
    // Closed without storing; what was typed stays on show until the row is read again.
    void cancelled();

private:
    void save();

    TableCursor& m_themeRow;
    Messages& m_messages;
    QLineEdit* m_name = nullptr; // Text2
    QLineEdit* m_address = nullptr; // Text14
};
