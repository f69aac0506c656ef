#include "ui/QrCode.h"

#include <QPainter>
#include <QPainterPath>

#include <qrencode.h>

#include <algorithm>

namespace QrCode {

namespace {

constexpr int QuietModules = 4;

} // namespace

Modules encode(const QString& text)
{
    Modules modules;
    const QByteArray bytes = text.toUtf8();
    QRcode* code = QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M);
    if (!code)
        return modules;
    modules.size = code->width;
    modules.dark.resize(qsizetype(code->width) * code->width);
    for (qsizetype i = 0; i < modules.dark.size(); ++i)
        modules.dark[i] = (code->data[i] & 1) != 0; // the lowest bit of each byte is the module's colour
    QRcode_free(code);
    return modules;
}

QImage image(const QString& text, int modulePixels)
{
    const Modules modules = encode(text);
    if (modules.size == 0 || modulePixels < 1)
        return QImage();
    const int side = (modules.size + 2 * QuietModules) * modulePixels;
    QImage picture(side, side, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (int row = 0; row < modules.size; ++row)
        for (int column = 0; column < modules.size; ++column)
            if (modules.isDark(row, column))
                painter.fillRect((column + QuietModules) * modulePixels, (row + QuietModules) * modulePixels,
                    modulePixels, modulePixels, Qt::black);
    return picture;
}

bool paint(QPainter& painter, const QRectF& area, const QString& text)
{
    const Modules modules = encode(text);
    if (modules.size == 0)
        return false;
    const double side = std::min(area.width(), area.height());
    const double module = side / (modules.size + 2 * QuietModules);
    const QPointF origin(area.center().x() - side / 2, area.center().y() - side / 2);
    painter.save();
    painter.fillRect(QRectF(origin, QSizeF(side, side)), Qt::white);
    QPainterPath dark;
    dark.setFillRule(Qt::WindingFill);
    for (int row = 0; row < modules.size; ++row)
        for (int column = 0; column < modules.size; ++column)
            if (modules.isDark(row, column))
                dark.addRect(origin.x() + (column + QuietModules) * module, origin.y() + (row + QuietModules) * module,
                    module, module);
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(dark, Qt::black);
    painter.restore();
    return true;
}

} // namespace QrCode
