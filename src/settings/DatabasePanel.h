#pragma once

#include "data/DatabaseChoice.h"
#include "settings/ClinicMove.h"

#include <QFrame>

class Messages;
class QLineEdit;
class QProgressBar;
class TransferJob;
class QPushButton;
class QRadioButton;

// Which database the program opens (`DatabasePanel`), shown in the main window beside the settings panel: "همين
// رايانه" (the data file on this computer) or "سرور کلينيک" with its host, port, database and user. "آزمايش اتصال"
// connects with the values as they stand and says what happened; "انتقال به سرور" copies the data file's examinees
// onto that server; saving stores the choice, which takes effect at the next start. No password is ever stored: one
// asked for here is kept only while the connection lasts. The copy runs on a worker thread, its progress shown in
// place of the two buttons above; "انصراف" stops it, with nothing copied.
class DatabasePanel : public QFrame {
    Q_OBJECT
public:
    // `dataFolder` holds the data file on this computer (RIVERIVU/RIVERIVU.mdb), the source of a move to the server.
    DatabasePanel(Messages& messages, const QString& dataFolder, QWidget* parent = nullptr);

    // Shows the stored choice, and the server last stored even under a local choice.
    void showStored();

    // The choice as the panel's controls stand.
    DatabaseChoice choice() const;

    // Whether a copy onto the server is under way.
    bool isCopying() const { return m_job != nullptr; }
    // Stops the copy under way: nothing of it is stored, and the panel is closed as by "انصراف" once it has stopped.
    void cancelCopy();

signals:
    // The choice is stored; the main window closes the panel.
    void saved();
    // Closed without storing.
    void cancelled();

private:
    void showKind();
    // Whether the server fields name a server; when not, says which field is wrong and puts the focus there.
    bool serverFieldsComplete();
    void testConnection();
    void copyToServer();
    void tellCopied(const ClinicMove::Outcome& moved, const QString& name);
    void setCopying(bool copying);
    void cancel();
    void save();

    Messages& m_messages;
    QString m_dataFolder;
    QRadioButton* m_local = nullptr;
    QRadioButton* m_server = nullptr;
    QLineEdit* m_host = nullptr;
    QLineEdit* m_port = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_user = nullptr;
    QPushButton* m_test = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    TransferJob* m_job = nullptr;
    QString m_options; // further libpq keywords of the stored server, kept as they are
};
