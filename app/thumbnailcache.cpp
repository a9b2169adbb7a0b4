#include "thumbnailcache.h"

#include <QImageReader>
#include <QMetaObject>
#include <QThread>

namespace
{

// Decodes straight to the small size where the format allows (JPEG scales while decoding).
QImage decodeScaled(const QString &path, const QSize &box)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid())
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image = reader.read();
    if (!image.isNull() && (image.width() > box.width() || image.height() > box.height()))
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

ThumbnailCache::ThumbnailCache(const QSize &iconSize, QObject *parent) : QObject(parent), m_iconSize(iconSize)
{
    // One core stays free for the GUI and the jobs.
    m_pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount() - 1));
}

ThumbnailCache::~ThumbnailCache()
{
    m_pool.clear();
    m_pool.waitForDone();
}

QPixmap ThumbnailCache::picture(const QString &path)
{
    if (path.isEmpty())
        return QPixmap();
    const auto found = m_pictures.constFind(path);
    if (found != m_pictures.constEnd())
        return *found;
    if (m_pending.contains(path) || m_failed.contains(path))
        return QPixmap();
    m_pending.insert(path);
    const QSize box = m_iconSize;
    const quint64 generation = m_generation;
    // The destructor waits for the pool, so the worker may name this object; the queued call
    // is dropped if the cache is gone by the time it would run.
    m_pool.start([this, path, box, generation] {
        const QImage image = decodeScaled(path, box);
        QMetaObject::invokeMethod(
            this, [this, path, generation, image] { decoded(path, generation, image); },
            Qt::QueuedConnection);
    });
    return QPixmap();
}

void ThumbnailCache::decoded(const QString &path, quint64 generation, const QImage &image)
{
    if (generation != m_generation)
        return;
    m_pending.remove(path);
    if (image.isNull()) {
        m_failed.insert(path);
        return;
    }
    m_pictures.insert(path, QPixmap::fromImage(image));
    emit ready(path);
}

void ThumbnailCache::clear()
{
    ++m_generation;
    m_pool.clear();
    m_pictures.clear();
    m_pending.clear();
    m_failed.clear();
}
