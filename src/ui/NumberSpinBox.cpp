#include "ui/NumberSpinBox.h"

#include "text/Digits.h"
#include "text/ShownNumbers.h"

namespace {

// The number part of the box's text: without prefix, suffix and blanks, with ASCII digits.
QString numberPart(const QSpinBox& box, const QString& text)
{
    QString t = text;
    if (!box.prefix().isEmpty() && t.startsWith(box.prefix()))
        t.remove(0, box.prefix().size());
    if (!box.suffix().isEmpty() && t.endsWith(box.suffix()))
        t.chop(box.suffix().size());
    return Digits::toAscii(t.trimmed());
}

} // namespace

QString NumberSpinBox::textFromValue(int value) const
{
    // No thousands separator: the text is also what the operator edits.
    return ShownNumbers::text(QString::number(value));
}

int NumberSpinBox::valueFromText(const QString& text) const
{
    return numberPart(*this, text).toInt();
}

QValidator::State NumberSpinBox::validate(QString& input, int&) const
{
    const QString number = numberPart(*this, input);
    if (number.isEmpty())
        return QValidator::Intermediate;
    bool ok = false;
    const int value = number.toInt(&ok);
    if (!ok)
        return QValidator::Invalid;
    return value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}
