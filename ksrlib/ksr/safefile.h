#pragma once
// The one way our programs write a file: the bytes go to a temporary file beside the target, and
// the target is replaced only when every write, the final flush and the sync to disk succeeded.
// A failed write (full disk, file-size limit, no permission) leaves the old file untouched and
// errorString() holds the system's reason, e.g. "No space left on device".
//
// The temporary file has no name while it is written where the file system allows it (Linux
// O_TMPFILE), so a killed writer leaves nothing behind; otherwise, and for the short moment between
// naming and renaming, it is called "<target>.part-<pid>-<n>", and the next writer of the same target
// removes such files whose process has gone.
//
// One object per file and thread; the object is a sequential, write-only QIODevice, so streaming
// writers (QXmlStreamWriter, QDataStream, QImageWriter) can write into it. Qt Core only.

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace ksr
{

class SafeFile : public QIODevice
{
public:
    explicit SafeFile(const QString &targetPath);
    ~SafeFile() override; // discards what was not committed

    // Only QIODevice::WriteOnly. False with errorString() when the temporary file cannot be made
    // (missing or locked folder), or the target exists and is read-only or not a regular file (folder,
    // FIFO, device).
    bool open(OpenMode mode = QIODevice::WriteOnly) override;
    bool isSequential() const override { return true; }

    // Flushes, syncs to disk and renames over the target. False with errorString() on any failure,
    // and then the target is as it was. Closes the device either way.
    bool commit();
    // Drops everything written; the target is as it was.
    void discard();

    // For many small files written in a row (thumbnails): commit() leaves out the syncs to disk,
    // most of its cost, and one syncFileSystem() once they are all written covers them. Until
    // then a crash may leave such a file empty or cut (never the old one half replaced), which
    // its reader must be able to tell.
    void deferSync() { m_syncDeferred = true; }
    // Writes to disk what the file system holding path keeps in memory (syncfs). False, with the
    // system's reason, when it cannot be reached or the disk reported a failed write since the
    // files were written.
    static bool syncFileSystem(const QString &path, QString *why = nullptr);

    QString targetPath() const { return m_target; }
    // True once a write failed; later writes are refused, commit() fails.
    bool hasFailed() const { return m_failed; }

    // Whether a file at targetPath could be written now, tested by making (and removing) a temporary
    // file beside it: false with the reason otherwise. For early checks before long work.
    static bool canReplace(const QString &targetPath, QString *why = nullptr);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool flushBuffer();
    bool fail(const QString &reason);
    void closeDescriptor();
    void removeStaleParts() const;
    QString partName() const;

    QString m_target;   // the file to replace (links resolved)
    QString m_partPath; // named temporary file, empty while it is unnamed
    QByteArray m_buffer;
    int m_fd = -1;
    bool m_unnamed = false;
    bool m_failed = false;
    bool m_syncDeferred = false;
    unsigned m_existingMode = 0; // permissions kept from the file replaced
    bool m_replacesFile = false;
};

} // namespace ksr
