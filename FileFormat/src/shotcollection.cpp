#include "shotcollection.h"

bool isPermutation(const QVector<int> &values)
{
    QVector<bool> seen(values.size(), false);
    for (int v : values) {
        if (v < 0 || v >= values.size() || seen[v])
            return false;
        seen[v] = true;
    }
    return true;
}

bool ShotCollection::setOrderFromPositions(const QVector<int> &positions)
{
    if (!isPermutation(positions))
        return false;
    QVector<int> order(positions.size(), 0);
    for (int k = 0; k < positions.size(); ++k)
        order[positions[k]] = k;
    m_order = order;
    return true;
}

void ShotCollection::fillWriteDefaults()
{
    const int n = shotCount();
    if (m_thumbnailPaths.isEmpty())
        m_thumbnailPaths = m_imagePaths;
    if (m_order.isEmpty()) {
        m_order.resize(n);
        for (int i = 0; i < n; ++i)
            m_order[i] = i;
    }
    if (m_clusterNumbers.isEmpty()) {
        m_clusterNumbers.resize(n);
        for (int i = 0; i < n; ++i)
            m_clusterNumbers[i] = i + 1;
    }
    if (m_projectableFlags.isEmpty())
        for (int i = 0; i < n; ++i)
            m_projectableFlags.append(QStringLiteral("true"));
    if (m_depths.isEmpty())
        m_depths = QVector<float>(n, 1.0f);
}

bool ShotCollection::isConsistent() const
{
    const int n = shotCount();
    return m_thumbnailPaths.size() == n && m_order.size() == n && m_clusterNumbers.size() == n &&
           m_projectableFlags.size() == n && m_depths.size() == n && m_cameras.size() == n &&
           isPermutation(m_order);
}
