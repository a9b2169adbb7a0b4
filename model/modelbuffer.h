#ifndef MODEL_MODELBUFFER_H
#define MODEL_MODELBUFFER_H

#include <ksr/mesh.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// A triangle mesh kept on the graphics side for drawing depth only: every used vertex position in
// a static vertex buffer, uploaded once, and for each draw only the faces that can leave a
// fragment, sent as indices into it.
//
// The faces are kept in spatial blocks (a kd tree over their centres). A draw skips the blocks
// wholly outside the view volume, then the faces whose screen bounding box holds no pixel
// centre: a face produces a fragment only where it covers a pixel centre. Both tests keep a
// margin above the error of GL's single-precision transform (which grows with the model's
// coordinates) and its sub-pixel snapping, and with a less-than depth test the order of the faces does not
// change the nearest depth kept at a pixel, so the depth buffer is that of drawing every face.
//
// GL names are plain integers so that this header stays free of GL headers. Use it on the thread
// whose context was current at upload(), with that context current; release() before the
// context goes, or forget() when it is already gone.
class ModelBuffer
{
public:
    // Faces per block of the tree's leaves.
    static constexpr std::size_t LeafFaces = 256;

    ModelBuffer() = default;
    ~ModelBuffer() = default;
    ModelBuffer(const ModelBuffer &) = delete;
    ModelBuffer &operator=(const ModelBuffer &) = delete;

    // Replaces the buffers by the mesh's triangles. False, leaving the buffer empty, for a point
    // cloud, a mesh without a drawable face, or when GL could not store the data (the caller then
    // draws the model another way). Faces whose vertex references are out of range are left out.
    bool upload(const ksr::CMesh &mesh);
    // Draws, positions only, the faces that can leave a fragment in a viewport of width x height
    // pixels at (0, 0) under `clipFromModel`: the projection times the modelview matrix, 16
    // doubles in GL column-major order, as the current GL matrices hold them. Does nothing when
    // empty. Leaves no buffer bound.
    void draw(const double clipFromModel[16], int width, int height);

    bool isEmpty() const { return m_indices.empty(); }
    std::size_t triangleCount() const { return m_indices.size() / 3; }
    // Faces sent to GL by the last draw.
    std::size_t drawnTriangles() const { return m_drawnCount / 3; }

    void release();
    void forget();

    struct Block {
        float lo[3], hi[3];           // bounding box of the block's vertices
        std::uint32_t firstIndex = 0; // into the index list
        std::uint32_t indexCount = 0;
        int children[2] = {-1, -1}; // both -1 for a leaf
    };

    // The view of one draw: the clip matrix, bounds on how far GL's single-precision transform
    // may stray from it per clip coordinate, and the viewport.
    struct View {
        double clip[16];
        double error[4];
        int width, height;
    };

    // Pixel centres of the viewport a vertex can reach, per axis: a face holds a centre column when
    // the largest `last` of its corners is at least the smallest `first`, the same for rows. A
    // vertex behind or almost at the eye, whose projection is unbounded, reaches every centre.
    struct ScreenPoint {
        std::int32_t firstColumn, lastColumn, firstRow, lastRow;
    };

private:
    void collectVisible(int block, const View &view);
    void project(std::uint32_t vertex, const View &view);
    // project() of every vertex.
    void projectAll(const View &view);
    const ScreenPoint &screenPoint(std::uint32_t vertex, const View &view);
    void keepCoveringFaces(const Block &range, const View &view, bool allProjected);

    unsigned int m_vertexBuffer = 0;
    unsigned int m_indexBuffer = 0; // refilled by every draw
    std::vector<Block> m_blocks;    // the root first
    std::vector<float> m_positions; // three per vertex, in buffer order
    double m_coordinateBound = 0.0; // largest magnitude of a coordinate
    std::vector<std::uint32_t> m_indices;

    // Scratch of a draw.
    std::vector<const Block *> m_visible;
    std::vector<ScreenPoint> m_screen;
    std::vector<std::uint32_t> m_screenDraw; // draw number that last filled m_screen[v]
    std::uint32_t m_drawNumber = 0;
    std::vector<std::uint32_t> m_drawn; // as long as m_indices; the first m_drawnCount are drawn
    std::size_t m_drawnCount = 0;
};

#endif
