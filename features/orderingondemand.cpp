// The ordering steps on distances computed when needed. Each step makes the same choices as its
// matrix form in ordering.cpp: the same candidates, the same strict comparisons, the same ties.

#include "ordering.h"

#include <algorithm>
#include <cassert>
#include <condition_variable>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

namespace
{

using ordering::ColorFloor;
using ordering::PairDistances;

// Starting bound of every nearest-member search: only smaller distances are taken.
constexpr float searchBound = 2147483648.0f;

// Below these sizes a second thread costs more than it saves.
constexpr int parallelTotalMinimum = 64;
// Below these sizes a scan stays on one thread: waking the second costs more than it saves.
constexpr int parallelScanMinimum = 8192;       // positions and directions only, a few ns a pair
constexpr int parallelCostlyScanMinimum = 1024; // with time or colours, up to 100 ns a pair
// Pairs computed by one thread before it adds them to the running total.
constexpr long long pairsPerBlock = 1 << 20;

bool stopped(const std::atomic<bool> *stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

bool twoCores()
{
    return std::thread::hardware_concurrency() >= 2;
}

int scanMinimum(const PairDistances &distances)
{
    return distances.costly() ? parallelCostlyScanMinimum : parallelScanMinimum;
}

// A second thread kept for the length of one ordering, so that the many short scans of the
// chaining steps do not each start a thread.
class SecondCore
{
public:
    SecondCore() : m_enabled(twoCores())
    {
        if (m_enabled)
            m_thread = std::thread([this] { serve(); });
    }
    ~SecondCore()
    {
        if (!m_enabled)
            return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    SecondCore(const SecondCore &) = delete;
    SecondCore &operator=(const SecondCore &) = delete;

    // part(0, count) and part(1, count) on both threads when the work is large, else part(0) only
    // with all of it. Returns the number of parts run.
    int run(int count, int minimum, const std::function<void(int part, int begin, int end)> &part)
    {
        if (!m_enabled || count < minimum) {
            part(0, 0, count);
            return 1;
        }
        const int middle = count / 2;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_job = [&part, middle, count] { part(1, middle, count); };
            m_pending = true;
        }
        m_wake.notify_all();
        part(0, 0, middle);
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [this] { return !m_pending; });
        return 2;
    }

private:
    void serve()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_pending || m_quit; });
            if (m_quit)
                return;
            lock.unlock();
            m_job();
            lock.lock();
            m_pending = false;
            m_done.notify_all();
        }
    }

    bool m_enabled;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    std::function<void()> m_job;
    bool m_pending = false;
    bool m_quit = false;
};

// The nearest candidate of a scan: the smallest distance below the bound, the lowest rank among
// equal distances; and the lowest rank overall, taken when no distance is below the bound.
struct Nearest {
    float distance = searchBound;
    long long rank = -1;
    int index = -1;
    long long firstRank = -1;
    int firstIndex = -1;

    void offer(float d, long long candidateRank, int candidateIndex)
    {
        if (d < distance || (d == distance && rank >= 0 && candidateRank < rank)) {
            distance = d;
            rank = candidateRank;
            index = candidateIndex;
        }
        note(candidateRank, candidateIndex);
    }
    // A candidate known to be farther than the nearest: only the lowest rank can change.
    void note(long long candidateRank, int candidateIndex)
    {
        if (firstRank < 0 || candidateRank < firstRank) {
            firstRank = candidateRank;
            firstIndex = candidateIndex;
        }
    }
    void merge(const Nearest &o)
    {
        if (o.index >= 0)
            offer(o.distance, o.rank, o.index);
        if (o.firstIndex >= 0 && (firstRank < 0 || o.firstRank < firstRank)) {
            firstRank = o.firstRank;
            firstIndex = o.firstIndex;
        }
    }
    int chosen() const { return index >= 0 ? index : firstIndex; }
};

// Scratch space of a scan, one per thread.
struct ScanScratch {
    std::vector<int> positions, rows;
    std::vector<float> distances;

    // Rows rows[k] for the listed positions k, then their distances from row from.
    void measure(const PairDistances &pairs, int from, const int *allRows)
    {
        rows.resize(positions.size());
        for (std::size_t i = 0; i < positions.size(); ++i)
            rows[i] = allRows[positions[i]];
        distances.resize(positions.size());
        pairs.fromRowToRows(from, rows.data(), int(rows.size()), distances.data());
    }
};

