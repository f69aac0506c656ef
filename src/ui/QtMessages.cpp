#include "ui/QtMessages.h"

#include "ui/MessageCatalogue.h"
#include "ui/ModalHold.h"
#include "ui/PersianText.h"
#include "ui/WindowKit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <algorithm>
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

// A line with no letter to say which way it reads (a list of item numbers: "۳  ۱۷  ") would be set left to right,
// its first number at the left; a right-to-left mark in front makes it read as the Persian lines around it.
QString linesReadRightToLeft(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    bool changed = false;
    for (QString& line : lines) {
        const bool hasLetter = std::any_of(line.cbegin(), line.cend(), [](QChar c) {
            const QChar::Direction d = c.direction();
            return d == QChar::DirL || d == QChar::DirR || d == QChar::DirAL;
        });
        if (hasLetter || line.trimmed().isEmpty())
            continue;
        line.prepend(QChar(0x200F));
        changed = true;
    }
    return changed ? lines.join(QLatin1Char('\n')) : text;
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
        if (label->textFormat() == Qt::PlainText)
            label->setText(linesReadRightToLeft(label->text()));
    }
}

// A path longer than this many characters (a folder nested hundreds deep, a name pasted twice) is shown with its
// middle left out, so the box stays within the screen and its buttons can be reached; the box's text shows it whole
// as a tooltip.
constexpr qsizetype longestShown = 120;
constexpr qsizetype keptAtEachEnd = 50;

bool opensIsolate(QChar c)
{
    return c.unicode() >= 0x2066 && c.unicode() <= 0x2068;
}

bool closesIsolate(QChar c)
{
    return c.unicode() == 0x2069;
}

// `span` with its middle replaced by an ellipsis; isolates left open by the cut are closed after the head, and the
// tail's closing marks that lost their opening ones are dropped, so the text around it keeps its direction.
QString elidedMiddle(const QString& span)
{
    QString head = span.left(keptAtEachEnd);
    int open = 0;
    for (const QChar c : head)
        open += opensIsolate(c) ? 1 : closesIsolate(c) ? -1 : 0;
    for (; open > 0; --open)
        head += QChar(0x2069);
    const QString tailSource = span.right(keptAtEachEnd);
    QString tail;
    int unmatched = 0;
    for (qsizetype i = tailSource.size() - 1; i >= 0; --i) {
        const QChar c = tailSource.at(i);
        // Read from the end: a closing mark waits for its opening one; the ones never opened inside the tail go.
        if (closesIsolate(c))
            ++unmatched;
        else if (opensIsolate(c))
            --unmatched;
    }
    int toDrop = std::max(unmatched, 0);
    for (const QChar c : tailSource) {
        if (closesIsolate(c) && toDrop > 0) {
            --toDrop;
            continue;
        }
        tail += c;
    }
    return head + QChar(0x2026) + tail;
}

// The text as a box shows it: each isolated run (a path as the program puts it in a sentence) and each run without a
// blank (a path in the platform's words) that is longer than longestShown, shortened in its middle.
QString withLongRunsShortened(const QString& text)
{
    QString shown;
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype end = i;
        if (opensIsolate(text.at(i))) {
            int depth = 0;
            do {
                depth += opensIsolate(text.at(end)) ? 1 : closesIsolate(text.at(end)) ? -1 : 0;
                ++end;
            } while (end < text.size() && depth > 0);
        } else if (!text.at(i).isSpace()) {
            while (end < text.size() && !text.at(end).isSpace() && !opensIsolate(text.at(end)))
                ++end;
        } else {
            end = i + 1;
        }
        const QString run = text.mid(i, end - i);
        if (run.size() <= longestShown)
            shown += run;
        else if (opensIsolate(run.front()) && closesIsolate(run.back())) // the path keeps its own direction
            shown += run.front() + elidedMiddle(run.mid(1, run.size() - 2)) + run.back();
        else
            shown += elidedMiddle(run);
        i = end;
    }
    return shown;
}

// A box whose text had to be shortened shows it whole when the pointer rests on it.
void offerWholeText(QMessageBox& box, const QString& text, const QString& shown)
{
    if (shown == text)
        return;
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setToolTip(text);
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
    const QString shown = withLongRunsShortened(text);
    auto* box = new QMessageBox(QMessageBox::NoIcon, Msg::NoticeTitle, shown, QMessageBox::Ok, owner);
    box->setTextFormat(Qt::PlainText);
    offerWholeText(*box, text, shown);
    box->setDefaultButton(QMessageBox::Ok);
    Kit::takeThemeColours(box, owner);
    readRightToLeft(box);
    withoutButtonIcons(box);
    runBox(owner, box);
}

int QtMessages::AskOperator(QWidget* owner, const QString& text, int style, const QString& title)
{
    const bool yesNo = (style & 0xF) == Msg::Style::YesNo;
    const bool serviceNotification = style & Msg::Style::ServiceNotification;
    const QString shown = withLongRunsShortened(text);
    auto* box = new QMessageBox(iconForStyle(style), title, shown,
                    yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                    serviceNotification ? nullptr : owner);
    // Texts carry file names and the platform's words after the catalogue's: shown as they are, never as markup.
    box->setTextFormat(Qt::PlainText);
    offerWholeText(*box, text, shown);
    Kit::takeThemeColours(box, owner);
    readRightToLeft(box);
    if (serviceNotification)
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
    withoutButtonIcons(box);
    if (yesNo)
        box->setDefaultButton(style & Msg::Style::DefaultSecond ? QMessageBox::No : QMessageBox::Yes);
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
    Kit::takeThemeColours(dialog, owner);
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
