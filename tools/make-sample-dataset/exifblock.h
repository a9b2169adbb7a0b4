#pragma once
// A minimal EXIF block for the sample photographs, built byte by byte: TIFF header in Intel ("II")
// or Motorola ("MM") byte order, IFD0 (make, model, orientation, software, date) with a link to the
// EXIF sub-directory holding DateTimeOriginal, DateTimeDigitized, focal length and pixel dimensions.

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace SampleGen
{

struct ExifFields {
    QDateTime shotTime; // written as "YYYY:MM:DD HH:MM:SS"
    bool bigEndian = false;
    float focalMm = 0.0f; // written as a rational in 1/100 mm
    int width = 0, height = 0;
};

// The payload of an APP1 section: "Exif" 0 0 followed by the TIFF structure.
QByteArray exifPayload(const ExifFields &fields);

// Inserts the payload as an APP1 section after the start of image (and after a JFIF APP0 section
// when one follows it). False, jpeg untouched and *error set, when jpeg is not a JPEG stream or
// the payload does not fit in one section.
bool insertExif(QByteArray &jpeg, const QByteArray &payload, QString *error = nullptr);

} // namespace SampleGen
