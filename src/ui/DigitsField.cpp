#include "ui/DigitsField.h"

#include "text/Digits.h"
#include "text/ShownNumbers.h"

#include <QKeyEvent>
#include <QValidator>

namespace {

// Filters rather than refuses, so a pasted "age 30." becomes "30" instead of nothing, drawn as numbers are drawn; a
// pasted text without a single digit is refused, so it cannot wipe out what the box held.
class DigitsOnlyValidator : public QValidator {
public:
    DigitsOnlyValidator(int maxDigits, QObject* parent)
        : QValidator(parent)
        , m_maxDigits(maxDigits)
    {
    }

    State validate(QString& input, int& pos) const override
    {
        const QString digits = ShownNumbers::text(Digits::digitsOnly(input, m_maxDigits));
        if (digits.isEmpty() && !input.isEmpty())
            return Invalid;
        if (digits != input) {
            input = digits;
            pos = qMin(pos, static_cast<int>(input.size()));
        }
        return Acceptable;
    }

private:
    int m_maxDigits;
};

class AnyTextValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override
    {
        input = ShownNumbers::text(Digits::toAscii(input));
        return Acceptable;
    }
};

} // namespace

DigitsField::DigitsField(QWidget* parent, int maxDigits, WholeText wholeText)
    : QLineEdit(parent)
    , m_maxDigits(maxDigits)
{
    // No length limit of the box itself: it would cut a pasted text before its digits are picked out.
    if (wholeText == WholeText::DigitsOnly)
        setValidator(new DigitsOnlyValidator(maxDigits, this));
    else
        setValidator(new AnyTextValidator(this));
}

void DigitsField::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (typed.isEmpty() || shortcut || !typed.at(0).isPrint()) {
        // Moving, deleting, Enter, Tab, copying and pasting are not typing.
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    const int digit = Digits::valueOf(typed);
    if (digit < 0) {
        emit keyRefused();
        return;
    }
    // The limit refuses a further digit silently, wherever the cursor is.
    if (m_maxDigits > 0 && text().size() >= m_maxDigits && !hasSelectedText())
        return;
    insert(QString(ShownNumbers::digit(digit)));
}

QString DigitsField::digits() const
{
    return Digits::toAscii(text());
}
