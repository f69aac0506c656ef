#pragma once

#include <QFrame>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>

class Database;
namespace HomeFigures {
class Reader;
struct Figures;
}
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

// The main window's quiet corner (`HomePanel`), in the room beside the button column while no other panel is shown:
// the clinic, today's date, how many examinees are registered and have answered, the last few registered, a line
// that confirms work just stored for a few seconds, and the way to the program's help. The figures are those last
// read, shown at once, and read again once the panel is drawn: the window never waits for them.
class HomePanel : public QFrame {
    Q_OBJECT
public:
    HomePanel(Database& db, HomeFigures::Reader& figures, QWidget* parent = nullptr);

    static constexpr int RecentCount = 5;

    void setClinic(const QString& name, const QString& address);
    // Reads the figures again; they show when read.
    void refresh();
    // A confirmation shown for a few seconds, never a box: the operator carries on at once.
    void showStatus(const QString& text);
    // The same with a link after it (`action`) that does `onAction`, for a little longer so there is time to use it.
    void showStatus(const QString& text, const QString& action, std::function<void()> onAction);
    // Reads again the invitations' figures alone: what the panel repeats every few seconds while it is shown.
    void refreshInvitations();
    QString status() const;

    // The panel steps aside while any of `panels` is shown and comes back when all are hidden again.
    void followPanels(const QList<QWidget*>& panels);

signals:
    void helpWanted();
    // "مقايسه دو آزمودني" was chosen for a couple both of whom have just finished answering.
    void coupleComparisonWanted(const QString& firstCode, const QString& secondCode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void styleHelpLink();
    void showFigures(const HomeFigures::Figures& figures);
    void followVisibility();

    Database& m_db;
    HomeFigures::Reader& m_figures;
    bool m_figuresAsked = false;
    QLabel* m_name = nullptr; // HomeClinicName
    QLabel* m_address = nullptr; // HomeClinicAddress
    QLabel* m_today = nullptr; // HomeToday
    QLabel* m_registered = nullptr; // HomeRegistered
    QLabel* m_answered = nullptr; // HomeAnswered
    QTableWidget* m_recent = nullptr; // HomeRecent
    QLabel* m_status = nullptr; // HomeStatus
    QTimer* m_statusTimer = nullptr; // HomeStatusTimer
    QPushButton* m_help = nullptr; // HomeHelp
    QLabel* m_invitations = nullptr; // HomeInvitations
    QTimer* m_invitationTimer = nullptr; // HomeInvitationTimer
    QPushButton* m_statusAction = nullptr; // HomeStatusAction
    std::function<void()> m_onStatusAction;
    QList<QPointer<QWidget>> m_panels;
};