// The buffers a scan reuses from one call to the next.
struct ScanBuffers {
    std::vector<float> values;
    ScanScratch scratch[2];
};

// Nearest of rows[0..count) to row from; rankOf(k) orders equal distances. With a floor, the
// colour terms are worked out only for rows whose lower bound is not above the nearest distance
// found from the smallest bound: the others cannot be the nearest.
template <typename RankOf>
Nearest nearestOf(SecondCore &cores, const PairDistances &distances, int from, const int *rows, int count,
                  ScanBuffers &buffers, RankOf rankOf, const ColorFloor *floor)
{
    std::vector<float> &values = buffers.values;
    values.resize(std::size_t(count));
    Nearest parts[2];
    const bool bounded = floor && distances.boundable();
    cores.run(count, scanMinimum(distances), [&](int part, int begin, int end) {
        Nearest &nearest = parts[part];
        if (!bounded) {
            distances.fromRowToRows(from, rows + begin, end - begin, values.data() + begin);
            for (int k = begin; k < end; ++k)
                nearest.offer(values[k], rankOf(k), k);
            return;
        }
        distances.lowerBoundsToRows(from, rows + begin, end - begin, *floor, values.data() + begin);
        int lowest = begin;
        for (int k = begin + 1; k < end; ++k)
            if (values[k] < values[lowest])
                lowest = k;
        const float reached = distances.distance(from, rows[lowest]);
        ScanScratch &scratch = buffers.scratch[part];
        scratch.positions.clear();
        for (int k = begin; k < end; ++k) {
            if (values[k] > reached)
                nearest.note(rankOf(k), k);
            else
                scratch.positions.push_back(k);
        }
        scratch.measure(distances, from, rows);
        for (std::size_t i = 0; i < scratch.positions.size(); ++i)
            nearest.offer(scratch.distances[i], rankOf(scratch.positions[i]), scratch.positions[i]);
    });
    parts[0].merge(parts[1]);
    return parts[0];
}

// Stops early, with a partial chain, when asked to.
ordering::GroupChain chainWithin(SecondCore &cores, const PairDistances &distances, const QVector<int> &group,
                                 int start, const std::atomic<bool> *stop, const ColorFloor *floor)
{
    const int m = group.size();
    assert(m > 0 && start >= 0 && start < m && "chainWithinGroup needs a member position inside the group");
    ordering::GroupChain chain;
    chain.rows.reserve(m);
    chain.rows.append(group[start]);
    // Unvisited members by position and row, in any order: ties go by cyclic offset instead.
    std::vector<int> positions, rows;
    positions.reserve(std::size_t(m));
    rows.reserve(std::size_t(m));
    for (int p = 0; p < m; ++p)
        if (p != start) {
            positions.push_back(p);
            rows.push_back(group[p]);
        }
    ScanBuffers buffers;
    int current = start;
    while (!positions.empty() && !stopped(stop)) {
        const Nearest nearest = nearestOf(
            cores, distances, group[current], rows.data(), int(rows.size()), buffers,
            [&](int k) { return (long long)((positions[k] - current + m) % m); }, floor);
        const int k = nearest.chosen();
        current = positions[k];
        chain.rows.append(group[current]);
        positions[k] = positions.back();
        positions.pop_back();
        rows[k] = rows.back();
        rows.pop_back();
    }
    chain.lastPosition = current;
    return chain;
}

