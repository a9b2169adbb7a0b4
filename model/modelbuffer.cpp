#include "modelbuffer.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{

struct Face {
    std::uint32_t v[3];
};

// Builds the kd tree over faces[begin, end), ordering the faces in place; returns the block's index.
int buildBlocks(std::vector<Face> &faces, std::size_t begin, std::size_t end, const ksr::CMesh &mesh,
                std::vector<ModelBuffer::Block> &blocks)
{
    const int id = int(blocks.size());
    blocks.emplace_back();
    ModelBuffer::Block block;
    float centreLo[3] = {INFINITY, INFINITY, INFINITY}, centreHi[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (int k = 0; k < 3; ++k) {
        block.lo[k] = INFINITY;
        block.hi[k] = -INFINITY;
    }
    for (std::size_t f = begin; f < end; ++f) {
        float centre[3] = {0.0f, 0.0f, 0.0f};
        for (std::uint32_t v : faces[f].v) {
            const ksr::Point3f &p = mesh.vert[v].p;
            for (int k = 0; k < 3; ++k) {
                centre[k] += p[k];
                block.lo[k] = std::min(block.lo[k], p[k]);
                block.hi[k] = std::max(block.hi[k], p[k]);
            }
        }
        for (int k = 0; k < 3; ++k) {
            centreLo[k] = std::min(centreLo[k], centre[k]);
            centreHi[k] = std::max(centreHi[k], centre[k]);
        }
    }
    block.firstIndex = std::uint32_t(begin * 3);
    block.indexCount = std::uint32_t((end - begin) * 3);
    if (end - begin > ModelBuffer::LeafFaces) {
        const float extent[3] = {centreHi[0] - centreLo[0], centreHi[1] - centreLo[1],
                                 centreHi[2] - centreLo[2]};
        const int axis =
            extent[0] >= extent[1] && extent[0] >= extent[2] ? 0 : (extent[1] >= extent[2] ? 1 : 2);
        const std::size_t middle = begin + (end - begin) / 2;
        // Three times the centre; NaN sorts last, keeping the order a strict one.
        auto centre = [&](const Face &f) {
            const float sum =
                mesh.vert[f.v[0]].p[axis] + mesh.vert[f.v[1]].p[axis] + mesh.vert[f.v[2]].p[axis];
            return std::isnan(sum) ? INFINITY : sum;
        };
        std::nth_element(faces.begin() + std::ptrdiff_t(begin), faces.begin() + std::ptrdiff_t(middle),
                         faces.begin() + std::ptrdiff_t(end),
                         [&](const Face &a, const Face &b) { return centre(a) < centre(b); });
        block.children[0] = buildBlocks(faces, begin, middle, mesh, blocks);
        block.children[1] = buildBlocks(faces, middle, end, mesh, blocks);
    }
    blocks[std::size_t(id)] = block;
    return id;
}

inline void transform(const double c[16], double x, double y, double z, double clip[4])
{
    for (int row = 0; row < 4; ++row)
        clip[row] = c[row] * x + c[4 + row] * y + c[8 + row] * z + c[12 + row];
}

// Which side of the view volume a box lies on: -1 wholly outside one plane, 1 wholly inside all,
// 0 across. The margins keep rounding, ours and GL's, from dropping a face that GL would draw.
int classify(const ModelBuffer::Block &b, const ModelBuffer::View &view)
{
    int outside[6] = {0, 0, 0, 0, 0, 0};
    bool inside = true;
    for (int corner = 0; corner < 8; ++corner) {
        double clip[4];
        transform(view.clip, (corner & 1) ? b.hi[0] : b.lo[0], (corner & 2) ? b.hi[1] : b.lo[1],
                  (corner & 4) ? b.hi[2] : b.lo[2], clip);
        const double w = clip[3];
        for (int axis = 0; axis < 3; ++axis) {
            const double margin =
                1e-4 * (std::abs(clip[axis]) + std::abs(w)) + 2.0 * (view.error[axis] + view.error[3]);
            if (clip[axis] > w + margin)
                ++outside[2 * axis];
            if (clip[axis] < -w - margin)
                ++outside[2 * axis + 1];
            if (!(clip[axis] < w - margin && clip[axis] > -w + margin))
                inside = false;
        }
    }
    for (int plane = 0; plane < 6; ++plane)
        if (outside[plane] == 8)
            return -1;
    return inside ? 1 : 0;
}

// The range of pixel centres (i + 0.5) within `margin` pixels of a window coordinate.
inline void centreRange(double window, double margin, std::int32_t &first, std::int32_t &last)
{
    const double limit = 1 << 30;
    const double low = std::clamp(window - margin - 0.5, -limit, limit);
    const double high = std::clamp(window + margin - 0.5, -limit, limit);
    // Ceiling and floor by truncation: std::ceil and std::floor are library calls on plain x86-64.
    first = std::int32_t(low);
    first += double(first) < low;
    last = std::int32_t(high);
    last -= double(last) > high;
}

} // namespace

