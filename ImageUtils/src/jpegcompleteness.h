#ifndef IMAGEUTILS_JPEGCOMPLETENESS_H
#define IMAGEUTILS_JPEGCOMPLETENESS_H

#include <QByteArray>

// Whether a JPEG holds its whole picture. The decoder fills a cut file with grey and calls it a
// success, so the file's markers are walked from its start, over every segment (an embedded EXIF
// preview included) and the coded data of every scan, to the end marker of the picture; bytes
// after that marker (cameras append their own data) do not count. Pure, any thread.
namespace JpegCompleteness
{

enum class Result { Complete, Cut, NotJpeg };

Result check(const QByteArray &data);

} // namespace JpegCompleteness

#endif
