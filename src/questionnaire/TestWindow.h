#pragma once

#include <QDialog>
#include <QString>

#include <array>

class Database;
class DigitsField;
class Messages;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class TableCursor;

// The window in which one examinee reads the introduction and answers the 35 statements, one at a time. Every
// choice is written, already keyed, into the examinee's Answer row the moment it is made, so leaving the window in
// any way keeps every answer chosen; the statement and the stored answer are read afresh each time an item is shown.
// The examinee's details are shown beside the items and may be corrected; those edits are stored by "ذخيره و خروج"
// only.
//
// Keyboard: outside the text boxes the keys 1..5 choose Option1..Option5; Left arrow and Page Down go to the next
// item, Right arrow and Page Up to the previous one (the items read right to left, so "next" points left).
class TestWindow : public QDialog {
    Q_OBJECT
public:
    TestWindow(Database& db, Messages& messages, QWidget* parent = nullptr);
    ~TestWindow() override;

    enum class Run {
        Ready,    // the window may be opened
        NotFound, // no Answer row has the code: the caller tells the operator
        Failed,   // the file could not be read; the operator has been told (busy or failing)
    };

    // Makes the window ready for the examinee whose code was typed as `typedCode` (looked up as ExamineeCode says):
    // the Answer and IDE cursors are read again and filtered to that examinee, the details are hidden and the title
    // shown. Unless Ready, none of the window's controls change and the window is not to be opened.
    Run prepareRun(const QString& typedCode);

    // Returns the window to its introduction after a test run, item number "0".
    void resetToIntroduction();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildIntroduction();
    void buildItemArea();
    void buildDetails();
    void buildLayout();
    void setTabOrder();
    void showIntroductionOnly();

    void start();
    void next();
    void back();
    void saveAndExit();
    void itemNumberChanged(const QString& text);
    void loadItem(int item);
    // Reads the examinee's answers again and links the answer box to the item's column; false when the read failed.
    bool linkAnswerBox(int item);
    void setOptionFrameCaption(int item);

    void RecordChosenAnswer(int option);
    void ShowStoredAnswer();
    void selectOption(int option);
    void clearOptions();
    void showProgress();

    bool storeAnswerRow();
    void reportStoreFailure(const QString& error);

    bool handleAnsweringKey(QKeyEvent* event);
    bool isTextBox(const QWidget* widget) const;
    bool isAnswering() const;

    Database& m_db;
    Messages& m_messages;

    TableCursor* m_theme;      // Adodc1
    TableCursor* m_answer;     // Adodc2: the examinee's Answer row
    TableCursor* m_ide;        // Adodc3: the examinee's IDE row
    TableCursor* m_allAnswers; // Adodc4
    TableCursor* m_allIde;     // Adodc5
    TableCursor* m_items;      // Adodc6: the current item's QU row

    QLabel* m_title = nullptr;       // SkinLabel3
    QLabel* m_instruction = nullptr; // SkinLabel4
    QLabel* m_legend = nullptr;      // SkinLabel6
    QPushButton* m_start = nullptr;  // Command1

    QLabel* m_statement = nullptr;   // SkinLbl5
    QGroupBox* m_optionFrame = nullptr; // Frame2
    std::array<QRadioButton*, 5> m_options{};
    QLabel* m_itemNumberCaption = nullptr;
    DigitsField* m_itemNumber = nullptr; // Text6
    QLineEdit* m_answerBox = nullptr;  // Text12, hidden
    QPushButton* m_back = nullptr;     // CmdBack
    QPushButton* m_next = nullptr;     // CmdNext
    QPushButton* m_saveAndExit = nullptr; // Command5
    QLabel* m_progressCaption = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressCount = nullptr; // answered items, "12 از 35"

    QGroupBox* m_details = nullptr; // Frame1
    DigitsField* m_age = nullptr;   // Sen
    QLineEdit* m_code = nullptr;

    // The item whose Answer column the answer box is linked to; 0 before any item has been shown. A choice is
    // keyed by this item, the one on screen, even while the item-number box rests at 0.
    int m_linkedItem = 0;
};
