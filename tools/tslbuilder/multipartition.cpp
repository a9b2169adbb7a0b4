#include "multipartition.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace
{

const int maxDepth = 20; // a million leaves; finer partitions only come from absurd limits

struct Key3 {
    std::int64_t a, b, c;
    bool operator==(const Key3 &o) const { return a == o.a && b == o.b && c == o.c; }
};
struct Key3Hash {
    std::size_t operator()(const Key3 &k) const
    {
        std::uint64_t h = std::uint64_t(k.a) * 0x9E3779B97F4A7C15ull;
        h ^= std::uint64_t(k.b) + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
        h ^= std::uint64_t(k.c) + 0x94D049BB133111EBull + (h << 6) + (h >> 2);
        return std::size_t(h);
    }
};

Key3 positionKey(const ksr::Point3f &p)
{
    std::uint32_t x, y, z;
    std::memcpy(&x, &p.x, 4);
    std::memcpy(&y, &p.y, 4);
    std::memcpy(&z, &p.z, 4);
    return {x, y, z};
}

struct Primitives {
    std::vector<std::array<int, 3>> faces; // mesh vertex indices; empty for clouds
    std::vector<int> points;               // mesh vertex indices of a cloud
    std::vector<ksr::Point3f> centres;     // one per primitive
};

// Vertices a partition can use: not deleted, and with finite coordinates (NaN would break the
// median split's ordering and the grid's cell numbers).
bool usableVertex(const ksr::CVertex &v)
{
    return !v.isDeleted() && std::isfinite(v.p.x) && std::isfinite(v.p.y) && std::isfinite(v.p.z);
}

Primitives collect(const ksr::CMesh &mesh, bool pointCloud)
{
    Primitives prims;
    const int vertexCount = int(mesh.vert.size());
    if (pointCloud) {
        for (int v = 0; v < vertexCount; ++v) {
            if (!usableVertex(mesh.vert[v]))
                continue;
            prims.points.push_back(v);
            prims.centres.push_back(mesh.vert[v].p);
        }
        return prims;
    }
    for (const ksr::CFace &f : mesh.face) {
        if (f.isDeleted())
            continue;
        bool usable = true;
        for (int k = 0; k < 3; ++k)
            usable = usable && f.v[k] >= 0 && f.v[k] < vertexCount && usableVertex(mesh.vert[f.v[k]]);
        if (!usable || f.v[0] == f.v[1] || f.v[1] == f.v[2] || f.v[0] == f.v[2])
            continue;
        prims.faces.push_back({f.v[0], f.v[1], f.v[2]});
        // Divided first: sums of huge coordinates would overflow.
        prims.centres.push_back(mesh.vert[f.v[0]].p / 3.0f + mesh.vert[f.v[1]].p / 3.0f +
                                mesh.vert[f.v[2]].p / 3.0f);
    }
    return prims;
}

// Splits order[begin, end) at its middle along the longest axis of its centres.
std::size_t splitRange(std::vector<int> &order, std::size_t begin, std::size_t end,
                       const std::vector<ksr::Point3f> &centres)
{
    if (end - begin < 2)
        return begin + (end - begin) / 2;
    ksr::Point3f lo = centres[order[begin]], hi = lo;
    for (std::size_t i = begin + 1; i < end; ++i)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], centres[order[i]][k]);
            hi[k] = std::max(hi[k], centres[order[i]][k]);
        }
    const ksr::Point3f extent = hi - lo;
    const int axis = extent.x >= extent.y && extent.x >= extent.z ? 0 : (extent.y >= extent.z ? 1 : 2);
    const std::size_t middle = begin + (end - begin) / 2;
    std::nth_element(order.begin() + std::ptrdiff_t(begin), order.begin() + std::ptrdiff_t(middle),
                     order.begin() + std::ptrdiff_t(end),
                     [&](int a, int b) { return centres[a][axis] < centres[b][axis]; });
    return middle;
}

