#include <ksr/inputlimits.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace ksr
{

ReadResult readBoundedFile(const QString &path, QByteArray &data, QString *why, qint64 limit)
{
    data.clear();
    auto refuse = [&](ReadResult result, const QString &text) {
        data.clear();
        if (why)
            *why = text;
        return result;
    };
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(ReadResult::CannotOpen, QStringLiteral("%1: %2").arg(shown, file.errorString()));
    const QFileInfo info(path);
    const bool regular = info.isFile();
    if (!regular)
        limit = std::min(limit, SpecialFileReadLimit);
    if (regular && file.size() > limit)
        return refuse(ReadResult::TooLarge,
                      QStringLiteral("%1 is larger than %2 bytes").arg(shown).arg(limit));
    // Special files have no size to trust: read in pieces up to the bound.
    const qint64 chunk = 1 << 20;
    while (true) {
        const qint64 before = data.size();
        const qint64 wanted = std::min<qint64>(chunk, limit + 1 - before);
        data.resize(before + wanted);
        const qint64 got = file.read(data.data() + before, wanted);
        if (got < 0)
            return refuse(ReadResult::ReadError, QStringLiteral("%1: %2").arg(shown, file.errorString()));
        data.resize(before + got);
        if (data.size() > limit)
            return refuse(ReadResult::TooLarge,
                          QStringLiteral("%1 is not a regular file and holds more than %2 bytes")
                              .arg(shown)
                              .arg(limit));
        if (got == 0 || (regular && file.atEnd()))
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
    if (S_ISDIR(target.st_mode))
        return QStringLiteral("is a folder, not a file");
    if (S_ISFIFO(target.st_mode))
        return QStringLiteral("is a FIFO (named pipe), not a file");
    if (S_ISCHR(target.st_mode) || S_ISBLK(target.st_mode))
        return QStringLiteral("is a device, not a file");
    if (S_ISSOCK(target.st_mode))
        return QStringLiteral("is a socket, not a file");
    if (!S_ISREG(target.st_mode))
        return QStringLiteral("is not a regular file");
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
