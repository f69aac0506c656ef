#include "examinees/InvitationSlip.h"

#include "calendar/SolarHijri.h"
#include "text/ShownNumbers.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"
#include "ui/QrCode.h"

#include <QPainter>
#include <QTextOption>

namespace {

constexpr double Point = 20.0; // twips

QFont slipFont(double points, bool bold = false)
{
    QFont font(PersianText::fontFamily());
    font.setPixelSize(qRound(points * Point));
    font.setBold(bold);
    return font;
}

void line(QPainter& painter, const QRectF& box, const QString& text, const QFont& font, bool leftToRight = false)
{
    painter.setFont(font);
    QTextOption option(Qt::AlignHCenter | Qt::AlignVCenter);
    option.setTextDirection(leftToRight ? Qt::LeftToRight : Qt::RightToLeft);
    option.setWrapMode(leftToRight ? QTextOption::WrapAnywhere : QTextOption::WordWrap);
    painter.drawText(box, text, option);
}

} // namespace

InvitationSlip::InvitationSlip(const QString& clinicName, const QList<Half>& halves)
    : m_clinicName(clinicName)
    , m_halves(halves)
{
}

QString InvitationSlip::title() const
{
    return QStringLiteral("برگه دعوت");
}

QStringList InvitationSlip::guidance()
{
    return {
        QStringLiteral("با دوربين تلفن همراه، کد بالا را بخوانيد يا پيوند را در مرورگر باز کنيد."),
        QStringLiteral("به ۳۵ جمله پاسخ دهيد؛ هر پاسخ همان لحظه ذخيره مي‌شود و مي‌توانيد بعداً ادامه دهيد."),
        QStringLiteral("پاسخ‌هاي شما محرمانه است؛ نام شما در صفحه نمي‌آيد و فقط مشاور شما نتيجه را مي‌بيند."),
    };
}

void InvitationSlip::paintPage(QPainter& painter, int index) const
{
    if (index != 0 || m_halves.isEmpty())
        return;
    const QSizeF page = printableTwips();
    painter.save();
    painter.setPen(Qt::black);
    if (m_halves.size() == 1) {
        paintHalf(painter, QRectF(QPointF(0, 0), page), m_halves.first(), QString());
    } else {
        const double half = page.height() / 2;
        paintHalf(painter, QRectF(0, 0, page.width(), half), m_halves.at(0), QStringLiteral("همسر اول"));
        paintHalf(painter, QRectF(0, half, page.width(), half), m_halves.at(1), QStringLiteral("همسر دوم"));
        // Where the page is cut in two.
        QPen cut(Qt::gray, Point, Qt::DashLine);
        painter.setPen(cut);
        painter.drawLine(QPointF(0, half), QPointF(page.width(), half));
        painter.setPen(Qt::black);
    }
    painter.restore();
}

void InvitationSlip::paintHalf(QPainter& painter, const QRectF& area, const Half& half, const QString& mark) const
{
    const bool couple = !mark.isEmpty();
    const double margin = 360;
    double top = area.top() + margin;
    const double width = area.width();
    const double rowHeight = couple ? 440 : 520;

    line(painter, QRectF(area.left(), top, width, rowHeight), m_clinicName, slipFont(couple ? 16 : 20, true));
    top += rowHeight;
    if (couple) {
        line(painter, QRectF(area.left(), top, width, rowHeight), mark, slipFont(15, true));
        top += rowHeight;
    }
    // Large enough to be read from across a desk; the margin around it is part of the code.
    const double side = couple ? 3600 : 5040;
    QrCode::paint(painter, QRectF(area.left() + (width - side) / 2, top, side, side), half.link);
    top += side + 120;
    line(painter, QRectF(area.left() + 360, top, width - 720, couple ? 420 : 560), half.link, slipFont(10), true);
    top += couple ? 420 : 560;
    const QString lastDay = ShownNumbers::text(SolarHijriDate(half.lastDay, 0));
    line(painter, QRectF(area.left(), top, width, rowHeight), Msg::InviteOpenUntil.arg(lastDay),
        slipFont(couple ? 12 : 14, true));
    top += rowHeight + 80;
    for (const QString& text : guidance()) {
        line(painter, QRectF(area.left() + 360, top, width - 720, couple ? 380 : 460), text, slipFont(couple ? 10.5 : 12));
        top += couple ? 380 : 460;
    }
}
