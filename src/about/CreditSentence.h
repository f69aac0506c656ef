#pragma once

#include <QString>

// The credit sentence of the About window, which tightens itself one step per tick: first every blank goes, one
// per tick, from the left, until the sentence is one run of letters and dots; then each dot in turn becomes a
// blank, which leaves a plainly spaced sentence; after that nothing changes.
class CreditSentence {
public:
    // The sentence as it starts: the words This, Program, Is, Created, By and the parts of the programmer's name,
    // joined by "." (the name's parts by "..", so they end two blanks apart), with a closing "."; every character
    // is followed by a run of blanks except the last. Without a programmer the program's name stands alone, as
    // nothing may claim an author that is not set.
    static QString spreadOut(const QString& programmer);

    explicit CreditSentence(const QString& text);

    // One tick. Returns whether the text changed.
    bool tick();
    // True once no further tick can change the text.
    bool settled() const;

    const QString& text() const { return m_text; }

private:
    QString m_text;
    QString m_search;
    QString m_replacement;
};
