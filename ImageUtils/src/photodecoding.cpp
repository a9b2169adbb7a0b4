#include "photodecoding.h"

#include <ksr/inputlimits.h>

#include <QImageReader>

#include <algorithm>

namespace
{

QSize fitInside(const QSize &size, int maxSide)
{
    if (maxSide <= 0 || std::max(size.width(), size.height()) <= maxSide)
        return size;
    return size.scaled(maxSide, maxSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace

DecodedPhoto decodePhoto(const QString &path, int minimumLongSide, int maxSide)
{
    DecodedPhoto photo;
    // Checked before opening: a FIFO would block the reader, a folder would read as "no data".
    const QString fileProblem = ksr::inputFileProblem(path);
    if (!fileProblem.isEmpty()) {
        photo.error = QStringLiteral("the photograph %1").arg(fileProblem);
        return photo;
    }
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!ksr::withinPixelBudget(size, &photo.error))
        return photo;
    if (size.isValid() && !size.isEmpty()) {
        photo.photoSize = size;
        QSize target = size;
        const bool reducesWhileDecoding =
            reader.format() == "jpeg" && reader.supportsOption(QImageIOHandler::ScaledSize);
        if (minimumLongSide > 0 && reducesWhileDecoding) {
            const int longSide = std::max(size.width(), size.height());
            int denominator = 1;
            while (denominator < 8 && longSide / (denominator * 2) >= minimumLongSide)
                denominator *= 2;
            // Rounding down keeps the decoder on exactly this scale.
            target = QSize(size.width() / denominator, size.height() / denominator).expandedTo(QSize(1, 1));
        }
        target = fitInside(target, maxSide);
        if (target != size)
            reader.setScaledSize(target);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        photo.error = reader.errorString();
        if (photo.error.isEmpty())
            photo.error = QStringLiteral("Unknown error");
        return photo;
    }
    if (!photo.photoSize.isValid())
        photo.photoSize = image.size();
    // A transformation stored in the file may have turned the picture.
    if ((image.width() > image.height()) != (photo.photoSize.width() > photo.photoSize.height()) &&
        image.width() != image.height())
        photo.photoSize.transpose();
    const QSize fitted = fitInside(image.size(), maxSide);
    if (fitted != image.size())
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    photo.glImage = image.convertToFormat(QImage::Format_RGBA8888).mirrored();
    return photo;
}
