#include "about/CreditColours.h"

#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cmath>

CreditColours::Rgb CreditColours::paletteEntry(int index)
{
    static constexpr std::array<Rgb, 16> palette = { {
        { 0, 0, 0 }, // black
        { 0, 0, 128 }, // blue
        { 0, 128, 0 }, // green
        { 0, 128, 128 }, // cyan
        { 128, 0, 0 }, // red
        { 128, 0, 128 }, // magenta
        { 128, 128, 0 }, // dark yellow
        { 192, 192, 192 }, // light grey
        { 128, 128, 128 }, // grey
        { 0, 0, 255 }, // light blue
        { 0, 255, 0 }, // light green
        { 0, 255, 255 }, // light cyan
        { 255, 0, 0 }, // light red
        { 255, 0, 255 }, // light magenta
        { 255, 255, 0 }, // light yellow
        { 255, 255, 255 }, // bright white
    } };
    return palette.at(static_cast<std::size_t>(index & 15));
}

CreditColours::CreditColours(RandomSource random)
    : m_random(std::move(random))
{
    if (!m_random)
        m_random = [] { return QRandomGenerator::global()->generateDouble(); };
}

CreditColours::Step CreditColours::tick()
{
    if (m_counter > 15)
        m_counter = 0;
    Step step;
    step.first = paletteEntry(m_counter);
    m_counter += 2;
    // A source that strays outside [0, 1) still gives a colour the screen can show.
    const auto part = [this] { return static_cast<int>(std::lround(std::clamp(m_random(), 0.0, 1.0) * 255)); };
    step.third.red = part();
    step.third.green = part();
    step.third.blue = part();
    return step;
}
