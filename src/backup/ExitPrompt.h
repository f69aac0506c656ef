#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QTimer;
class QToolButton;

// The small window through which the operator leaves the program, with a tick box for making a backup first.
// It decides nothing itself: the window router reacts to its two signals. While it is open its title blinks
// between two texts and the tick box's caption follows the title.
class ExitPrompt : public QWidget {
    Q_OBJECT
public:
    explicit ExitPrompt(QWidget* parent = nullptr);

    static const QString& firstTitle();  // " تهيه نسخه پشتيبان"
    static const QString& secondTitle(); // "پشتيبان گيري"

signals:
    // The operator chose to go back to the main window; the prompt closes itself afterwards.
    void cancelled();
    // The operator confirmed leaving; with the box ticked the prompt hides itself afterwards.
    void confirmed(bool backupTicked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showRestingPictures();
    void confirm();
    void cancel();
    void setTitle(const QString& title);

    QLabel* m_question = nullptr;       // Label1
    QCheckBox* m_backup = nullptr;      // Check1
    QLabel* m_confirmResting = nullptr; // k1
    QToolButton* m_confirm = nullptr;   // k2
    QLabel* m_cancelResting = nullptr;  // C1
    QToolButton* m_cancel = nullptr;    // C2
    QTimer* m_firstTitleTimer = nullptr;
    QTimer* m_secondTitleTimer = nullptr;
    QTimer* m_captionTimer = nullptr;   // tmCaptionAnimate
    // The title as the program writes it; the title bar may have been handed other letters.
    QString m_title;
};