bool ModelBuffer::upload(const ksr::CMesh &mesh)
{
    release();
    if (mesh.isPointCloud())
        return false;
    const std::size_t vertexCount = mesh.vert.size();
    std::vector<Face> faces;
    faces.reserve(mesh.face.size());
    for (const ksr::CFace &f : mesh.face) {
        if (f.isDeleted())
            continue;
        bool inRange = true;
        for (int k = 0; k < 3; ++k)
            inRange = inRange && f.v[k] >= 0 && std::size_t(f.v[k]) < vertexCount;
        if (inRange)
            faces.push_back({{std::uint32_t(f.v[0]), std::uint32_t(f.v[1]), std::uint32_t(f.v[2])}});
    }
    if (faces.empty())
        return false;
    m_blocks.reserve(2 * (faces.size() / LeafFaces + 1));
    buildBlocks(faces, 0, faces.size(), mesh, m_blocks);

    // Vertices renumbered in the order the sorted faces first use them, so that a block's
    // vertices sit close together.
    std::vector<std::uint32_t> newIndex(vertexCount, UINT32_MAX);
    m_indices.reserve(faces.size() * 3);
    for (const Face &f : faces)
        for (std::uint32_t v : f.v) {
            if (newIndex[v] == UINT32_MAX) {
                newIndex[v] = std::uint32_t(m_positions.size() / 3);
                const ksr::Point3f &p = mesh.vert[v].p;
                m_positions.insert(m_positions.end(), {p.x, p.y, p.z});
            }
            m_indices.push_back(newIndex[v]);
        }
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenBuffers(1, &m_vertexBuffer);
    glGenBuffers(1, &m_indexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(m_positions.size() * sizeof(float)), m_positions.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (glGetError() != GL_NO_ERROR) { // out of memory, most likely
        release();
        return false;
    }
    m_coordinateBound = 0.0;
    for (float coordinate : m_positions)
        m_coordinateBound = std::max(m_coordinateBound, double(std::abs(coordinate)));
    if (!std::isfinite(m_coordinateBound))
        m_coordinateBound = INFINITY; // every margin unbounded: every face is sent
    const std::size_t used = m_positions.size() / 3;
    m_screen.resize(used);
    m_screenDraw.assign(used, 0);
    m_drawn.resize(m_indices.size());
    return true;
}

void ModelBuffer::collectVisible(int id, const View &view)
{
    const Block &block = m_blocks[std::size_t(id)];
    const int side = classify(block, view);
    if (side < 0)
        return;
    if (side > 0 || block.children[0] < 0) {
        m_visible.push_back(&block);
        return;
    }
    collectVisible(block.children[0], view);
    collectVisible(block.children[1], view);
}

inline void ModelBuffer::project(std::uint32_t v, const View &view)
{
    ScreenPoint &s = m_screen[v];
    // Depth (clip z) plays no part in which pixel centres a vertex reaches.
    const double *c = view.clip;
    const double px = m_positions[3 * v], py = m_positions[3 * v + 1], pz = m_positions[3 * v + 2];
    const double clip[2] = {c[0] * px + c[4] * py + c[8] * pz + c[12],
                            c[1] * px + c[5] * py + c[9] * pz + c[13]};
    const double w = c[3] * px + c[7] * py + c[11] * pz + c[15];
    if (!(w > 2.0 * view.error[3])) { // behind or almost at the eye the projection is unbounded
        s.firstColumn = s.firstRow = 0;
        s.lastColumn = view.width - 1;
        s.lastRow = view.height - 1;
        return;
    }
    const double toNdc = 1.0 / w;
    const double ndcX = clip[0] * toNdc, ndcY = clip[1] * toNdc;
    const double x = (ndcX + 1.0) * 0.5 * view.width, y = (ndcY + 1.0) * 0.5 * view.height;
    // Pixels GL's window position may lie from ours: its transform's error after the division,
    // the snapping of vertices to sub-pixel steps, and a little more.
    const double marginX = 0.5 * view.width * (view.error[0] + std::abs(ndcX) * view.error[3]) * toNdc +
                           1.0 / 16.0 + 1e-5 * std::abs(x);
    const double marginY = 0.5 * view.height * (view.error[1] + std::abs(ndcY) * view.error[3]) * toNdc +
                           1.0 / 16.0 + 1e-5 * std::abs(y);
    // NaN fails every comparison in centreRange's clamp; treat it as reaching everything.
    if (std::isnan(marginX + marginY + x + y)) {
        s.firstColumn = s.firstRow = 0;
        s.lastColumn = view.width - 1;
        s.lastRow = view.height - 1;
        return;
    }
    std::int32_t first, last;
    centreRange(x, marginX, first, last);
    // Kept within the viewport (first at most width, last at least -1): a face's range is then the
    // same as clamping after taking its corners' smallest first and largest last.
    s.firstColumn = std::clamp(first, 0, view.width);
    s.lastColumn = std::clamp(last, -1, view.width - 1);
    centreRange(y, marginY, first, last);
    s.firstRow = std::clamp(first, 0, view.height);
    s.lastRow = std::clamp(last, -1, view.height - 1);
}

void ModelBuffer::projectAll(const View &view)
{
    const std::uint32_t count = std::uint32_t(m_screen.size());
    std::uint32_t v = 0;
#if defined(__SSE2__)
    // Two vertices at a time, with project()'s operations in its order, so the same bits. Lanes
    // that project() treats apart (behind the eye, far off screen, not finite) go through it.
    const double *c = view.clip;
    const __m128d width = _mm_set1_pd(view.width), height = _mm_set1_pd(view.height);
    const __m128d halfWidth = _mm_mul_pd(_mm_set1_pd(0.5), width),
                  halfHeight = _mm_mul_pd(_mm_set1_pd(0.5), height);
    const __m128d one = _mm_set1_pd(1.0), half = _mm_set1_pd(0.5), sixteenth = _mm_set1_pd(1.0 / 16.0),
                  relative = _mm_set1_pd(1e-5), nearest = _mm_set1_pd(2.0 * view.error[3]);
    const __m128d errorX = _mm_set1_pd(view.error[0]), errorY = _mm_set1_pd(view.error[1]),
                  errorW = _mm_set1_pd(view.error[3]);
    // Within this bound centreRange's clamp to 2^30 changes nothing.
    const __m128d ordinary = _mm_set1_pd(double(1 << 28));
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    const __m128d zero = _mm_setzero_pd(), minusOne = _mm_set1_pd(-1.0);
    const __m128d lastColumn = _mm_set1_pd(view.width - 1), lastRow = _mm_set1_pd(view.height - 1);
    auto row = [&](int r, __m128d px, __m128d py, __m128d pz) {
        return _mm_add_pd(
            _mm_add_pd(_mm_add_pd(_mm_mul_pd(_mm_set1_pd(c[r]), px), _mm_mul_pd(_mm_set1_pd(c[4 + r]), py)),
                       _mm_mul_pd(_mm_set1_pd(c[8 + r]), pz)),
            _mm_set1_pd(c[12 + r]));
    };
    // Ceiling of low and floor of high as centreRange takes them, as doubles.
    auto ceiling = [](__m128d low) {
        const __m128d truncated = _mm_cvtepi32_pd(_mm_cvttpd_epi32(low));
        return _mm_add_pd(truncated, _mm_and_pd(_mm_cmplt_pd(truncated, low), _mm_set1_pd(1.0)));
    };
    auto floor = [](__m128d high) {
        const __m128d truncated = _mm_cvtepi32_pd(_mm_cvttpd_epi32(high));
        return _mm_sub_pd(truncated, _mm_and_pd(_mm_cmpgt_pd(truncated, high), _mm_set1_pd(1.0)));
    };
    const float *positions = m_positions.data();
    for (; v + 2 <= count; v += 2) {
        const float *p = positions + 3 * std::size_t(v);
        const __m128d px = _mm_setr_pd(p[0], p[3]), py = _mm_setr_pd(p[1], p[4]),
                      pz = _mm_setr_pd(p[2], p[5]);
        const __m128d clipX = row(0, px, py, pz), clipY = row(1, px, py, pz), w = row(3, px, py, pz);
        const __m128d toNdc = _mm_div_pd(one, w);
        const __m128d ndcX = _mm_mul_pd(clipX, toNdc), ndcY = _mm_mul_pd(clipY, toNdc);
        const __m128d x = _mm_mul_pd(_mm_mul_pd(_mm_add_pd(ndcX, one), half), width);
        const __m128d y = _mm_mul_pd(_mm_mul_pd(_mm_add_pd(ndcY, one), half), height);
        const __m128d marginX = _mm_add_pd(
            _mm_add_pd(
                _mm_mul_pd(_mm_mul_pd(halfWidth,
                                      _mm_add_pd(errorX, _mm_mul_pd(_mm_and_pd(ndcX, magnitude), errorW))),
                           toNdc),
                sixteenth),
            _mm_mul_pd(relative, _mm_and_pd(x, magnitude)));
        const __m128d marginY = _mm_add_pd(
            _mm_add_pd(
                _mm_mul_pd(_mm_mul_pd(halfHeight,
                                      _mm_add_pd(errorY, _mm_mul_pd(_mm_and_pd(ndcY, magnitude), errorW))),
                           toNdc),
                sixteenth),
            _mm_mul_pd(relative, _mm_and_pd(y, magnitude)));
        // All false for NaN: such lanes, and those behind the eye, take project().
        const __m128d usual = _mm_and_pd(
            _mm_and_pd(_mm_cmpgt_pd(w, nearest), _mm_cmplt_pd(_mm_and_pd(x, magnitude), ordinary)),
            _mm_and_pd(_mm_cmplt_pd(_mm_and_pd(y, magnitude), ordinary),
                       _mm_and_pd(_mm_cmplt_pd(marginX, ordinary), _mm_cmplt_pd(marginY, ordinary))));
        const int usualLanes = _mm_movemask_pd(usual);
        if (usualLanes != 3) {
            for (std::uint32_t lane = 0; lane < 2; ++lane)
                project(v + lane, view);
            continue;
        }
        const __m128d firstX =
            _mm_min_pd(_mm_max_pd(ceiling(_mm_sub_pd(_mm_sub_pd(x, marginX), half)), zero), width);
        const __m128d lastX =
            _mm_min_pd(_mm_max_pd(floor(_mm_sub_pd(_mm_add_pd(x, marginX), half)), minusOne), lastColumn);
        const __m128d firstY =
            _mm_min_pd(_mm_max_pd(ceiling(_mm_sub_pd(_mm_sub_pd(y, marginY), half)), zero), height);
        const __m128d lastY =
            _mm_min_pd(_mm_max_pd(floor(_mm_sub_pd(_mm_add_pd(y, marginY), half)), minusOne), lastRow);
        alignas(16) std::int32_t columns[4], lastColumns[4], rows[4], lastRows[4];
        _mm_store_si128(reinterpret_cast<__m128i *>(columns), _mm_cvttpd_epi32(firstX));
        _mm_store_si128(reinterpret_cast<__m128i *>(lastColumns), _mm_cvttpd_epi32(lastX));
        _mm_store_si128(reinterpret_cast<__m128i *>(rows), _mm_cvttpd_epi32(firstY));
        _mm_store_si128(reinterpret_cast<__m128i *>(lastRows), _mm_cvttpd_epi32(lastY));
        for (std::uint32_t lane = 0; lane < 2; ++lane)
            m_screen[v + lane] = {columns[lane], lastColumns[lane], rows[lane], lastRows[lane]};
    }
#endif
    for (; v < count; ++v)
        project(v, view);
}

const ModelBuffer::ScreenPoint &ModelBuffer::screenPoint(std::uint32_t v, const View &view)
{
    if (m_screenDraw[v] != m_drawNumber) {
        m_screenDraw[v] = m_drawNumber;
        project(v, view);
    }
    return m_screen[v];
}

namespace
{

// Whether the face's corners reach a common pixel centre inside the viewport (their ranges are
// kept within it).
inline bool coversCentre(const ModelBuffer::ScreenPoint &a, const ModelBuffer::ScreenPoint &b,
                         const ModelBuffer::ScreenPoint &d)
{
    return std::min({a.firstColumn, b.firstColumn, d.firstColumn}) <=
               std::max({a.lastColumn, b.lastColumn, d.lastColumn}) &&
           std::min({a.firstRow, b.firstRow, d.firstRow}) <= std::max({a.lastRow, b.lastRow, d.lastRow});
}

} // namespace

void ModelBuffer::keepCoveringFaces(const Block &range, const View &view, bool allProjected)
{
    const std::uint32_t *index = m_indices.data() + range.firstIndex;
    const std::uint32_t *end = index + range.indexCount;
    if (allProjected) {
        // Every vertex projected already: no stamps to check. m_drawn has room for every face.
        const ScreenPoint *screen = m_screen.data();
        std::uint32_t *kept = m_drawn.data() + m_drawnCount;
        for (; index != end; index += 3) {
            kept[0] = index[0];
            kept[1] = index[1];
            kept[2] = index[2];
            kept += coversCentre(screen[index[0]], screen[index[1]], screen[index[2]]) ? 3 : 0;
        }
        m_drawnCount = std::size_t(kept - m_drawn.data());
        return;
    }
    for (; index != end; index += 3) {
        const ScreenPoint &a = screenPoint(index[0], view);
        const ScreenPoint &b = screenPoint(index[1], view);
        const ScreenPoint &d = screenPoint(index[2], view);
        if (coversCentre(a, b, d)) {
            std::copy(index, index + 3, m_drawn.data() + m_drawnCount);
            m_drawnCount += 3;
        }
    }
}

void ModelBuffer::draw(const double clipFromModel[16], int width, int height)
{
    m_drawnCount = 0;
    if (m_indices.empty() || width <= 0 || height <= 0)
        return;
    View view;
    std::copy(clipFromModel, clipFromModel + 16, view.clip);
    view.width = width;
    view.height = height;
    // GL transforms in single precision (its matrices and the product with each vertex): a
    // generous bound of its error per clip coordinate, for vertices up to the largest coordinate.
    for (int row = 0; row < 4; ++row) {
        const double terms =
            (std::abs(view.clip[row]) + std::abs(view.clip[4 + row]) + std::abs(view.clip[8 + row])) *
                m_coordinateBound +
            std::abs(view.clip[12 + row]);
        view.error[row] = 16.0 * std::ldexp(terms, -24);
    }
    m_visible.clear();
    collectVisible(0, view);
    if (++m_drawNumber == 0) { // wrapped: forget every stamp
        std::fill(m_screenDraw.begin(), m_screenDraw.end(), 0);
        m_drawNumber = 1;
    }
    // When most of the model is in view, projecting every vertex in order beats picking them.
    std::size_t visibleIndices = 0;
    for (const Block *block : m_visible)
        visibleIndices += block->indexCount;
    const bool allProjected = 4 * visibleIndices >= m_indices.size();
    if (allProjected) {
        std::fill(m_screenDraw.begin(), m_screenDraw.end(), m_drawNumber);
        projectAll(view);
    }
    for (const Block *block : m_visible)
        keepCoveringFaces(*block, view, allProjected);
    if (m_drawnCount == 0)
        return;
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(m_drawnCount * sizeof(std::uint32_t)), m_drawn.data(),
                 GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, GLsizei(m_drawnCount), GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glPopClientAttrib();
}

void ModelBuffer::release()
{
    if (m_vertexBuffer)
        glDeleteBuffers(1, &m_vertexBuffer);
    if (m_indexBuffer)
        glDeleteBuffers(1, &m_indexBuffer);
    forget();
}

void ModelBuffer::forget()
{
    m_vertexBuffer = m_indexBuffer = 0;
    m_blocks.clear();
    m_positions.clear();
    m_indices.clear();
    m_visible.clear();
    m_screen.clear();
    m_screenDraw.clear();
    m_drawn.clear();
    m_drawnCount = 0;
    m_drawNumber = 0;
}
