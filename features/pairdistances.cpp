#include "pairdistances.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{

// Coordinates up to this size keep every squared difference and sum of squares finite in float.
constexpr float largestSafeCoordinate = 1e18f;

bool safeCoordinate(float value)
{
    return std::fabs(value) <= largestSafeCoordinate; // false for NaN and infinities
}

bool safePoint(const ksr::Point3f &p)
{
    return safeCoordinate(p.x) && safeCoordinate(p.y) && safeCoordinate(p.z);
}

float clampedDistance(float d)
{
    return d > 0.0f ? d : 0.0f; // negative and NaN distances count as 0
}

} // namespace

namespace ordering
{

void ColorFloor::reset(int rows)
{
    share.assign(std::size_t(rows), std::numeric_limits<float>::infinity());
    cells.assign(std::size_t(rows), std::numeric_limits<float>::infinity());
}

void ColorFloor::lowerTo(const ColorFloor &other)
{
    for (std::size_t k = 0; k < share.size() && k < other.share.size(); ++k) {
        share[k] = std::min(share[k], other.share[k]);
        cells[k] = std::min(cells[k], other.cells[k]);
    }
}

PairDistances::PairDistances(const FeatureTable &weights)
    : m_weights(weights), m_leading(costlyFor(weights)),
      m_keepColors(!(weights[colorDistributionSlot] == 0.0f) || !(weights[colorSpatialSlot] == 0.0f)),
      m_useBlocks(m_keepColors && ColorBlocks::available())
{
}

bool PairDistances::costlyFor(const FeatureTable &weights)
{
    return !(weights[timeSlot] == 0.0f) || !(weights[colorDistributionSlot] == 0.0f) ||
           !(weights[colorSpatialSlot] == 0.0f);
}

PairDistances::PairDistances(const QVector<ShotFeatures> &features, const FeatureTable &weights)
    : PairDistances(weights)
{
    reserve(features.size());
    for (const ShotFeatures &shot : features)
        append(shot);
}

void PairDistances::reserve(int rows)
{
    for (std::vector<float> *column :
         {&m_dirX, &m_dirY, &m_dirZ, &m_posX, &m_posY, &m_posZ, &m_targetX, &m_targetY, &m_targetZ})
        column->reserve(std::size_t(rows));
    m_timeMSecs.reserve(std::size_t(rows));
    if (m_keepColors) {
        m_colorShare.reserve(std::size_t(rows));
        m_cells.reserve(std::size_t(rows));
        m_colorValid.reserve(std::size_t(rows));
    }
    if (m_useBlocks)
        m_blocks.reserve(rows);
}

void PairDistances::append(const ShotFeatures &shot)
{
    // directionDistance normalises both directions for every pair; normalising once gives the same bits.
    const ksr::Point3f dir = shot.dir.normalized();
    m_dirX.push_back(dir.x);
    m_dirY.push_back(dir.y);
    m_dirZ.push_back(dir.z);
    m_posX.push_back(shot.pos.x);
    m_posY.push_back(shot.pos.y);
    m_posZ.push_back(shot.pos.z);
    m_targetX.push_back(shot.target.x);
    m_targetY.push_back(shot.target.y);
    m_targetZ.push_back(shot.target.z);
    m_timeMSecs.push_back(shot.timeMSecs);
    if (m_keepColors) {
        m_colorShare.push_back(shot.colorShare);
        m_cells.push_back(shot.cells);
        m_colorValid.push_back(shot.colorValid ? 1 : 0);
    }
    if (m_useBlocks)
        m_blocks.append(shot.colorShare, shot.cells);
    // Colour distances come from integer pixel data and times from integers: always finite.
    if (!std::isfinite(dir.x) || !std::isfinite(dir.y) || !std::isfinite(dir.z))
        m_unsafe[directionSlot] = true;
    if (!safePoint(shot.pos))
        m_unsafe[positionSlot] = true;
    if (!safePoint(shot.target))
        m_unsafe[targetSlot] = true;
}

bool PairDistances::uses(int slot) const
{
    return !(m_weights[slot] == 0.0f) || m_unsafe[slot];
}

float PairDistances::leadingTerms(int a, int b, ColorFloor *floor) const
{
    if (!m_keepColors)
        return leadingFrom(a, b, 0.0f, 0.0f, floor);
    const bool valid = m_colorValid[a] && m_colorValid[b];
    return leadingFrom(a, b,
                       valid ? colorShareDistance(m_colorShare[a].data(), m_colorShare[b].data()) : 0.0f,
                       valid ? cellColorDistance(m_cells[a], m_cells[b]) : 0.0f, floor);
}

float PairDistances::leadingFrom(int a, int b, float shareDistance, float cellDistance,
                                 ColorFloor *floor) const
{
    float sum = 0.0f;
    if (!(m_weights[timeSlot] == 0.0f))
        sum += float(std::llabs(m_timeMSecs[b] - m_timeMSecs[a]) / 1000) * m_weights[timeSlot];
    if (m_keepColors) {
        const bool valid = m_colorValid[a] && m_colorValid[b];
        const float share = (valid ? shareDistance : 0.0f) * m_weights[colorDistributionSlot];
        const float cells = (valid ? cellDistance : 0.0f) * m_weights[colorSpatialSlot];
        sum += share;
        sum += cells;
        if (floor) {
            floor->share[a] = std::min(floor->share[a], share);
            floor->share[b] = std::min(floor->share[b], share);
            floor->cells[a] = std::min(floor->cells[a], cells);
            floor->cells[b] = std::min(floor->cells[b], cells);
        }
    }
    return sum;
}

void PairDistances::leadingToRange(int a, int first, int count, float *out, ColorFloor *floor) const
{
    constexpr int lanes = ColorBlocks::lanes;
    int k = 0;
    if (m_useBlocks) {
        // Single pairs up to a block's start, whole blocks, then single pairs again.
        for (; k < count && (first + k) % lanes != 0; ++k)
            out[k] = leadingTerms(a, first + k, floor);
        float share[lanes], cells[lanes];
        for (; k + lanes <= count; k += lanes) {
            m_blocks.distancesToBlock(m_colorShare[a].data(), m_cells[a], (first + k) / lanes, share, cells);
            for (int l = 0; l < lanes; ++l)
                out[k + l] = leadingFrom(a, first + k + l, share[l], cells[l], floor);
        }
    }
    for (; k < count; ++k)
        out[k] = leadingTerms(a, first + k, floor);
}

float PairDistances::leadingBound(int a, int b, const ColorFloor &floor) const
{
    float sum = 0.0f;
    if (!(m_weights[timeSlot] == 0.0f))
        sum += float(std::llabs(m_timeMSecs[b] - m_timeMSecs[a]) / 1000) * m_weights[timeSlot];
    sum += std::max(floor.share[a], floor.share[b]);
    sum += std::max(floor.cells[a], floor.cells[b]);
    return sum;
}

bool PairDistances::boundable() const
{
    // Weights this large could turn a colour term infinite, and inf - inf is NaN, which counts as 0.
    constexpr float largestWeight = 1e30f;
    if (!m_keepColors)
        return false;
    for (float weight : m_weights)
        if (!(std::fabs(weight) <= largestWeight))
            return false;
    return true;
}

float PairDistances::distance(int a, int b) const
{
    float out;
    fromRowToRows(a, &b, 1, &out);
    return out;
}

// The same operations in the same order as combinedDistance and ksr::Point3f, four pairs at a time.
template <bool Contiguous, typename RowAt, typename LeadingOf>
void PairDistances::fromRow(int a, int count, RowAt rowAt, LeadingOf leadingOf, float *out) const
{
    const bool direction = uses(directionSlot), position = uses(positionSlot), target = uses(targetSlot);
    const float wDir = m_weights[directionSlot], wPos = m_weights[positionSlot],
                wTarget = m_weights[targetSlot], wConstant = m_weights[constantSlot];
    int k = 0;
#if defined(__SSE2__)
    const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
    const __m128 aDirX = _mm_set1_ps(m_dirX[a]), aDirY = _mm_set1_ps(m_dirY[a]),
                 aDirZ = _mm_set1_ps(m_dirZ[a]);
    const __m128 aPosX = _mm_set1_ps(m_posX[a]), aPosY = _mm_set1_ps(m_posY[a]),
                 aPosZ = _mm_set1_ps(m_posZ[a]);
    const __m128 aTgtX = _mm_set1_ps(m_targetX[a]), aTgtY = _mm_set1_ps(m_targetY[a]),
                 aTgtZ = _mm_set1_ps(m_targetZ[a]);
    auto gather = [&](const std::vector<float> &column, const int *rows) {
        if constexpr (Contiguous)
            return _mm_loadu_ps(column.data() + rows[0]);
        else
            return _mm_setr_ps(column[rows[0]], column[rows[1]], column[rows[2]], column[rows[3]]);
    };
    auto length = [](__m128 dx, __m128 dy, __m128 dz) {
        return _mm_sqrt_ps(
            _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz)));
    };
    for (; k + 4 <= count; k += 4) {
        const int rows[4] = {rowAt(k), rowAt(k + 1), rowAt(k + 2), rowAt(k + 3)};
        __m128 sum = zero;
        if (m_leading)
            sum = _mm_setr_ps(leadingOf(a, rows[0]), leadingOf(a, rows[1]), leadingOf(a, rows[2]),
                              leadingOf(a, rows[3]));
        if (direction) {
            const __m128 dot = _mm_add_ps(
                _mm_add_ps(_mm_mul_ps(aDirX, gather(m_dirX, rows)), _mm_mul_ps(aDirY, gather(m_dirY, rows))),
                _mm_mul_ps(aDirZ, gather(m_dirZ, rows)));
            sum = _mm_add_ps(sum, _mm_mul_ps(_mm_sub_ps(one, dot), _mm_set1_ps(wDir)));
        }
        if (position) {
            const __m128 d =
                length(_mm_sub_ps(aPosX, gather(m_posX, rows)), _mm_sub_ps(aPosY, gather(m_posY, rows)),
                       _mm_sub_ps(aPosZ, gather(m_posZ, rows)));
            sum = _mm_add_ps(sum, _mm_mul_ps(d, _mm_set1_ps(wPos)));
        }
        if (target) {
            const __m128 d =
                length(_mm_sub_ps(aTgtX, gather(m_targetX, rows)), _mm_sub_ps(aTgtY, gather(m_targetY, rows)),
                       _mm_sub_ps(aTgtZ, gather(m_targetZ, rows)));
            sum = _mm_add_ps(sum, _mm_mul_ps(d, _mm_set1_ps(wTarget)));
        }
        sum = _mm_add_ps(sum, _mm_set1_ps(wConstant));
        _mm_storeu_ps(out + k, _mm_and_ps(sum, _mm_cmpgt_ps(sum, zero)));
    }
