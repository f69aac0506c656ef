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

namespace {

double luminance(const CreditColours::Rgb& c)
{
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

constexpr double readableContrast = 4.5;

} // namespace

double CreditColours::contrast(const Rgb& a, const Rgb& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

CreditColours::Rgb CreditColours::readableOn(const Rgb& colour, const Rgb& background)
{
    if (contrast(colour, background) >= readableContrast)
        return colour;
    const Rgb black { 0, 0, 0 };
    const Rgb white { 255, 255, 255 };
    // One of the two always reaches 4.5:1 against any background.
    const Rgb& toward = contrast(black, background) >= contrast(white, background) ? black : white;
    const auto mix = [&](double t) {
        const auto channel = [t](int from, int to) { return static_cast<int>(std::lround(from + (to - from) * t)); };
        return Rgb { channel(colour.red, toward.red), channel(colour.green, toward.green),
            channel(colour.blue, toward.blue) };
    };
    for (int step = 1; step < 20; ++step) {
        const Rgb mixed = mix(step / 20.0);
        if (contrast(mixed, background) >= readableContrast)
            return mixed;
    }
    return toward;
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
