#pragma once
// Line by line reading of the text reconstruction formats, with the file name and line number
// every message needs. The whole file is read at once; lines are cut as they are asked for.

#include <QByteArray>
#include <QString>

#include <vector>

// The whitespace-separated fields of a line, found once and cut out when asked for: a line of
// millions of numbers costs four bytes a field, not a string each.
class SfmFields
{
public:
    explicit SfmFields(const QByteArray &line);
    qsizetype size() const { return qsizetype(m_starts.size()); }
    QByteArray at(qsizetype i) const;
    QByteArray last() const { return at(size() - 1); }

private:
    QByteArray m_line; // shared with the reader's line, not copied
    std::vector<quint32> m_starts;
};

class SfmTextReader
{
public:
    // Longer lines are refused when the file is opened. The longest a reconstruction writes is a
    // COLMAP photograph's keypoint line: about 20 bytes a keypoint, 20 MB for a million of them.
    static constexpr qsizetype MaxLineBytes = qsizetype(64) << 20;

    // False with *error set when the file cannot be opened or read, or holds a line longer than
    // MaxLineBytes ("<file name>, line <n>: ...").
    bool open(const QString &path, QString *error);

    // Moves to the next line; false at the end of the file. With skipBlank, empty lines and
    // lines starting with '#' are passed over.
    bool nextLine(bool skipBlank = true);
    // The current line, trimmed, and its whitespace-separated fields.
    const QByteArray &line() const { return m_line; }
    SfmFields fields() const { return SfmFields(m_line); }
    int lineNumber() const { return m_lineNumber; }
    // Lines not read yet (an upper bound on the records still to come).
    qint64 remainingLines() const { return m_totalLines - m_lineNumber; }

    // "<file name>, line <n>: text"
    QString message(const QString &text) const;
    QString fileName() const { return m_fileName; }

private:
    QByteArray m_data;
    qsizetype m_position = 0;
    QByteArray m_line;
    int m_lineNumber = 0;
    qint64 m_totalLines = 0;
    QString m_fileName;
};

namespace SfmFiles
{
// Reads a whole model file; false with why ("the file is a FIFO (named pipe), not a file", the
// system's reason, ...) for what cannot be read or is not a regular file. Shared by all readers.
bool readWhole(const QString &path, QByteArray &data, QString &why);
} // namespace SfmFiles

namespace SfmText
{
// A finite decimal number of usable size (SfmCameras::usableNumber).
bool toNumber(const QByteArray &text, double &value);
// A whole number from 0 to limit.
bool toCount(const QByteArray &text, qint64 &value, qint64 limit = qint64(1) << 40);
} // namespace SfmText
