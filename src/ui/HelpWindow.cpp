#include "ui/HelpWindow.h"


#include "text/ShownNumbers.h"
#include "ui/HelpContents.h"
#include "ui/MessageCatalogue.h"
#include "ui/Twips.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

QString shownNumber(int n)
{
    return ShownNumbers::number(n);
}

// A page as drawn: the numbers of its text in the operator's digits, as the windows it describes draw them ("تم
// شماره ۱"); the markup, links, key names ("F1") and Latin words as written.
QString drawnPage(const QString& html)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString drawn;
    drawn.reserve(html.size());
    qsizetype from = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        drawn += ShownNumbers::line(html.mid(from, m.capturedStart() - from));
        drawn += m.captured();
        from = m.capturedEnd();
    }
    drawn += ShownNumbers::line(html.mid(from));
    return drawn;
}

QTextDocument::FindFlags noFlags()
{
    return {};
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FrmHelp"));
    setWindowTitle(Msg::HelpTitle);
    setLayoutDirection(Qt::RightToLeft);
    resize(Twips::toPixelsX(11400), Twips::toPixelsY(8400));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("HelpSearch"));
    m_search->setPlaceholderText(Msg::HelpSearchHint);
    m_search->setClearButtonEnabled(true);
    auto* searchCaption = new QLabel(Msg::HelpSearchCaption, this);
    searchCaption->setBuddy(m_search);
    m_next = new QPushButton(Msg::HelpFindNext, this);
    m_next->setObjectName(QStringLiteral("HelpFindNext"));
    m_next->setAutoDefault(false);
    m_found = new QLabel(this);
    m_found->setObjectName(QStringLiteral("HelpFound"));
    m_found->setTextFormat(Qt::PlainText);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("HelpSections"));
    m_list->setAccessibleName(Msg::HelpSectionsName);
    m_list->setFixedWidth(Twips::toPixelsX(2900));
    for (const HelpContents::Section& section : HelpContents::sections()) {
        auto* item = new QListWidgetItem(section.title, m_list);
        item->setData(Qt::UserRole, section.key);
    }

    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("HelpPage"));
    m_page->setOpenLinks(false);
    m_page->setAccessibleName(Msg::HelpTitle);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchCaption);
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(m_next);
    searchRow->addWidget(m_found);
    auto* body = new QHBoxLayout;
    body->addWidget(m_list);
    body->addWidget(m_page, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addLayout(body, 1);

    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::search);
    connect(m_search, &QLineEdit::returnPressed, this, &HelpWindow::findNext);
    connect(m_next, &QPushButton::clicked, this, &HelpWindow::findNext);
    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            showSection(item->data(Qt::UserRole).toString());
    });
    // Links between pages name the page's file: "Frm1.html".
    connect(m_page, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        QString key = url.fileName();
        key.chop(key.endsWith(QLatin1String(".html")) ? 5 : 0);
        showSection(key);
    });

    auto* leave = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(leave, &QShortcut::activated, this, &QWidget::close);

    setTabOrder(m_search, m_next);
    setTabOrder(m_next, m_list);
    setTabOrder(m_list, m_page);
    showSection(HelpContents::firstKey());
}

int HelpWindow::rowOf(const QString& key) const
{
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->data(Qt::UserRole).toString() == key)
            return row;
    return -1;
}

void HelpWindow::showSection(const QString& key)
{
    int row = rowOf(key);
    if (row < 0)
        row = rowOf(HelpContents::firstKey());
    if (row < 0)
        return;
    // A section the search has put out of the list is asked for by name: the search gives way.
    if (m_list->item(row)->isHidden())
        m_search->clear();
    const QString found = m_list->item(row)->data(Qt::UserRole).toString();
    if (found != m_current) {
        m_current = found;
        renderPage();
    }
    if (m_list->currentRow() != row) {
        const QSignalBlocker quiet(m_list);
        m_list->setCurrentRow(row);
    }
    markPage();
}

void HelpWindow::renderPage()
{
    // Links in the colour of the page's text, underlined: the toolkit's own link blue is lost on a dark theme. The
    // window's palette is the theme's as soon as it is applied; the page's own follows only later.
    m_page->document()->setDefaultStyleSheet(QStringLiteral("a { color: %1; text-decoration: underline; }")
                                                 .arg(palette().color(QPalette::Text).name()));
    for (const HelpContents::Section& section : HelpContents::sections())
        if (section.key == m_current)
            m_page->setHtml(drawnPage(section.html));
    // Every paragraph starts at the right, whatever the page's markup says.
    for (QTextBlock block = m_page->document()->begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        format.setLayoutDirection(Qt::RightToLeft);
        cursor.setBlockFormat(format);
    }
    markPage();
}

void HelpWindow::changeEvent(QEvent* event)
{
    // A theme applied after the page was drawn.
    if (event->type() == QEvent::PaletteChange && !m_current.isEmpty())
        renderPage();
    QWidget::changeEvent(event);
}

void HelpWindow::search(const QString& text)
{
    m_text = text.trimmed();
    const QRegularExpression pattern = HelpContents::searchPattern(m_text);
    QString firstMatch;
    {
        // Hiding the current item would move the list to another section of its own accord.
        const QSignalBlocker quiet(m_list);
        for (const HelpContents::Section& section : HelpContents::sections()) {
            const bool holds = m_text.isEmpty() || HelpContents::plainText(section).contains(pattern);
            if (QListWidgetItem* item = m_list->item(rowOf(section.key)))
                item->setHidden(!holds);
            if (holds && firstMatch.isEmpty())
                firstMatch = section.key;
        }
        // Found nowhere: the page read stays, and so does its place in the list.
        if (firstMatch.isEmpty())
            if (QListWidgetItem* item = m_list->item(rowOf(m_current)))
                item->setHidden(false);
    }
    const QListWidgetItem* shown = m_list->item(rowOf(m_current));
    if (shown && shown->isHidden())
        showSection(firstMatch);
    else
        markPage();
}

void HelpWindow::markPage()
{
    QList<QTextEdit::ExtraSelection> marks;
    if (!m_text.isEmpty()) {
        QTextCharFormat marked;
        // Black on yellow reads on every theme.
        marked.setBackground(QColor(0xff, 0xe0, 0x66));
        marked.setForeground(Qt::black);
        const QRegularExpression pattern = HelpContents::searchPattern(m_text);
        QTextCursor at(m_page->document());
        while (true) {
            at = m_page->document()->find(pattern, at, noFlags());
            if (at.isNull())
                break;
            marks.append({ at, marked });
        }
    }
    m_marks = static_cast<int>(marks.size());
    m_page->setExtraSelections(marks);
    updateFound();
}

void HelpWindow::updateFound()
{
    if (m_text.isEmpty()) {
        m_found->clear();
        return;
    }
    if (m_marks == 0) {
        m_found->setText(Msg::HelpNothingFound);
        return;
    }
    m_found->setText(Msg::HelpFoundCount.arg(shownNumber(m_marks)));
}

void HelpWindow::findNext()
{
    if (m_text.isEmpty())
        return;
    const QRegularExpression pattern = HelpContents::searchPattern(m_text);
    if (m_page->find(pattern))
        return;
    // Past the last place of this page: the next section that holds the text, from its top.
    const int start = rowOf(m_current);
    for (int step = 1; step <= m_list->count(); ++step) {
        const int row = (start + step) % m_list->count();
        if (m_list->item(row)->isHidden())
            continue;
        showSection(m_list->item(row)->data(Qt::UserRole).toString());
        m_page->moveCursor(QTextCursor::Start);
        m_page->find(pattern);
        return;
    }
}
