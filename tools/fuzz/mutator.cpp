#include "mutator.h"

namespace
{

const char *const Numbers[] = {
    "0",   "-1",   "2147483647", "-2147483648", "4294967296", "9223372036854775807", "1e308", "-1e308", "nan",
    "inf", "-inf", "1e-320",     "65535",       "255"};
const unsigned char Bytes[] = {0x00, 0x01, 0x7f, 0x80, 0xff, 0xfe, '\n', ' ', '<', '>', '"', '-', '9'};

bool isNumberChar(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e';
}

} // namespace

QByteArray Mutator::mutate(const QByteArray &seed, const QList<QByteArray> &others)
{
    QByteArray data = seed;
    const int rounds = 1 + below(8);
    for (int i = 0; i < rounds; ++i)
        mutateOnce(data, others);
    return data;
}

void Mutator::replaceNumber(QByteArray &data)
{
    // Find a digit from a random place, then swap the whole number for an extreme one.
    const int start = below(data.size());
    int at = start;
    while (at < data.size() && !(data[at] >= '0' && data[at] <= '9'))
        ++at;
    if (at >= data.size())
        return;
    int begin = at, end = at;
    while (begin > 0 && isNumberChar(data[begin - 1]))
        --begin;
    while (end < data.size() && isNumberChar(data[end]))
        ++end;
    data.replace(begin, end - begin, Numbers[below(int(std::size(Numbers)))]);
}

void Mutator::mutateOnce(QByteArray &data, const QList<QByteArray> &others)
{
    if (data.isEmpty()) {
        data.append(char(below(256)));
        return;
    }
    const int at = below(data.size());
    switch (below(9)) {
    case 0: // flip a bit
        data[at] = char(data[at] ^ (1 << below(8)));
        break;
    case 1: // an interesting byte
        data[at] = char(Bytes[below(int(sizeof Bytes))]);
        break;
    case 2:
    case 3:
        replaceNumber(data);
        break;
    case 4: // cut a chunk
        data.remove(at, 1 + below(std::min<int>(64, int(data.size()) - at)));
        break;
    case 5: { // repeat a chunk
        const QByteArray chunk = data.mid(at, 1 + below(64));
        data.insert(below(data.size() + 1), chunk.repeated(1 + below(4)));
        break;
    }
    case 6: // truncate
        data.truncate(at);
        break;
    case 7: { // splice in a piece of another seed
        if (others.isEmpty())
            break;
        const QByteArray &other = others[below(int(others.size()))];
        if (other.isEmpty())
            break;
        const int from = below(int(other.size()));
        data.replace(at, below(32), other.mid(from, 1 + below(256)));
        break;
    }
    default: { // little-endian 32-bit extreme value, for binary counts
        static const quint32 values[] = {0xffffffffu, 0x7fffffffu, 0x80000000u, 0x10000u, 0u};
        const quint32 value = values[below(int(std::size(values)))];
        for (int k = 0; k < 4 && at + k < data.size(); ++k)
            data[at + k] = char((value >> (8 * k)) & 0xff);
        break;
    }
    }
}
