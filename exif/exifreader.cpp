#include "exifreader.h"

#include <algorithm>
#include <cassert>
#include <cstdarg>
#include <cstring>
#include <new>
#include <sys/stat.h>

namespace
{

// Fill bytes allowed before a marker (the marker's own 0xFF not counted).
constexpr int maxPaddingBytes = 16;
constexpr int maxNesting = 4;

// Bytes per component of the twelve EXIF number formats (index = format).
constexpr unsigned bytesPerFormat[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

enum : unsigned {
    tagDateTime = 0x0132,
    tagExifOffset = 0x8769,
    tagDateTimeOriginal = 0x9003,
    tagDateTimeDigitized = 0x9004,
    tagInteropOffset = 0xA005,
};

bool isStartOfFrame(int marker)
{
    switch (marker) {
    case 0xC0:
    case 0xC1:
    case 0xC2:
    case 0xC3:
    case 0xC5:
    case 0xC6:
    case 0xC7:
    case 0xC9:
    case 0xCA:
    case 0xCB:
    case 0xCD:
    case 0xCE:
    case 0xCF:
        return true;
    default:
        return false;
    }
}

// Markers that stand alone, without length bytes.
bool isStandalone(int marker)
{
    return marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7);
}

// One write per message, so lines of readers running in parallel do not interleave.
void writeError(const std::string &text)
{
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

std::string formatted(const char *format, va_list args)
{
    char buffer[512];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    return buffer;
}

} // namespace

ExifReader::Outcome ExifReader::readFile(const std::string &path)
{
    m_path = path;
    m_info = ExifShotInfo();
    m_sections.clear();
    m_fatal.clear();

    struct stat status;
    if (::stat(path.c_str(), &status) != 0) {
        fatal("No such file");
        return Outcome::Fatal;
    }
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        writeError("can't open '" + path + "'\n");
        return Outcome::NotRead;
    }
    const Outcome outcome = readSections(file);
    std::fclose(file);
    return outcome;
}

ExifReader::Outcome ExifReader::readSections(std::FILE *file)
{
    const int first = std::fgetc(file);
    const int second = std::fgetc(file);
    if (first != 0xFF || second != 0xD8) {
        writeError("Not JPEG: " + m_path + "\n");
        return Outcome::NotRead;
    }
    m_sections.reserve(5);

    for (;;) {
        // Skip fill bytes up to a 0xFF followed by the marker byte.
        int previous = 0;
        int marker = 0;
        int consumed = 0;
        for (;;) {
            marker = std::fgetc(file);
            if (marker == EOF) {
                fatal("Premature end of file?");
                return Outcome::Fatal;
            }
            if (previous == 0xFF && marker != 0xFF)
                break;
            previous = marker;
            if (++consumed > maxPaddingBytes + 1) {
                writeError("too many padding bytes\n");
                return Outcome::NotRead;
            }
        }

        if (marker == 0xD9) {
            writeError("No image in jpeg!\n");
            return Outcome::NotRead;
        }
        if (isStandalone(marker))
            continue;

        const int high = std::fgetc(file);
        const int low = std::fgetc(file);
        if (high == EOF || low == EOF) {
            fatal("Premature end of file?");
            return Outcome::Fatal;
        }
        const std::size_t length = (std::size_t(high) << 8) | std::size_t(low);
        if (length < 2) {
            fatal("invalid marker");
            return Outcome::Fatal;
        }
        std::vector<std::uint8_t> data;
        try {
            data.resize(length);
        } catch (const std::bad_alloc &) {
            fatal("Could not allocate memory");
            return Outcome::Fatal;
        }
        data[0] = std::uint8_t(high);
        data[1] = std::uint8_t(low);
        if (std::fread(data.data() + 2, 1, length - 2, file) != length - 2) {
            fatal("Premature end of file?");
            return Outcome::Fatal;
        }

        if (marker == 0xDA) {
            m_sections.push_back({marker, std::move(data)});
            return Outcome::Read;
        }
        if (marker == 0xE0)
            continue; // APP0 (JFIF) carries nothing we need
        noteSection(marker, data);
        m_sections.push_back({marker, std::move(data)});
    }
}

void ExifReader::noteSection(int marker, const std::vector<std::uint8_t> &data)
{
    const std::size_t length = data.size();
    if (marker == 0xE1) {
        if (length >= 6 && std::memcmp(data.data() + 2, "Exif", 4) == 0)
            processExif(data.data(), length);
    } else if (marker == 0xFE) {
        if (m_info.comment.empty()) {
            const char *text = reinterpret_cast<const char *>(data.data() + 2);
            m_info.comment.assign(text, strnlen(text, length - 2));
        }
    } else if (isStartOfFrame(marker) && length >= 8) {
        m_info.height = int((data[3] << 8) | data[4]);
        m_info.width = int((data[5] << 8) | data[6]);
        m_info.numComponents = data[7];
    }
}

