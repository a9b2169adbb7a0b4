#include "multipartition.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace
{

const int maxDepth = 20; // a million leaves; finer partitions only come from absurd limits

// The leaves that use each mesh vertex (leaves are numbered left to right, so a node covers a
// range of them). A vertex used inside and outside a node lies on the node's border: it keeps its
// place in that node, so that neighbouring nodes of any levels meet edge to edge in a cut.
struct Seams {
    int depth = 0;
    std::vector<std::int32_t> firstLeaf, lastLeaf;

    bool onBorder(std::int32_t vertex, int level, int indexInLevel) const
    {
        const int shift = depth - level;
        const std::int32_t first = std::int32_t(indexInLevel) << shift;
        const std::int32_t last = ((std::int32_t(indexInLevel) + 1) << shift) - 1;
        return firstLeaf[std::size_t(vertex)] < first || lastLeaf[std::size_t(vertex)] > last;
    }
};

// A grid cell (cell numbers along x, y, z) or a sorted triangle (three vertex numbers).
struct Key3 {
    std::int64_t a, b, c;
    bool operator==(const Key3 &o) const { return a == o.a && b == o.b && c == o.c; }
    std::uint64_t hash() const
    {
        return std::uint64_t(a) * 0x9E3779B97F4A7C15ull ^
               (std::uint64_t(b) + 0x632BE59BD9B4E019ull) * 0xBF58476D1CE4E5B9ull ^
               std::uint64_t(c) * 0xC2B2AE3D27D4EB4Full;
    }
};

// An exact position: the bits of its three floats.
struct PositionKey {
    std::uint32_t x, y, z;
    bool operator==(const PositionKey &o) const { return x == o.x && y == o.y && z == o.z; }
    std::uint64_t hash() const
    {
        return (std::uint64_t(x) | std::uint64_t(y) << 32) * 0x9E3779B97F4A7C15ull ^
               std::uint64_t(z) * 0xC2B2AE3D27D4EB4Full;
    }
};

std::uint64_t mix(std::uint64_t h)
{
    h ^= h >> 31;
    h *= 0x7FB5D329728EA185ull;
    h ^= h >> 27;
    h *= 0x81DADEF4BC2DD44Dull;
    h ^= h >> 33;
    return h;
}

// Numbers distinct keys 0, 1, 2, ... in the order they are first added. Open addressing in one
// flat array: millions of keys per pass, where a node per key spends more time in the
// allocator and in cache misses than in the work.
template <typename Key> class KeyNumbering
{
public:
    explicit KeyNumbering(std::size_t expected)
    {
        // At most two keys in three slots: probes stay short, the table small.
        std::size_t capacity = 16;
        while (2 * capacity < 3 * expected)
            capacity *= 2;
        m_slots.resize(capacity);
    }
    // The key's number; `added` tells whether it is new.
    std::uint32_t add(const Key &key, bool &added)
    {
        if (3 * (m_count + 1) > 2 * m_slots.size())
            grow();
        Slot &slot = m_slots[slotOf(key)];
        added = slot.number == 0;
        if (added) {
            slot.key = key;
            slot.number = std::uint32_t(++m_count);
            m_used.push_back(std::uint32_t(&slot - m_slots.data()));
        }
        return slot.number - 1;
    }
    // Where the key's search starts. Prefetching it for the next keys while this one is added
    // hides most cache misses in a table larger than the caches. (The prefetch stays with the
    // caller: in a function of its own the compiler drops it as having no effect.)
    const void *firstSlot(const Key &key) const
    {
        return m_slots.data() + (std::size_t(mix(key.hash())) & (m_slots.size() - 1));
    }
    std::size_t size() const { return m_count; }
    // Empties the numbering for about `expected` keys, keeping the memory: only the slots in
    // use are reset, so numbering many small sets costs nothing per set beyond its keys.
    void clear(std::size_t expected)
    {
        if (3 * expected > 2 * m_slots.size()) {
            *this = KeyNumbering(expected);
            return;
        }
        for (std::uint32_t slot : m_used)
            m_slots[slot].number = 0;
        m_used.clear();
        m_count = 0;
    }

private:
    struct Slot {
        Key key;
        std::uint32_t number = 0; // key number + 1; 0 = empty
    };
    // The slot holding the key, or the empty slot where it belongs.
    std::size_t slotOf(const Key &key) const
    {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t slot = std::size_t(mix(key.hash())) & mask;
        while (m_slots[slot].number != 0 && !(m_slots[slot].key == key))
            slot = (slot + 1) & mask;
        return slot;
    }
    void grow()
    {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        m_used.clear();
        for (const Slot &s : old)
            if (s.number != 0) {
                const std::size_t slot = slotOf(s.key);
                m_slots[slot] = s;
                m_used.push_back(std::uint32_t(slot));
            }
    }

    std::vector<Slot> m_slots;
    std::vector<std::uint32_t> m_used; // slots in use
    std::size_t m_count = 0;
};

PositionKey positionKey(const ksr::Point3f &p)
{
    PositionKey key;
    std::memcpy(&key.x, &p.x, 4);
    std::memcpy(&key.y, &p.y, 4);
    std::memcpy(&key.z, &p.z, 4);
    return key;
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
    prims.centres.reserve(pointCloud ? mesh.vert.size() : mesh.face.size());
    if (pointCloud)
        prims.points.reserve(mesh.vert.size());
    else
        prims.faces.reserve(mesh.face.size());
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

// A primitive's centre beside its number, so that the kd split reads memory in order.
struct Placed {
    ksr::Point3f centre;
    int index;
};

// Splits items[begin, end) at its middle along the longest axis of its centres. The selection
// compares only the centres' coordinates, so the numbers come out in the order a selection on
// the numbers alone, comparing the same coordinates, would leave them.
std::size_t splitRange(std::vector<Placed> &items, std::size_t begin, std::size_t end)
{
    if (end - begin < 2)
        return begin + (end - begin) / 2;
    ksr::Point3f lo = items[begin].centre, hi = lo;
    for (std::size_t i = begin + 1; i < end; ++i) {
        const ksr::Point3f &c = items[i].centre;
        lo = {std::min(lo.x, c.x), std::min(lo.y, c.y), std::min(lo.z, c.z)};
        hi = {std::max(hi.x, c.x), std::max(hi.y, c.y), std::max(hi.z, c.z)};
    }
    const ksr::Point3f extent = hi - lo;
    const int axis = extent.x >= extent.y && extent.x >= extent.z ? 0 : (extent.y >= extent.z ? 1 : 2);
    const std::size_t middle = begin + (end - begin) / 2;
    const auto first = items.begin() + std::ptrdiff_t(begin), nth = items.begin() + std::ptrdiff_t(middle),
               last = items.begin() + std::ptrdiff_t(end);
    if (axis == 0)
        std::nth_element(first, nth, last,
                         [](const Placed &a, const Placed &b) { return a.centre.x < b.centre.x; });
    else if (axis == 1)
        std::nth_element(first, nth, last,
                         [](const Placed &a, const Placed &b) { return a.centre.y < b.centre.y; });
    else
        std::nth_element(first, nth, last,
                         [](const Placed &a, const Placed &b) { return a.centre.z < b.centre.z; });
    return middle;
}

// A leaf: the original geometry of its primitives, vertices renumbered per node.
void fillLeaf(TslNode &leaf, const ksr::CMesh &mesh, const Primitives &prims, const std::vector<int> &order,
              std::size_t begin, std::size_t end, const PartitionSettings &settings, std::vector<int> &stamp,
              std::vector<std::uint32_t> &local, std::vector<int> &used, int leafId)
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
    // Vertices numbered in the order first used, then copied at their final count.
    used.clear();
    leaf.triangles.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        std::array<std::uint32_t, 3> triangle;
        for (int k = 0; k < 3; ++k) {
            const int v = prims.faces[order[i]][k];
            if (stamp[v] != leafId) {
                stamp[v] = leafId;
                local[v] = std::uint32_t(used.size());
                used.push_back(v);
            }
            triangle[k] = local[v];
        }
        leaf.triangles.push_back(triangle);
    }
    leaf.positions.reserve(used.size());
    leaf.colors.reserve(settings.keepColors ? used.size() : 0);
    for (int v : used)
        addVertex(v);
}

