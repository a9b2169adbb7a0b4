#include "colorblocks.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORVELLE_COLOR_BLOCKS_AVX 1
#endif

namespace ordering
{

namespace
{

constexpr int shareBins = 64;
constexpr int cellCount = 16;
constexpr std::size_t shareBlock = std::size_t(shareBins) * ColorBlocks::lanes;
constexpr std::size_t cellBlock = std::size_t(3 * cellCount) * ColorBlocks::lanes;

#if defined(ORVELLE_COLOR_BLOCKS_AVX)
// The operations of colorShareDistance and cellColorDistance in the same order, one pair per lane:
// 16 running sums of absolute differences over the four groups of 16 bins, added up in turn; the
// 16 cell differences, square roots in double, added up in turn from 0.
__attribute__((target("avx"))) void blockDistances(const float *share, const CellColors &cells,
                                                   const float *shareColumns, const double *cellColumns,
                                                   float *shareOut, float *cellsOut)
{
    const __m256 signMask = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
    __m256 total = _mm256_setzero_ps();
    for (int j = 0; j < 16; ++j) {
        __m256 running = _mm256_setzero_ps();
        for (int group = 0; group < 4; ++group) {
            const int bin = 16 * group + j;
            const __m256 diff = _mm256_sub_ps(_mm256_set1_ps(share[bin]),
                                              _mm256_loadu_ps(shareColumns + bin * ColorBlocks::lanes));
            running = _mm256_add_ps(running, _mm256_and_ps(diff, signMask));
        }
        total = _mm256_add_ps(total, running);
    }
    _mm256_storeu_ps(shareOut, total);

    const double *columnsL = cellColumns, *columnsA = cellColumns + cellCount * ColorBlocks::lanes,
                 *columnsB = cellColumns + 2 * cellCount * ColorBlocks::lanes;
    for (int half = 0; half < 2; ++half) {
        __m256d sum = _mm256_setzero_pd();
        for (int cell = 0; cell < cellCount; ++cell) {
            const std::size_t at = std::size_t(cell) * ColorBlocks::lanes + std::size_t(4 * half);
            const __m256d dL = _mm256_sub_pd(_mm256_set1_pd(cells.L[cell]), _mm256_loadu_pd(columnsL + at));
            const __m256d da = _mm256_sub_pd(_mm256_set1_pd(cells.A[cell]), _mm256_loadu_pd(columnsA + at));
            const __m256d db = _mm256_sub_pd(_mm256_set1_pd(cells.B[cell]), _mm256_loadu_pd(columnsB + at));
            const __m256d squared = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(dL, dL), _mm256_mul_pd(da, da)),
                                                  _mm256_mul_pd(db, db));
            sum = _mm256_add_pd(sum, _mm256_sqrt_pd(squared));
        }
        _mm_storeu_ps(cellsOut + 4 * half, _mm256_cvtpd_ps(_mm256_mul_pd(sum, _mm256_set1_pd(0.0625))));
    }
}
#endif

} // namespace

bool ColorBlocks::available()
{
#if defined(ORVELLE_COLOR_BLOCKS_AVX)
    static const bool avx = __builtin_cpu_supports("avx");
    return avx;
#else
    return false;
#endif
}

void ColorBlocks::reserve(int rows)
{
    const std::size_t blocks = std::size_t(rows + lanes - 1) / lanes;
    m_share.reserve(blocks * shareBlock);
    m_cells.reserve(blocks * cellBlock);
}

void ColorBlocks::append(const std::array<float, 64> &share, const CellColors &cells)
{
    const std::size_t block = std::size_t(m_rows / lanes), lane = std::size_t(m_rows % lanes);
    if (lane == 0) {
        m_share.resize((block + 1) * shareBlock, 0.0f);
        m_cells.resize((block + 1) * cellBlock, 0.0);
    }
    float *shareColumns = m_share.data() + block * shareBlock;
    for (int bin = 0; bin < shareBins; ++bin)
        shareColumns[std::size_t(bin) * lanes + lane] = share[bin];
    double *cellColumns = m_cells.data() + block * cellBlock;
    for (int cell = 0; cell < cellCount; ++cell) {
        cellColumns[std::size_t(cell) * lanes + lane] = cells.L[cell];
        cellColumns[std::size_t(cellCount + cell) * lanes + lane] = cells.A[cell];
        cellColumns[std::size_t(2 * cellCount + cell) * lanes + lane] = cells.B[cell];
    }
    ++m_rows;
}

void ColorBlocks::distancesToBlock(const float *share, const CellColors &cells, int block, float *shareOut,
                                   float *cellsOut) const
{
#if defined(ORVELLE_COLOR_BLOCKS_AVX)
    blockDistances(share, cells, m_share.data() + std::size_t(block) * shareBlock,
                   m_cells.data() + std::size_t(block) * cellBlock, shareOut, cellsOut);
#else
    (void)share, (void)cells, (void)block, (void)shareOut, (void)cellsOut;
#endif
}

} // namespace ordering