// A leaf: the original geometry of its primitives, vertices renumbered per node.
void fillLeaf(TslNode &leaf, const ksr::CMesh &mesh, const Primitives &prims, const std::vector<int> &order,
              std::size_t begin, std::size_t end, const PartitionSettings &settings, std::vector<int> &stamp,
              std::vector<std::uint32_t> &local, int leafId)
{
    auto addVertex = [&](int v) {
        leaf.positions.push_back(mesh.vert[v].p);
        if (settings.keepColors)
            leaf.colors.push_back(mesh.vert[v].c);
        if (settings.pointCloud && settings.inputNormals)
            leaf.normals.push_back(mesh.vert[v].n);
    };
    if (settings.pointCloud) {
        for (std::size_t i = begin; i < end; ++i)
            addVertex(prims.points[order[i]]);
        return;
    }
    for (std::size_t i = begin; i < end; ++i) {
        std::array<std::uint32_t, 3> triangle;
        for (int k = 0; k < 3; ++k) {
            const int v = prims.faces[order[i]][k];
            if (stamp[v] != leafId) {
                stamp[v] = leafId;
                local[v] = std::uint32_t(leaf.positions.size());
                addVertex(v);
            }
            triangle[k] = local[v];
        }
        leaf.triangles.push_back(triangle);
    }
}

// Two siblings as one node, before thinning.
TslNode mergeNodes(const TslNode &a, const TslNode &b)
{
    TslNode merged = a;
    const std::uint32_t offset = std::uint32_t(a.positions.size());
    merged.positions.insert(merged.positions.end(), b.positions.begin(), b.positions.end());
    merged.colors.insert(merged.colors.end(), b.colors.begin(), b.colors.end());
    merged.normals.insert(merged.normals.end(), b.normals.begin(), b.normals.end());
    for (const auto &t : b.triangles)
        merged.triangles.push_back({t[0] + offset, t[1] + offset, t[2] + offset});
    merged.cellSize = std::max(a.cellSize, b.cellSize);
    return merged;
}

// Cell along one axis; clamped so that tiny cells over huge models cannot overflow.
std::int64_t cellNumber(float value, float origin, float cell)
{
    const double n = std::floor((double(value) - double(origin)) / double(cell));
    return std::int64_t(std::clamp(n, -4.0e18, 4.0e18));
}

// One clustering pass: every grid cell keeps one vertex at the mean of its members; triangles
// that collapse or repeat are dropped, and so are vertices no triangle uses any more.
TslNode clusterOnce(const TslNode &in, const ksr::Point3f &origin, float cell,
                    const PartitionSettings &settings)
{
    std::unordered_map<Key3, std::uint32_t, Key3Hash> cellIndex;
    cellIndex.reserve(in.positions.size());
    std::vector<std::uint32_t> remap(in.positions.size());
    std::vector<std::array<double, 3>> sumPosition;
    std::vector<std::array<std::uint32_t, 4>> sumColor;
    std::vector<ksr::Point3f> sumNormal;
    std::vector<std::uint32_t> members;
    for (std::size_t v = 0; v < in.positions.size(); ++v) {
        const ksr::Point3f &p = in.positions[v];
        const Key3 key{cellNumber(p.x, origin.x, cell), cellNumber(p.y, origin.y, cell),
                       cellNumber(p.z, origin.z, cell)};
        auto [it, inserted] = cellIndex.emplace(key, std::uint32_t(members.size()));
        if (inserted) {
            sumPosition.push_back({0.0, 0.0, 0.0});
            sumColor.push_back({0, 0, 0, 0});
            sumNormal.push_back({});
            members.push_back(0);
        }
        const std::uint32_t c = it->second;
        remap[v] = c;
        for (int k = 0; k < 3; ++k)
            sumPosition[c][k] += p[k];
        if (v < in.colors.size()) {
            const ksr::Color4b &col = in.colors[v];
            sumColor[c][0] += col.r;
            sumColor[c][1] += col.g;
            sumColor[c][2] += col.b;
            sumColor[c][3] += col.a;
        }
        if (v < in.normals.size())
            sumNormal[c] += in.normals[v];
        ++members[c];
    }

    std::vector<ksr::Point3f> mean(members.size());
    for (std::size_t c = 0; c < members.size(); ++c)
        mean[c] = {float(sumPosition[c][0] / members[c]), float(sumPosition[c][1] / members[c]),
                   float(sumPosition[c][2] / members[c])};

    TslNode out;
    out.level = in.level;
    out.cellSize = cell;
    std::vector<std::uint32_t> newIndex(members.size(), UINT32_MAX);
    std::vector<std::uint32_t> order; // clusters in the order they are first used
    auto use = [&](std::uint32_t c) {
        if (newIndex[c] == UINT32_MAX) {
            newIndex[c] = std::uint32_t(order.size());
            order.push_back(c);
        }
        return newIndex[c];
    };
    if (settings.pointCloud) {
        for (std::uint32_t c = 0; c < members.size(); ++c)
            use(c);
    } else {
        std::unordered_set<Key3, Key3Hash> seen;
        seen.reserve(in.triangles.size());
        for (const auto &t : in.triangles) {
            const std::uint32_t a = remap[t[0]], b = remap[t[1]], c = remap[t[2]];
            if (a == b || b == c || a == c)
                continue;
            std::array<std::uint32_t, 3> sorted{a, b, c};
            std::sort(sorted.begin(), sorted.end());
            if (!seen.insert({sorted[0], sorted[1], sorted[2]}).second)
                continue;
            // A triangle turned over by the moved corners would show its back and spoil the normals.
            const ksr::Point3f before =
                (in.positions[t[1]] - in.positions[t[0]]).cross(in.positions[t[2]] - in.positions[t[0]]);
            const ksr::Point3f after = (mean[b] - mean[a]).cross(mean[c] - mean[a]);
            if (before.dot(after) <= 0.0f)
                continue;
            out.triangles.push_back({use(a), use(b), use(c)});
        }
    }
    const bool colors = !in.colors.empty();
    for (std::uint32_t c : order) {
        out.positions.push_back(mean[c]);
        if (colors)
            out.colors.push_back(
                {std::uint8_t(sumColor[c][0] / members[c]), std::uint8_t(sumColor[c][1] / members[c]),
                 std::uint8_t(sumColor[c][2] / members[c]), std::uint8_t(sumColor[c][3] / members[c])});
        if (!in.normals.empty())
            out.normals.push_back(sumNormal[c]);
    }
    return out;
}