// The total of pairTotal; with rowMinimum, also each row's smallest distance to the rows after it
// (+infinity for the last row), which lets the grouping pass over leaders that gather nobody; with
// floor, each row's colour floor.
double sumPairs(const PairDistances &distances, const std::atomic<bool> *stop, std::vector<float> *rowMinimum,
                ColorFloor *floor = nullptr)
{
    const int n = distances.size();
    if (rowMinimum)
        rowMinimum->assign(std::size_t(n), std::numeric_limits<float>::infinity());
    // One floor per thread, lowered to one at the end.
    ColorFloor floors[2];
    if (floor)
        for (ColorFloor &part : floors)
            part.reset(n);
    // Blocks of whole rows (about a million pairs each) go to whichever thread is free; each block
    // is added by the thread that computed it, strictly after the previous block, so the running
    // total sees every value in row-major order. Whole blocks keep the hand-overs few, which
    // matters when other programs hold the cores.
    std::vector<int> blockStart{0};
    long long pairs = 0;
    for (int a = 0; a < n - 1; ++a) {
        pairs += n - 1 - a;
        if (pairs >= pairsPerBlock) {
            blockStart.push_back(a + 1);
            pairs = 0;
        }
    }
    if (blockStart.back() < n - 1)
        blockStart.push_back(n - 1);
    const int blockCount = int(blockStart.size()) - 1;
    std::atomic<int> nextBlock{0};
    std::atomic<bool> halted{false};
    std::mutex turnMutex;
    std::condition_variable turnChanged;
    int summedBlocks = 0;
    double total = 0.0;
    auto sumRows = [&](ColorFloor &threadFloor) {
        // A block ends with the row that reaches pairsPerBlock: it holds less than that plus a row.
        const long long allPairs = (long long)n * (n - 1) / 2;
        const std::unique_ptr<float[]> values(
            new float[std::size_t(std::min(pairsPerBlock + n, allPairs) + 1)]);
        for (int block = nextBlock++; block < blockCount; block = nextBlock++) {
            std::size_t filled = 0;
            for (int a = blockStart[block]; a < blockStart[block + 1]; ++a) {
                if (stopped(stop) || halted) {
                    {
                        // Under the lock, so that a thread about to wait for its turn sees it.
                        std::lock_guard<std::mutex> lock(turnMutex);
                        halted = true;
                    }
                    turnChanged.notify_all();
                    return;
                }
                const int count = n - 1 - a;
                float *row = values.get() + filled;
                if (floor)
                    distances.fromRowToRange(a, a + 1, count, row, threadFloor);
                else
                    distances.fromRowToRange(a, a + 1, count, row);
                if (rowMinimum)
                    (*rowMinimum)[a] = *std::min_element(row, row + count);
                filled += std::size_t(count);
            }
            std::unique_lock<std::mutex> lock(turnMutex);
            turnChanged.wait(lock, [&] { return summedBlocks == block || halted; });
            if (halted)
                return;
            double running = total;
            for (std::size_t k = 0; k < filled; ++k)
                running += values[k];
            total = running;
            ++summedBlocks;
            turnChanged.notify_all();
        }
    };
    if (n >= parallelTotalMinimum && twoCores()) {
        std::thread helper(sumRows, std::ref(floors[1]));
        sumRows(floors[0]);
        helper.join();
    } else {
        sumRows(floors[0]);
    }
    if (floor) {
        floors[0].lowerTo(floors[1]);
        *floor = std::move(floors[0]);
    }
    return total;
}

