#include <ksr/tslmodel.h>

#include <algorithm>

void TslNode::updateBoundingBox()
{
    bboxMin = {1.0f, 1.0f, 1.0f};
    bboxMax = {-1.0f, -1.0f, -1.0f};
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const ksr::Point3f &p = positions[i];
        if (i == 0) {
            bboxMin = bboxMax = p;
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            bboxMin[k] = std::min(bboxMin[k], p[k]);
            bboxMax[k] = std::max(bboxMax[k], p[k]);
        }
    }
}

std::size_t TslModel::levelPrimitiveCount(int level) const
{
    std::size_t count = 0;
    const int first = firstNodeOfLevel(level);
    for (int i = first; i < first + nodesInLevel(level) && i < int(nodes.size()); ++i)
        count += nodes[i].primitiveCount(pointCloud);
    return count;
}
