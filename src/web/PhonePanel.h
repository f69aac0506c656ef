#pragma once

#include <QFrame>

class Messages;
class PhoneService;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "پاسخگويي با تلفن همراه" (`FramePhone`), beside the settings panel: whether the program serves the questionnaire to
// examinees' phones while it runs, the address and port it listens on, the start of the links invitations print,
// and whether plain HTTP may go beyond this computer (with a warning). Saving stores the settings and applies them
// to the running service at once.
class PhonePanel : public QFrame {
    Q_OBJECT
public:
    PhonePanel(Messages& messages, PhoneService* service, QWidget* parent = nullptr);

    void showStored();

signals:
    void saved();
    void cancelled();

private:
    void save();

    Messages& m_messages;
    PhoneService* m_service;
    QCheckBox* m_enabled = nullptr;
    QLineEdit* m_listen = nullptr;
    QLineEdit* m_linkBase = nullptr;
    QCheckBox* m_plainHttp = nullptr;
    QLabel* m_warning = nullptr;
};
