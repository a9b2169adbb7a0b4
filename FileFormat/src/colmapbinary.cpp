#include "colmapbinary.h"

#include "sfmtextreader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>

namespace
{

// A named context: lupdate cannot file the texts of free functions otherwise.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ColmapModel)
};

class ByteReader
{
public:
    bool open(const QString &path, QString &error)
    {
        m_fileName = QFileInfo(path).fileName();
        QString why;
        if (!SfmFiles::readWhole(path, m_data, why)) {
            error = Texts::tr("%1 could not be read: %2").arg(m_fileName, why);
            return false;
        }
        return true;
    }

    qint64 remaining() const { return m_data.size() - m_position; }

    template <typename T> bool read(T &value)
    {
        if (remaining() < qint64(sizeof(T)))
            return false;
        value = qFromLittleEndian<T>(m_data.constData() + m_position);
        m_position += sizeof(T);
        return true;
    }
    bool readNumber(double &value) { return read(value) && SfmCameras::usableNumber(value); }
    bool skip(qint64 bytes)
    {
        if (bytes < 0 || remaining() < bytes)
            return false;
        m_position += bytes;
        return true;
    }
    // A NUL-terminated string.
    bool readName(QString &name)
    {
        const qsizetype end = m_data.indexOf('\0', m_position);
        if (end < 0)
            return false;
        name = QString::fromUtf8(m_data.constData() + m_position, end - m_position);
        m_position = end + 1;
        return true;
    }
    // A count of records of at least recordBytes each that the rest of the file can hold.
    bool readCount(quint64 &count, qint64 recordBytes)
    {
        return read(count) && count <= quint64(remaining() / recordBytes);
    }

    // "<file>, record <n>: " (records counted from 1; 0 is the header).
    QString where(quint64 record) const
    {
        return record == 0 ? Texts::tr("%1, header: ").arg(m_fileName)
                           : Texts::tr("%1, record %2: ").arg(m_fileName, QString::number(record));
    }
    QString fileName() const { return m_fileName; }

private:
    QByteArray m_data;
    qint64 m_position = 0;
    QString m_fileName;
};

QString truncatedText()
{
    return Texts::tr("the file ends inside this record or holds an unusable number");
}

QString countText()
{
    return Texts::tr("the count is larger than the rest of the file can hold");
}

QString trailingText(const ByteReader &reader)
{
    return Texts::tr("%1: %2 bytes follow the last record").arg(reader.fileName()).arg(reader.remaining());
}

} // namespace

namespace ColmapBinary
{

bool readCameras(const QString &path, ColmapData &data, QString &error)
{
    ByteReader reader;
    if (!reader.open(path, error))
        return false;
    data.camerasFile = reader.fileName();
    quint64 count = 0;
    // id, model, width, height and at least three parameters
    if (!reader.readCount(count, 4 + 4 + 8 + 8 + 3 * 8)) {
        error = reader.where(0) + countText();
        return false;
    }
    for (quint64 record = 1; record <= count; ++record) {
        ColmapCameraRecord camera;
        qint32 modelId = 0;
        quint64 width = 0, height = 0;
        if (!reader.read(camera.id) || !reader.read(modelId) || !reader.read(width) || !reader.read(height)) {
            error = reader.where(record) + truncatedText();
            return false;
        }
        camera.model = ColmapFormat::modelName(modelId);
        const int parameters = ColmapFormat::parameterCount(camera.model);
        if (parameters < 0) {
            error = reader.where(record) + ColmapFormat::unsupportedModelText(camera.id, camera.model);
            return false;
        }
        if (width > quint64(ColmapFormat::maxImageSide) || height > quint64(ColmapFormat::maxImageSide)) {
            error = reader.where(record) +
                    Texts::tr("the image size %1 x %2 is not plausible").arg(width).arg(height);
            return false;
        }
        camera.width = int(width);
        camera.height = int(height);
        for (int i = 0; i < parameters; ++i) {
            double value = 0;
            if (!reader.readNumber(value)) {
                error = reader.where(record) + truncatedText();
                return false;
            }
            camera.params.append(value);
        }
        if (data.cameras.contains(camera.id)) {
            error = reader.where(record) + Texts::tr("camera %1 is listed twice").arg(camera.id);
            return false;
        }
        data.cameras.insert(camera.id, camera);
    }
    if (reader.remaining() != 0) {
        error = trailingText(reader);
        return false;
    }
    return true;
}

bool readImages(const QString &path, ColmapData &data, QString &error)
{
    ByteReader reader;
    if (!reader.open(path, error))
        return false;
    quint64 count = 0;
    // id, pose, camera id, an empty name and a point count
    if (!reader.readCount(count, 4 + 7 * 8 + 4 + 1 + 8)) {
        error = reader.where(0) + countText();
        return false;
    }
    data.images.reserve(qsizetype(count));
    for (quint64 record = 1; record <= count; ++record) {
        ColmapImageRecord image;
        image.where = reader.where(record);
        bool ok = reader.read(image.id);
        for (int i = 0; ok && i < 4; ++i)
            ok = reader.readNumber(image.quaternion[i]);
        for (int i = 0; ok && i < 3; ++i)
            ok = reader.readNumber(image.translation[i]);
        quint64 points = 0;
        ok = ok && reader.read(image.cameraId) && reader.readName(image.name);
        if (!ok) {
            error = image.where + truncatedText();
            return false;
        }
        // Each 2D point: x, y and a point id.
        if (!reader.readCount(points, 24) || !reader.skip(qint64(points) * 24)) {
            error = image.where +
                    Texts::tr("the count of 2D points is larger than the rest of the file can hold");
            return false;
        }
        data.images.append(image);
    }
    if (reader.remaining() != 0) {
        error = trailingText(reader);
        return false;
    }
    return true;
}

bool readPoints(const QString &path, ColmapData &data, QString &error)
{
    ByteReader reader;
    if (!reader.open(path, error))
        return false;
    quint64 count = 0;
    // id, position, colour, error, track length
    if (!reader.readCount(count, 8 + 3 * 8 + 3 + 8 + 8)) {
        error = reader.where(0) + countText();
        return false;
    }
    data.points.reserve(qsizetype(count));
    for (quint64 record = 1; record <= count; ++record) {
        ColmapPointRecord point;
        point.where = reader.where(record);
        quint64 id = 0, trackLength = 0;
        double pointError = 0;
        bool ok = reader.read(id);
        for (int i = 0; ok && i < 3; ++i)
            ok = reader.readNumber(point.position[i]);
        for (int i = 0; ok && i < 3; ++i)
            ok = reader.read(point.colour[i]);
        ok = ok && reader.read(pointError);
        if (!ok) {
            error = point.where + truncatedText();
            return false;
        }
        // Each track element: image id and 2D point index.
        if (!reader.readCount(trackLength, 8)) {
            error = point.where + Texts::tr("the track length is larger than the rest of the file can hold");
            return false;
        }
        point.track.reserve(qsizetype(trackLength));
        for (quint64 t = 0; t < trackLength; ++t) {
            quint32 imageId = 0, pointIndex = 0;
            reader.read(imageId);
            reader.read(pointIndex);
            point.track.append(imageId);
        }
        data.points.append(point);
    }
    if (reader.remaining() != 0) {
        error = trailingText(reader);
        return false;
    }
    return true;
}

} // namespace ColmapBinary
