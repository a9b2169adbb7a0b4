#include <ksr/decodebudget.h>

#include <QSemaphore>

#include <algorithm>

namespace ksr
{

namespace
{

constexpr qint64 Unit = 1024 * 1024;

QSemaphore &budget()
{
    static QSemaphore units(int(DecodeBudget::TotalBytes / Unit));
    return units;
}

} // namespace

qint64 DecodeBudget::bytesFor(const QSize &decodedSize)
{
    if (!decodedSize.isValid())
        return 0;
    return 2 * 4 * qint64(decodedSize.width()) * qint64(decodedSize.height());
}

DecodeBudget::DecodeBudget(qint64 bytes)
    : m_units(int(std::clamp<qint64>((bytes + Unit - 1) / Unit, 0, TotalBytes / Unit)))
{
    budget().acquire(m_units);
}

DecodeBudget::~DecodeBudget()
{
    budget().release(m_units);
}

} // namespace ksr
