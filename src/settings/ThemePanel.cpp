#include "settings/ThemePanel.h"

#include "data/TableCursor.h"
#include "settings/Theme.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/WindowKit.h"

#include <QPushButton>

ThemePanel::ThemePanel(TableCursor& themeRow, Messages& messages, const QString& skinsFolder, QWidget* parent)
    : QFrame(parent)
    , m_themeRow(themeRow)
    , m_messages(messages)
    , m_skinsFolder(skinsFolder)
{
    setObjectName(QStringLiteral("Frame6"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    hide();

    const QList<QPair<const char*, QString>> buttons = {
        { "Command45", QStringLiteral(" تم شماره 1") },
        { "Command44", QStringLiteral("تم شماره 2") },
        { "Command43", QStringLiteral("تم شماره 3") },
        { "Command42", QStringLiteral("تم شماره 4") },
        { "Command50", QStringLiteral(" تم شماره 5") },
        { "Command49", QStringLiteral("تم شماره 6") },
        { "Command48", QStringLiteral("تم شماره 7") },
        { "Command47", QStringLiteral("تم شماره 8") },
        { "Command41", QStringLiteral("تم شماره 9") },
        { "Command52", QStringLiteral("تم شماره 10 ") },
        { "Command53", QStringLiteral("تم شماره 11") },
    };
    int top = 240;
    int theme = 1;
    for (const auto& [name, caption] : buttons) {
        // The theme's number is drawn as every number is.
        connect(Kit::button(this, QString::fromLatin1(name), ShownNumbers::text(caption), 240, top, 2145, 555),
            &QPushButton::clicked, this, [this, theme] { choose(theme); });
        top += 600;
        ++theme;
    }
    connect(Kit::button(this, QStringLiteral("Command46"), QStringLiteral("خروج"), 720, 6900, 1185, 435),
        &QPushButton::clicked, this, &ThemePanel::cancelled);
}

void ThemePanel::choose(int theme)
{
    // Reading the row first drops a clinic name or address typed and not saved: only the theme is stored.
    m_themeRow.reload();
    // A theme whose skin cannot be read is not stored: every start would meet it again.
    const int replacement = Theme::replacementFor(m_skinsFolder, QString::number(theme));
    const int stored = replacement != 0 ? replacement : theme;
    m_themeRow.setField(QStringLiteral("TH"), QString::number(stored));
    if (!m_themeRow.update()) {
        Kit::reportSaveFailure(m_messages, window(), m_themeRow.lastError());
        m_themeRow.reload();
        return;
    }
    if (replacement != 0)
        m_messages.ShowNotice(window(), Msg::SkinUnreadable);
    m_themeRow.reload();
    emit themeStored(stored);
}
