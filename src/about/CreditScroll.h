#pragma once

#include "ui/MakerDetails.h"

#include <QString>
#include <QStringList>

#include <array>

// The column of credit lines in the About window: four labels move up 15 twips a tick, and the first one that has
// reached the top (1000 twips or less) goes back below the others with the next line of the eleven slots. At most
// one label wraps per tick; the slot counter runs 4, 5, ... 8 and then from 0 again, so slots 7 and 8 pass as
// two empty lines between slot 6 and slot 0.
class CreditScroll {
public:
    static constexpr int LabelCount = 4;
    static constexpr int SlotCount = 11;
    static constexpr int WrapAtOrAbove = 1000; // twips
    static constexpr int Step = 15; // twips a tick
    static constexpr int LabelHeight = 360;

    // The eleven slots. A detail that is not set leaves its line empty, the programmer's line shows the program's
    // name and version instead: no line names a detail that does not exist.
    static QStringList lines(const Maker::Details& maker);

    // `windowHeight` in twips decides where a wrapped label goes: 1500 twips above the window's bottom.
    CreditScroll(const QStringList& lines, int windowHeight);

    // One tick. Returns the label that wrapped (0..3), -1 when none did.
    int tick();

    int top(int label) const { return m_tops.at(label); }
    const QString& caption(int label) const { return m_captions.at(label); }
    int counter() const { return m_counter; }
    int wrapTop() const { return m_windowHeight - 1500; }

private:
    QStringList m_lines;
    int m_windowHeight;
    std::array<int, LabelCount> m_tops;
    std::array<QString, LabelCount> m_captions;
    qint16 m_counter;
};
