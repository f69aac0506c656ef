#pragma once

#include "ui/Messages.h"

// Nobody answers boxes during a benchmark: every box is counted and answered at once, so a benchmark can tell that
// what it timed was refused.
class SilentMessages : public Messages {
public:
    void ShowNotice(QWidget*, const QString&, int) override { ++boxes; }
    int AskOperator(QWidget*, const QString&, int, const QString&) override
    {
        ++boxes;
        return 1;
    }
    QString PromptOperator(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString PromptSecret(QWidget*, const QString&, const QString&) override { return {}; }
    void Beep() override { }

    int boxes = 0;
};