float longestExtent(const TslNode &node)
{
    if (node.positions.empty())
        return 0.0f;
    ksr::Point3f lo = node.positions.front(), hi = lo;
    for (const ksr::Point3f &p : node.positions)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
    return std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
}

// First cell to try: a little coarser than the children's, or than the geometry's own spacing.
float startingCell(const TslNode &merged, bool pointCloud)
{
    float cell = merged.cellSize * 1.25f;
    if (cell <= 0.0f && !pointCloud && !merged.triangles.empty()) {
        double edges = 0.0;
        for (const auto &t : merged.triangles)
            edges += (merged.positions[t[1]] - merged.positions[t[0]]).length();
        cell = float(1.2 * edges / double(merged.triangles.size()));
    }
    if (cell <= 0.0f && !merged.positions.empty())
        cell = longestExtent(merged) / std::sqrt(float(merged.positions.size()));
    if (!(cell > 0.0f) || !std::isfinite(cell))
        cell = std::max(longestExtent(merged), 1.0f);
    return cell;
}

TslNode thin(const TslNode &merged, const ksr::Point3f &origin, const PartitionSettings &settings)
{
    float cell = startingCell(merged, settings.pointCloud);
    // Once the cell exceeds the model, everything falls into one cell: the loop always ends.
    for (int attempt = 0;; ++attempt) {
        TslNode out = clusterOnce(merged, origin, cell, settings);
        if (out.primitiveCount(settings.pointCloud) <= std::size_t(settings.faceLimit) || attempt >= 400)
            return out;
        cell *= 1.25f;
    }
}

} // namespace

int partitionDepth(std::size_t count, int faceLimit)
{
    const std::size_t limit = std::size_t(std::max(faceLimit, 1));
    int depth = 0;
    // ceil(count / 2^depth) > limit
    while (depth < 62 && ((count + (std::size_t(1) << depth) - 1) >> depth) > limit)
        ++depth;
    return depth;
}

