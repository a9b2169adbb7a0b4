#pragma once
// Time of shot of a photograph, from the EXIF header of its JPEG file.
// Every function is re-entrant and may be called from any thread.

#include <QDateTime>
#include <QString>

#include <optional>
#include <string>

// True when the path ends with ".jpg" or ".jpeg" in any mix of case (IMG_0001.JPG is a JPEG).
bool isJpegFileName(const QString &path);

// The path without its whole components named "down": "photos/down/img.jpg" -> "photos/img.jpg",
// while "photos/countdown/img.jpg" is left alone.
QString withoutDownFolders(const QString &path);

// Parses an EXIF date-time text: year, month, day and hour separated by any single characters,
// hour, minute and second by colons ("2008:01:01 09:59:58", "2008-01-01 09:59:58"). Local time.
// Nothing when the text does not match or names no real date and time (such as "0000:00:00 00:00:00").
std::optional<QDateTime> parseExifDateTime(const std::string &text);

// The date and time the photograph's EXIF header gives; nothing for a file that is not named as a
// JPEG, cannot be read, or has no usable date. Reader messages go to the error stream.
std::optional<QDateTime> readExifShotTime(const QString &path);

// readExifShotTime, or the current date and time when the file gives none.
QDateTime readShotTime(const QString &path);
