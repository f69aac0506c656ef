#pragma once

#include <QDateTime>
#include <QList>
#include <QWidget>

#include <functional>
#include <memory>

class Database;
class Messages;
class PagedDocument;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "دعوت به پاسخگويي" `FrmInvite`: makes the link by which an examinee answers on a phone, for one code or, with
// "دعوت زوج", for both spouses at once, and shows it as text and as a QR code to be scanned from the screen, copied
// into a message or printed on a slip. The token lives only in the link shown here: once the window closes nobody can
// see it again, so a lost slip means "لغو دعوت" and a new invitation.
class InvitationWindow : public QWidget {
    Q_OBJECT
public:
    struct Setting {
        QString linkBase; // where the phone reaches the service, as the phone panel keeps it
        QString clinicName;
        QString user; // who makes and revokes, as stored beside the invitation
        std::function<QDateTime()> clock; // the present; the computer's clock unless a test moves it
    };
    InvitationWindow(Database& db, Messages& messages, const Setting& setting, const QString& code,
        QWidget* parent = nullptr);

    // The buttons' work, public so tests and the keyboard reach them as the buttons do.
    bool invite();
    bool inviteCouple();
    void copyLink(int which = 0);
    void printSlip();
    bool revoke();

    // The links made in this window (empty once revoked).
    QStringList links() const;

signals:
    void previewRequested(std::shared_ptr<PagedDocument> document);
    // A couple was invited: the comparison window may bring the pair back.
    void coupleInvited(const QString& firstCode, const QString& secondCode);

private:
    struct Made {
        QString code;
        QString link;
        QString tokenHash;
        QDateTime expires;
    };
    bool make(const QStringList& codes);
    void showMade();

    Database& m_db;
    Messages& m_messages;
    Setting m_setting;
    QList<Made> m_made;

    QLineEdit* m_code = nullptr;
    QLineEdit* m_partner = nullptr;
    QSpinBox* m_days = nullptr;
    QPushButton* m_invite = nullptr;
    QPushButton* m_couple = nullptr;
    QLineEdit* m_links[2] = {};
    QLabel* m_codes[2] = {};
    QLabel* m_marks[2] = {};
    QPushButton* m_copies[2] = {};
    QLabel* m_expiry = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_revoke = nullptr;
};
