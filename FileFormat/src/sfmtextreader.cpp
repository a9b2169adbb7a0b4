#include "sfmtextreader.h"

#include "sfmreconstruction.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <ksr/inputlimits.h>

#include <cstring>

namespace
{

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

SfmFields::SfmFields(const QByteArray &line) : m_line(line)
{
    const char *text = m_line.constData();
    for (qsizetype i = 0; i < m_line.size(); ++i)
        if (!isSpace(text[i]) && (i == 0 || isSpace(text[i - 1])))
            m_starts.push_back(quint32(i));
    // An empty line has one empty field, as splitting it would give.
    if (m_starts.empty())
        m_starts.push_back(0);
}

QByteArray SfmFields::at(qsizetype i) const
{
    const qsizetype start = m_starts.at(std::size_t(i));
    qsizetype end = start;
    while (end < m_line.size() && !isSpace(m_line.at(end)))
        ++end;
    return m_line.mid(start, end - start);
}

bool SfmTextReader::open(const QString &path, QString *error)
{
    m_fileName = QFileInfo(path).fileName();
    m_data.clear();
    QString why;
    if (!SfmFiles::readWhole(path, m_data, why)) {
        if (error)
            *error =
                QCoreApplication::translate("SfmReader", "%1 could not be read: %2").arg(m_fileName, why);
        return false;
    }
    m_position = 0;
    m_lineNumber = 0;
    // One pass counts the lines and finds any too long before a reader copies or splits one.
    const char *data = m_data.constData();
    const qsizetype size = m_data.size();
    qint64 newlines = 0;
    for (qsizetype start = 0; start < size; ++newlines) {
        const void *found = std::memchr(data + start, '\n', std::size_t(size - start));
        const qsizetype end = found ? static_cast<const char *>(found) - data : size;
        if (end - start > MaxLineBytes) {
            m_lineNumber = int(newlines + 1);
            if (error)
                *error = message(QCoreApplication::translate("SfmReader",
                                                             "the line is longer than %1 MB, more than any "
                                                             "reconstruction writes")
                                     .arg(MaxLineBytes >> 20));
            m_data.clear();
            return false;
        }
        start = end + 1;
        if (!found)
            break;
    }
    m_totalLines = newlines + (m_data.endsWith('\n') ? 0 : 1);
    return true;
}

bool SfmTextReader::nextLine(bool skipBlank)
{
    while (m_position < m_data.size()) {
        qsizetype end = m_data.indexOf('\n', m_position);
        if (end < 0)
            end = m_data.size();
        m_line = m_data.mid(m_position, end - m_position).trimmed();
        m_position = end + 1;
        ++m_lineNumber;
        if (!skipBlank || (!m_line.isEmpty() && !m_line.startsWith('#')))
            return true;
    }
    m_line.clear();
    return false;
}

QString SfmTextReader::message(const QString &text) const
{
    return QCoreApplication::translate("SfmReader", "%1, line %2: %3")
        .arg(m_fileName, QString::number(m_lineNumber), text);
}

namespace SfmFiles
{

bool readWhole(const QString &path, QByteArray &data, QString &why)
{
    // Named first: opening a FIFO would wait for a writer, a link to a device would read without end.
    why = ksr::inputFileProblem(path);
    if (!why.isEmpty()) {
        why = QCoreApplication::translate("SfmReader", "the file %1").arg(why);
        return false;
    }
    return ksr::readBoundedFile(path, data, &why) == ksr::ReadResult::Ok;
}

} // namespace SfmFiles

namespace SfmText
{

bool toNumber(const QByteArray &text, double &value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && SfmCameras::usableNumber(value);
}

bool toCount(const QByteArray &text, qint64 &value, qint64 limit)
{
    bool ok = false;
    value = text.toLongLong(&ok, 10);
    return ok && value >= 0 && value <= limit;
}

} // namespace SfmText
