#include "featurestore.h"

#include <QFileInfo>

namespace
{

// True when the record was made from this very file: same size and modification time.
bool matchesFile(const ShotFeatures &record, const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return record.fileSize < 0;
    return record.fileSize == info.size() &&
           record.fileModifiedMSecs == info.lastModified().toMSecsSinceEpoch();
}

} // namespace

std::optional<ShotFeatures> FeatureStore::find(const QString &imagePath, ImageFeatureNeeds needs) const
{
    std::optional<ShotFeatures> record;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_records.constFind(imagePath);
        if (found == m_records.constEnd())
            return std::nullopt;
        record = *found;
    }
    // The file is looked at outside the lock: other threads need not wait for the disk.
    if (!matchesFile(*record, imagePath) || !coversNeeds(*record, needs))
        return std::nullopt;
    return record;
}

void FeatureStore::store(const ShotFeatures &features)
{
    if (features.name.isEmpty())
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_records.insert(features.name, features);
}

int FeatureStore::size() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_records.size());
}

void FeatureStore::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_records.clear();
}
