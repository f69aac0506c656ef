// The 35 statements as the examinee reads them, one per line with its scale and keying, so that a reviewer can
// check each text against what it is meant to measure.
//
// Keying: on a direct item agreeing scores high. For Rezayat, Ertebat and HaleT that means agreeing is favourable;
// the TahrifeA items are all direct, and agreeing with them paints the marriage as more flawless than any real
// marriage is. On a reversed item agreeing is unfavourable, so the test window stores its score turned round.
//
// Spelling: Arabic yeh (U+064A) and keheh (U+06A9), with blanks rather than zero-width non-joiners, as in every
// other text the program stores.

#include "data/QuestionnaireItems.h"

namespace {

constexpr bool Direct = false;
constexpr bool Reversed = true;

constexpr std::array<QuestionnaireItem, QuestionnaireItemCount> kItems{{
    {1, "Rezayat", Direct, "در پايان هر روز، با شوق به خانه و پيش همسرم برمي گردم"},
    {2, "Ertebat", Direct, "به راحتي مي توانم آنچه را در دل دارم با همسرم در ميان بگذارم"},
    {3, "HaleT", Reversed, "اختلاف نظرهاي ما اغلب به قهر و دلخوري چند روزه ختم مي شود"},
    {4, "TahrifeA", Direct, "در تمام زندگي مشترکمان، حتي يک روز هم از همسرم دلخور نشده ام"},
    {5, "Rezayat", Reversed, "از نحوه تقسيم کارها و مسئوليت هاي خانه ميان خودمان راضي نيستم"},
    {6, "Ertebat", Reversed, "وقتي با همسرم حرف مي زنم، اغلب احساس مي کنم واقعاً به حرفم گوش نمي دهد"},
    {7, "HaleT", Reversed, "هنگام بحث، همسرم ماجراهاي گذشته را دوباره پيش مي کشد"},
    {8, "TahrifeA", Direct, "همسرم هيچ عيب يا عادتي ندارد که دلم بخواهد تغيير کند"},
    {9, "Rezayat", Direct, "از شيوه خرج کردن و برنامه ريزي مالي در زندگي مشترکمان راضي هستم"},
    {10, "Ertebat", Reversed, "گاهي احساس مي کنم من و همسرم زبان همديگر را نمي فهميم"},
    {11, "HaleT", Direct, "وقتي با هم اختلاف داريم، دنبال راه حلي مي گرديم که هر دومان را راضي کند"},
    {12, "TahrifeA", Direct, "زندگي زناشويي ما درست همان است که هميشه آرزويش را داشتم، بي هيچ کم و کاستي"},
    {13, "Rezayat", Reversed, "گاهي حتي وقتي همسرم کنارم است، احساس تنهايي مي کنم"},
    {14, "Ertebat", Reversed, "گاهي حرف دلم را نمي زنم، چون مطمئن نيستم همسرم آن را درست بفهمد"},
    {15, "HaleT", Direct, "بعد از هر بگومگو، زود با هم آشتي مي کنيم و آن را پشت سر مي گذاريم"},
    {16, "TahrifeA", Direct, "من و همسرم در هر موضوعي، هميشه هم عقيده ايم"},
    {17, "Rezayat", Direct, "از رابطه اي که با خانواده هاي يکديگر داريم، خشنودم"},
    {18, "Ertebat", Reversed, "همسرم گاهي با لحني طعنه آميز با من حرف مي زند که دلم را مي شکند"},
    {19, "HaleT", Reversed, "وقتي بحثمان مي شود، صدايمان بالا مي رود و ديگر حرف هم را نمي شنويم"},
    {20, "TahrifeA", Direct, "هيچ زن و شوهري در دنيا به اندازه ما خوشبخت نيست"},
    {21, "Rezayat", Reversed, "گاهي فکر مي کنم اگر با همسرم ازدواج نکرده بودم، زندگي بهتري داشتم"},
    {22, "Ertebat", Reversed, "گفت و گوهاي ما بيشتر به کارهاي روزمره و خريد خانه محدود مي شود"},
    {23, "HaleT", Reversed, "ترجيح مي دهيم درباره مشکلاتمان حرف نزنيم تا شايد خود به خود حل شوند"},
    {24, "Rezayat", Direct, "از محبت و صميميتي که ميان من و همسرم هست، احساس رضايت مي کنم"},
    {25, "Ertebat", Direct, "همسرم منظورم را حتي وقتي کامل بيانش نکرده ام، مي فهمد"},
    {26, "HaleT", Reversed, "در اختلاف ها، همسرم فقط نظر خودش را درست مي داند و به نظر من توجهي نمي کند"},
    {27, "Rezayat", Reversed, "تفاوت ارزش ها و باورهاي من و همسرم، ناراحتم مي کند"},
    {28, "Ertebat", Reversed, "برايم سخت است که محبتم را با کلمات به همسرم ابراز کنم"},
    {29, "HaleT", Reversed, "بعضي از اختلاف هاي ما سال هاست حل نشده و هر بار دوباره سر باز مي کند"},
    {30, "Rezayat", Direct, "اگر دوباره حق انتخاب داشتم، باز هم همسرم را انتخاب مي کردم"},
    {31, "Ertebat", Direct, "مي توانيم درباره موضوعات حساس هم آرام و بي پرده با هم صحبت کنيم"},
    {32, "HaleT", Reversed, "در بحث ها گاهي حرف هايي به هم مي زنيم که بعد از گفتنشان پشيمان مي شويم"},
    {33, "HaleT", Reversed, "براي حل اختلاف هايمان اغلب پاي ديگران، مثلاً خانواده ها، به ميان کشيده مي شود"},
    {34, "Ertebat", Reversed, "وقتي همسرم از چيزي ناراحت است، به من نمي گويد و بايد خودم حدس بزنم"},
    {35, "Rezayat", Direct, "به آينده اي که من و همسرم با هم مي سازيم، دلگرم و اميدوارم"},
}};

} // namespace

const std::array<QuestionnaireItem, QuestionnaireItemCount>& questionnaireItems()
{
    return kItems;
}

const QuestionnaireItem* questionnaireItem(int number)
{
    if (number < 1 || number > QuestionnaireItemCount)
        return nullptr;
    return &questionnaireItems()[static_cast<std::size_t>(number - 1)];
}
