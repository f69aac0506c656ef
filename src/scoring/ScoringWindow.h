#pragma once

#include "scoring/Scales.h"
#include "scoring/ShownResults.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class ChartWindow;
class Database;
class Messages;
class PagedDocument;
struct ListReportCaptions;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TableCursor;

// The scoring window `FrmkLID`: asks for an examinee code, scores the stored answers into the four scales, stores the
// raw scores in the examinee's IDE row and shows raw score, percent, level and interpretation of each scale.
// The result boxes carry the names under which the chart and the reports take the results (TextRez, TextRezd, ...),
// and `Text5` holds the code of the examinee they belong to. Closing the window is all it does to end; whoever opened
// it decides what comes next. Its two print buttons build the reports and hand them over for previewing; the list
// report's captions belong to the program's run and are lent to the window.
class ScoringWindow : public QWidget {
    Q_OBJECT
public:
    ScoringWindow(Database& db, Messages& messages, ListReportCaptions& listCaptions, QWidget* parent = nullptr);

    // The code of the examinee whose results the boxes hold; empty until a pass succeeds.
    QString selectedCode() const;

    // The chart window while it is open, else nullptr.
    ChartWindow* chartWindow() const;

    // The scoring pass after the code has been asked for: the code is trimmed of outer blanks; an empty one gets the
    // "enter a number" notice. Returns whether the results were stored and shown.
    bool scoreExaminee(const QString& typedCode);

    // The texts the window shows now: the examinee panel, the sixteen result boxes, the clinic's name and address.
    ShownResults shownResults() const;

signals:
    // A report is ready to be shown in a preview window.
    void previewRequested(std::shared_ptr<PagedDocument> document);

private slots:
    void selectExaminee();
    void printSelected();
    void printAll();
    void openChart();
    void showHelp();
    void hideHelp();

private:
    struct ScaleBoxes {
        QLineEdit* raw = nullptr;
        QLineEdit* percent = nullptr;
        QLineEdit* level = nullptr;
        QPlainTextEdit* sentence = nullptr;
    };

    void openCursors();
    void buildButtonBar();
    void buildExamineePanel();
    void buildResultsPanel();
    void buildInterpretationPanel();
    void buildHelpPanel();
    void buildHiddenFields();
    void hideResultPanels();
    void forgetUnstoredResults();
    QStringList storedAnswers() const;
    ScaleBoxes& boxes(Scale scale) { return m_boxes[static_cast<std::size_t>(scale)]; }

    Database& m_db;
    Messages& m_messages;
    ListReportCaptions& m_listCaptions;

    TableCursor* m_theme = nullptr;       // Adodc1
    TableCursor* m_answers = nullptr;     // Adodc2
    TableCursor* m_examinee = nullptr;    // Adodc3
    TableCursor* m_answersSpare = nullptr; // Adodc4
    TableCursor* m_results = nullptr;     // Adodc5
    TableCursor* m_allExaminees = nullptr; // Adodc6
    TableCursor* m_ppp = nullptr;         // Adodc7

    QPushButton* m_select = nullptr;
    QPushButton* m_printSelected = nullptr;
    QPushButton* m_printAll = nullptr;
    QPushButton* m_chartButton = nullptr;
    QPushButton* m_help = nullptr;
    QPushButton* m_close = nullptr;

    QFrame* m_examineePanel = nullptr;
    QFrame* m_resultsPanel = nullptr;
    QGroupBox* m_interpretationPanel = nullptr;
    QFrame* m_helpPanel = nullptr;

    QLineEdit* m_selected = nullptr; // Text5
    QLineEdit* m_clinicName = nullptr; // Text13
    QLineEdit* m_clinicAddress = nullptr; // Text16
    QLineEdit* m_group = nullptr; // the examinee's group, for the examinee report
    std::array<ScaleBoxes, 4> m_boxes;

    QPointer<ChartWindow> m_chart;
};
