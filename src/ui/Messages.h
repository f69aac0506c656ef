#pragma once

#include <QString>

class QWidget;

// The one way windows talk to the operator: notices, standard boxes and input prompts. The program uses the
// Qt boxes (QtMessages); tests use a scripted implementation that records every box and answers from a queue.
class Messages {
public:
    virtual ~Messages() = default;

    // A notice titled "پيام" with OK only, owned by `owner`; brought to the front after `bringToFrontMs` if still open.
    virtual void ShowNotice(QWidget* owner, const QString& text, int bringToFrontMs = 1000) = 0;

    // A standard box; `style` takes the Msg::Style values. Returns Msg::Ok, Msg::Yes or Msg::No.
    virtual int AskOperator(QWidget* owner, const QString& text, int style, const QString& title) = 0;

    // One line of text entry; returns the text typed, or empty text when the operator cancels.
    virtual QString PromptOperator(QWidget* owner, const QString& prompt, const QString& title,
                                   const QString& defaultText = QString()) = 0;

    // One line of hidden entry (a password, a passphrase): nothing typed is shown. Returns the text typed, or empty
    // text when the operator cancels. What is typed is kept by the caller in memory only.
    virtual QString PromptSecret(QWidget* owner, const QString& prompt, const QString& title) = 0;

    // The machine's beep, given with a refused keystroke.
    virtual void Beep() = 0;
};
