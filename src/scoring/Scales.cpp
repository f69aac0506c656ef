#include "scoring/Scales.h"

#include "data/QuestionnaireItems.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int bandCount = 5;

// Each percent table as the highest raw score of its rows 5, 10, ..., 100; the first row starts at raw 1 and the rows
// are contiguous, so the upper bounds are the whole table.
using PercentTable = std::array<int, 20>;
constexpr std::array<PercentTable, 4> upperBounds = {{
    {14, 20, 22, 24, 25, 26, 28, 29, 31, 32, 34, 35, 36, 37, 39, 40, 41, 43, 45, 50}, // Rezayat
    {16, 19, 21, 23, 24, 25, 27, 28, 30, 31, 33, 34, 36, 37, 38, 40, 41, 43, 45, 50}, // Ertebat
    {16, 19, 21, 23, 24, 25, 26, 27, 28, 29, 31, 32, 33, 35, 36, 38, 39, 41, 44, 50}, // HaleT
    {5, 6, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25},     // TahrifeA
}};

std::size_t indexOf(Scale scale)
{
    return static_cast<std::size_t>(scale);
}

// Bands are inclusive and the lowest is open below ("15 or less"); a percent between two bands, or above 100,
// has no band.
std::optional<std::size_t> bandOf(int percent)
{
    struct Band {
        int low;
        int high;
    };
    static constexpr std::array<Band, bandCount> bands = {{{std::numeric_limits<int>::min(), 15}, {20, 35}, {40, 60}, {65, 80}, {85, 100}}};
    for (std::size_t i = 0; i < bands.size(); ++i) {
        if (percent >= bands[i].low && percent <= bands[i].high)
            return i;
    }
    return std::nullopt;
}

using Sentences = std::array<QString, bandCount>;

const std::array<Sentences, 4>& sentences()
{
    static const std::array<Sentences, 4> table = {{
        {
            QStringLiteral("شما خيلي ناراضي هستيد و نگراني زيادي درباره روابط زناشويي خود داريد"),
            QStringLiteral("شما تا حدودي ناراضي هستيد و نگراني هايي درباره روابط زناشويي خود داريد"),
            QStringLiteral("شما تا حدودي خوشبخت هستيد و از بعضي از جنبه هاي روابط زناشويي خود لذت مي بريد"),
            QStringLiteral("شما رضامندي بالايي داريد و از تمام جنبه هاي روابط زناشويي خود رضايت داريد"),
            QStringLiteral("شما خيلي خوشبخت هستيد و واقعاً از تمام جنبه هاي روابط زناشويي خود لذت مي بريد"),
        },
        {
            QStringLiteral("شما نگراني هاي زيادي درباره کميت و کيفيت رابطه زناشويي خود داريد"),
            QStringLiteral("شما نگراني هايي درباره کميت و کيفيت روابط زناشويي خود داريد"),
            QStringLiteral("شما معمولاً احساس خوبي درباره روابط زناشويي خود داريد، اما تا حدودي نگران هستيد"),
            QStringLiteral("شما احساس خوبي درباره روابط زناشويي خود داريد و احساس نگراني اندکي داريد"),
            QStringLiteral("شما احساس خيلي خوبي درباره کميت و کيفيت روابط زناشويي خود داريد"),
        },
        {
            QStringLiteral("شما براي بحث کردن با همسرتان خيلي مشکل داريد و نمي توانيد تفاوت هاي خود را حل کنيد"),
            QStringLiteral("شما اغلب براي بحث کردن مشکل داريد به سختي مي توانيد تفاوت هاي خود را با همسرتان حل کنيد"),
            QStringLiteral("شما احساس مي کنيد که معمولاً مي توانيد بحث کنيد و تفاوت هاي خود را با همسرتان حل کنيد"),
            QStringLiteral("شما احساس مي کنيد که مي توانيد ، بطور موثر بحث کنيد و تفاوت هاي خود را با همسرتان حل کنيد"),
            QStringLiteral("شما احساس مي کنيد که مي توانيد ، بسيار موثر بحث کنيد و تفاوت هاي خود را با همسرتان حل کنيد"),
        },
        {
            QStringLiteral("شما خيلي واقع بين هستيد و هميشه محدوديت ها يا مشکلات در روابط تان را مي پذيريد"),
            QStringLiteral("شما عموماً درباره رابطه خود با همسرتان واقع بين هستيد و بيشتر اوقات محدوديت ها يا مشکلات را مي پذيريد"),
            QStringLiteral("شما ممکن است که تا حدودي درباره رابطه خود با همسرتان غير واقع بينانه باشيد. اما گاهي اوقات مشکلات را به تاخير مي اندازيد يا رد مي کنيد"),
            QStringLiteral("شما اغلب درباره رابطه خود با همسرتان غير واقع بينانه هستيد و گرايش داريد که هر مشکلي را به تاخير بيندازيد و يا رد کنيد"),
            QStringLiteral("شما درباره رابطه خود با همسرتان خيلي غير واقع بينانه هستيد و گرايش داريد که هر مشکلي را به تاخير بيندازيد و يا رد کنيد"),
        },
    }};
    return table;
}

