#pragma once

#include <QFrame>
#include <QString>

class Messages;
class TableCursor;

// The theme chooser (`Frame6`), shown in the main window beside the settings panel: one button per theme, theme 1 at
// the top, and "خروج". A theme's button stores its number as the `TH` of the single Theme row; what follows the
// stored choice is the main window's to decide. The cursor belongs to the window; the panel only uses it.
class ThemePanel : public QFrame {
    Q_OBJECT
public:
    // `skinsFolder` holds the skins: a theme whose skin cannot be read is not stored.
    ThemePanel(TableCursor& themeRow, Messages& messages, const QString& skinsFolder, QWidget* parent = nullptr);

signals:
    // `theme` is stored (the first theme in place of one whose skin cannot be read).
    void themeStored(int theme);
    // "خروج": closed without a choice.
    void cancelled();

private:
    // Stores `theme` (1..11); a failed write is reported and leaves the row as stored.
    void choose(int theme);

    TableCursor& m_themeRow;
    Messages& m_messages;
    QString m_skinsFolder;
};
