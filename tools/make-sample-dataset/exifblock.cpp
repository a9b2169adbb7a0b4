#include "exifblock.h"

#include <QtEndian>

#include <cmath>
#include <vector>

namespace SampleGen
{

namespace
{

enum TiffType : quint16 { Ascii = 2, Short = 3, Long = 4, Rational = 5, Undefined = 7 };

class TiffBytes
{
public:
    explicit TiffBytes(bool bigEndian) : bigEndian(bigEndian) {}

    QByteArray u16(quint16 v) const
    {
        char b[2];
        bigEndian ? qToBigEndian(v, b) : qToLittleEndian(v, b);
        return QByteArray(b, 2);
    }
    QByteArray u32(quint32 v) const
    {
        char b[4];
        bigEndian ? qToBigEndian(v, b) : qToLittleEndian(v, b);
        return QByteArray(b, 4);
    }

private:
    bool bigEndian;
};

struct Entry {
    quint16 tag;
    quint16 type;
    quint32 count;
    QByteArray value; // already in the block's byte order
};

Entry ascii(quint16 tag, const QByteArray &text)
{
    QByteArray value = text;
    value.append('\0');
    return {tag, Ascii, quint32(value.size()), value};
}

// Size of a directory with its out-of-line values, each padded to an even length.
int directorySize(const std::vector<Entry> &entries)
{
    int size = 2 + 12 * int(entries.size()) + 4;
    for (const Entry &e : entries)
        if (e.value.size() > 4)
            size += int(e.value.size() + (e.value.size() & 1));
    return size;
}

// The directory placed at offset (from the TIFF header), entries in the given (ascending tag) order.
QByteArray directory(const std::vector<Entry> &entries, quint32 offset, const TiffBytes &bytes)
{
    QByteArray head = bytes.u16(quint16(entries.size()));
    QByteArray data;
    quint32 dataOffset = offset + 2 + 12 * quint32(entries.size()) + 4;
    for (const Entry &e : entries) {
        head += bytes.u16(e.tag) + bytes.u16(e.type) + bytes.u32(e.count);
        if (e.value.size() <= 4) {
            head += e.value + QByteArray(4 - e.value.size(), '\0');
        } else {
            head += bytes.u32(dataOffset + quint32(data.size()));
            data += e.value;
            if (e.value.size() & 1)
                data += '\0';
        }
    }
    head += bytes.u32(0); // no following directory
    return head + data;
}

} // namespace

QByteArray exifPayload(const ExifFields &fields)
{
    const TiffBytes bytes(fields.bigEndian);
    const QByteArray date = fields.shotTime.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toLatin1();

    std::vector<Entry> ifd0 = {
        ascii(0x010F, "Orvelle"),
        ascii(0x0110, "Synthetic sample camera"),
        {0x0112, Short, 1, bytes.u16(1)}, // orientation: rows top to bottom, as stored
        ascii(0x0131, "make-sample-dataset"),
        ascii(0x0132, date),
        {0x8769, Long, 1, QByteArray()}, // ExifOffset, filled below
    };
    const quint32 ifd0Offset = 8;
    const quint32 exifOffset = ifd0Offset + quint32(directorySize(ifd0));
    ifd0.back().value = bytes.u32(exifOffset);

    const quint32 focalHundredths = quint32(std::lround(std::max(0.0f, fields.focalMm) * 100.0f));
    const std::vector<Entry> exif = {
        {0x9000, Undefined, 4, QByteArray("0231")},
        ascii(0x9003, date),
        ascii(0x9004, date),
        {0x920A, Rational, 1, bytes.u32(focalHundredths) + bytes.u32(100)},
        {0xA001, Short, 1, bytes.u16(1)}, // sRGB
        {0xA002, Long, 1, bytes.u32(quint32(std::max(0, fields.width)))},
        {0xA003, Long, 1, bytes.u32(quint32(std::max(0, fields.height)))},
    };

    QByteArray payload("Exif\0\0", 6);
    payload += fields.bigEndian ? QByteArray("MM") : QByteArray("II");
    payload += bytes.u16(42);
    payload += bytes.u32(ifd0Offset);
    payload += directory(ifd0, ifd0Offset, bytes);
    payload += directory(exif, exifOffset, bytes);
    return payload;
}

bool insertExif(QByteArray &jpeg, const QByteArray &payload, QString *error)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (jpeg.size() < 4 || quint8(jpeg[0]) != 0xFF || quint8(jpeg[1]) != 0xD8)
        return fail(QStringLiteral("not a JPEG stream (no start-of-image marker)"));
    if (payload.size() + 2 > 0xFFFF)
        return fail(QStringLiteral("EXIF block too large for one section"));
    int insertAt = 2;
    // Keep a JFIF header first, as readers expect it right after the start of image.
    if (jpeg.size() >= 6 && quint8(jpeg[2]) == 0xFF && quint8(jpeg[3]) == 0xE0) {
        const int length = (quint8(jpeg[4]) << 8) | quint8(jpeg[5]);
        if (length < 2 || 4 + length > jpeg.size())
            return fail(QStringLiteral("corrupt JFIF header"));
        insertAt = 4 + length;
    }
    const int length = int(payload.size()) + 2;
    QByteArray section;
    section.reserve(length + 2);
    section.append(char(0xFF)).append(char(0xE1)).append(char(length >> 8)).append(char(length & 0xFF));
    section += payload;
    jpeg.insert(insertAt, section);
    return true;
}

} // namespace SampleGen
