#pragma once
// Small pictures of the shots' thumbnails for the table, the order strip and anything else that
// lists shots. Files are decoded on a worker pool, scaled to fit iconSize() and kept in memory;
// the GUI thread never decodes. GUI thread only (the workers report back through queued calls).

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>

class ThumbnailCache : public QObject
{
    Q_OBJECT
public:
    // iconSize: the box every picture is scaled into, keeping its aspect.
    explicit ThumbnailCache(const QSize &iconSize, QObject *parent = nullptr);
    // Waits for the decodes under way; their results are dropped.
    ~ThumbnailCache() override;

    QSize iconSize() const { return m_iconSize; }

    // The picture of the file when it is decoded; otherwise a null pixmap, and the file is queued
    // for decoding (once), after which ready(path) tells that it can be asked for again. A file
    // that cannot be decoded stays null and is not tried again until clear().
    QPixmap picture(const QString &path);
    bool contains(const QString &path) const { return m_pictures.contains(path); }
    // Decodes still under way.
    int pendingCount() const { return int(m_pending.size()); }

    // Forgets every picture (files may have been rewritten).
    void clear();

signals:
    void ready(const QString &path);

private:
    void decoded(const QString &path, quint64 generation, const QImage &image);

    QSize m_iconSize;
    QThreadPool m_pool;
    QHash<QString, QPixmap> m_pictures;
    QSet<QString> m_pending;
    QSet<QString> m_failed;
    quint64 m_generation = 0; // bumped by clear(): late results of older decodes are dropped
};
