#ifndef IMAGEUTILS_DOWNSAMPLINGTHREAD_H
#define IMAGEUTILS_DOWNSAMPLINGTHREAD_H

#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>

class GLDownsampler;
class QImage;
class QSize;

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

    DownsamplingThread(const QStringList &inputs, const QStringList &outputs, QObject *parent = nullptr);
    ~DownsamplingThread() override;

    // Thread-safe: the job stops before the next photograph.
    void requestStop() { m_stopRequested.store(true); }

    GLDownsampler *downsampler() const { return m_downsampler; }

    // Sees photograph i as decoded for its thumbnail (reduced, in the file's own orientation,
    // before any conversion), so that other work can use the same pixels. Called on a decoding
    // thread, possibly several at once, and only for photographs that were decoded and neither
    // turned nor fitted; photoSize is the photograph's full size. Set before start().
    using DecodedPhotoObserver = std::function<void(int i, const QImage &decoded, const QSize &photoSize)>;
    void setDecodedPhotoObserver(DecodedPhotoObserver observer) { m_observer = std::move(observer); }

    // Where the thumbnail of `imagePath` goes: the image's canonical folder,
    // then "thumbnails", then the image's file name. A missing photograph keeps
    // its (canonical) folder; an empty path gives an empty path.
    static QString thumbnailPath(const QString &imagePath);
    // An existing thumbnail is kept only when it is a whole picture: an empty or cut file (left by
    // an older version on a full disk) is made again.
    static bool isUsableThumbnail(const QString &path);

signals:
    // A thumbnail that exists (just written or found already there).
    void newThumbnail(int i, const QString &filename);
    void progress(int perc);
    // Thumbnail i could not be made; `reason` is meant for the user.
    void failed(int i, const QString &reason);

protected:
    void run() override;

private:
    const QStringList m_inputs;
    const QStringList m_outputs;
    GLDownsampler *m_downsampler = nullptr;
    DecodedPhotoObserver m_observer;
    std::atomic<bool> m_stopRequested{false};
};

#endif
