#include "jpegcompleteness.h"

#include <cstring>

namespace JpegCompleteness
{

namespace
{

bool standalone(unsigned char marker)
{
    // Restart markers, TEM and a second start of image carry no length.
    return (marker >= 0xD0 && marker <= 0xD8) || marker == 0x01;
}

// The position of the marker that ends a scan's coded data at or after pos; -1 when there is none.
qsizetype scanEnd(const QByteArray &data, qsizetype pos)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype size = data.size();
    while (pos + 1 < size) {
        const void *found = std::memchr(bytes + pos, 0xFF, size_t(size - pos - 1));
        if (!found)
            return -1;
        pos = static_cast<const unsigned char *>(found) - bytes;
        const unsigned char next = bytes[pos + 1];
        // 0xFF00 is a coded 0xFF, 0xFFD0..D7 a restart, 0xFFFF fill: all inside the scan.
        if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7))
            return pos;
        ++pos;
    }
    return -1;
}

} // namespace

Result check(const QByteArray &data)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype size = data.size();
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return Result::NotJpeg;
    qsizetype pos = 2;
    while (true) {
        // Fill bytes may stand before a marker; anything else between segments is skipped too, as
        // the decoder does.
        while (pos < size && bytes[pos] != 0xFF)
            ++pos;
        while (pos + 1 < size && bytes[pos + 1] == 0xFF)
            ++pos;
        if (pos + 1 >= size)
            return Result::Cut;
        const unsigned char marker = bytes[pos + 1];
        if (marker == 0xD9)
            return Result::Complete;
        if (standalone(marker)) {
            pos += 2;
            continue;
        }
        if (pos + 4 > size)
            return Result::Cut;
        const qsizetype length = (qsizetype(bytes[pos + 2]) << 8) | bytes[pos + 3];
        if (length < 2 || pos + 2 + length > size)
            return Result::Cut;
        pos += 2 + length;
        if (marker == 0xDA) {
            pos = scanEnd(data, pos);
            if (pos < 0)
                return Result::Cut;
        }
    }
}

} // namespace JpegCompleteness
