#ifndef IMAGEUTILS_DOWNSAMPLINGTHREAD_H
#define IMAGEUTILS_DOWNSAMPLINGTHREAD_H

#include "featurestore.h"

#include <QStringList>
#include <QThread>

#include <atomic>
#include <memory>

class GLDownsampler;

// The thumbnail job: for each image path i writes thumbnail path i (at most
// 256 pixels on the longer side, 75 dpi), unless that file already exists.
//
// One-shot. Construct on the GUI thread (the downsampler and its GL context
// are made there and the context is handed to this thread), start(), and
// delete on the GUI thread once finished() has been emitted; the downsampler
// goes with it. The destructor asks a running job to stop and waits for it.
class DownsamplingThread : public QThread
{
    Q_OBJECT
public:
    static constexpr unsigned int ThumbnailSide = 256;
    static constexpr float ThumbnailDpi = 75.0f;

    // features, when set, receives the image features (as featureNeeds asks) of each photograph
    // decoded for its thumbnail, so that the ordering need not decode it again. The reduced decode
    // serves a full-size featureNeeds.decoding only where it is the whole picture. Nothing is
    // stored unless featureNeeds asks for colours: without them the ordering decodes no pixel.
    DownsamplingThread(const QStringList &inputs, const QStringList &outputs,
                       std::shared_ptr<FeatureStore> features = nullptr, ImageFeatureNeeds featureNeeds = {},
                       QObject *parent = nullptr);
    ~DownsamplingThread() override;

    // Thread-safe: the job stops before the next photograph.
    void requestStop() { m_stopRequested.store(true); }

    GLDownsampler *downsampler() const { return m_downsampler; }

    // Where the thumbnail of `imagePath` goes: the image's canonical folder,
    // then "thumbnails", then the image's file name. A missing photograph keeps
    // its (canonical) folder; an empty path gives an empty path.
    static QString thumbnailPath(const QString &imagePath);
    // An existing thumbnail is kept only when it is a whole picture: an empty or cut file (left by
    // an older version on a full disk) is made again.
    static bool isUsableThumbnail(const QString &path);
    // The link on the way to a thumbnail to be written (its "thumbnails" folder or the file itself),
    // empty when there is none: a write through it would land wherever it leads, outside the dataset.
    static QString linkOnTheWay(const QString &thumbnailPath);
    // The least longer side a JPEG is decoded at (1/2, 1/4 or 1/8 scale) for its thumbnail: the
    // thumbnail's own side (a 4000 x 3000 photograph decodes at 1/8, 500 x 375), or the colour
    // features' reduced side when the decode also serves them.
    static int decodeLongSide(ImageFeatureNeeds featureNeeds, bool storesFeatures);

signals:
    // A thumbnail that exists (just written or found already there).
    void newThumbnail(int i, const QString &filename);
    void progress(int perc);
    // Thumbnail i could not be made; `reason` is meant for the user.
    void failed(int i, const QString &reason);

protected:
    void run() override;

private:
    void syncWritten(const QVector<int> &written);

    const QStringList m_inputs;
    const QStringList m_outputs;
    GLDownsampler *m_downsampler = nullptr;
    const std::shared_ptr<FeatureStore> m_features;
    const ImageFeatureNeeds m_featureNeeds;
    std::atomic<bool> m_stopRequested{false};
};

#endif
