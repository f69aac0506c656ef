#include "ui/WindowKit.h"

#include "ui/MessageCatalogue.h"
#include "ui/Messages.h"
#include "ui/PathField.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

namespace Kit {

void setUpWindow(QWidget* window, const QString& name, const QString& title, int widthTwips, int heightTwips)
{
    window->setObjectName(name);
    window->setWindowTitle(title);
    window->setFixedSize(Twips::toPixelsX(widthTwips), Twips::toPixelsY(heightTwips));
}

void takeThemeColours(QWidget* window, const QWidget* owner)
{
    const QWidget* themed = owner ? owner->window() : nullptr;
    // Theme::applyTheme marks the windows it painted.
    if (!themed || themed->property("appliedTheme").toInt() <= 0)
        return;
    window->setPalette(themed->palette());
}

void letHeightShrink(QWidget* window, int minimumHeightTwips)
{
    const int height = window->height();
    window->setMinimumHeight(std::min(height, Twips::toPixelsY(minimumHeightTwips)));
    window->setMaximumHeight(height);
}

void fitHeightTo(QWidget* window, const QRect& available)
{
    if (available.isEmpty())
        return;
    // The frame is known once the window is shown; before, a title bar's worth is left for it.
    const int frame = window->isVisible() ? window->frameGeometry().height() - window->height() : 40;
    const int height = std::clamp(available.height() - frame, window->minimumHeight(), window->maximumHeight());
    window->resize(window->width(), height);
    const int top = window->isVisible() ? window->frameGeometry().top() : window->y();
    if (top + height + frame > available.bottom() + 1 || top < available.top())
        window->move(window->x(), std::max(available.top(), available.bottom() + 1 - height - frame));
}

QPushButton* button(
    QWidget* parent, const QString& name, const QString& caption, int left, int top, int width, int height)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    Twips::place(button, left, top, width, height);
    return button;
}

QLabel* caption(
    QWidget* parent, const QString& name, const QString& text, QWidget* buddy, int left, int top, int width, int height)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    // Some captions show values (a date, a stored text): whatever they hold is shown as it is, never as markup.
    label->setTextFormat(Qt::PlainText);
    if (buddy)
        label->setBuddy(buddy);
    Twips::place(label, left, top, width, height);
    return label;
}

QLineEdit* pathField(QWidget* parent, const QString& name)
{
    auto* field = new PathField(parent);
    field->setObjectName(name);
    return field;
}

QLineEdit* hiddenField(QWidget* parent, const QString& name)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setFocusPolicy(Qt::NoFocus);
    field->hide();
    return field;
}

void setRightToLeft(QPlainTextEdit* edit)
{
    QTextOption option = edit->document()->defaultTextOption();
    option.setTextDirection(Qt::RightToLeft);
    option.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    edit->document()->setDefaultTextOption(option);
}

void alignRight(QLineEdit* field)
{
    field->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
}

void alignRight(QComboBox* list)
{
    if (QLineEdit* edit = list->lineEdit())
        alignRight(edit);
}

void reportDatabaseTrouble(Messages& messages, QWidget* owner, bool busy, const QString& platformText)
{
    const QString text = (busy ? Msg::DatabaseBusy : Msg::DatabaseFailing) + QLatin1Char('\n') + platformText;
    messages.AskOperator(owner, text, busy ? Msg::Style::ExclamationRtl : Msg::Style::StopRtl, Msg::ErrorTitlePersian);
}

void reportSaveFailure(Messages& messages, QWidget* owner, const QString& platformText)
{
    messages.AskOperator(
        owner, Msg::SaveFailed + QLatin1Char('\n') + platformText, Msg::Style::StopRtl, Msg::ErrorTitlePersian);
}

} // namespace Kit
