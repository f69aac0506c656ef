#include "ui/PathField.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

constexpr QChar leftToRightMark(0x200E);
constexpr QChar firstStrongIsolate(0x2068);
constexpr QChar popIsolate(0x2069);

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

} // namespace

PathField::PathField(QWidget* parent)
    : QLineEdit(parent)
{
    setLayoutDirection(Qt::LeftToRight);
    setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
}

QString PathField::readable(const QString& path)
{
    QString shown;
    shown.reserve(path.size() + 8);
    shown += leftToRightMark;
    QString name;
    const auto closeName = [&] {
        if (!name.isEmpty())
            shown += firstStrongIsolate + name + popIsolate;
        name.clear();
    };
    for (const QChar c : path) {
        if (isSeparator(c)) {
            closeName();
            shown += c;
            shown += leftToRightMark;
        } else {
            name += c;
        }
    }
    closeName();
    return shown;
}

QString PathField::inSentence(const QString& path)
{
    return QChar(0x2066) + readable(path) + popIsolate;
}

void PathField::paintEvent(QPaintEvent* event)
{
    // While typing, the line edit's own drawing, with its cursor and selection.
    if (hasFocus() || text().isEmpty() || echoMode() != QLineEdit::Normal) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    QRect room = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    const QMargins margins = textMargins();
    room = room.marginsRemoved(margins).adjusted(2, 1, -2, -1);
    // A long path keeps its end in view, where the file's name is.
    const QString shown = fontMetrics().elidedText(readable(text()), Qt::ElideLeft, room.width());
    painter.setLayoutDirection(Qt::LeftToRight);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(room, Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}
