#pragma once
// One memory budget for every photograph being decoded in the process at once: the thumbnail
// job's decoders and the colour features each hold what their decode really takes (the decoded
// pixels, four bytes each, and the converted copy that follows) for as long as it runs, and wait
// while the budget is spent. A decode larger than the whole budget waits until it has it alone.
// Thread-safe; Qt Core only.

#include <QSize>
#include <QtGlobal>

namespace ksr
{

class DecodeBudget
{
public:
    // The budget shared by every decode, in bytes.
    static constexpr qint64 TotalBytes = qint64(1024) * 1024 * 1024;

    // What decoding a picture of this size takes at its peak: the decoded pixels and one copy.
    static qint64 bytesFor(const QSize &decodedSize);

    // Waits until bytes (at most the whole budget) are free, and holds them until destroyed.
    explicit DecodeBudget(qint64 bytes);
    ~DecodeBudget();
    DecodeBudget(const DecodeBudget &) = delete;
    DecodeBudget &operator=(const DecodeBudget &) = delete;

private:
    int m_units; // mebibytes held
};

} // namespace ksr
