#pragma once
// The reduced decode of the colour features, which the thumbnails share when they serve them, so
// that one decode of a photograph does both. Qt Core only, re-entrant.

#include <QByteArray>
#include <QSize>

#include <algorithm>

namespace ksr
{

// Twice the thumbnail side: the colour features' reduced decode keeps at least this on the longer side.
constexpr int ReducedDecodeLongSide = 512;

// The size to ask the decoder of a `format` picture of `size` for: a JPEG shrinks by the largest
// of 2, 4 and 8 that keeps the longer side at least minimumLongSide (libjpeg reduces while
// decoding, so rounding down keeps it on exactly that scale); other formats, unknown sizes and
// a minimumLongSide of 0 keep `size`.
inline QSize reducedDecodeSize(const QSize &size, const QByteArray &format,
                               int minimumLongSide = ReducedDecodeLongSide)
{
    if (minimumLongSide <= 0 || format != "jpeg" || !size.isValid() || size.isEmpty())
        return size;
    const int longSide = std::max(size.width(), size.height());
    int denominator = 1;
    while (denominator < 8 && longSide / (denominator * 2) >= minimumLongSide)
        denominator *= 2;
    return QSize(size.width() / denominator, size.height() / denominator).expandedTo(QSize(1, 1));
}

} // namespace ksr
