#pragma once

#include <QRadioButton>

// One of a row of answer options. It is a Tab stop of its own (the window, not Qt's grouping, keeps one option
// chosen), yet assistive technology announces it as a radio button, and every way of choosing it (mouse, keyboard,
// or a screen reader's press or toggle action) is a click, so the window handles each the same way.
class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionButton(const QString& text, QWidget* parent = nullptr);
};