// Two siblings as one node, before thinning.
TslNode mergeNodes(const TslNode &a, const TslNode &b)
{
    // Each array sized once: copying `a` and then appending would copy it twice.
    TslNode merged;
    merged.level = a.level;
    merged.bboxMin = a.bboxMin;
    merged.bboxMax = a.bboxMax;
    auto join = [](auto &to, const auto &first, const auto &second) {
        to.reserve(first.size() + second.size());
        to.insert(to.end(), first.begin(), first.end());
        to.insert(to.end(), second.begin(), second.end());
    };
    const std::uint32_t offset = std::uint32_t(a.positions.size());
    join(merged.positions, a.positions, b.positions);
    join(merged.colors, a.colors, b.colors);
    join(merged.normals, a.normals, b.normals);
    merged.triangles.reserve(a.triangles.size() + b.triangles.size());
    merged.triangles.insert(merged.triangles.end(), a.triangles.begin(), a.triangles.end());
    for (const auto &t : b.triangles)
        merged.triangles.push_back({t[0] + offset, t[1] + offset, t[2] + offset});
    merged.cellSize = std::max(a.cellSize, b.cellSize);
    return merged;
}

// Cell along one axis; clamped so that tiny cells over huge models cannot overflow.
std::int64_t cellNumber(float value, float origin, float cell)
{
    const double n = (double(value) - double(origin)) / double(cell);
    if (!(std::abs(n) < 4.0e18))
        return std::int64_t(std::clamp(n, -4.0e18, 4.0e18));
    // Floor by truncation: std::floor is a library call on plain x86-64.
    const std::int64_t truncated = std::int64_t(n);
    return double(truncated) > n ? truncated - 1 : truncated;
}

