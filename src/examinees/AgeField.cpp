#include "examinees/AgeField.h"

#include "examinees/RegistrationCheck.h"

#include <QKeyEvent>
#include <QValidator>

namespace {

// Filters rather than refuses, so a pasted "age 30." becomes "30" instead of nothing.
class AgeValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        const QString digits = RegistrationCheck::ageDigits(input);
        if (digits != input) {
            input = digits;
            pos = qMin(pos, static_cast<int>(input.size()));
        }
        return Acceptable;
    }
};

} // namespace

AgeField::AgeField(QWidget* parent)
    : QLineEdit(parent)
{
    setValidator(new AgeValidator(this));
}

void AgeField::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (typed.isEmpty() || shortcut) {
        // Moving, deleting, copying and pasting are not typing.
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar key = typed.at(0);
    if (!RegistrationCheck::isAgeKey(key) && key.isPrint()) {
        event->accept();
        emit keyRefused();
        return;
    }
    if (key.isDigit() && text().size() >= RegistrationCheck::AgeMaxLength && !hasSelectedText()) {
        // The length limit refuses a third digit silently, wherever the cursor is.
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
