// The index file writer.
#include "orvelleindex.h"

#include "cameraelement.h"
#include "webaddress.h"

#include <ksr/safefile.h>

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QXmlStreamWriter>

using CameraElement::formatNumber;

namespace
{

QString rgbList(const Color4f &color)
{
    QString text;
    for (float v : {color.red, color.green, color.blue})
        text += formatNumber(v) + QLatin1Char(' ');
    return text;
}

QString upDirectionText(const ksr::Point3f &up)
{
    return formatNumber(up.x) + QLatin1Char(' ') + formatNumber(up.y) + QLatin1Char(' ') + formatNumber(up.z);
}

} // namespace

bool OrvelleIndex::setDomeBackground(const QVector<float> &heights, const QVector<Color4f> &colors)
{
    if (heights.size() != colors.size())
        return false;
    m_backgroundKind = DomeBackground;
    m_domeVertices.clear();
    for (int j = 0; j < heights.size(); ++j)
        m_domeVertices.append({colors[j].red, colors[j].green, colors[j].blue, heights[j]});
    return true;
}

QString OrvelleIndex::relativePath(const QString &path, const QString &refDir)
{
    if (refDir.isEmpty() || isWebAddress(path) || !QDir::isAbsolutePath(path))
        return path;
    // Compared as text, so /data2/x.jpg is not under /data.
    const QString prefix = refDir.endsWith(QLatin1Char('/')) ? refDir : refDir + QLatin1Char('/');
    if (path.startsWith(prefix))
        return QStringLiteral("./") + path.mid(prefix.size());
    if (path == refDir)
        return path;
    // Elsewhere: "./" then a path that climbs out of the folder, which a reader that replaces the
    // "./" with the folder resolves to the same file. Another drive has no such path.
    const QString climbing = QDir(refDir).relativeFilePath(path);
    return QDir::isRelativePath(climbing) ? QStringLiteral("./") + climbing : path;
}

bool OrvelleIndex::writeCollection(ShotCollection &collection, QXmlStreamWriter &writer,
                                   bool useRelativePaths, const QString &refDir)
{
    Q_ASSERT_X(!useRelativePaths || !refDir.isEmpty(), "OrvelleIndex::writeCollection",
               "!useRelativePaths || !refDir.isEmpty()");
    const int n = collection.shotCount();
    if (n == 0)
        return false;
    collection.fillWriteDefaults();
    // Cameras and order are checked too: a short camera list or a broken order would be read
    // out of range below.
    if (!collection.isConsistent())
        return false;

    auto path = [&](const QString &p) { return useRelativePaths ? relativePath(p, refDir) : p; };

    writer.writeStartElement(QStringLiteral("collection"));
    if (!collection.name().isEmpty())
        writer.writeAttribute(QStringLiteral("name"), collection.name());
    const ksr::Matrix44f &frame = collection.shotFrame();
    if (!frame.isIdentity()) {
        QString text;
        for (int i = 0; i < 16; ++i)
            text += formatNumber(frame.data()[i]) + QLatin1Char(' ');
        writer.writeAttribute(QStringLiteral("shotFrame"), text);
    }
    writer.writeAttribute(QStringLiteral("thumbnailBar"), collection.thumbnailBarPosition() != 0
                                                              ? QStringLiteral("top")
                                                              : QStringLiteral("bottom"));
    writer.writeAttribute(QStringLiteral("shotColor"), rgbList(collection.shotColor()));
    writer.writeAttribute(QStringLiteral("frameletsScale"), formatNumber(collection.frameletsScale()));
    writer.writeAttribute(QStringLiteral("projectionReliability"),
                          formatNumber(collection.projectionReliability()));

    for (int p = 0; p < n; ++p) {
        const int shot = collection.order().at(p);
        writer.writeStartElement(QStringLiteral("shot"));
        writer.writeAttribute(QStringLiteral("id"), QString::number(p));
        writer.writeAttribute(QStringLiteral("sem"), QString::number(collection.clusterNumbers().at(shot)));
        writer.writeAttribute(QStringLiteral("colormap"), path(collection.imagePaths().at(shot)));
        writer.writeAttribute(QStringLiteral("thumbnail"), path(collection.thumbnailPaths().at(shot)));
        writer.writeAttribute(QStringLiteral("projectable"), collection.projectableFlags().at(shot));
        writer.writeAttribute(QStringLiteral("depth"), formatNumber(collection.depths().at(shot)));
        CameraElement::writeCamera(collection.cameras().at(shot), writer, QStringLiteral("KSRCamera"));
        writer.writeEndElement();
    }
    writer.writeEndElement();
    return true;
}

