#pragma once

#include <QWidget>

class AuditLinesModel;
class CursorTableModel;
class Database;
class FileDialogs;
class Messages;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TableCursor;

// "گزارش فعاليت ها": the audit trail's lines, newest first, in a grid read a page at a time, narrowed by who, the
// examinee's code, the action and Solar Hijri days, and the lines listed written as a CSV file (which itself leaves a
// line in the trail). Who may open it is the router's question (Rights); the server refuses anyone else's read anyway.
class AuditWindow : public QWidget {
    Q_OBJECT
public:
    AuditWindow(Database& db, Messages& messages, FileDialogs& fileDialogs, QWidget* parent = nullptr);

    // The lines as the grid shows them.
    AuditLinesModel* linesModel() const { return m_lines; }
    TableCursor* listed() const { return m_listed; }

    // "نمايش" and "خروجي اکسل"; public so tests and the keyboard reach them as the buttons do.
    bool applyFilter();
    void exportListed();

private:
    void buildFilters();
    void buildGrid();
    void fillLists();
    void showCount();
    void showReadFailure(const QString& error);

    Database& m_db;
    Messages& m_messages;
    FileDialogs& m_fileDialogs;

    TableCursor* m_listed = nullptr;
    CursorTableModel* m_grid = nullptr;
    AuditLinesModel* m_lines = nullptr;
    QTableView* m_gridView = nullptr; // GridAudit
    QComboBox* m_who = nullptr; // ComboWho
    QLineEdit* m_code = nullptr; // TextCode
    QComboBox* m_what = nullptr; // ComboWhat
    QLineEdit* m_from = nullptr; // TextFrom
    QLineEdit* m_to = nullptr; // TextTo
    QPushButton* m_show = nullptr; // CommandShow
    QPushButton* m_export = nullptr; // CommandExport
    QPushButton* m_close = nullptr; // CommandClose
    QLabel* m_count = nullptr; // LabelCount
};