// The items the questionnaire's description counts toward the scale whose score is stored in `column`, ascending.
QList<int> itemsOf(const QString& column)
{
    QList<int> items;
    for (const QuestionnaireItem& item : questionnaireItems())
        if (column == QLatin1String(item.scale))
            items << item.number;
    return items;
}

} // namespace

const std::array<ScaleInfo, 4>& scales()
{
    static const std::array<ScaleInfo, 4> all = {{
        {Scale::Rezayat, QStringLiteral("Rezayat"), QStringLiteral("رضايت زناشويي"), QStringLiteral("TextRez"),
         QStringLiteral("TextRezd"), QStringLiteral("TextRezs"), QStringLiteral("TextRezt"),
         itemsOf(QStringLiteral("Rezayat")), 10, 50},
        {Scale::Ertebat, QStringLiteral("Ertebat"), QStringLiteral("ارتباطات"), QStringLiteral("TextEr"),
         QStringLiteral("TextErd"), QStringLiteral("TextErs"), QStringLiteral("TextErt"),
         itemsOf(QStringLiteral("Ertebat")), 10, 50},
        {Scale::HaleT, QStringLiteral("HaleT"), QStringLiteral("حل تعارض"), QStringLiteral("TextHal"),
         QStringLiteral("TextHald"), QStringLiteral("TextHals"), QStringLiteral("TextHalt"),
         itemsOf(QStringLiteral("HaleT")), 10, 50},
        {Scale::TahrifeA, QStringLiteral("TahrifeA"), QStringLiteral("تحريف آرماني"), QStringLiteral("TextTah"),
         QStringLiteral("TextTahd"), QStringLiteral("TextTahs"), QStringLiteral("TextTaht"), itemsOf(QStringLiteral("TahrifeA")), 5,
         25},
    }};
    return all;
}

const ScaleInfo& scaleInfo(Scale scale)
{
    return scales()[indexOf(scale)];
}

std::optional<Scale> scaleOfItem(int item)
{
    for (const ScaleInfo& info : scales()) {
        if (info.items.contains(item))
            return info.scale;
    }
    return std::nullopt;
}

std::optional<int> percentFor(Scale scale, int raw)
{
    const PercentTable& table = upperBounds[indexOf(scale)];
    if (raw < 1)
        return std::nullopt;
    const auto row = std::find_if(table.begin(), table.end(), [raw](int upper) { return raw <= upper; });
    if (row == table.end())
        return std::nullopt;
    return 5 * static_cast<int>(row - table.begin() + 1);
}

const std::array<QString, 5>& levelWords()
{
    static const std::array<QString, bandCount> words = {
        QStringLiteral("خيلي پايين"),
        QStringLiteral("پايين"),
        QStringLiteral("متوسط"),
        QStringLiteral("بالا"),
        QStringLiteral("خيلي بالا"),
    };
    return words;
}

QString levelFor(int percent)
{
    const std::optional<std::size_t> band = bandOf(percent);
    return band ? levelWords()[*band] : QString();
}

QString sentenceFor(Scale scale, int percent)
{
    const std::optional<std::size_t> band = bandOf(percent);
    return band ? sentences()[indexOf(scale)][*band] : QString();
}
