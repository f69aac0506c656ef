#include "support/ScriptedMessages.h"

#include "ui/MessageCatalogue.h"

#include <QTest>

void ScriptedMessages::ShowNotice(QWidget* owner, const QString& text, int bringToFrontMs)
{
    boxes.append({Kind::Notice, owner, text, Msg::NoticeTitle, Msg::Style::Ok, bringToFrontMs});
}

int ScriptedMessages::AskOperator(QWidget* owner, const QString& text, int style, const QString& title)
{
    boxes.append({Kind::Standard, owner, text, title, style, 0});
    if ((style & 0xF) != Msg::Style::YesNo)
        return Msg::Ok;
    if (answers.isEmpty()) {
        // A question the test did not expect: the test fails here rather than go on with an answer nobody chose.
        QTest::qFail(qPrintable(QStringLiteral("unscripted question: %1").arg(text)), __FILE__, __LINE__);
        return Msg::No;
    }
    return answers.dequeue();
}

QString ScriptedMessages::PromptOperator(QWidget* owner, const QString& prompt, const QString& title,
                                         const QString& defaultText)
{
    boxes.append({Kind::Prompt, owner, prompt, title, 0, 0});
    return typed.isEmpty() ? defaultText : typed.dequeue();
}

QString ScriptedMessages::PromptSecret(QWidget* owner, const QString& prompt, const QString& title)
{
    boxes.append({Kind::Secret, owner, prompt, title, 0, 0});
    return secrets.isEmpty() ? QString() : secrets.dequeue();
}

QStringList ScriptedMessages::noticeTexts() const
{
    QStringList texts;
    for (const Box& b : boxes)
        if (b.kind == Kind::Notice)
            texts << b.text;
    return texts;
}

void ScriptedMessages::clear()
{
    boxes.clear();
    beeps = 0;
}
