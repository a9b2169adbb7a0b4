#include "shottime.h"

#include "exifreader.h"

#include <QFile>
#include <QStringList>

#include <cctype>

namespace
{

// Reads a decimal number the way scanf's %d does: leading white space, an optional sign, digits.
bool scanNumber(const std::string &text, std::size_t &pos, long long &value)
{
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    const std::size_t digitsStart = pos;
    value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        if (value < 1000000000LL) // larger numbers are not dates anyway; avoid overflow
            value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (negative)
        value = -value;
    return pos > digitsStart;
}

bool skipAnyChar(const std::string &text, std::size_t &pos)
{
    if (pos >= text.size())
        return false;
    ++pos;
    return true;
}

bool expectChar(const std::string &text, std::size_t &pos, char c)
{
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

} // namespace

bool isJpegFileName(const QString &path)
{
    return path.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive);
}

QString withoutDownFolders(const QString &path)
{
    QStringList parts = path.split(QLatin1Char('/'));
    // Only folders: the last component is the file name itself.
    for (int i = parts.size() - 2; i >= 0; --i)
        if (parts[i] == QLatin1String("down"))
            parts.removeAt(i);
    return parts.join(QLatin1Char('/'));
}

std::optional<QDateTime> parseExifDateTime(const std::string &text)
{
    long long v[6];
    std::size_t pos = 0;
    const bool matched = scanNumber(text, pos, v[0]) && skipAnyChar(text, pos) && //
                         scanNumber(text, pos, v[1]) && skipAnyChar(text, pos) && //
                         scanNumber(text, pos, v[2]) && skipAnyChar(text, pos) && //
                         scanNumber(text, pos, v[3]) && expectChar(text, pos, ':') &&
                         scanNumber(text, pos, v[4]) && expectChar(text, pos, ':') &&
                         scanNumber(text, pos, v[5]);
    if (!matched)
        return std::nullopt;
    for (long long number : v)
        if (number < 0 || number > 9999)
            return std::nullopt;
    const QDate date{int(v[0]), int(v[1]), int(v[2])};
    const QTime time{int(v[3]), int(v[4]), int(v[5])};
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    const QDateTime result(date, time, Qt::LocalTime);
    if (!result.isValid()) // a local time skipped by a daylight-saving change
        return std::nullopt;
    return result;
}

std::optional<QDateTime> readExifShotTime(const QString &path)
{
    if (!isJpegFileName(path))
        return std::nullopt;
    const QByteArray fileName = QFile::encodeName(withoutDownFolders(path));
    ExifReader reader;
    reader.readFile(std::string(fileName.constData(), std::size_t(fileName.size())));
    // A date read before a fatal fault (a truncated file) is still the photograph's date.
    return parseExifDateTime(reader.info().dateTime);
}

QDateTime readShotTime(const QString &path)
{
    if (const std::optional<QDateTime> shotTime = readExifShotTime(path))
        return *shotTime;
    return QDateTime::currentDateTime();
}
