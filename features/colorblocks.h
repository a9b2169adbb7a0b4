#pragma once
// The colour features of a dataset in blocks of eight rows (row r is lane r % 8 of block r / 8),
// so that the colour distances from one row to eight rows take whole vector loads and no sums
// across lanes. Each value has the bits colorShareDistance and cellColorDistance give.

#include "shotfeatures.h"

#include <vector>

namespace ordering
{

class ColorBlocks
{
public:
    static constexpr int lanes = 8;

    // False on processors without AVX: callers use the single-pair functions then.
    static bool available();

    void reserve(int rows);
    void append(const std::array<float, 64> &share, const CellColors &cells);
    int size() const { return m_rows; }

    // shareOut[l] and cellsOut[l]: the distances of the given colours to row block * 8 + l.
    void distancesToBlock(const float *share, const CellColors &cells, int block, float *shareOut,
                          float *cellsOut) const;

private:
    int m_rows = 0;
    std::vector<float> m_share;  // per block: 64 bins x 8 lanes
    std::vector<double> m_cells; // per block: L, A, B, each 16 cells x 8 lanes
};

} // namespace ordering