QVector<QVector<int>> groupRows(const PairDistances &distances, double threshold,
                                const std::atomic<bool> *stop, const std::vector<float> *rowMinimum,
                                const ColorFloor *floor)
{
    const bool bounded = floor && distances.boundable();
    ScanScratch scratch[2];
    SecondCore cores;
    const int n = distances.size();
    // ungrouped[head..] are the rows without a group, ascending.
    std::vector<int> ungrouped(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        ungrouped[i] = i;
    std::size_t head = 0;
    std::vector<float> buffer;
    std::vector<int> rest;
    QVector<QVector<int>> groups;
    // The leader is always the lowest ungrouped row; the others join in ascending order.
    while (head < ungrouped.size()) {
        if (stopped(stop))
            return {};
        const int leader = ungrouped[head++];
        // Every ungrouped row comes after the leader: none is nearer than the row's minimum.
        if (rowMinimum && !(double((*rowMinimum)[leader]) < threshold)) {
            groups.append(QVector<int>{leader});
            continue;
        }
        const int others = int(ungrouped.size() - head);
        buffer.resize(std::size_t(others));
        const int *candidates = ungrouped.data() + head;
        cores.run(others, scanMinimum(distances), [&](int part, int begin, int end) {
            if (!bounded) {
                distances.fromRowToRows(leader, candidates + begin, end - begin, buffer.data() + begin);
                return;
            }
            // Rows whose lower bound reaches the threshold stay out; the others are measured.
            distances.lowerBoundsToRows(leader, candidates + begin, end - begin, *floor,
                                        buffer.data() + begin);
            ScanScratch &own = scratch[part];
            own.positions.clear();
            for (int k = begin; k < end; ++k)
                if (double(buffer[k]) < threshold)
                    own.positions.push_back(k);
            own.measure(distances, leader, candidates);
            for (std::size_t i = 0; i < own.positions.size(); ++i)
                buffer[own.positions[i]] = own.distances[i];
        });
        QVector<int> group{leader};
        rest.clear();
        for (int k = 0; k < others; ++k) {
            const int row = ungrouped[head + std::size_t(k)];
            if (double(buffer[k]) < threshold)
                group.append(row);
            else
                rest.push_back(row);
        }
        groups.append(group);
        ungrouped.swap(rest);
        head = 0;
    }
    return groups;
}

// The visit of the groups of chainGroups; floor as in nearestOf.
QVector<int> chainAll(const PairDistances &distances, const QVector<QVector<int>> &groups,
                      const std::atomic<bool> *stop, const ColorFloor *floor)
{
    SecondCore cores;
    QVector<int> order;
    order.reserve(distances.size());
    const int groupCount = groups.size();
    if (groupCount == 0)
        return order;

    // Members of the unvisited groups, by group then position: their rank in a scan.
    std::vector<int> rows, groupOf, positionOf;
    for (int g = 0; g < groupCount; ++g)
        for (int p = 0; p < groups[g].size(); ++p) {
            rows.push_back(groups[g][p]);
            groupOf.push_back(g);
            positionOf.push_back(p);
        }

    int current = 0;
    for (int g = 1; g < groupCount; ++g)
        if (groups[g].size() > groups[current].size())
            current = g;
    int start = 0;
    ScanBuffers buffers;
    for (;;) {
        if (stopped(stop))
            return {};
        const ordering::GroupChain chain = chainWithin(cores, distances, groups[current], start, stop, floor);
        if (stopped(stop))
            return {};
        order += chain.rows;

        std::size_t kept = 0;
        for (std::size_t k = 0; k < rows.size(); ++k)
            if (groupOf[k] != current) {
                rows[kept] = rows[k];
                groupOf[kept] = groupOf[k];
                positionOf[kept] = positionOf[k];
                ++kept;
            }
        rows.resize(kept);
        groupOf.resize(kept);
        positionOf.resize(kept);
        if (rows.empty())
            break;

        // The nearest member of any unvisited group; the first group and member among equals.
        const Nearest nearest = nearestOf(
            cores, distances, chain.rows.last(), rows.data(), int(rows.size()), buffers,
            [](int k) { return (long long)k; }, floor);
        const int k = nearest.chosen();
        current = groupOf[k];
        start = nearest.index >= 0 ? positionOf[k] : 0; // every hop at or beyond the bound
    }
    return order;
}

} // namespace

namespace ordering
{

double pairTotal(const PairDistances &distances, const std::atomic<bool> *stop)
{
    return sumPairs(distances, stop, nullptr);
}

QVector<QVector<int>> groupByLeader(const PairDistances &distances, double threshold,
                                    const std::atomic<bool> *stop)
{
    return groupRows(distances, threshold, stop, nullptr, nullptr);
}

GroupChain chainWithinGroup(const PairDistances &distances, const QVector<int> &group, int start)
{
    SecondCore cores;
    return chainWithin(cores, distances, group, start, nullptr, nullptr);
}

QVector<int> chainGroups(const PairDistances &distances, const QVector<QVector<int>> &groups,
                         const std::atomic<bool> *stop)
{
    return chainAll(distances, groups, stop, nullptr);
}

QVector<int> orderFromDistances(const PairDistances &distances, const std::atomic<bool> *stop)
{
    std::vector<float> rowMinimum;
    ColorFloor floor;
    const double total = sumPairs(distances, stop, &rowMinimum, &floor);
    if (stopped(stop))
        return {};
    const QVector<QVector<int>> groups =
        groupRows(distances, groupingThreshold(total, distances.size()), stop, &rowMinimum, &floor);
    if (stopped(stop))
        return {};
    return chainAll(distances, groups, stop, &floor);
}

} // namespace ordering