#endif
    for (; k < count; ++k) {
        const int b = rowAt(k);
        float sum = m_leading ? leadingOf(a, b) : 0.0f;
        if (direction) {
            const float dot = m_dirX[a] * m_dirX[b] + m_dirY[a] * m_dirY[b] + m_dirZ[a] * m_dirZ[b];
            sum += (1.0f - dot) * wDir;
        }
        if (position)
            sum +=
                ksr::Point3f(m_posX[a] - m_posX[b], m_posY[a] - m_posY[b], m_posZ[a] - m_posZ[b]).length() *
                wPos;
        if (target)
            sum += ksr::Point3f(m_targetX[a] - m_targetX[b], m_targetY[a] - m_targetY[b],
                                m_targetZ[a] - m_targetZ[b])
                       .length() *
                   wTarget;
        out[k] = clampedDistance(sum + wConstant);
    }
}

void PairDistances::fromRowToRange(int a, int first, int count, float *out) const
{
    if (m_leading) {
        ColorFloor none;
        fromRowToRange(a, first, count, out, none);
        return;
    }
    fromRow<true>(
        a, count, [first](int k) { return first + k; }, [](int, int) { return 0.0f; }, out);
}

void PairDistances::fromRowToRange(int a, int first, int count, float *out, ColorFloor &floor) const
{
    // The time and colour part of the whole range first, in the output, then the rest on top.
    ColorFloor *lowered = m_keepColors && !floor.share.empty() ? &floor : nullptr;
    if (m_leading)
        leadingToRange(a, first, count, out, lowered);
    fromRow<true>(
        a, count, [first](int k) { return first + k; }, [out, first](int, int b) { return out[b - first]; },
        out);
}

void PairDistances::fromRowToRows(int a, const int *rows, int count, float *out) const
{
    fromRow<false>(
        a, count, [rows](int k) { return rows[k]; },
        [this](int x, int y) { return leadingTerms(x, y, nullptr); }, out);
}

void PairDistances::lowerBoundsToRows(int a, const int *rows, int count, const ColorFloor &floor,
                                      float *out) const
{
    fromRow<false>(
        a, count, [rows](int k) { return rows[k]; },
        [this, &floor](int x, int y) { return leadingBound(x, y, floor); }, out);
}

} // namespace ordering