void ExifReader::processExif(const std::uint8_t *data, std::size_t length)
{
    static const std::uint8_t exifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (length < 8 || std::memcmp(data + 2, exifHeader, 6) != 0) {
        nonfatal("Incorrect Exif header");
        return;
    }
    m_tiff = data + 8;
    m_tiffLength = length - 8;
    m_visitedDirectories.clear();
    m_tooManyDatesReported = false;

    if (m_tiffLength >= 2 && std::memcmp(m_tiff, "II", 2) == 0) {
        m_motorola = false;
    } else if (m_tiffLength >= 2 && std::memcmp(m_tiff, "MM", 2) == 0) {
        m_motorola = true;
    } else {
        nonfatal("Invalid Exif alignment marker.");
        m_tiff = nullptr;
        return;
    }
    if (m_tiffLength < 8 || get16(2) != 0x2A) {
        nonfatal("Invalid Exif start (1)");
        m_tiff = nullptr;
        return;
    }
    m_info.hasExif = true;

    const unsigned firstOffset = get32(4);
    if (firstOffset < 8 || firstOffset > 16)
        nonfatal("Suspicious offset of first IFD value");
    processDirectory(firstOffset, 0);
    m_tiff = nullptr;
}

void ExifReader::processDirectory(std::size_t dirStart, int nesting)
{
    if (nesting > maxNesting) {
        nonfatal("Maximum directory nesting exceeded (corrupt exif header)");
        return;
    }
    if (dirStart + 2 > m_tiffLength) {
        nonfatal("Illegal exif or interop ofset directory link");
        return;
    }
    // A directory reached twice (links that loop or repeat) is walked once only.
    for (std::size_t visited : m_visitedDirectories)
        if (visited == dirStart)
            return;
    m_visitedDirectories.push_back(dirStart);

    const unsigned entryCount = get16(dirStart);
    const std::size_t entriesEnd = dirStart + 2 + 12 * std::size_t(entryCount);
    if (entriesEnd > m_tiffLength) {
        nonfatal("Illegally sized exif subdirectory (%d entries)", int(entryCount));
        return;
    }

    for (unsigned i = 0; i < entryCount; ++i) {
        const std::size_t entry = dirStart + 2 + 12 * std::size_t(i);
        const unsigned tag = get16(entry);
        const unsigned format = get16(entry + 2);
        const unsigned components = get32(entry + 4);
        if (format < 1 || format > 12) {
            nonfatal("Illegal number format %d for tag %04x", int(format), tag);
            continue;
        }
        if (components > 65536) {
            nonfatal("Illegal number of components %lld for tag %04x", (long long)components, tag);
            continue;
        }
        const std::size_t byteCount = std::size_t(components) * bytesPerFormat[format];
        std::size_t value = entry + 8;
        if (byteCount > 4) {
            value = get32(entry + 8);
            if (value + byteCount > m_tiffLength) {
                nonfatal("Illegal value pointer for tag %04x", tag);
                continue;
            }
        }

        switch (tag) {
        case tagDateTimeOriginal:
        case tagDateTime:
        case tagDateTimeDigitized: {
            // The original capture time wins; the others fill in only when nothing dated it yet.
            const bool hasDate =
                !m_info.dateTime.empty() && m_info.dateTime[0] >= '0' && m_info.dateTime[0] <= '9';
            if (tag == tagDateTimeOriginal || !hasDate) {
                const char *text = reinterpret_cast<const char *>(m_tiff + value);
                m_info.dateTime.assign(text, strnlen(text, std::min<std::size_t>(byteCount, 19)));
            }
            if (int(m_info.dateFieldOffsets.size()) < ExifShotInfo::maxDateFields) {
                m_info.dateFieldOffsets.push_back(unsigned(value));
            } else if (!m_tooManyDatesReported) {
                m_tooManyDatesReported = true;
                nonfatal("More than %d date fields!  This is nuts", ExifShotInfo::maxDateFields);
            }
            break;
        }
        case tagExifOffset:
        case tagInteropOffset: {
            // The value field is inside the block either way (checked above).
            const std::size_t subdir = get32(value);
            if (subdir >= m_tiffLength)
                nonfatal("Illegal exif or interop ofset directory link");
            else
                processDirectory(subdir, nesting + 1);
            break;
        }
        default:
            break;
        }
    }

    if (entriesEnd + 4 <= m_tiffLength) {
        const std::size_t next = get32(entriesEnd);
        if (next != 0) {
            if (next >= m_tiffLength)
                nonfatal("Illegal exif or interop ofset directory link");
            else
                processDirectory(next, nesting + 1);
        }
    }
}

unsigned ExifReader::get16(std::size_t offset) const
{
    assert(m_tiff && offset + 2 <= m_tiffLength && "EXIF read beyond the block");
    const std::uint8_t *p = m_tiff + offset;
    return m_motorola ? (unsigned(p[0]) << 8) | p[1] : (unsigned(p[1]) << 8) | p[0];
}

unsigned ExifReader::get32(std::size_t offset) const
{
    assert(m_tiff && offset + 4 <= m_tiffLength && "EXIF read beyond the block");
    const std::uint8_t *p = m_tiff + offset;
    if (m_motorola)
        return (unsigned(p[0]) << 24) | (unsigned(p[1]) << 16) | (unsigned(p[2]) << 8) | p[3];
    return (unsigned(p[3]) << 24) | (unsigned(p[2]) << 16) | (unsigned(p[1]) << 8) | p[0];
}

void ExifReader::nonfatal(const char *format, ...) const
{
    va_list args;
    va_start(args, format);
    const std::string message = formatted(format, args);
    va_end(args);
    writeError("\nNonfatal Error : '" + m_path + "' " + message + "\n");
}

void ExifReader::fatal(const char *message)
{
    m_fatal = message;
    writeError(std::string("\nError : ") + message + "\nin file '" + m_path + "'\n");
}
