// `orvelle-index inspect PHOTO` for photographs (.jpg, .jpeg, any case): the decoded size and the
// time of shot that the EXIF reader finds.

#include "filereporters.h"

#include "shottime.h"

#include <QImage>
#include <QImageReader>
#include <QJsonValue>

InspectResult inspectPhoto(const QString &fileName)
{
    InspectResult result;
    QImageReader reader(fileName);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(1024); // photographs beyond Qt's 256 MB default still decode
    const QImage image = reader.read();
    result.ok = !image.isNull();
    result.json.insert(QStringLiteral("width"), result.ok ? image.width() : 0);
    result.json.insert(QStringLiteral("height"), result.ok ? image.height() : 0);
    if (!result.ok)
        result.messages.append(
            QStringLiteral("\"%1\": does not decode: %2").arg(fileName, reader.errorString()));

    // The date the header gives, not the current time readShotTime falls back to.
    const std::optional<QDateTime> shotTime = readExifShotTime(fileName);
    result.json.insert(QStringLiteral("shotTime"),
                       shotTime ? QJsonValue(shotTime->toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")))
                                : QJsonValue(QJsonValue::Null));
    return result;
}
