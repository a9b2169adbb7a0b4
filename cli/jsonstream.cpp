#include "jsonstream.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace JsonStream
{

namespace
{

class Writer
{
public:
    explicit Writer(std::FILE *out) : m_out(out) {}

    bool ok() const { return m_ok; }

    void object(const QJsonObject &object, int indent)
    {
        put("{\n");
        for (auto it = object.begin(); it != object.end(); ++it) {
            spaces(indent + 1);
            put(scalar(QJsonValue(it.key())));
            put(": ");
            value(it.value(), indent + 1);
            put(std::next(it) == object.end() ? "\n" : ",\n");
        }
        spaces(indent);
        put("}");
    }

private:
    void value(const QJsonValue &value, int indent)
    {
        if (value.isObject())
            object(value.toObject(), indent);
        else if (value.isArray())
            array(value.toArray(), indent);
        else
            put(scalar(value));
    }

    void array(const QJsonArray &array, int indent)
    {
        put("[\n");
        // Numbers formatted by the library in one go, then cut at the commas.
        const QList<QByteArray> numbers =
            allNumbers(array)
                ? QJsonDocument(array).toJson(QJsonDocument::Compact).chopped(1).sliced(1).split(',')
                : QList<QByteArray>();
        for (qsizetype i = 0; i < array.size(); ++i) {
            spaces(indent + 1);
            if (!numbers.isEmpty())
                put(numbers.at(i));
            else
                value(array.at(i), indent + 1);
            put(i + 1 == array.size() ? "\n" : ",\n");
        }
        spaces(indent);
        put("]");
    }

    static bool allNumbers(const QJsonArray &array)
    {
        for (const QJsonValue &v : array)
            if (!v.isDouble())
                return false;
        return !array.isEmpty();
    }

    // A string, number, boolean or null exactly as the library writes it.
    static QByteArray scalar(const QJsonValue &value)
    {
        return QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).chopped(1).sliced(1);
    }

    void spaces(int indent)
    {
        static const QByteArray blank(4 * 64, ' ');
        for (int left = 4 * indent; left > 0; left -= blank.size())
            write(blank.constData(), std::min<qsizetype>(left, blank.size()));
    }

    void put(const QByteArray &text) { write(text.constData(), text.size()); }
    void put(const char *text) { write(text, qsizetype(qstrlen(text))); }
    void write(const char *data, qsizetype size)
    {
        m_ok = m_ok && std::fwrite(data, 1, size_t(size), m_out) == size_t(size);
    }

    std::FILE *m_out;
    bool m_ok = true;
};

} // namespace

bool writeIndented(const QJsonObject &object, std::FILE *out)
{
    Writer writer(out);
    writer.object(object, 0);
    return writer.ok() && std::fputc('\n', out) != EOF && std::fflush(out) == 0;
}

} // namespace JsonStream
