#pragma once

#include <functional>

// The colours of two credit lines in the About window, one step per tick: the first line walks through the eight
// even entries of the standard 16-colour palette (black, green, red, dark yellow, grey, light green, light red,
// light yellow) and round again; the third line takes a random colour each tick.
class CreditColours {
public:
    struct Rgb {
        int red = 0;
        int green = 0;
        int blue = 0;
        bool operator==(const Rgb&) const = default;
    };

    struct Step {
        Rgb first; // Label1
        Rgb third; // Label3
    };

    // A uniform random number in [0, 1).
    using RandomSource = std::function<double()>;

    // Entry 0..15 of the standard 16-colour palette.
    static Rgb paletteEntry(int index);

    // The contrast ratio of two colours as WCAG 2 measures it: 1 (the same) to 21 (black on white).
    static double contrast(const Rgb& a, const Rgb& b);

    // The colour as it is drawn on `background`: unchanged where it reads (a contrast of at least 4.5:1), otherwise
    // mixed toward black or white, whichever stands out more from the background, just far enough to read.
    static Rgb readableOn(const Rgb& colour, const Rgb& background);

    // Without a source the program's own random generator is used.
    explicit CreditColours(RandomSource random = {});

    Step tick();

    int counter() const { return m_counter; }

private:
    RandomSource m_random;
    short m_counter = 0;
};
