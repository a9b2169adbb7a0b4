#pragma once
// Reader of JPEG header sections and of the date tags of their EXIF block.
//
// Re-entrant: every ExifReader owns its sections and its result, so several files can be read at
// once from different threads, each with its own reader. Messages go to the error stream (one write
// per message). A fatal condition ends the reading of that file only; whatever the EXIF block gave
// before the fault (its date) is kept in info().

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// What the reader learnt from the last file read.
struct ExifShotInfo {
    // EXIF date-time text, at most 19 characters ("YYYY:MM:DD HH:MM:SS"), empty when none was found.
    std::string dateTime;
    // Offsets (from the TIFF header) of the date fields met, at most maxDateFields of them.
    std::vector<unsigned> dateFieldOffsets;
    int width = 0; // from the start-of-frame section, 0 when none was read
    int height = 0;
    int numComponents = 0;
    std::string comment;  // the first comment section, if any
    bool hasExif = false; // an EXIF block with a valid header was decoded

    static constexpr int maxDateFields = 10;
};

// One JPEG header section as read from the file: the marker byte and the bytes of the section,
// starting with its two big-endian length bytes (so data.size() is the section length).
struct JpegSection {
    int marker = 0;
    std::vector<std::uint8_t> data;
};

class ExifReader
{
public:
    enum class Outcome {
        Read,    // the header sections up to the start of scan were read
        NotRead, // not a JPEG, cannot be opened, no image, too much padding
        Fatal    // a fatal condition ended the read (date kept when already found)
    };

    // Clears the previous result and sections, checks the path and the file and reads the header
    // sections (metadata only: the compressed data after the start-of-scan marker is not read).
    // path is the 8-bit file name.
    Outcome readFile(const std::string &path);

    const ExifShotInfo &info() const { return m_info; }
    const std::vector<JpegSection> &sections() const { return m_sections; }
    // The message of the fatal condition of the last read, empty when there was none.
    const std::string &fatalMessage() const { return m_fatal; }

    // Decodes an EXIF block: data points at the APP1 section's length bytes, length is the section
    // length. Public so that a block can be decoded without a file.
    void processExif(const std::uint8_t *data, std::size_t length);

private:
    Outcome readSections(std::FILE *file);
    void processDirectory(std::size_t dirStart, int nesting);
    void noteSection(int marker, const std::vector<std::uint8_t> &data);

    unsigned get16(std::size_t offset) const;
    unsigned get32(std::size_t offset) const;

    void nonfatal(const char *format, ...) const;
    void fatal(const char *message);

    std::string m_path;
    ExifShotInfo m_info;
    std::vector<JpegSection> m_sections;
    std::string m_fatal;

    // State of the EXIF block being decoded.
    const std::uint8_t *m_tiff = nullptr; // TIFF header, base of all EXIF offsets
    std::size_t m_tiffLength = 0;
    bool m_motorola = false;
    std::vector<std::size_t> m_visitedDirectories;
    bool m_tooManyDatesReported = false;
};
