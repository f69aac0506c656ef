#include "backup/PassphraseFields.h"

#include "backup/BackupCipher.h"
#include "ui/MessageCatalogue.h"
#include "ui/Twips.h"
#include "ui/WindowKit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace {

QLineEdit* hiddenEntry(QWidget* window, const QString& name)
{
    auto* field = new QLineEdit(window);
    field->setObjectName(name);
    field->setEchoMode(QLineEdit::Password);
    // Nothing typed here goes to the clipboard or the undo history.
    field->setContextMenuPolicy(Qt::NoContextMenu);
    field->setEnabled(false);
    return field;
}

// Two lines of the window's text.
constexpr int lostHeight = 480;

} // namespace

int PassphraseFields::height(int rowHeight)
{
    return 3 * rowHeight + 360 + lostHeight;
}

PassphraseFields::PassphraseFields(QWidget* window, int top, int tickLeft, int captionLeft, int captionWidth,
    int fieldLeft, int fieldWidth, int rowHeight)
{
    m_tick = new QCheckBox(QStringLiteral("رمزگذاري با گذرواژه"), window);
    m_tick->setObjectName(QStringLiteral("CheckEncrypt"));
    // As wide as its caption, against the right edge, so a click anywhere on it ticks it.
    Twips::place(m_tick, tickLeft, top, captionLeft + captionWidth - tickLeft, rowHeight);
    const int width
        = std::min(m_tick->width(), m_tick->sizeHint().width() + m_tick->fontMetrics().averageCharWidth() * 2);
    m_tick->setGeometry(m_tick->geometry().right() + 1 - width, m_tick->y(), width, m_tick->height());

    m_first = hiddenEntry(window, QStringLiteral("TextPassphrase"));
    Twips::place(m_first, fieldLeft, top + rowHeight + 120, fieldWidth, rowHeight);
    Kit::caption(window, QStringLiteral("CaptionTextPassphrase"), QStringLiteral("گذرواژه:"), m_first, captionLeft,
        top + rowHeight + 120, captionWidth, rowHeight);
    m_again = hiddenEntry(window, QStringLiteral("TextPassphraseAgain"));
    Twips::place(m_again, fieldLeft, top + 2 * rowHeight + 240, fieldWidth, rowHeight);
    Kit::caption(window, QStringLiteral("CaptionTextPassphraseAgain"), QStringLiteral("تکرار گذرواژه:"), m_again,
        captionLeft, top + 2 * rowHeight + 240, captionWidth, rowHeight);

    // Beside the fields, before the operator chooses a passphrase, not only in the help.
    auto* lost = new QLabel(QStringLiteral("گذرواژه را جايي امن نگه داريد: گذرواژه فراموش شده را هيچ کس، حتي سازنده "
                                           "برنامه، نمي تواند بازيابي کند و اين نسخه پشتيبان ديگر باز نمي شود."),
        window);
    lost->setObjectName(QStringLiteral("LabelPassphraseLost"));
    lost->setWordWrap(true);
    lost->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    Twips::place(lost, fieldLeft, top + 3 * rowHeight + 360, captionLeft + captionWidth - fieldLeft, lostHeight);

    QObject::connect(m_tick, &QCheckBox::toggled, m_first, [this](bool on) {
        m_first->setEnabled(on);
        m_again->setEnabled(on);
        if (on)
            m_first->setFocus();
        else
            clear();
    });
}

bool PassphraseFields::wanted() const
{
    return m_tick->isChecked();
}

QString PassphraseFields::refusal() const
{
    switch (BackupCipher::checkTyped(m_first->text(), m_again->text())) {
    case BackupCipher::Typed::Accepted:
        return QString();
    case BackupCipher::Typed::Mismatch:
        return Msg::PassphraseMismatch;
    case BackupCipher::Typed::TooShort:
        break;
    }
    return Msg::PassphraseTooShort;
}

QString PassphraseFields::take()
{
    QString passphrase = m_first->text();
    clear();
    return passphrase;
}

void PassphraseFields::clear()
{
    m_first->clear();
    m_again->clear();
}

void PassphraseFields::setEnabled(bool enabled)
{
    m_tick->setEnabled(enabled);
    m_first->setEnabled(enabled && wanted());
    m_again->setEnabled(enabled && wanted());
}

QString PassphraseFields::refusalText(BackupCipher::Verdict verdict, bool backingUp)
{
    using BackupCipher::Verdict;
    if (backingUp)
        return Msg::EncryptionFailed;
    switch (verdict) {
    case Verdict::WrongPassphrase:
        return Msg::RestorePassphraseOrAltered;
    case Verdict::UnknownVersion:
        return Msg::RestoreEncryptedNewer;
    case Verdict::CutShort:
        return Msg::RestoreEncryptedCutShort;
    case Verdict::Failed:
        return Msg::RestoreDecryptionFailed;
    case Verdict::Altered:
    case Verdict::NotEncrypted:
    case Verdict::Good:
        break;
    }
    return Msg::RestoreEncryptedAltered;
}
