#pragma once

#include <QString>

// The page's own texts, beside the ones it shares with the test window (TestTexts).
namespace PageTexts {

inline const QString Thanks = QStringLiteral("سپاسگزاريم. پاسخ‌هاي شما ثبت شد.");
inline const QString Complete = QStringLiteral("پاسخ‌هاي اين پرسشنامه کامل شده است و ديگر تغيير نمي‌کند.");
inline const QString Closed = QStringLiteral("اين پيوند باز نمي‌شود.");
inline const QString NotFound = QStringLiteral("اين صفحه پيدا نشد.");
inline const QString TooMany = QStringLiteral("درخواست‌هاي نادرست بسيار بود. ده دقيقه ديگر دوباره بکوشيد.");
inline const QString NotStored = QStringLiteral("اکنون پاسخ ذخيره نشد. کمي بعد دوباره بکوشيد.");
inline const QString NotAccepted = QStringLiteral("اين درخواست پذيرفته نيست.");
inline const QString Position = QStringLiteral("%1 از %2");
inline const QString Unanswered = QStringLiteral("به اين پرسش‌ها پاسخ نداده‌ايد:");
inline const QString AllAnswered = QStringLiteral("به همه پرسش‌ها پاسخ داده‌ايد.");
inline const QString FinishNote = QStringLiteral("با «پايان» پاسخ‌ها ثبت مي‌شود و ديگر تغيير نمي‌کند.");
inline const QString Review = QStringLiteral("بازبيني");

} // namespace PageTexts
