#ifndef IMAGEUTILS_PHOTODECODING_H
#define IMAGEUTILS_PHOTODECODING_H

#include <QImage>
#include <QSize>
#include <QString>

// A photograph decoded and laid out for a texture upload: RGBA8888, bottom row
// first. Pure processor work, safe to run on any thread.
struct DecodedPhoto {
    QImage glImage;
    QSize photoSize; // the photograph's own size, before any reduction
    QString error;   // why it could not be read; empty on success

    bool isValid() const { return !glImage.isNull(); }
};

// Decodes `path`. When `minimumLongSide` > 0 and the decoder can reduce while
// decoding (JPEG), it decodes at 1/2, 1/4 or 1/8 scale as long as the longer
// side stays at least `minimumLongSide`, so later filtering sees enough
// detail. When `maxSide` > 0 the result is scaled down on the processor to fit
// (the card's maximum texture size).
DecodedPhoto decodePhoto(const QString &path, int minimumLongSide, int maxSide);

#endif
