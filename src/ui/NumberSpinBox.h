#pragma once

#include <QSpinBox>

// A spin box that draws its number as every number is drawn (ShownNumbers) and reads digits of any script typed
// into it, so a page number in Persian digits still goes to that page.
class NumberSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& input, int& pos) const override;
};
