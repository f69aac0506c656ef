#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// One skin (.skn): the colours of a window's palette and a Qt style sheet, in a small text format of our own.
//
//   # a comment
//   [palette]             the palette roles, as the style sheet's palette() names them
//   window = #f2ece0
//   window-text = #2b2118
//   [colours]             further colours, named freely
//   accent = #b5442c
//   [style]               a Qt style sheet, to the end of the file; @name stands for any colour above
//   QPushButton { color: @button-text; background: @accent; }
//
// Colours are opaque #rrggbb. A role of the palette's disabled group is written "disabled.<role>"; the disabled
// window-text, text and button-text that a file leaves out are their active colour half-way to their background.
// Anything else (an unknown section or role, a malformed colour, an @name that names no colour) makes the whole
// file unreadable, so a damaged skin is never half applied.
class SkinFile {
public:
    // The largest skin read. The skins delivered are about 6 KB; this leaves a skin maker a hundred times that, and
    // keeps a stray huge file (or a link to a device) from taking the program's memory at every start.
    static constexpr qint64 MaxBytes = 1024 * 1024;

    static std::optional<SkinFile> parse(const QString& text, QString* error = nullptr);
    // A file that is not a regular file, or is larger than MaxBytes, is refused unread.
    static std::optional<SkinFile> read(const QString& path, QString* error = nullptr);

    // The roles a [palette] section may give, and those it must give.
    static const QStringList& paletteRoles();
    static const QStringList& requiredRoles();

    // role -> 0xRRGGBB, active colours; disabled() holds the disabled group, completed as described above.
    const QMap<QString, quint32>& palette() const { return m_palette; }
    const QMap<QString, quint32>& disabled() const { return m_disabled; }
    const QMap<QString, quint32>& colours() const { return m_colours; }
    // The style sheet with every @name replaced by its #rrggbb.
    const QString& styleSheet() const { return m_styleSheet; }

    // "#rrggbb" of a palette role or a named colour, "" when there is none.
    QString colourText(const QString& name) const;

private:
    QMap<QString, quint32> m_palette;
    QMap<QString, quint32> m_disabled;
    QMap<QString, quint32> m_colours;
    QString m_styleSheet;
};
