#include <ksr/inputlimits.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ksr
{

namespace
{

// What a file of this mode is, in words that follow its quoted name; empty for a regular file.
QString kindProblem(mode_t mode)
{
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return QStringLiteral("is a folder, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("is a FIFO (named pipe), not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("is a device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("is a socket, not a file");
    return QStringLiteral("is not a regular file");
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

ReadResult readBoundedFile(const QString &path, QByteArray &data, QString *why, qint64 limit)
{
    data.clear();
    const QString shown = QDir::toNativeSeparators(path);
    auto refuse = [&](ReadResult result, const QString &text) {
        data.clear();
        if (why)
            *why = QStringLiteral("%1 %2").arg(shown, text);
        return result;
    };
    // Without waiting: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int code = errno;
        data.clear();
        if (why)
            *why = QStringLiteral("%1: %2").arg(shown, systemError(code));
        return ReadResult::CannotOpen;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status;
    if (::fstat(fd, &status) != 0)
        return refuse(ReadResult::ReadError, QStringLiteral("cannot be read: %1").arg(systemError(errno)));
    const QString kind = kindProblem(status.st_mode);
    if (!kind.isEmpty())
        return refuse(ReadResult::NotAFile, kind);
    if (status.st_size > limit)
        return refuse(ReadResult::TooLarge, QStringLiteral("is larger than %1 bytes").arg(limit));
    // A regular file never blocks; the size may still change while it is read, so the bound holds.
    const qint64 chunk = 1 << 20;
    data.reserve(qsizetype(status.st_size));
    while (true) {
        const qint64 before = data.size();
        const qint64 wanted =
            std::min<qint64>(std::max<qint64>(chunk, status.st_size - before), limit + 1 - before);
        data.resize(before + wanted);
        const ssize_t got = ::read(fd, data.data() + before, size_t(wanted));
        if (got < 0 && errno == EINTR) {
            data.resize(before);
            continue;
        }
        if (got < 0)
            return refuse(ReadResult::ReadError,
                          QStringLiteral("cannot be read: %1").arg(systemError(errno)));
        data.resize(before + got);
        if (data.size() > limit)
            return refuse(ReadResult::TooLarge, QStringLiteral("is larger than %1 bytes").arg(limit));
        if (got == 0)
            return ReadResult::Ok;
    }
}

QString inputFileProblem(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("has no name");
    const QByteArray name = QFile::encodeName(path);
    struct stat target;
    if (::stat(name.constData(), &target) != 0) {
        const int code = errno;
        struct stat link;
        if (code == ELOOP)
            return QStringLiteral("is a link loop");
        if (code == ENOENT && ::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode))
            return QStringLiteral("is a link to a file that does not exist");
        if (code == ENOENT)
            return QStringLiteral("does not exist");
        return QStringLiteral("cannot be reached: %1").arg(QString::fromLocal8Bit(std::strerror(code)));
    }
    const QString kind = kindProblem(target.st_mode);
    if (!kind.isEmpty())
        return kind;
    if (::access(name.constData(), R_OK) != 0)
        return QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    return QString();
}

bool withinPixelBudget(const QSize &size, QString *why)
{
    if (size.width() <= MaxPhotoSide && size.height() <= MaxPhotoSide &&
        qint64(size.width()) * size.height() <= MaxPhotoPixels)
        return true;
    if (why)
        *why = QStringLiteral("the photograph is %1 x %2 pixels (%3 megapixels), beyond the %4 pixels a "
                              "side or %5 megapixels this program decodes")
                   .arg(size.width())
                   .arg(size.height())
                   .arg(qint64(size.width()) * size.height() / 1000000)
                   .arg(MaxPhotoSide)
                   .arg(MaxPhotoPixels / 1000000);
    return false;
}

} // namespace ksr
