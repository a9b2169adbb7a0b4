#include "downsamplingthread.h"

#include "gldownsampler.h"
#include "jpegcompleteness.h"
#include "photodecoding.h"

#include <ksr/decodescale.h>
#include <ksr/inputlimits.h>
#include <ksr/safefile.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFuture>
#include <QImageReader>
#include <QMap>
#include <QSet>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

DownsamplingThread::DownsamplingThread(const QStringList &inputs, const QStringList &outputs,
                                       std::shared_ptr<FeatureStore> features, ImageFeatureNeeds featureNeeds,
                                       QObject *parent)
    : QThread(parent), m_inputs(inputs), m_outputs(outputs), m_downsampler(new GLDownsampler),
      m_features(featureNeeds.colors ? std::move(features) : nullptr), m_featureNeeds(featureNeeds)
{
    m_downsampler->moveContextToThread(this);
}

DownsamplingThread::~DownsamplingThread()
{
    requestStop();
    wait();
    delete m_downsampler;
}

QString DownsamplingThread::thumbnailPath(const QString &imagePath)
{
    // An empty path would otherwise become a "thumbnails" folder in the current directory.
    if (imagePath.isEmpty())
        return QString();
    const QFileInfo image(imagePath);
    // The canonical path of a missing file is ".", not empty: resolve its folder instead.
    QString folder =
        image.exists() ? image.canonicalPath() : QFileInfo(image.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        folder = image.absolutePath();
    return folder + QStringLiteral("/thumbnails/") + image.fileName();
}

bool DownsamplingThread::isUsableThumbnail(const QString &path)
{
    QByteArray bytes;
    if (ksr::readBoundedFile(path, bytes) != ksr::ReadResult::Ok || bytes.isEmpty())
        return false;
    // The JPEG decoder fills a cut file with grey and calls it a success: the file's structure tells.
    if (JpegCompleteness::check(bytes) == JpegCompleteness::Result::Cut)
        return false;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Decoded to know it decodes, at the smallest scale the decoder offers: the photographs
    // themselves serve as thumbnails in some modes, and a whole decode of each costs seconds.
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    const QSize smallest = ksr::reducedDecodeSize(size, reader.format(), 1);
    if (smallest != size)
        reader.setScaledSize(smallest);
    return !reader.read().isNull();
}

QString DownsamplingThread::linkOnTheWay(const QString &thumbnailPath)
{
    // The folder above "thumbnails" is the photograph's canonical one: no link is left in it.
    const QFileInfo thumbnail(thumbnailPath);
    const QFileInfo folder(thumbnail.absolutePath());
    if (folder.isSymLink())
        return folder.filePath();
    return thumbnail.isSymLink() ? thumbnail.filePath() : QString();
}

int DownsamplingThread::decodeLongSide(ImageFeatureNeeds featureNeeds, bool storesFeatures)
{
    // Colours from the reduced decode keep their own scale, so that one decode still serves both.
    static_assert(int(2 * ThumbnailSide) == ksr::ReducedDecodeLongSide);
    if (storesFeatures && featureNeeds.colors && featureNeeds.decoding == FeatureDecoding::Reduced)
        return ksr::ReducedDecodeLongSide;
    return int(ThumbnailSide);
}

void DownsamplingThread::run()
{
    const int n = int(m_inputs.size());
    if (n == 0 || m_inputs.size() != m_outputs.size())
        return;

    // Pictures beyond the card's texture size are fitted when uploaded.
    const int minimumDecodedSide = decodeLongSide(m_featureNeeds, m_features != nullptr);

    // Photographs are decoded on other cores while this thread works the card;
    // decoding starts at once, so that it overlaps the GL start-up.
    QThreadPool decoders;
    decoders.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 4));
    const int lookAhead = decoders.maxThreadCount() + 2;
    QMap<int, QFuture<DecodedPhoto>> pending;
    // Called on the decoding threads with photographs decoded whole, neither turned nor fitted.
    auto observerOf = [this](int k) -> DecodedImageObserver {
        if (!m_features)
            return {};
        return [features = m_features, needs = m_featureNeeds, path = m_inputs[k]](const QImage &decoded,
                                                                                   const QSize &photoSize) {
            // A reduced decode stands in for the full-size one only where it is the whole picture.
            if (needs.decoding == FeatureDecoding::FullSize && decoded.size() != photoSize)
                return;
            features->store(computeImageFeatures(path, needs, decoded));
        };
    };
    int nextToDecode = 0;
    bool glReady = true;
    auto decodeAhead = [&]() {
        while (glReady && pending.size() < lookAhead && nextToDecode < n) {
            const int k = nextToDecode++;
            if (isUsableThumbnail(m_outputs[k]))
                continue;
            pending.insert(k, QtConcurrent::run(&decoders, decodePhoto, m_inputs[k], minimumDecodedSide, 0,
                                                observerOf(k)));
        }
    };
    decodeAhead();

    glReady = m_downsampler->updateGL() && m_downsampler->warmUp();
    const QString glProblem = glReady ? QString() : m_downsampler->errorString();
    m_downsampler->setSeparateOrientations(true);

    QVector<int> written;
    for (int i = 0; i < n && !m_stopRequested.load(); ++i) {
        nextToDecode = std::max(nextToDecode, i);
        decodeAhead();
        QFuture<DecodedPhoto> decoding = pending.take(i);
        const QString &output = m_outputs[i];
        const QFileInfo outputInfo(output);

        if (!decoding.isValid() && isUsableThumbnail(output)) {
            // Never overwritten: a rerun only fills the gaps.
            emit newThumbnail(i, output);
        } else if (const QString link = linkOnTheWay(output); !link.isEmpty()) {
            emit failed(i, tr("%1 is a link: thumbnails are written only into a folder beside the "
                              "photographs, never through a link to elsewhere")
                               .arg(QDir::toNativeSeparators(link)));
        } else if (!glReady) {
            emit failed(i, tr("OpenGL is not usable: %1").arg(glProblem));
        } else if (!QFileInfo(m_inputs[i]).isFile()) {
            // An empty path is a photograph the import did not find.
            emit failed(i, m_inputs[i].isEmpty()
                               ? tr("not found")
                               : tr("%1 not found").arg(QDir::toNativeSeparators(m_inputs[i])));
        } else {
            const DecodedPhoto photo = decoding.isValid()
                                           ? decoding.result()
                                           : decodePhoto(m_inputs[i], minimumDecodedSide, 0, observerOf(i));
            decodeAhead();
            QString error;
            if (!photo.isValid()) {
                emit failed(i, tr("Could not read the image %1: %2")
                                   .arg(QDir::toNativeSeparators(m_inputs[i]), photo.error));
            } else if (!m_downsampler->loadDecodedImage(photo)) {
                emit failed(i, tr("Could not load the image %1 on the graphics card: %2")
                                   .arg(QDir::toNativeSeparators(m_inputs[i]), m_downsampler->errorString()));
            } else if (!QDir().mkpath(outputInfo.absolutePath())) {
                // Made only for a photograph that was read: a bad name leaves no folder behind.
                emit failed(i, tr("Could not create the folder %1.")
                                   .arg(QDir::toNativeSeparators(outputInfo.absolutePath())));
            } else {
                m_downsampler->setOutputSize(ThumbnailSide, 0);
                m_downsampler->updateGL();
                if (m_downsampler->save(output, ThumbnailDpi, &error, GLDownsampler::Sync::Later)) {
                    written.append(i);
                    emit newThumbnail(i, output);
                } else
                    emit failed(i, tr("Could not write the thumbnail %1: %2")
                                       .arg(QDir::toNativeSeparators(output), error));
            }
        }
        emit progress(int(double(i + 1) / double(n) * 100.0));
    }
    decoders.clear();
    decoders.waitForDone();
    syncWritten(written);
}

// One sync per file system for every thumbnail written, rather than two per thumbnail. A disk that
// then reports a failed write leaves them all unsure: they are reported as not made, and a later
// run checks each and makes again those that are not whole.
void DownsamplingThread::syncWritten(const QVector<int> &written)
{
    QSet<QString> folders;
    for (int i : written)
        folders.insert(QFileInfo(m_outputs[i]).absolutePath());
    for (const QString &folder : std::as_const(folders)) {
        QString why;
        if (ksr::SafeFile::syncFileSystem(folder, &why))
            continue;
        for (int i : written)
            emit failed(i, tr("The thumbnail %1 may not have reached the disk: %2")
                               .arg(QDir::toNativeSeparators(m_outputs[i]), why));
        return;
    }
}
