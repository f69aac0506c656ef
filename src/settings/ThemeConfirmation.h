#pragma once

#include <QWidget>

class Database;
class QLabel;
class QLineEdit;
class QToolButton;
class TableCursor;

// The small window `Frmskin` that confirms a new theme: it opens in the theme just stored, says the change is done,
// and offers one picture button (`k1` at rest, `k2` under the pointer) that brings the main window back. Closing it
// by its frame leaves the program with the theme already stored. Whoever opens it decides what "back" opens.
class ThemeConfirmation : public QWidget {
    Q_OBJECT
public:
    explicit ThemeConfirmation(Database& db, QWidget* parent = nullptr);

signals:
    // The operator clicked the picture button; the window closes itself right after.
    void mainWindowWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showRestingPicture();
    void backToMainWindow();

    TableCursor* m_themeRow = nullptr; // Adodc1
    QLineEdit* m_themeNumber = nullptr; // Text1
    QLabel* m_done = nullptr; // Label3
    QLabel* m_backResting = nullptr; // k1
    QToolButton* m_back = nullptr; // k2
};
