#pragma once

#include <QString>

// The texts an examinee reads while answering, the same on the test window and on the page served to a phone.
namespace TestTexts {

inline const QString Title = QStringLiteral("پرسشنامه رضايت زناشويي تورين 35 ماده اي");
inline const QString Instruction = QStringLiteral(
    "اين نرم افزار شامل جملاتي درباره جنبه هاي مختلف زندگي شماست که ممکن است با آن موافق يا مخالف باشيد . "
    "هر جمله را به دقت بخوانيد و سپس ميزان موافقت يا مخالفت خود را مشخص کنيد . "
    "توجه داشته باشيد جواب صحيح يا غلط وجود ندارد . "
    "سعي کنيد حتي الامکان از پاسخ به مورد \" نظري ندارم\" خودداري کنيد . "
    "فقط وقتي اين مورد را علامت بزنيد که در موافق يا مخالف بودن خود نسبت به يک جمله کاملا شک و ترديد داشته باشيد ");
inline const QString Legend =
    QStringLiteral(" کاملاً مخالفم  --- مخالفم  ---  نظري ندارم ---   موافقم ---  کاملاً موافقم ");
inline const QString Start = QStringLiteral("شروع");
inline const QString Back = QStringLiteral("قبلي");
inline const QString Next = QStringLiteral("بعدي");

} // namespace TestTexts
