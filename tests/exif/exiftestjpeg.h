#pragma once
// Builds small JPEG files with a chosen EXIF block, byte by byte, for the reader's tests.

#include "testsupport.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QList>

namespace exiftest
{

// One directory entry. Values of up to 4 bytes sit in the entry; longer ones go to the data area.
struct Entry {
    quint16 tag = 0;
    quint16 format = 2; // 2 = ASCII
    quint32 count = 0;
    QByteArray value;      // raw value bytes (already in the block's byte order for numbers)
    int subdirectory = -1; // when >= 0: the value is the offset of that directory (format 4)
};

inline Entry ascii(quint16 tag, const QByteArray &text)
{
    Entry e;
    e.tag = tag;
    e.format = 2;
    e.value = text + '\0';
    e.count = quint32(e.value.size());
    return e;
}

inline Entry link(quint16 tag, int directory)
{
    Entry e;
    e.tag = tag;
    e.format = 4;
    e.count = 1;
    e.subdirectory = directory;
    return e;
}

class TiffBuilder
{
public:
    explicit TiffBuilder(bool bigEndian) : m_big(bigEndian) {}

    // Directories in file order; directory 0 is the first IFD.
    QList<QList<Entry>> directories;
    // Optional link from a directory to the one that follows it (-1: none).
    QList<int> nextDirectory;

    QByteArray put16(quint16 v) const
    {
        QByteArray b(2, '\0');
        b[m_big ? 0 : 1] = char(v >> 8);
        b[m_big ? 1 : 0] = char(v & 0xFF);
        return b;
    }
    QByteArray put32(quint32 v) const
    {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[m_big ? 3 - i : i] = char((v >> (8 * i)) & 0xFF);
        return b;
    }

    // The TIFF structure: header, the directories one after the other, then the data area.
    QByteArray tiff() const
    {
        QList<int> dirOffset;
        int offset = 8;
        for (const auto &dir : directories) {
            dirOffset.append(offset);
            offset += 2 + 12 * int(dir.size()) + 4;
        }
        QByteArray data;
        QByteArray out = m_big ? QByteArray("MM") : QByteArray("II");
        out += put16(42);
        out += put32(8);
        for (int d = 0; d < directories.size(); ++d) {
            out += put16(quint16(directories[d].size()));
            for (const Entry &e : directories[d]) {
                out += put16(e.tag);
                out += put16(e.format);
                out += put32(e.count);
                if (e.subdirectory >= 0) {
                    out += put32(quint32(dirOffset[e.subdirectory]));
                } else if (e.value.size() <= 4) {
                    out += e.value.leftJustified(4, '\0');
                } else {
                    out += put32(quint32(offset + data.size()));
                    data += e.value;
                }
            }
            const int next = d < nextDirectory.size() ? nextDirectory[d] : -1;
            out += put32(next >= 0 ? quint32(dirOffset[next]) : 0u);
        }
        return out + data;
    }

private:
    bool m_big;
};

// APP1 section (marker and length included) around a TIFF structure.
inline QByteArray app1(const QByteArray &tiff, const QByteArray &header = QByteArray("Exif\0\0", 6))
{
    const QByteArray body = header + tiff;
    const int length = body.size() + 2;
    QByteArray out;
    out += char(0xFF);
    out += char(0xE1);
    out += char(length >> 8);
    out += char(length & 0xFF);
    return out + body;
}

// A real JPEG of the given size and colour, as Qt writes it.
inline QByteArray plainJpeg(int width = 16, int height = 8, QRgb colour = qRgb(200, 80, 40))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// The JPEG with extra sections inserted right after its start-of-image marker.
inline QByteArray withSections(const QByteArray &jpeg, const QByteArray &sections)
{
    return jpeg.left(2) + sections + jpeg.mid(2);
}

// A JPEG whose EXIF block has DateTime in IFD0 and DateTimeOriginal in the EXIF sub-directory.
inline QByteArray datedJpeg(const QByteArray &dateTime, const QByteArray &original, bool bigEndian = false)
{
    TiffBuilder t(bigEndian);
    t.directories = {{ascii(0x0132, dateTime), link(0x8769, 1)}, {ascii(0x9003, original)}};
    return withSections(plainJpeg(), app1(t.tiff()));
}

} // namespace exiftest
