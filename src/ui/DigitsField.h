#pragma once

#include <QLineEdit>

// A box for a whole number: an age, an item number. Typing puts digits only into it, whichever digits the keyboard
// gives (a Persian keyboard types Persian or Arabic-Indic ones), drawn as every number is drawn (ShownNumbers);
// digits() gives them back as ASCII, the form they are stored in. Any other typed character is dropped and
// reported through keyRefused(), so the window can beep and explain. Keys that type nothing (arrows, Delete),
// Backspace, Enter, Tab and shortcuts work as in any box.
class DigitsField : public QLineEdit {
    Q_OBJECT
public:
    // What becomes of text put in at once (pasted, dropped, or set by the program).
    enum class WholeText {
        DigitsOnly, // only its digits stay, at most maxDigits; a text without any digit is refused
        AnyText, // it stays as it is, with its digits in the drawn form: for a box whose own rule reads any text
    };

    // At most `maxDigits` digits when it is above 0; a digit typed beyond them is dropped without a word.
    explicit DigitsField(QWidget* parent = nullptr, int maxDigits = 0, WholeText wholeText = WholeText::DigitsOnly);

    // The box's text with its digits as ASCII: what it holds, to store or compare.
    QString digits() const;

signals:
    void keyRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_maxDigits;
};
