// `orvelle-index inspect PHOTO` for photographs (.jpg, .jpeg, any case): the decoded size and the
// time of shot that the EXIF reader finds.

#include "filereporters.h"

#include "shottime.h"

#include <ksr/inputlimits.h>

#include <QImage>
#include <QImageReader>
#include <QJsonValue>

InspectResult inspectPhoto(const QString &fileName)
{
    InspectResult result;
    QString problem = ksr::inputFileProblem(fileName);
    if (!problem.isEmpty()) {
        // Not opened: a FIFO would block the reader.
        result.messages.append(QStringLiteral("\"%1\": %2").arg(fileName, problem));
        for (const char *key : {"width", "height"})
            result.json.insert(QLatin1String(key), 0);
        result.json.insert(QStringLiteral("shotTime"), QJsonValue(QJsonValue::Null));
        return result;
    }
    QImageReader reader(fileName);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(1024); // photographs beyond Qt's 256 MB default still decode
    const bool withinBudget = ksr::withinPixelBudget(reader.size(), &problem);
    const QImage image = withinBudget ? reader.read() : QImage();
    result.ok = !image.isNull();
    result.json.insert(QStringLiteral("width"), result.ok ? image.width() : 0);
    result.json.insert(QStringLiteral("height"), result.ok ? image.height() : 0);
    if (!result.ok)
        result.messages.append(QStringLiteral("\"%1\": does not decode: %2")
                                   .arg(fileName, withinBudget ? reader.errorString() : problem));

    // The date the header gives, not the current time readShotTime falls back to.
    const std::optional<QDateTime> shotTime = readExifShotTime(fileName);
    result.json.insert(QStringLiteral("shotTime"),
                       shotTime ? QJsonValue(shotTime->toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")))
                                : QJsonValue(QJsonValue::Null));
    return result;
}
