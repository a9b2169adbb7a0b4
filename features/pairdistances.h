#pragma once
// The combined distances of a dataset's shots, computed when asked instead of kept in an n x n
// matrix. Every value has the bits of the matrix entry it stands for: combinedDistance() with the
// same effective weights, negative and NaN results counted as 0.
//
// Only the columns a distance needs are kept (about 40 bytes a shot for positions and directions,
// 700 with colours, 1,340 where the colours are kept a second time in blocks for AVX). Const members may be
// called from several threads at once.

#include "colorblocks.h"
#include "shotfeatures.h"

#include <QVector>

#include <cstdint>
#include <vector>

namespace ordering
{

// Each row's smallest weighted colour terms against any other row. A distance with its colour
// terms replaced by the larger floor of its two rows is never above the distance itself (float
// sums only grow with their terms), so scans can pass over pairs without the colour work.
struct ColorFloor {
    std::vector<float> share, cells;

    void reset(int rows);                  // +infinity, lowered by the pairs seen
    void lowerTo(const ColorFloor &other); // element-wise minimum
};

class PairDistances
{
public:
    // Effective weights (user weight x normalisation factor), as combinedDistance takes them.
    explicit PairDistances(const FeatureTable &weights);
    PairDistances(const QVector<ShotFeatures> &features, const FeatureTable &weights);

    // Adds one shot as the next row. Lets a caller feed huge datasets without a ShotFeatures vector.
    void append(const ShotFeatures &shot);
    void reserve(int rows);
    int size() const { return int(m_dirX.size()); }

    // True when a pair costs far more than positions and directions alone (time or colours used).
    bool costly() const { return m_leading; }
    static bool costlyFor(const FeatureTable &weights);

    float distance(int a, int b) const;
    // out[k] = distance(a, first + k) for k < count.
    void fromRowToRange(int a, int first, int count, float *out) const;
    // out[k] = distance(a, rows[k]) for k < count.
    void fromRowToRows(int a, const int *rows, int count, float *out) const;
    // fromRowToRange that also lowers floor's entries of a and of the range's rows to the pairs'
    // colour terms (floor holds size() entries).
    void fromRowToRange(int a, int first, int count, float *out, ColorFloor &floor) const;

    // True when colour terms are used and lower bounds from a ColorFloor are sound (finite weights).
    bool boundable() const;
    // out[k] <= distance(a, rows[k]): the other terms exact, each colour term replaced by the
    // larger floor of the two rows.
    void lowerBoundsToRows(int a, const int *rows, int count, const ColorFloor &floor, float *out) const;

private:
    // Whether the slot's term enters the sum. A zero weight adds +0 (or -0) to the sum, which
    // leaves it unchanged, unless the slot's distance is not finite (0 x inf is NaN).
    bool uses(int slot) const;
    // The time and colour terms of one pair, summed in slot order from 0; lowers the floor of
    // both rows when one is given.
    float leadingTerms(int a, int b, ColorFloor *floor) const;
    // The same from the pair's colour distances.
    float leadingFrom(int a, int b, float shareDistance, float cellDistance, ColorFloor *floor) const;
    // out[k] = leadingTerms(a, first + k, floor) for k < count, eight rows at a time where it can.
    void leadingToRange(int a, int first, int count, float *out, ColorFloor *floor) const;
    // leadingTerms with the colour terms taken from the floor.
    float leadingBound(int a, int b, const ColorFloor &floor) const;
    // Contiguous: rowAt(k) is rowAt(0) + k. LeadingOf(a, b) gives the time and colour part.
    template <bool Contiguous, typename RowAt, typename LeadingOf>
    void fromRow(int a, int count, RowAt rowAt, LeadingOf leadingOf, float *out) const;

    FeatureTable m_weights;
    bool m_leading = false; // time or a colour term is used

    // Direction (unit or zero), position and target by component.
    std::vector<float> m_dirX, m_dirY, m_dirZ;
    std::vector<float> m_posX, m_posY, m_posZ;
    std::vector<float> m_targetX, m_targetY, m_targetZ;
    std::vector<qint64> m_timeMSecs;
    // Colours, kept only when a colour term is used.
    std::vector<std::array<float, 64>> m_colorShare;
    std::vector<CellColors> m_cells;
    std::vector<char> m_colorValid;
    bool m_keepColors = false;
    ColorBlocks m_blocks; // the colours again, eight rows to a block, when the processor has AVX
    bool m_useBlocks = false;
    // Columns whose pairwise distance could be infinite or NaN.
    bool m_unsafe[featureSlotCount] = {};
};

} // namespace ordering
