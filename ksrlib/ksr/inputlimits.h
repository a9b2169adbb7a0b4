#pragma once
// Bounds on what our readers accept, checked before reading or decoding, so that no input can make
// them hang or exhaust memory. Qt Core only, re-entrant.

#include <QByteArray>
#include <QSize>
#include <QString>

namespace ksr
{

// Bytes an input file may hold: far above any dataset file, far below the memory of a desktop.
constexpr qint64 DefaultReadLimit = qint64(2) * 1024 * 1024 * 1024 - 1;

enum class ReadResult { Ok, CannotOpen, NotAFile, TooLarge, ReadError };

// The one way our readers open an input: regular files only, read whole up to the bound. The file
// is opened without waiting and looked at before anything is read, so a FIFO never blocks and a
// link to a device (/dev/zero) is refused at once; a file larger than the bound is refused unread.
// On anything but Ok, data is empty and why holds a sentence naming the file and the problem.
ReadResult readBoundedFile(const QString &path, QByteArray &data, QString *why = nullptr,
                           qint64 limit = DefaultReadLimit);

// Why path cannot be read as a file, in words that follow its quoted name: "is a folder",
// "is a FIFO (named pipe)", "is a link loop", "does not exist", ... Empty for a readable regular file.
// Never opens the file, so a FIFO cannot block the caller.
QString inputFileProblem(const QString &path);

// Photographs beyond these are refused before decoding: their pixels alone would take gigabytes.
constexpr int MaxPhotoSide = 20000;
constexpr qint64 MaxPhotoPixels = qint64(400) * 1000 * 1000;

// False, with a sentence giving the size, when a photograph of this size is beyond the budget.
bool withinPixelBudget(const QSize &size, QString *why = nullptr);

} // namespace ksr
