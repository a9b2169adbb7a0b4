// Written on POSIX calls rather than QSaveFile: Qt's file engine takes a short write followed by
// "no space" as a success, so a cut file could be committed, and its flush error reads "Unknown error".
#include <ksr/safefile.h>

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ksr
{

namespace
{

const int BufferSize = 64 * 1024;
const char PartMarker[] = ".part-";
std::atomic<unsigned> partCounter{0};

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace

SafeFile::SafeFile(const QString &targetPath)
{
    const QFileInfo info(targetPath);
    // Writing through a link replaces the file it points to, not the link.
    const QString resolved = info.isSymLink() && info.exists() ? info.canonicalFilePath() : QString();
    m_target = resolved.isEmpty() ? info.absoluteFilePath() : resolved;
    m_buffer.reserve(BufferSize);
}

SafeFile::~SafeFile()
{
    discard();
}

bool SafeFile::fail(const QString &reason)
{
    if (!m_failed)
        setErrorString(reason);
    m_failed = true;
    return false;
}

QString SafeFile::partName() const
{
    return m_target + QLatin1String(PartMarker) + QString::number(qint64(::getpid())) + QLatin1Char('-') +
           QString::number(partCounter.fetch_add(1));
}

// Read with readdir rather than a name filter: the target's name may hold wildcard characters, and
// a folder of thousands of thumbnails is scanned once per write.
void SafeFile::removeStaleParts() const
{
    const QFileInfo target(m_target);
    const QByteArray prefix = encoded(target.fileName()) + PartMarker;
    const QByteArray folder = encoded(target.absolutePath());
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.constData(), size_t(prefix.size())) != 0)
            continue;
        const QByteArray name(entry->d_name);
        // "<pid>-<n>": only a process that is gone for certain loses its part; a live one, one of
        // another user (EPERM) or a name not of this form keeps it.
        const QList<QByteArray> fields = name.mid(prefix.size()).split('-');
        bool ok = false;
        const qint64 pid = fields.size() == 2 ? fields.first().toLongLong(&ok) : 0;
        if (ok && pid > 0 && pid <= std::numeric_limits<pid_t>::max() && ::kill(pid_t(pid), 0) != 0 &&
            errno == ESRCH)
            ::unlinkat(::dirfd(dir), name.constData(), 0);
    }
    ::closedir(dir);
}

bool SafeFile::open(OpenMode mode)
{
    discard();
    m_failed = false;
    setErrorString(QString());
    if (mode != QIODevice::WriteOnly)
        return fail(QStringLiteral("a safe file is opened for writing only"));

    struct stat existing;
    m_replacesFile = false;
    if (::stat(encoded(m_target).constData(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return fail(
                QStringLiteral("\"%1\" is not a regular file").arg(QDir::toNativeSeparators(m_target)));
        // A file its owner made read-only is not replaced behind their back.
        if (::access(encoded(m_target).constData(), W_OK) != 0)
            return fail(systemError(errno));
        m_replacesFile = true;
        m_existingMode = existing.st_mode & 07777;
    }
    const QByteArray folder = encoded(QFileInfo(m_target).absolutePath());
    removeStaleParts();

#ifdef O_TMPFILE
    m_fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    m_unnamed = m_fd >= 0;
    // Where the file system offers no unnamed files, a named one is made instead.
    if (m_fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return fail(systemError(errno));
#endif
    if (m_fd < 0) {
        m_partPath = partName();
        m_fd = ::open(encoded(m_partPath).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd < 0) {
            const int code = errno;
            m_partPath.clear();
            return fail(systemError(code));
        }
    }
    if (m_replacesFile && ::fchmod(m_fd, m_existingMode) != 0) {
        const int code = errno;
        discard();
        return fail(systemError(code));
    }
    return QIODevice::open(mode);
}

qint64 SafeFile::writeData(const char *data, qint64 size)
{
    if (m_failed || m_fd < 0)
        return -1;
    if (m_buffer.size() + size > BufferSize && !flushBuffer())
        return -1;
    m_buffer.append(data, size);
    if (m_buffer.size() >= BufferSize && !flushBuffer())
        return -1;
    return size;
}

bool SafeFile::flushBuffer()
{
    const char *data = m_buffer.constData();
    qint64 left = m_buffer.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(systemError(errno));
        }
        if (written == 0)
            return fail(systemError(EIO));
        // A short write is retried: the next call says why the rest did not fit.
        data += written;
        left -= written;
    }
    m_buffer.clear();
    return true;
}

void SafeFile::closeDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void SafeFile::discard()
{
    closeDescriptor();
    if (!m_partPath.isEmpty())
        QFile::remove(m_partPath);
    m_partPath.clear();
    m_buffer.clear();
    if (isOpen())
        QIODevice::close();
}

bool SafeFile::commit()
{
    if (!isOpen() || m_fd < 0) {
        fail(QStringLiteral("the file was not open"));
        discard();
        return false;
    }
    auto failAndDiscard = [this](int code) {
        fail(systemError(code));
        discard();
        return false;
    };
    if (m_failed || !flushBuffer()) {
        discard();
        return false;
    }
    // Some file systems report a full disk only here.
    if (!m_syncDeferred && ::fsync(m_fd) != 0 && errno != EINVAL)
        return failAndDiscard(errno);
    if (m_unnamed) {
        const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(m_fd);
        const QString part = partName();
        if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, encoded(part).constData(),
                     AT_SYMLINK_FOLLOW) != 0)
            return failAndDiscard(errno);
        m_partPath = part;
        m_unnamed = false;
    }
    if (::close(m_fd) != 0) {
        m_fd = -1;
        return failAndDiscard(errno);
    }
    m_fd = -1;
    if (::rename(encoded(m_partPath).constData(), encoded(m_target).constData()) != 0)
        return failAndDiscard(errno);
    m_partPath.clear();
    // The new name reaches the disk with its folder.
    const int folder = m_syncDeferred ? -1
                                      : ::open(encoded(QFileInfo(m_target).absolutePath()).constData(),
                                               O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    QIODevice::close();
    return true;
}

bool SafeFile::syncFileSystem(const QString &path, QString *why)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::syncfs(fd) != 0) {
        const int code = errno;
        if (fd >= 0)
            ::close(fd);
        if (why)
            *why = systemError(code);
        return false;
    }
    ::close(fd);
    return true;
}

bool SafeFile::canReplace(const QString &targetPath, QString *why)
{
    SafeFile probe(targetPath);
    const bool ok = probe.open();
    if (!ok && why)
        *why = probe.errorString();
    probe.discard();
    return ok;
}

} // namespace ksr
