#ifndef IMAGEUTILS_IMAGEQUALITY_H
#define IMAGEUTILS_IMAGEQUALITY_H

#include <QImage>
#include <QSize>
#include <QString>

// How close a reduced picture is to a reference of the same size. Re-entrant.
struct ImageQuality {
    double psnr = 0;    // dB over the red, green and blue channels; 99 for identical pictures
    double ssim = 0;    // structural similarity of the luma, 8 x 8 windows every 4 pixels; 1 when identical
    bool valid = false; // false when the sizes differ or a picture is null
};

ImageQuality compareImages(const QImage &picture, const QImage &reference);

// The reference thumbnail of a photograph: decoded whole (oriented as the thumbnail job orients it)
// and reduced to `size` by area averaging on the processor. Null, with `error` set, if unreadable.
QImage referenceThumbnail(const QString &photoPath, const QSize &size, QString *error = nullptr);

#endif