bool OrvelleIndex::save(const QString &fileName, bool useRelativePaths)
{
    m_errorString.clear();
    m_skippedCollections.clear();

    // Written beside the target and renamed over it only when every byte reached the disk, so a
    // failed save (full disk included) never damages an index that is already there.
    ksr::SafeFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        m_errorString =
            QStringLiteral("Cannot open \"%1\" for writing: %2").arg(fileName, file.errorString());
        return false;
    }
    const QString refDir = QFileInfo(QFileInfo(fileName).absolutePath()).canonicalFilePath();
    if (useRelativePaths && refDir.isEmpty()) {
        file.discard();
        m_errorString = QStringLiteral("Cannot resolve the folder of \"%1\"").arg(fileName);
        return false;
    }

    QXmlStreamWriter writer(&file);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(2);
    writer.writeStartDocument();

    writer.writeStartElement(QStringLiteral("scene"));
    if (!m_name.isEmpty())
        writer.writeAttribute(QStringLiteral("name"), m_name);
    writer.writeAttribute(QStringLiteral("updirection"), upDirectionText(m_upDirection));

    for (int i = 0; i < m_collections.size(); ++i) {
        if (!writeCollection(m_collections[i], writer, useRelativePaths, refDir)) {
            m_skippedCollections.append(i);
            qWarning() << "index writer: collection" << i << "left out: no images or per-shot lists disagree";
        }
    }

    writer.writeStartElement(QStringLiteral("model"));
    writer.writeAttribute(QStringLiteral("filename"),
                          useRelativePaths ? relativePath(m_modelFileName, refDir) : m_modelFileName);
    writer.writeEndElement();

    writer.writeStartElement(QStringLiteral("camera"));
    writer.writeStartElement(QStringLiteral("physic"));
    writer.writeAttribute(QStringLiteral("speed"), formatNumber(m_cameraSpeed));
    writer.writeEndElement();
    if (m_startCamera.isSet())
        CameraElement::writeCamera(m_startCamera, writer, QStringLiteral("StartCam"));
    writer.writeEndElement();

    writer.writeStartElement(QStringLiteral("background"));
    writer.writeAttribute(QStringLiteral("rgb"), rgbList(m_backgroundColor));
    if (m_backgroundKind == OrthoPlaneBackground) {
        writer.writeEmptyElement(QStringLiteral("orthoPlane"));
    } else if (m_backgroundKind == DomeBackground) {
        writer.writeStartElement(QStringLiteral("sphere"));
        for (const DomeVertex &v : m_domeVertices) {
            writer.writeStartElement(QStringLiteral("vertex"));
            writer.writeAttribute(QStringLiteral("height"), formatNumber(v.height));
            writer.writeAttribute(QStringLiteral("rgb"), formatNumber(v.red) + QLatin1Char(' ') +
                                                             formatNumber(v.green) + QLatin1Char(' ') +
                                                             formatNumber(v.blue));
            writer.writeEndElement();
        }
        writer.writeEndElement();
    }
    writer.writeEndElement();

    writer.writeStartElement(QStringLiteral("lighting"));
    writer.writeAttribute(QStringLiteral("enabled"),
                          m_lighting ? QStringLiteral("true") : QStringLiteral("false"));
    writer.writeEndElement();

    writer.writeEndElement();
    writer.writeEndDocument();

    if (writer.hasError()) {
        // The writer also stops at text XML cannot hold (control characters, lone surrogates).
        m_errorString = file.hasFailed()
                            ? QStringLiteral("Writing \"%1\" failed: %2").arg(fileName, file.errorString())
                            : QStringLiteral("Writing \"%1\" failed: a name or path holds characters an XML "
                                             "file cannot store")
                                  .arg(fileName);
        file.discard();
        return false;
    }
    if (!file.commit()) {
        m_errorString = QStringLiteral("Writing \"%1\" failed: %2").arg(fileName, file.errorString());
        return false;
    }
    return true;
}
