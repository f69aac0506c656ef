#pragma once

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

// QR codes of links, drawn by libqrencode with error correction M (a creased slip or a glare on a screen still
// scans), in byte mode so a link keeps its case.
namespace QrCode {

// The modules of the code, row by row (true = dark), `size` on a side; empty when the text does not fit a QR code.
struct Modules {
    int size = 0;
    QList<bool> dark;
    bool isDark(int row, int column) const { return dark.at(row * size + column); }
};
Modules encode(const QString& text);

// The code as an image: each module `modulePixels` square, with the four-module quiet margin a reader needs, black on
// white whatever the theme (a reader sees a dark code on a light ground). A null image when the text does not fit.
QImage image(const QString& text, int modulePixels);

// Paints the code, margin included, into the largest square that fits `area`, as shapes (a printed slip stays sharp
// at any resolution). False, painting nothing, when the text does not fit.
bool paint(QPainter& painter, const QRectF& area, const QString& text);

} // namespace QrCode