// Working memory of the clustering passes, kept from one pass to the next.
struct ClusterScratch {
    KeyNumbering<Key3> cells{0};
    std::vector<std::uint32_t> remap;
    std::vector<std::array<double, 3>> sumPosition;
    std::vector<std::array<std::uint32_t, 4>> sumColor;
    std::vector<ksr::Point3f> sumNormal;
    std::vector<std::uint32_t> members;
    std::vector<std::int32_t> clusterVertex; // the mesh vertex a locked cluster is, else -1
    std::vector<ksr::Point3f> mean;
    std::vector<std::uint32_t> newIndex;
    std::vector<std::uint32_t> order;
    std::vector<std::array<std::uint32_t, 3>> triangles; // kept ones, copied out at their final count
    // Triangles met so far, listed under their smallest cluster: a repeat is found by walking a
    // short list.
    struct Met {
        std::uint32_t b, c, next;
    };
    std::vector<std::uint32_t> firstMet;
    std::vector<Met> met;
};

// One clustering pass: every grid cell keeps one vertex at the mean of its members; triangles
// that collapse or repeat are dropped, and so are vertices no triangle uses any more. A vertex
// with locked[v] >= 0 (the mesh vertex it is) keeps its place: it is a cluster of its own, shared
// only with its copies; lockedOut receives, per kept vertex, its mesh vertex or -1.
TslNode clusterOnce(const TslNode &in, const ksr::Point3f &origin, float cell,
                    const PartitionSettings &settings, const std::vector<std::int32_t> &locked,
                    std::vector<std::int32_t> &lockedOut, ClusterScratch &s)
{
    s.cells.clear(in.positions.size());
    s.remap.resize(in.positions.size());
    s.sumPosition.clear();
    s.sumColor.clear();
    s.sumNormal.clear();
    s.members.clear();
    s.clusterVertex.clear();
    s.triangles.clear();
    const bool locking = !locked.empty();
    // Grid cells' numbers are clamped far above INT64_MIN: locked vertices cannot meet a cell.
    auto cellOf = [&](std::size_t v) {
        if (locking && locked[v] >= 0)
            return Key3{INT64_MIN, locked[v], 0};
        const ksr::Point3f &p = in.positions[v];
        return Key3{cellNumber(p.x, origin.x, cell), cellNumber(p.y, origin.y, cell),
                    cellNumber(p.z, origin.z, cell)};
    };
    // The cells of the next few vertices, their slots already asked for.
    constexpr std::size_t lookAhead = 8;
    std::array<Key3, lookAhead> ahead;
    const std::size_t vertexCount = in.positions.size();
    for (std::size_t v = 0; v < std::min(lookAhead, vertexCount); ++v) {
        ahead[v] = cellOf(v);
        __builtin_prefetch(s.cells.firstSlot(ahead[v]));
    }
    for (std::size_t v = 0; v < vertexCount; ++v) {
        const ksr::Point3f &p = in.positions[v];
        const Key3 key = ahead[v % lookAhead];
        if (v + lookAhead < vertexCount) {
            ahead[v % lookAhead] = cellOf(v + lookAhead);
            __builtin_prefetch(s.cells.firstSlot(ahead[v % lookAhead]));
        }
        bool inserted = false;
        const std::uint32_t c = s.cells.add(key, inserted);
        if (inserted) {
            s.sumPosition.push_back({0.0, 0.0, 0.0});
            s.sumColor.push_back({0, 0, 0, 0});
            s.sumNormal.push_back({});
            s.members.push_back(0);
            s.clusterVertex.push_back(locking && locked[v] >= 0 ? locked[v] : -1);
        }
        s.remap[v] = c;
        for (int k = 0; k < 3; ++k)
            s.sumPosition[c][k] += p[k];
        if (v < in.colors.size()) {
            const ksr::Color4b &col = in.colors[v];
            s.sumColor[c][0] += col.r;
            s.sumColor[c][1] += col.g;
            s.sumColor[c][2] += col.b;
            s.sumColor[c][3] += col.a;
        }
        if (v < in.normals.size())
            s.sumNormal[c] += in.normals[v];
        ++s.members[c];
    }

    const std::size_t clusters = s.members.size();
    s.mean.resize(clusters);
    for (std::size_t c = 0; c < clusters; ++c)
        s.mean[c] = {float(s.sumPosition[c][0] / s.members[c]), float(s.sumPosition[c][1] / s.members[c]),
                     float(s.sumPosition[c][2] / s.members[c])};

    TslNode out;
    out.level = in.level;
    out.cellSize = cell;
    s.newIndex.assign(clusters, UINT32_MAX);
    s.order.clear(); // clusters in the order they are first used
    auto use = [&](std::uint32_t c) {
        if (s.newIndex[c] == UINT32_MAX) {
            s.newIndex[c] = std::uint32_t(s.order.size());
            s.order.push_back(c);
        }
        return s.newIndex[c];
    };
    if (settings.pointCloud) {
        for (std::uint32_t c = 0; c < clusters; ++c)
            use(c);
    } else {
        s.firstMet.assign(clusters, UINT32_MAX);
        s.met.clear();
        const std::vector<ksr::Point3f> &mean = s.mean;
        for (const auto &t : in.triangles) {
            const std::uint32_t a = s.remap[t[0]], b = s.remap[t[1]], c = s.remap[t[2]];
            if (a == b || b == c || a == c)
                continue;
            // Sorted by three compare-and-swaps.
            std::array<std::uint32_t, 3> sorted{a, b, c};
            if (sorted[1] < sorted[0])
                std::swap(sorted[0], sorted[1]);
            if (sorted[2] < sorted[1])
                std::swap(sorted[1], sorted[2]);
            if (sorted[1] < sorted[0])
                std::swap(sorted[0], sorted[1]);
            bool repeat = false;
            for (std::uint32_t m = s.firstMet[sorted[0]]; m != UINT32_MAX && !repeat; m = s.met[m].next)
                repeat = s.met[m].b == sorted[1] && s.met[m].c == sorted[2];
            if (repeat)
                continue;
            s.met.push_back({sorted[1], sorted[2], s.firstMet[sorted[0]]});
            s.firstMet[sorted[0]] = std::uint32_t(s.met.size() - 1);
            // A triangle turned over by the moved corners would show its back and spoil the normals.
            const ksr::Point3f before =
                (in.positions[t[1]] - in.positions[t[0]]).cross(in.positions[t[2]] - in.positions[t[0]]);
            const ksr::Point3f after = (mean[b] - mean[a]).cross(mean[c] - mean[a]);
            if (before.dot(after) <= 0.0f)
                continue;
            s.triangles.push_back({use(a), use(b), use(c)});
        }
    }
    const bool colors = !in.colors.empty();
    out.triangles.assign(s.triangles.begin(), s.triangles.end());
    out.positions.reserve(s.order.size());
    out.colors.reserve(colors ? s.order.size() : 0);
    out.normals.reserve(in.normals.empty() ? 0 : s.order.size());
    lockedOut.clear();
    if (locking)
        lockedOut.reserve(s.order.size());
    for (std::uint32_t c : s.order) {
        if (locking)
            lockedOut.push_back(s.clusterVertex[c]);
        out.positions.push_back(s.mean[c]); // a locked vertex's copies are one point: their mean is it
        if (colors)
            out.colors.push_back({std::uint8_t(s.sumColor[c][0] / s.members[c]),
                                  std::uint8_t(s.sumColor[c][1] / s.members[c]),
                                  std::uint8_t(s.sumColor[c][2] / s.members[c]),
                                  std::uint8_t(s.sumColor[c][3] / s.members[c])});
        if (!in.normals.empty())
            out.normals.push_back(s.sumNormal[c]);
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

// Thins `merged` to the face limit. Locked vertices (see clusterOnce) do not thin: when they alone
// keep the node above the limit, the coarsening stops once the cell spans the node.
TslNode thin(const TslNode &merged, const ksr::Point3f &origin, const PartitionSettings &settings,
             const std::vector<std::int32_t> &locked, std::vector<std::int32_t> &lockedOut,
             ClusterScratch &scratch)
{
    float cell = startingCell(merged, settings.pointCloud);
    const float span = 2.0f * longestExtent(merged);
    // Once the cell exceeds the model, everything falls into one cell: the loop always ends.
    for (int attempt = 0;; ++attempt) {
        TslNode out = clusterOnce(merged, origin, cell, settings, locked, lockedOut, scratch);
        if (out.primitiveCount(settings.pointCloud) <= std::size_t(settings.faceLimit) || attempt >= 400 ||
            (!locked.empty() && cell > span))
            return out;
        cell *= 1.25f;
    }
}

// Threads for work split into independent jobs: one per processor, a few at most.
int workerCount()
{
    return std::clamp(int(std::thread::hardware_concurrency()), 1, 4);
}

// Runs job(i, worker) for i = 0 .. count - 1 on workerCount() threads, this one included; each
// worker takes the next job when done with one, so uneven jobs spread out. Jobs must touch
// disjoint data; `worker` (below workerCount()) picks per-thread working memory.
template <typename Job> void runInParallel(int count, const Job &job)
{
    const int workers = std::min(workerCount(), count);
    std::atomic<int> next{0};
    auto work = [&](int worker) {
        for (int i = next++; i < count; i = next++)
            job(i, worker);
    };
    std::vector<std::thread> threads;
    for (int worker = 1; worker < workers; ++worker)
        threads.emplace_back(work, worker);
    work(0);
    for (std::thread &thread : threads)
        thread.join();
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
    std::vector<Placed> items(count);
    for (std::size_t i = 0; i < count; ++i)
        items[i] = {prims.centres[i], int(i)};
    std::vector<std::size_t> bounds{0, count}; // node j of the current depth: [bounds[j], bounds[j+1])
    for (int d = 0; d < depth; ++d) {
        report(QStringLiteral("Building multipartition depth %1 of %2 (%3 nodes)")
                   .arg(d)
                   .arg(depth)
                   .arg(1 << d));
        // The nodes of one depth split disjoint ranges: side by side.
        const int nodes = int(bounds.size()) - 1;
        std::vector<std::size_t> next(2 * std::size_t(nodes) + 1, 0);
        runInParallel(nodes, [&](int j, int) {
            next[2 * std::size_t(j) + 1] =
                splitRange(items, bounds[std::size_t(j)], bounds[std::size_t(j) + 1]);
            next[2 * std::size_t(j) + 2] = bounds[std::size_t(j) + 1];
        });
        bounds.swap(next);
    }
    std::vector<int> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = items[i].index;
    items = std::vector<Placed>();
    report(QStringLiteral("Building multipartition depth %1 of %2 (%3 leaves)")
               .arg(depth)
               .arg(depth)
               .arg(1 << depth));
    // Leaves are filled side by side, each worker with its own vertex renumbering.
    const int firstLeaf = TslModel::firstNodeOfLevel(depth);
    const int leaves = TslModel::nodesInLevel(depth);
    Seams seams;
    seams.depth = depth;
    // Per node, per vertex: the mesh vertex it is while on the node's border, else -1.
    std::vector<std::vector<std::int32_t>> borderVertices(settings.pointCloud ? 0 : model.nodes.size());
    const std::size_t fillers = std::size_t(std::min(workerCount(), leaves));
    std::vector<std::vector<int>> stamps(fillers);
    std::vector<std::vector<std::uint32_t>> locals(fillers);
    std::vector<std::vector<int>> useds(fillers);
    runInParallel(leaves, [&](int j, int worker) {
        std::vector<int> &stamp = stamps[std::size_t(worker)];
        std::vector<std::uint32_t> &local = locals[std::size_t(worker)];
        if (stamp.empty() && !settings.pointCloud) {
            stamp.assign(mesh.vert.size(), -1);
            local.assign(mesh.vert.size(), 0);
        }
        TslNode &leaf = model.nodes[std::size_t(firstLeaf + j)];
        leaf.level = depth;
        std::vector<int> &used = useds[std::size_t(worker)];
        fillLeaf(leaf, mesh, prims, order, bounds[std::size_t(j)], bounds[std::size_t(j) + 1], settings,
                 stamp, local, used, j);
        leaf.updateBoundingBox();
        if (!settings.pointCloud) // every mesh vertex for now; the border is known once all leaves are
            borderVertices[std::size_t(firstLeaf + j)].assign(used.begin(), used.end());
    });
    if (!settings.pointCloud) {
        // Each leaf lists a vertex once: far fewer visits than the triangles' corners.
        seams.firstLeaf.assign(mesh.vert.size(), -1);
        seams.lastLeaf.assign(mesh.vert.size(), -1);
        for (int j = 0; j < leaves; ++j)
            for (std::int32_t v : borderVertices[std::size_t(firstLeaf + j)]) {
                if (seams.firstLeaf[std::size_t(v)] < 0)
                    seams.firstLeaf[std::size_t(v)] = j;
                seams.lastLeaf[std::size_t(v)] = j;
            }
        runInParallel(leaves, [&](int j, int) {
            for (std::int32_t &v : borderVertices[std::size_t(firstLeaf + j)])
                v = seams.onBorder(v, depth, j) ? v : -1;
        });
    }
    stamps = {};
    locals = {};
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

    // The nodes of a level depend only on the level below: they are thinned side by side.
    std::vector<ClusterScratch> scratch(static_cast<std::size_t>(workerCount()));
    for (int level = depth - 1; level >= 0; --level) {
        const int firstNode = TslModel::firstNodeOfLevel(level);
        runInParallel(TslModel::nodesInLevel(level), [&](int j, int worker) {
            const std::size_t i = std::size_t(firstNode + j);
            std::vector<std::int32_t> locked;
            if (!settings.pointCloud) {
                // The children's borders, less the seam between them.
                std::vector<std::int32_t> &left = borderVertices[2 * i + 1],
                                          &right = borderVertices[2 * i + 2];
                locked.reserve(left.size() + right.size());
                for (const std::vector<std::int32_t> *child : {&left, &right})
                    for (std::int32_t v : *child)
                        locked.push_back(v >= 0 && seams.onBorder(v, level, j) ? v : -1);
                left = {};
                right = {};
            }
            TslNode &node = model.nodes[i];
            std::vector<std::int32_t> border;
            node = thin(mergeNodes(model.nodes[2 * i + 1], model.nodes[2 * i + 2]), origin, settings, locked,
                        border, scratch[std::size_t(worker)]);
            if (!settings.pointCloud)
                borderVertices[i] = std::move(border);
            node.level = level;
            node.updateBoundingBox();
        });
        report(QStringLiteral("N_triangles %1").arg(model.levelPrimitiveCount(level)));
    }
    return true;
}

namespace
{

void uniformLevelNormals(TslModel &model, int level)
{
    const int firstNode = TslModel::firstNodeOfLevel(level);
    const int lastNode = firstNode + TslModel::nodesInLevel(level);
    if (model.pointCloud) {
        for (int i = firstNode; i < lastNode; ++i) {
            TslNode &node = model.nodes[i];
            node.normals.resize(node.positions.size());
            for (ksr::Point3f &n : node.normals)
                n.normalize();
        }
        return;
    }
    // Every vertex of the level gets the number of its place (its exact position); the
    // area-weighted face normals are summed per place in node, face and corner order.
    std::size_t vertexCount = 0;
    for (int i = firstNode; i < lastNode; ++i)
        vertexCount += model.nodes[i].positions.size();
    KeyNumbering<PositionKey> places(vertexCount);
    std::vector<std::uint32_t> placeOf(vertexCount);
    std::size_t next = 0;
    const std::size_t lookAhead = 16;
    for (int i = firstNode; i < lastNode; ++i) {
        const std::vector<ksr::Point3f> &positions = model.nodes[i].positions;
        for (std::size_t v = 0; v < positions.size(); ++v) {
            if (v + lookAhead < positions.size())
                __builtin_prefetch(places.firstSlot(positionKey(positions[v + lookAhead])));
            bool added = false;
            placeOf[next++] = places.add(positionKey(positions[v]), added);
        }
    }
    std::vector<ksr::Point3f> sums(places.size());
    std::size_t nodeStart = 0;
    for (int i = firstNode; i < lastNode; ++i) {
        const TslNode &node = model.nodes[i];
        for (const auto &t : node.triangles) {
            const ksr::Point3f &a = node.positions[t[0]], &b = node.positions[t[1]],
                               &c = node.positions[t[2]];
            const ksr::Point3f faceNormal = (b - a).cross(c - a);
            for (std::uint32_t v : t)
                sums[placeOf[nodeStart + v]] += faceNormal;
        }
        nodeStart += node.positions.size();
    }
    nodeStart = 0;
    for (int i = firstNode; i < lastNode; ++i) {
        TslNode &node = model.nodes[i];
        node.normals.resize(node.positions.size());
        for (std::size_t v = 0; v < node.positions.size(); ++v)
            node.normals[v] = sums[placeOf[nodeStart + v]].normalized();
        nodeStart += node.positions.size();
    }
}

} // namespace

void uniformNormals(TslModel &model)
{
    // Levels share nothing: they are done side by side.
    runInParallel(model.levelCount, [&model](int level, int) { uniformLevelNormals(model, level); });
}
