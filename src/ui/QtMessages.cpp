#include "ui/QtMessages.h"

#include "ui/MessageCatalogue.h"
#include "ui/ModalHold.h"
#include "ui/PersianText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <optional>

namespace {

// Same name on every window, so each window has at most one pending bring-to-front timer.
const char* const kNoticeTimerName = "noticeTimer20480";

QMessageBox::Icon iconForStyle(int style)
{
    switch (style & 0xF0) {
    case 0x10:
        return QMessageBox::Critical;
    case 0x20:
        return QMessageBox::Question;
    case 0x30:
        return QMessageBox::Warning;
    case 0x40:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The standard buttons carry their caption alone; some desktops would put an icon inside them.
void withoutButtonIcons(QWidget* dialog)
{
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        button->setIcon(QIcon());
}

// Every box reads right to left with its text at the right, whatever its title or style says: the program's texts
// are Persian, and a platform's English words after them still belong to a Persian box.
void readRightToLeft(QWidget* dialog)
{
    dialog->setLayoutDirection(Qt::RightToLeft);
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->pixmap().isNull())
            continue;
        label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | (label->alignment() & Qt::AlignVertical_Mask));
    }
}

// Runs a box over `owner` to its end and deletes it; nothing when the owner is on its way out. The box belongs to
// this call, not to the window it sits over: closing or deleting that window closes the box (as cancelled), and the
// window goes only once the box has returned here (see ModalHold).
template <typename Box> std::optional<int> runBox(QWidget* owner, Box* made)
{
    const QPointer<Box> box = made;
    const std::optional<int> result = ModalHold::exec(owner, box);
    delete box.data();
    return result;
}

} // namespace

QtMessages::QtMessages(QObject* parent)
    : QObject(parent)
{
}

void QtMessages::armBringToFrontTimer(QWidget* owner, int intervalMs)
{
    QObject* holder = owner ? static_cast<QObject*>(owner) : static_cast<QObject*>(this);
    auto* timer = holder->findChild<QTimer*>(QString::fromLatin1(kNoticeTimerName), Qt::FindDirectChildrenOnly);
    if (!timer) {
        timer = new QTimer(holder);
        timer->setObjectName(QString::fromLatin1(kNoticeTimerName));
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this] {
            if (QMessageBox* box = BringNoticeToFront())
                emit noticeBroughtToFront(box);
        });
    }
    timer->start(intervalMs);
}

QMessageBox* QtMessages::BringNoticeToFront()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        // The title as the title bar got it, whether or not it was handed over in Persian letters.
        if (box && box->isVisible()
            && PersianText::titleBarText(box->windowTitle()) == PersianText::titleBarText(Msg::NoticeTitle)) {
            box->raise();
            box->activateWindow();
            return box;
        }
    }
    return nullptr;
}

void QtMessages::ShowNotice(QWidget* owner, const QString& text, int bringToFrontMs)
{
    armBringToFrontTimer(owner, bringToFrontMs);
    auto* box = new QMessageBox(QMessageBox::NoIcon, Msg::NoticeTitle, text, QMessageBox::Ok, owner);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(QMessageBox::Ok);
    readRightToLeft(box);
    withoutButtonIcons(box);
    runBox(owner, box);
}

int QtMessages::AskOperator(QWidget* owner, const QString& text, int style, const QString& title)
{
    const bool yesNo = (style & 0xF) == Msg::Style::YesNo;
    const bool serviceNotification = style & Msg::Style::ServiceNotification;
    auto* box = new QMessageBox(iconForStyle(style), title, text,
                    yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                    serviceNotification ? nullptr : owner);
    // Texts carry file names and the platform's words after the catalogue's: shown as they are, never as markup.
    box->setTextFormat(Qt::PlainText);
    readRightToLeft(box);
    if (serviceNotification)
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
    withoutButtonIcons(box);
    // A box closed with its window is answered No.
    const std::optional<int> pressed = runBox(owner, box);
    if (!yesNo)
        return Msg::Ok;
    return pressed == QMessageBox::Yes ? Msg::Yes : Msg::No;
}

QString QtMessages::PromptOperator(QWidget* owner, const QString& prompt, const QString& title,
                                   const QString& defaultText)
{
    return askForText(owner, prompt, title, defaultText, false);
}

QString QtMessages::PromptSecret(QWidget* owner, const QString& prompt, const QString& title)
{
    return askForText(owner, prompt, title, QString(), true);
}

QString QtMessages::askForText(QWidget* owner, const QString& prompt, const QString& title, const QString& defaultText,
                            bool hidden)
{
    auto* dialog = new QInputDialog(owner);
    dialog->setWindowTitle(title);
    dialog->setLabelText(prompt);
    dialog->setTextValue(defaultText);
    dialog->setInputMode(QInputDialog::TextInput);
    if (hidden)
        dialog->setTextEchoMode(QLineEdit::Password);
    // Setting the captions also makes the dialog build its buttons now, so their icons can go before it shows.
    dialog->setOkButtonText(Msg::ButtonOk);
    dialog->setCancelButtonText(Msg::ButtonCancel);
    readRightToLeft(dialog);
    withoutButtonIcons(dialog);
    // The text is taken before the dialog goes; a dialog closed with its window is a cancel.
    QString typed;
    QObject::connect(dialog, &QInputDialog::textValueSelected, dialog, [&typed](const QString& text) { typed = text; });
    if (runBox(owner, dialog) != QDialog::Accepted)
        return QString();
    return typed;
}

void QtMessages::Beep()
{
    QApplication::beep();
}
