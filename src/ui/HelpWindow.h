#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

// The program's own help (`FrmHelp`): the list of sections on the right, the chosen section beside it, and a search
// box that marks every place the text is found and steps through them, section after section.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the section with `key`; the first section when there is none such.
    void showSection(const QString& key);
    QString currentSection() const { return m_current; }

    // Marks every place of `text` in the sections: the list keeps only the sections that hold it and the page shown
    // marks each place. An empty text shows every section again.
    void search(const QString& text);
    // Selects the next place of the searched text, going on to the next section that holds it after the last.
    void findNext();
    // The places marked on the page shown.
    int marksOnPage() const { return m_marks; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void renderPage();
    void markPage();
    void updateFound();
    int rowOf(const QString& key) const;

    QLineEdit* m_search = nullptr; // HelpSearch
    QPushButton* m_next = nullptr; // HelpFindNext
    QLabel* m_found = nullptr; // HelpFound
    QListWidget* m_list = nullptr; // HelpSections
    QTextBrowser* m_page = nullptr; // HelpPage
    QString m_current;
    QString m_text;
    int m_marks = 0;
};
