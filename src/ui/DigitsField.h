#pragma once

#include <QLineEdit>

// A box for a whole number: an age, an item number. Typing puts ASCII digits only into it, whichever digits the
// keyboard gives (a Persian keyboard types Persian or Arabic-Indic ones). Any other typed character is dropped and
// reported through keyRefused(), so the window can beep and explain. Keys that type nothing (arrows, Delete),
// Backspace, Enter, Tab and shortcuts work as in any box.
class DigitsField : public QLineEdit {
    Q_OBJECT
public:
    // What becomes of text put in at once (pasted, dropped, or set by the program).
    enum class WholeText {
        DigitsOnly, // only its digits stay, as ASCII, at most maxDigits; a text without any digit is refused
        AsciiDigits, // it stays as it is, with its digits written as ASCII: for a box whose own rule reads any text
    };

    // At most `maxDigits` digits when it is above 0; a digit typed beyond them is dropped without a word.
    explicit DigitsField(QWidget* parent = nullptr, int maxDigits = 0, WholeText wholeText = WholeText::DigitsOnly);

signals:
    void keyRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_maxDigits;
};
