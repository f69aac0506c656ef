#pragma once

#include "scoring/ComparisonSession.h"

#include <QString>
#include <QWidget>

#include <memory>

class ComparisonChartView;
class LeftToRightCells;
class Database;
class Messages;
class PagedDocument;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

// The comparison window: two examinee codes, the kind of comparison (a couple, or one client before and after
// counselling), and what the comparison session made of them: both examinees' details, each scale's figures as the
// scoring window gives them with the differences, the paired-bar chart, and item by item the spouses' agreement or
// the client's changed answers. Below the codes the window's height follows the screen: what is shown scrolls. A
// refusal clears everything, so nothing half-compared stays on screen. Closing the window is all it does to end;
// whoever opened it decides what comes next.
class ComparisonWindow : public QWidget {
    Q_OBJECT
public:
    ComparisonWindow(Database& db, Messages& messages, QWidget* parent = nullptr);

    // The comparison shown; nothing when none is.
    const std::optional<PairComparison>& shownComparison() const { return m_session.comparison(); }

    // Compares a couple at once, as if their codes had been typed and "مقايسه" pressed.
    void compareCouple(const QString& firstCode, const QString& secondCode);

signals:
    void previewRequested(std::shared_ptr<PagedDocument> document);

private slots:
    void compare();
    void print();
    void fillRememberedPair();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeTabs();
    void buildControls();
    void buildResults();
    void tellRefusal(const ComparisonSession::Outcome& outcome, const QString& typed);
    void clearResults();
    void showComparison(const PairComparison& comparison);
    void showDetails(const PairComparison& comparison);
    void showScales(const PairComparison& comparison);
    void showItems(const PairComparison& comparison);
    ComparisonKind kind() const;

    Messages& m_messages;
    ComparisonSession m_session;

    QRadioButton* m_couple = nullptr;
    QRadioButton* m_followUp = nullptr;
    QLineEdit* m_firstCode = nullptr;
    QLineEdit* m_secondCode = nullptr;
    QPushButton* m_compare = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_close = nullptr;
    QLabel* m_helpLine = nullptr;

    QTabWidget* m_tabs = nullptr;
    QTableWidget* m_details = nullptr;
    QTableWidget* m_scales = nullptr;
    ComparisonChartView* m_chart = nullptr;
    QTableWidget* m_items = nullptr;
    QTableWidget* m_agreement = nullptr;
    QLabel* m_talkAbout = nullptr;
    QLabel* m_caution = nullptr;
    QLabel* m_signNote = nullptr;
    QLabel* m_resultsCaution = nullptr;
    LeftToRightCells* m_leftToRight = nullptr;
};
