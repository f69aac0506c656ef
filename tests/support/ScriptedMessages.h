#pragma once

#include "ui/Messages.h"

#include <QList>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QWidget>

// The message seam for tests: records every box and answers from queues instead of waiting for a person.
class ScriptedMessages : public Messages {
public:
    enum class Kind { Notice, Standard, Prompt, Secret };

    struct Box {
        Kind kind;
        QPointer<QWidget> owner;
        QString text;
        QString title;
        int style = 0;          // standard boxes
        int bringToFrontMs = 0; // notices
    };

    void ShowNotice(QWidget* owner, const QString& text, int bringToFrontMs = 1000) override;
    int AskOperator(QWidget* owner, const QString& text, int style, const QString& title) override;
    QString PromptOperator(QWidget* owner, const QString& prompt, const QString& title,
                           const QString& defaultText = QString()) override;
    QString PromptSecret(QWidget* owner, const QString& prompt, const QString& title) override;
    void Beep() override { ++beeps; }

    // Answers given in order. A Yes/No box with no queued answer fails the running test (and answers No); a prompt
    // with none answers its default text.
    QQueue<int> answers;
    QQueue<QString> typed;
    // Hidden entries (passwords, passphrases) in order; one with none queued is cancelled (empty text).
    QQueue<QString> secrets;

    QList<Box> boxes;
    int beeps = 0;

    QStringList noticeTexts() const;
    QString lastText() const { return boxes.isEmpty() ? QString() : boxes.last().text; }
    void clear();
};
