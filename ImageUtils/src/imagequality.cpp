#include "imagequality.h"

#include "photodecoding.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{

std::vector<double> luma(const QImage &rgb)
{
    std::vector<double> values(std::size_t(rgb.width()) * std::size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            values[std::size_t(y) * std::size_t(rgb.width()) + std::size_t(x)] =
                0.299 * qRed(line[x]) + 0.587 * qGreen(line[x]) + 0.114 * qBlue(line[x]);
    }
    return values;
}

double psnrOf(const QImage &a, const QImage &b)
{
    double squares = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int dr = qRed(p[x]) - qRed(q[x]), dg = qGreen(p[x]) - qGreen(q[x]),
                      db = qBlue(p[x]) - qBlue(q[x]);
            squares += dr * dr + dg * dg + db * db;
        }
    }
    const double meanSquare = squares / (3.0 * a.width() * a.height());
    return meanSquare <= 0 ? 99.0 : std::min(99.0, 10.0 * std::log10(255.0 * 255.0 / meanSquare));
}

double ssimOf(const QImage &a, const QImage &b)
{
    const std::vector<double> x = luma(a), y = luma(b);
    const int width = a.width(), height = a.height();
    const int window = std::min({8, width, height});
    const double c1 = (0.01 * 255) * (0.01 * 255), c2 = (0.03 * 255) * (0.03 * 255);
    double sum = 0;
    int windows = 0;
    // The last window of a row or column is placed against the edge, so every pixel counts.
    auto starts = [window](int length) {
        std::vector<int> positions;
        for (int p = 0; p + window < length; p += 4)
            positions.push_back(p);
        positions.push_back(length - window);
        return positions;
    };
    const std::vector<int> columns = starts(width), rows = starts(height);
    const double n = double(window) * window;
    for (int top : rows)
        for (int left : columns) {
            double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
            for (int j = top; j < top + window; ++j)
                for (int i = left; i < left + window; ++i) {
                    const std::size_t k = std::size_t(j) * std::size_t(width) + std::size_t(i);
                    sx += x[k];
                    sy += y[k];
                    sxx += x[k] * x[k];
                    syy += y[k] * y[k];
                    sxy += x[k] * y[k];
                }
            const double mx = sx / n, my = sy / n;
            const double vx = sxx / n - mx * mx, vy = syy / n - my * my, cov = sxy / n - mx * my;
            sum += ((2 * mx * my + c1) * (2 * cov + c2)) / ((mx * mx + my * my + c1) * (vx + vy + c2));
            ++windows;
        }
    return sum / windows;
}

} // namespace

ImageQuality compareImages(const QImage &picture, const QImage &reference)
{
    ImageQuality quality;
    if (picture.isNull() || reference.isNull() || picture.size() != reference.size())
        return quality;
    const QImage a = picture.convertToFormat(QImage::Format_RGB32);
    const QImage b = reference.convertToFormat(QImage::Format_RGB32);
    quality.psnr = psnrOf(a, b);
    quality.ssim = ssimOf(a, b);
    quality.valid = true;
    return quality;
}

QImage referenceThumbnail(const QString &photoPath, const QSize &size, QString *error)
{
    // The same decoder and orientation as the thumbnail job, without any reduction.
    const DecodedPhoto whole = decodePhoto(photoPath, 0, 0);
    if (!whole.isValid()) {
        if (error)
            *error = whole.error;
        return QImage();
    }
    // Qt's smooth reduction averages every source pixel under each output pixel.
    return whole.glImage.mirrored()
        .convertToFormat(QImage::Format_RGB32)
        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
