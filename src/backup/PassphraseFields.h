#pragma once

#include "backup/BackupCipher.h"

#include <QString>

class QCheckBox;
class QLineEdit;
class QWidget;

// The backup window's encryption controls: the tick `CheckEncrypt` and the passphrase typed twice in two hidden
// fields (`TextPassphrase`, `TextPassphraseAgain`), usable only while the tick is set. Unticking empties them.
class PassphraseFields {
public:
    // Placed on `window` (twips): the tick at `top` from `tickLeft` to the captions' right edge, the two fields in
    // the rows below it, each with its caption on the right, and under them the line `LabelPassphraseLost` saying
    // that a lost passphrase cannot be recovered; height() twips in all.
    PassphraseFields(QWidget* window, int top, int tickLeft, int captionLeft, int captionWidth, int fieldLeft,
        int fieldWidth, int rowHeight);
    static int height(int rowHeight);

    bool wanted() const;
    // The refusal to show when what is typed will not do; empty text when it will.
    QString refusal() const;
    // The passphrase, taken out of both fields, which are left empty.
    QString take();
    void setEnabled(bool enabled);

    // What the operator is told when an encrypted backup is not written (`backingUp`) or not restored, for a verdict
    // other than Good.
    static QString refusalText(BackupCipher::Verdict verdict, bool backingUp);

    QCheckBox* tick() const { return m_tick; }
    QLineEdit* first() const { return m_first; }
    QLineEdit* again() const { return m_again; }

private:
    void clear();

    QCheckBox* m_tick = nullptr;
    QLineEdit* m_first = nullptr;
    QLineEdit* m_again = nullptr;
};
