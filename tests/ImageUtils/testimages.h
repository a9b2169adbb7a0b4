#ifndef TESTS_IMAGEUTILS_TESTIMAGES_H
#define TESTS_IMAGEUTILS_TESTIMAGES_H

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QtGlobal>

#include <cmath>

namespace testimages
{

// Four coloured quadrants: red top left, green top right, blue bottom left,
// white bottom right. Survives any reduction, shows flips and channel swaps.
inline QImage quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::white);
    return image;
}

// Detail at several scales: a checkerboard, thin lines and smooth colour, so
// that blurring and aliasing both show.
inline QImage detailed(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const bool check = ((x / 96) + (y / 96)) % 2 == 0;
            const int shade = check ? 200 : 40;
            const int r = (shade + x * 55 / width) & 0xff;
            const int g = (shade + y * 55 / height) & 0xff;
            const int b = check ? 220 : 30;
            line[x] = qRgb(r, g, b);
        }
    }
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, std::max(2, width / 400)));
    for (int x = 0; x < width; x += width / 24)
        painter.drawLine(x, 0, width - x, height);
    return image;
}

inline bool near(QRgb pixel, QColor expected, int tolerance = 40)
{
    return std::abs(qRed(pixel) - expected.red()) <= tolerance &&
           std::abs(qGreen(pixel) - expected.green()) <= tolerance &&
           std::abs(qBlue(pixel) - expected.blue()) <= tolerance;
}

inline QString describe(QRgb pixel)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

// Mean absolute difference per channel, 0..255.
inline double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size())
        return 255.0;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

// Sum of absolute differences between neighbours: falls when detail is lost.
inline double sharpness(const QImage &image)
{
    const QImage x = image.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int row = 0; row + 1 < x.height(); ++row) {
        const uchar *line = x.constScanLine(row);
        const uchar *below = x.constScanLine(row + 1);
        for (int col = 0; col + 1 < x.width(); ++col)
            sum += std::abs(line[col] - line[col + 1]) + std::abs(line[col] - below[col]);
    }
    return sum;
}

} // namespace testimages

#endif
