#pragma once

#include "ui/Messages.h"

#include <QObject>

class QMessageBox;

// Real boxes. A notice arms a one-shot timer on its owner window (one per window: a second notice from the same
// window within the interval replaces the pending one); when it fires, the open notice is brought to the front.
class QtMessages : public QObject, public Messages {
    Q_OBJECT
public:
    explicit QtMessages(QObject* parent = nullptr);

    void ShowNotice(QWidget* owner, const QString& text, int bringToFrontMs = 1000) override;
    int AskOperator(QWidget* owner, const QString& text, int style, const QString& title) override;
    QString PromptOperator(QWidget* owner, const QString& prompt, const QString& title,
                           const QString& defaultText = QString()) override;
    QString PromptSecret(QWidget* owner, const QString& prompt, const QString& title) override;
    void Beep() override;

    // Finds the open notice, if any, and raises it; what the timer runs. Returns the box it raised.
    static QMessageBox* BringNoticeToFront();

signals:
    // Emitted each time the timer finds an open notice and brings it to the front.
    void noticeBroughtToFront(QMessageBox* box);

private:
    void armBringToFrontTimer(QWidget* owner, int intervalMs);
    QString askForText(QWidget* owner, const QString& prompt, const QString& title, const QString& defaultText,
                    bool hidden);
};
