#pragma once

#include <QDialog>
#include <QHash>
#include <QString>

#include <array>
#include <memory>

class AnswerSheet;
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

// The window in which one examinee reads the introduction and answers the 35 statements, one at a time. What is
// asked, recorded and stored is the answer sheet's; the window shows it and passes on what the examinee and the
// operator do. The examinee's details are shown beside the items and may be corrected; those edits are stored by
// "ذخيره و خروج" only.
//
// Keyboard: outside the text boxes, and in the details written in words, the keys 1..5 choose Option1..Option5;
// Left arrow and Page Down go to the next item, Right arrow and Page Up to the previous one (the items read right to
// left, so "next" points left). The statement takes the focus at the start and when it is clicked.
class TestWindow : public QDialog {
    Q_OBJECT
public:
    TestWindow(Database& db, Messages& messages, QWidget* parent = nullptr);
    ~TestWindow() override;

    enum class Run {
        Ready,    // the window may be opened
        NotFound, // nothing was typed, or no Answer row has the code: the caller tells the operator
        Failed,   // the file could not be read; the operator has been told (busy or failing)
    };

    // Makes the window ready for the examinee whose code was typed as `typedCode`: the introduction alone is shown,
    // with the examinee's details ready behind it. Unless Ready, none of the window's controls change and the window
    // is not to be opened.
    Run prepareRun(const QString& typedCode);

    // Returns the window to its introduction after a test run, item number "0".
    void resetToIntroduction();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Phase { Introduction, Answering };

    void buildIntroduction();
    void buildItemArea();
    void buildDetails();
    void buildLayout();
    void setTabOrder();
    void showPhase(Phase phase);
    void showDetails();
    QHash<QString, QString> editedDetails() const;

    void start();
    void next();
    void back();
    void saveAndExit();
    void itemNumberChanged(const QString& text);
    void loadItem(int item);
    void setOptionFrameCaption(int item);

    void RecordChosenAnswer(int option);
    void ShowStoredAnswer();
    void selectOption(int option);
    void showProgress();

    bool handleAnsweringKey(QKeyEvent* event);
    bool isTextBox(const QWidget* widget) const;
    bool isWordDetail(const QWidget* widget) const;

    Messages& m_messages;
    std::unique_ptr<AnswerSheet> m_sheet;
    Phase m_phase = Phase::Introduction;

    QLabel* m_title = nullptr;       // SkinLabel3
    QLabel* m_instruction = nullptr; // SkinLabel4
    QLabel* m_legend = nullptr;      // SkinLabel6
    QPushButton* m_start = nullptr;  // Command1

    QLabel* m_statement = nullptr;   // SkinLbl5
    QGroupBox* m_optionFrame = nullptr; // Frame2
    std::array<QRadioButton*, 5> m_options{};
    QLabel* m_itemNumberCaption = nullptr;
    DigitsField* m_itemNumber = nullptr; // Text6
    QPushButton* m_back = nullptr;     // CmdBack
    QPushButton* m_next = nullptr;     // CmdNext
    QPushButton* m_saveAndExit = nullptr; // Command5
    QLabel* m_progressCaption = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressCount = nullptr; // answered items, "12 از 35"

    QGroupBox* m_details = nullptr; // Frame1
    QHash<QString, QLineEdit*> m_detailFields; // by column
    QHash<QString, QString> m_shownDetails; // the stored texts the detail fields were filled from
    DigitsField* m_age = nullptr;   // Sen
    QLineEdit* m_code = nullptr;

    // The item on screen; 0 before any item has been shown. A choice is keyed by this item, even while the
    // item-number box rests at 0.
    int m_shownItem = 0;
};
