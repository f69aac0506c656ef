#include "about/NoticesWindow.h"

#include "about/Notices.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

NoticesWindow::NoticesWindow(QWidget* parent)
    : QDialog(parent)
{
    Kit::setUpWindow(this, QStringLiteral("FrmNotices"), QStringLiteral("مجوزها"), 13080, 7200);
    setModal(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("NoticeList"));
    for (const Notices::Document& document : Notices::documents())
        m_list->addItem(document.title);
    Twips::place(m_list, 10440, 120, 2520, 6240);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("NoticeText"));
    m_text->setReadOnly(true);
    // The notices and licences are English texts laid out in fixed-width lines (the longest has 87
    // characters); they are shown as laid out, in a view wide enough for each line.
    m_text->setLayoutDirection(Qt::LeftToRight);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setAccessibleName(QStringLiteral("مجوزها"));
    Twips::place(m_text, 120, 120, 10200, 6240);

    m_close = Kit::button(this, QStringLiteral("CmdClose"), QStringLiteral("خروج"), 11460, 6540, 1500, 495);
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    connect(m_list, &QListWidget::currentRowChanged, this, &NoticesWindow::showDocument);
    m_list->setCurrentRow(0);
    setTabOrder(m_list, m_text);
    setTabOrder(m_text, m_close);
}

void NoticesWindow::showDocument(int row)
{
    const QList<Notices::Document>& documents = Notices::documents();
    if (row < 0 || row >= documents.size()) {
        m_text->clear();
        return;
    }
    m_text->setPlainText(Notices::text(documents.at(row).fileName));
}
