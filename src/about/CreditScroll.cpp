#include "about/CreditScroll.h"

QStringList CreditScroll::lines(const Maker::Details& maker)
{
    const auto withValue = [](const QString& caption, const QString& value, const QString& after) {
        const QString v = value.trimmed();
        return v.isEmpty() ? QString() : caption + Maker::isolated(v) + after;
    };
    const QString programmer = maker.programmer.simplified();
    QStringList texts = {
        QStringLiteral("نام نرم افزار:"),
        QStringLiteral(" نرم افزار پرسشنامه رضايت زناشويي تورين 35 ماده اي "),
        programmer.isEmpty() ? Maker::programNameAndVersion()
                             : QStringLiteral("برنامه نويس: ") + Maker::isolated(programmer),
        withValue(QStringLiteral("تلفن : "), maker.telephone, QStringLiteral(" ")),
        withValue(QStringLiteral(" ايميل : "), maker.email, QStringLiteral("  ")),
        withValue(QStringLiteral(" وب سايت : "), maker.webSite, QString()),
        withValue(QStringLiteral("فروشگاه : "), maker.shop, QString()),
    };
    while (texts.size() < SlotCount)
        texts << QString();
    return texts;
}

CreditScroll::CreditScroll(const QStringList& lines, int windowHeight)
    : m_lines(lines)
    , m_windowHeight(windowHeight)
    , m_tops { 1920, 2640, 3240, 3840 }
    , m_counter(4)
{
    while (m_lines.size() < SlotCount)
        m_lines << QString();
    for (int i = 0; i < LabelCount; ++i)
        m_captions.at(i) = m_lines.at(i);
}

int CreditScroll::tick()
{
    int wrapped = -1;
    for (int i = 0; i < LabelCount; ++i) {
        if (m_tops.at(i) <= WrapAtOrAbove) {
            wrapped = i;
            break;
        }
    }
    if (wrapped >= 0) {
        m_tops.at(wrapped) = wrapTop();
        ++m_counter;
        m_captions.at(wrapped) = m_lines.at(m_counter - 1);
    }
    if (m_counter == 9)
        m_counter = 0;
    for (int& top : m_tops)
        top -= Step;
    return wrapped;
}