bool buildMultiresolution(const ksr::CMesh &mesh, const PartitionSettings &settings, TslModel &model,
                          const ProgressLine &report, QString &error)
{
    model = TslModel();
    model.pointCloud = settings.pointCloud;
    model.hasColors = settings.keepColors;
    model.faceLimit = settings.faceLimit;

    const Primitives prims = collect(mesh, settings.pointCloud);
    const std::size_t count = prims.centres.size();
    const std::size_t offered = settings.pointCloud ? mesh.vert.size() : mesh.face.size();
    if (count < offered)
        report(QStringLiteral("Skipped %1 %2 that are deleted, degenerate or have invalid coordinates")
                   .arg(offered - count)
                   .arg(settings.pointCloud ? QStringLiteral("points") : QStringLiteral("triangles")));
    if (count == 0) {
        error = settings.pointCloud ? QStringLiteral("the model has no points")
                                    : QStringLiteral("the model has no triangles");
        return false;
    }
    const int depth = partitionDepth(count, settings.faceLimit);
    if (depth > maxDepth) {
        error =
            QStringLiteral("face limit %1 is too small for %2 primitives").arg(settings.faceLimit).arg(count);
        return false;
    }
    model.levelCount = depth + 1;
    model.nodes.resize((std::size_t(1) << model.levelCount) - 1);

    // Balanced kd split, one depth at a time; ranges index into `order`.
    std::vector<int> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = int(i);
    std::vector<std::size_t> bounds{0, count}; // node j of the current depth: [bounds[j], bounds[j+1])
    for (int d = 0; d < depth; ++d) {
        report(QStringLiteral("Building multipartition depth %1 of %2 (%3 nodes)")
                   .arg(d)
                   .arg(depth)
                   .arg(1 << d));
        std::vector<std::size_t> next{0};
        for (std::size_t j = 0; j + 1 < bounds.size(); ++j) {
            next.push_back(splitRange(order, bounds[j], bounds[j + 1], prims.centres));
            next.push_back(bounds[j + 1]);
        }
        bounds.swap(next);
    }
    report(QStringLiteral("Building multipartition depth %1 of %2 (%3 leaves)")
               .arg(depth)
               .arg(depth)
               .arg(1 << depth));
    std::vector<int> stamp(mesh.vert.size(), -1);
    std::vector<std::uint32_t> local(mesh.vert.size(), 0);
    const int firstLeaf = TslModel::firstNodeOfLevel(depth);
    for (int j = 0; j < TslModel::nodesInLevel(depth); ++j) {
        TslNode &leaf = model.nodes[firstLeaf + j];
        leaf.level = depth;
        fillLeaf(leaf, mesh, prims, order, bounds[j], bounds[j + 1], settings, stamp, local, j);
        leaf.updateBoundingBox();
    }
    report(QStringLiteral("N_triangles %1").arg(model.levelPrimitiveCount(depth)));

    ksr::Point3f origin = model.nodes[firstLeaf].bboxMin;
    bool first = true;
    for (int j = 0; j < TslModel::nodesInLevel(depth); ++j) {
        const TslNode &leaf = model.nodes[firstLeaf + j];
        if (leaf.positions.empty())
            continue;
        if (first) {
            model.bboxMin = leaf.bboxMin;
            model.bboxMax = leaf.bboxMax;
            first = false;
        }
        for (int k = 0; k < 3; ++k) {
            model.bboxMin[k] = std::min(model.bboxMin[k], leaf.bboxMin[k]);
            model.bboxMax[k] = std::max(model.bboxMax[k], leaf.bboxMax[k]);
        }
    }
    origin = model.bboxMin;

    for (int level = depth - 1; level >= 0; --level) {
        const int firstNode = TslModel::firstNodeOfLevel(level);
        for (int i = firstNode; i < firstNode + TslModel::nodesInLevel(level); ++i) {
            TslNode &node = model.nodes[i];
            node = thin(mergeNodes(model.nodes[2 * i + 1], model.nodes[2 * i + 2]), origin, settings);
            node.level = level;
            node.updateBoundingBox();
        }
        report(QStringLiteral("N_triangles %1").arg(model.levelPrimitiveCount(level)));
    }
    return true;
}

void uniformNormals(TslModel &model)
{
    for (int level = 0; level < model.levelCount; ++level) {
        const int firstNode = TslModel::firstNodeOfLevel(level);
        const int lastNode = firstNode + TslModel::nodesInLevel(level);
        std::unordered_map<Key3, ksr::Point3f, Key3Hash> sums;
        if (!model.pointCloud) {
            // Area-weighted face normals summed per place, over every node of the level.
            for (int i = firstNode; i < lastNode; ++i) {
                const TslNode &node = model.nodes[i];
                for (const auto &t : node.triangles) {
                    const ksr::Point3f &a = node.positions[t[0]], &b = node.positions[t[1]],
                                       &c = node.positions[t[2]];
                    const ksr::Point3f faceNormal = (b - a).cross(c - a);
                    for (std::uint32_t v : t)
                        sums[positionKey(node.positions[v])] += faceNormal;
                }
            }
        }
        for (int i = firstNode; i < lastNode; ++i) {
            TslNode &node = model.nodes[i];
            node.normals.resize(node.positions.size());
            for (std::size_t v = 0; v < node.positions.size(); ++v) {
                if (!model.pointCloud) {
                    const auto it = sums.find(positionKey(node.positions[v]));
                    node.normals[v] = it == sums.end() ? ksr::Point3f() : it->second;
                }
                node.normals[v].normalize();
            }
        }
    }
}
