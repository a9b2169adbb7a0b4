#pragma once
// Bounds-checked scanning over a file held in memory, shared by the own importers.
// Never reads past the end; every read reports whether it succeeded.

#include <QByteArray>

#include <cstdint>
#include <cstring>

namespace ksr
{
namespace io
{
namespace detail
{

class ByteScanner
{
public:
    explicit ByteScanner(const QByteArray &data) : m_data(data.constData()), m_size(data.size()) {}

    qint64 position() const { return m_pos; }
    qint64 remaining() const { return m_size - m_pos; }
    bool atEnd() const { return m_pos >= m_size; }
    bool lineTooLong() const { return m_lineTooLong; }
    void seek(qint64 pos) { m_pos = pos < 0 ? 0 : (pos > m_size ? m_size : pos); }

    // Lines of a text model are short: the longest, an OBJ or OFF polygon of 100,000 corners, is
    // about 2 MB. Splitting a longer line into words would take some thirty times its size.
    static constexpr qint64 MaxLineBytes = qint64(4) << 20;

    // Next line without its terminator (LF or CRLF); false at the end of the data, and at a line
    // longer than MaxLineBytes (lineTooLong() then tells, and nothing more is read).
    bool readLine(QByteArray &line)
    {
        if (m_pos >= m_size)
            return false;
        const char *start = m_data + m_pos;
        const void *nl = std::memchr(start, '\n', size_t(m_size - m_pos));
        qint64 len = nl ? static_cast<const char *>(nl) - start : m_size - m_pos;
        if (len > MaxLineBytes) {
            m_lineTooLong = true;
            m_pos = m_size;
            return false;
        }
        m_pos += len + (nl ? 1 : 0);
        if (len > 0 && start[len - 1] == '\r')
            --len;
        line = QByteArray(start, int(len));
        return true;
    }

    // Next whitespace-separated token; false at the end of the data.
    bool readToken(const char *&begin, int &length)
    {
        while (m_pos < m_size && isSpace(m_data[m_pos]))
            ++m_pos;
        if (m_pos >= m_size)
            return false;
        const qint64 start = m_pos;
        while (m_pos < m_size && !isSpace(m_data[m_pos]))
            ++m_pos;
        begin = m_data + start;
        length = int(m_pos - start);
        return true;
    }

    // Raw bytes; false (and nothing consumed) when fewer than n remain.
    bool readBytes(void *out, qint64 n)
    {
        if (n < 0 || remaining() < n)
            return false;
        std::memcpy(out, m_data + m_pos, size_t(n));
        m_pos += n;
        return true;
    }

    // The unread bytes, for readers that decode fixed-size records in place; skip() moves past them.
    const unsigned char *current() const { return reinterpret_cast<const unsigned char *>(m_data + m_pos); }
    void skip(qint64 n) { seek(m_pos + n); }

    static bool isSpace(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    }

private:
    const char *m_data;
    qint64 m_size;
    qint64 m_pos = 0;
    bool m_lineTooLong = false;
};

// Parses a whole token as a number; false for anything else (also for an empty token).
bool parseDouble(const char *begin, int length, double &value);
bool parseLong(const char *begin, int length, long long &value);

} // namespace detail
} // namespace io
} // namespace ksr
