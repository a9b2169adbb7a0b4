#ifndef IMAGEUTILS_PHOTODECODING_H
#define IMAGEUTILS_PHOTODECODING_H

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

// A photograph decoded and laid out for a texture upload: RGBA8888, bottom row
// first. Pure processor work, safe to run on any thread.
struct DecodedPhoto {
    QImage glImage;
    QSize photoSize; // the photograph's own size, before any reduction
    QString error;   // why it could not be read; empty on success

    bool isValid() const { return !glImage.isNull(); }
};

// Sees a photograph as decoded, before any conversion: the picture in the file's own
// orientation and format, and the photograph's full size.
using DecodedImageObserver = std::function<void(const QImage &decoded, const QSize &photoSize)>;

// Decodes `path`. When `minimumLongSide` > 0 and the decoder can reduce while
// decoding (JPEG), it decodes at 1/2, 1/4 or 1/8 scale as long as the longer
// side stays at least `minimumLongSide` (ksr::reducedDecodeSize). When
// `maxSide` > 0 the result is scaled down on the processor to fit (the card's
// maximum texture size). `observer`, when set, is called on this thread with the
// decoded picture, unless the decoder turned it (EXIF orientation) or it had to
// be fitted.
DecodedPhoto decodePhoto(const QString &path, int minimumLongSide, int maxSide,
                         const DecodedImageObserver &observer = DecodedImageObserver());

#endif
