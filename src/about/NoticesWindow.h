#pragma once

#include <QDialog>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

// The notices of the software the program is built on and the licence texts, one at a time: the list on the
// right names them, the text beside it shows the one chosen.
class NoticesWindow : public QDialog {
    Q_OBJECT
public:
    explicit NoticesWindow(QWidget* parent = nullptr);

private:
    void showDocument(int row);

    QListWidget* m_list = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_close = nullptr;
};
