#include "photodecoding.h"

#include "jpegcompleteness.h"

#include <ksr/decodebudget.h>
#include <ksr/decodescale.h>
#include <ksr/inputlimits.h>

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <utility>

namespace
{

QSize fitInside(const QSize &size, int maxSide)
{
    if (maxSide <= 0 || std::max(size.width(), size.height()) <= maxSide)
        return size;
    return size.scaled(maxSide, maxSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace

DecodedPhoto decodePhoto(const QString &path, int minimumLongSide, int maxSide,
                         const DecodedImageObserver &observer)
{
    DecodedPhoto photo;
    // Checked before opening: a FIFO would block the reader, a folder would read as "no data".
    const QString fileProblem = ksr::inputFileProblem(path);
    if (!fileProblem.isEmpty()) {
        photo.error = QStringLiteral("the photograph %1").arg(fileProblem);
        return photo;
    }
    QByteArray bytes;
    QString readProblem;
    if (ksr::readBoundedFile(path, bytes, &readProblem) != ksr::ReadResult::Ok) {
        photo.error = readProblem;
        return photo;
    }
    // Read once: the bytes serve the completeness check and the decoder.
    if (JpegCompleteness::check(bytes) == JpegCompleteness::Result::Cut) {
        photo.error =
            QStringLiteral("the photograph is cut short or damaged: its data end before the JPEG end marker");
        return photo;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Named by its content as the decoder names it ("jpeg"), else by the file's suffix.
    QByteArray format = QImageReader::imageFormat(&buffer);
    if (format.isEmpty())
        format = QFileInfo(path).suffix().toLower().toLatin1();
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    bool fittedWhileDecoding = false;
    if (!ksr::withinPixelBudget(size, &photo.error))
        return photo;
    if (size.isValid() && !size.isEmpty()) {
        photo.photoSize = size;
        // Reduced while decoding (JPEG) as long as the longer side stays at least minimumLongSide,
        // so later filtering sees enough detail.
        const QSize reduced = ksr::reducedDecodeSize(size, reader.format(), minimumLongSide);
        const QSize target = fitInside(reduced, maxSide);
        fittedWhileDecoding = target != reduced;
        if (target != size)
            reader.setScaledSize(target);
    }
    // Held until the decoded picture has become the upload copy.
    const ksr::DecodeBudget budget(
        ksr::DecodeBudget::bytesFor(reader.scaledSize().isValid() ? reader.scaledSize() : size));
    QImage image = reader.read();
    if (image.isNull()) {
        photo.error = reader.errorString();
        if (photo.error.isEmpty())
            photo.error = QStringLiteral("Unknown error");
        return photo;
    }
    if (!photo.photoSize.isValid())
        photo.photoSize = image.size();
    // Shown only as the file holds it: turned or fitted pixels are not what another reader decodes.
    const bool turned =
        reader.autoTransform() && reader.transformation() != QImageIOHandler::TransformationNone;
    if (observer && !turned && !fittedWhileDecoding && fitInside(image.size(), maxSide) == image.size())
        observer(image, photo.photoSize);
    // A transformation stored in the file may have turned the picture.
    if ((image.width() > image.height()) != (photo.photoSize.width() > photo.photoSize.height()) &&
        image.width() != image.height())
        photo.photoSize.transpose();
    const QSize fitted = fitInside(image.size(), maxSide);
    if (fitted != image.size())
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Converted and turned over in place where the format allows: no copy of the picture.
    photo.glImage = std::move(image).convertToFormat(QImage::Format_RGBA8888).mirrored();
    return photo;
}
