#pragma once

#include "scoring/Scales.h"
#include "scoring/ScoringSession.h"
#include "scoring/ShownResults.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

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

// The scoring window `FrmkLID`: asks for an examinee code and shows what the scoring session made of it: the
// examinee the code found and, while an examinee is selected, raw score, percent, level and interpretation of each
// scale (boxes TextRez, TextRezd, TextRezs, TextRezt, ...). The chart and the examinee report take the session's
// selected value, never text read back from the boxes. Closing the window is all it does to end; whoever opened it
// decides what comes next. Its two print buttons build the reports and hand them over for previewing; the list
// report's captions belong to the program's run and are lent to the window.
class ScoringWindow : public QWidget {
    Q_OBJECT
public:
    ScoringWindow(Database& db, Messages& messages, ListReportCaptions& listCaptions, QWidget* parent = nullptr);

    // The code of the selected examinee; empty when none is.
    QString selectedCode() const;

    // The chart window while it is open, else nullptr.
    ChartWindow* chartWindow() const;

    // The scoring pass after the code has been asked for, with the operator told of any refusal or failure.
    // Returns whether the examinee was scored, stored and selected.
    bool scoreExaminee(const QString& typedCode);

    // What the chart and the examinee report take: the selected examinee's results as the window shows them;
    // nothing when no examinee is selected.
    std::optional<ShownResults> shownResults() const;

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
    struct DetailBox {
        QLineEdit* box = nullptr;
        QString ExamineeDetails::*field = nullptr;
    };

    void buildButtonBar();
    void buildExamineePanel();
    void buildResultsPanel();
    void buildInterpretationPanel();
    void buildHelpPanel();
    void tellRefusal(const ScoringSession::Selection& selection);
    void showExaminee(const std::optional<ExamineeDetails>& examinee);
    void showResults();
    ScaleBoxes& boxes(Scale scale) { return m_boxes[static_cast<std::size_t>(scale)]; }

    Messages& m_messages;
    ListReportCaptions& m_listCaptions;
    ScoringSession m_session;

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

    std::array<DetailBox, 9> m_details;
    std::array<ScaleBoxes, 4> m_boxes;

    QPointer<ChartWindow> m_chart;
};
