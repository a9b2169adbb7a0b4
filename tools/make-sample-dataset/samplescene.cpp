#include "samplescene.h"

#include "samplerng.h"

#include <algorithm>
#include <cmath>

namespace SampleGen
{

namespace
{

using ksr::Color4b;
using ksr::Point3f;

constexpr float streetHalfWidth = 4.0f;
constexpr float sidewalkEdge = 5.5f;
constexpr float squareHalfSize = 7.0f;
constexpr float storeyHeight = 3.2f;

std::uint8_t clampByte(float v)
{
    return std::uint8_t(std::clamp(int(std::lround(v)), 0, 255));
}

Color4b scaled(const Color4b &c, float factor, float offset = 0.0f)
{
    Color4b r;
    r.r = clampByte(c.r * factor + offset);
    r.g = clampByte(c.g * factor + offset);
    r.b = clampByte(c.b * factor + offset);
    return r;
}

// Noise in [-1, 1] tied to a position (1 cm cells), so that vertices shared by neighbouring
// patches and by both tessellations get the same value.
float positionNoise(const Point3f &p, std::uint64_t seed)
{
    std::uint64_t h = seed ^ 0x51ED270B27E1A4C5ull;
    for (float c : {p.x, p.y, p.z}) {
        h ^= std::uint64_t(std::int64_t(std::lround(c * 100.0f))) + 0x9E3779B97F4A7C15ull + (h << 6) +
             (h >> 2);
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    return float(h >> 40) / float(1ull << 23) - 1.0f;
}

Color4b groundColour(const Point3f &p)
{
    const float ax = std::fabs(p.x), ay = std::fabs(p.y);
    if (ax < squareHalfSize && ay < squareHalfSize)
        return {176, 166, 148, 255}; // paved square where the streets cross
    if (ax < streetHalfWidth || ay < streetHalfWidth)
        return {86, 88, 94, 255}; // asphalt
    if (ax < sidewalkEdge || ay < sidewalkEdge)
        return {164, 161, 154, 255}; // sidewalk
    // Grass, lighter and darker in broad patches.
    const float patchiness = 0.5f + 0.25f * std::sin(p.x * 0.21f) * std::cos(p.y * 0.17f);
    return scaled({92, 128, 66, 255}, 0.85f + 0.3f * patchiness);
}

Color4b vertexColour(const Patch &patch, const Point3f &p, std::uint64_t seed)
{
    const float noise = positionNoise(p, seed);
    switch (patch.style) {
    case PatchStyle::Ground:
        return scaled(groundColour(p), 1.0f, 10.0f * noise);
    case PatchStyle::Facade: {
        const float inStorey = std::fmod(p.z, storeyHeight);
        const bool windowBand = inStorey > 1.0f && inStorey < 2.2f;
        return scaled(patch.colour, (windowBand ? 0.62f : 1.0f) * (1.0f + 0.04f * noise));
    }
    case PatchStyle::Plain:
        break;
    }
    return scaled(patch.colour, 1.0f + 0.05f * noise);
}

void addQuad(SampleScene &scene, const Point3f &origin, const Point3f &u, const Point3f &v,
             const Color4b &colour, PatchStyle style)
{
    Patch patch;
    patch.corner[0] = origin;
    patch.corner[1] = origin + u;
    patch.corner[2] = origin + u + v;
    patch.corner[3] = origin + v;
    patch.colour = colour;
    patch.style = style;
    scene.patches.push_back(patch);
}

void addTriangle(SampleScene &scene, const Point3f &a, const Point3f &b, const Point3f &c,
                 const Color4b &colour, PatchStyle style)
{
    Patch patch;
    patch.corner[0] = a;
    patch.corner[1] = b;
    patch.corner[2] = c;
    patch.corner[3] = c;
    patch.triangle = true;
    patch.colour = colour;
    patch.style = style;
    scene.patches.push_back(patch);
}

// Cells of one patch for a cell size: (nu, nv) for a quad, (n, n) for a triangle.
void patchCells(const Patch &patch, double cellSize, long long &nu, long long &nv)
{
    auto cells = [cellSize](float length) { return std::max(1LL, (long long)std::ceil(length / cellSize)); };
    if (patch.triangle) {
        const float longest = std::max({(patch.corner[1] - patch.corner[0]).length(),
                                        (patch.corner[2] - patch.corner[0]).length(),
                                        (patch.corner[2] - patch.corner[1]).length()});
        nu = nv = cells(longest);
    } else {
        nu = cells((patch.corner[1] - patch.corner[0]).length());
        nv = cells((patch.corner[3] - patch.corner[0]).length());
    }
}

long long triangleCount(const SampleScene &scene, double cellSize)
{
    long long total = 0;
    for (const Patch &patch : scene.patches) {
        long long nu = 0, nv = 0;
        patchCells(patch, cellSize, nu, nv);
        total += patch.triangle ? nu * nu : 2 * nu * nv;
    }
    return total;
}

bool separated(const SampleScene &scene, const Point3f &min, const Point3f &max, float gap)
{
    for (const SceneObject &o : scene.objects) {
        if (min.x < o.max.x + gap && max.x > o.min.x - gap && min.y < o.max.y + gap && max.y > o.min.y - gap)
            return false;
    }
    return true;
}

// A footprint of size (dx, dy) in the quadrant (signX, signY), clear of the streets.
void placeInQuadrant(SampleRng &rng, int quadrant, float dx, float dy, Point3f &min, Point3f &max)
{
    const float inner = squareHalfSize + 0.5f, outer = 42.0f;
    const float x0 = float(rng.uniform(inner, outer - dx)), y0 = float(rng.uniform(inner, outer - dy));
    const bool negX = quadrant == 1 || quadrant == 2, negY = quadrant >= 2;
    min.x = negX ? -(x0 + dx) : x0;
    min.y = negY ? -(y0 + dy) : y0;
    max.x = min.x + dx;
    max.y = min.y + dy;
}

float roundTo(float v, float step)
{
    return std::round(v / step) * step;
}

} // namespace

void addGround(SampleScene &scene, float halfSize)
{
    scene.groundHalfSize = halfSize;
    addQuad(scene, {-halfSize, -halfSize, 0.0f}, {2 * halfSize, 0, 0}, {0, 2 * halfSize, 0},
            {92, 128, 66, 255}, PatchStyle::Ground);
}

void addBuilding(SampleScene &scene, const QString &name, const Point3f &min, const Point3f &max,
                 float roofHeight, const Color4b &wallColour, const Color4b &roofColour)
{
    const float dx = max.x - min.x, dy = max.y - min.y, top = max.z;
    const Point3f up{0, 0, top};
    // Footprint walked counter-clockwise seen from above; each edge carries an outward-facing wall.
    const Point3f foot[4] = {{min.x, min.y, 0}, {max.x, min.y, 0}, {max.x, max.y, 0}, {min.x, max.y, 0}};
    for (int i = 0; i < 4; ++i)
        addQuad(scene, foot[i], foot[(i + 1) % 4] - foot[i], up, wallColour, PatchStyle::Facade);

    SceneObject object;
    object.name = name;
    object.kind = QStringLiteral("building");
    object.min = {min.x, min.y, 0.0f};
    object.max = {max.x, max.y, top + std::max(roofHeight, 0.0f)};
    object.wallTop = top;
    object.colour = wallColour;
    scene.objects.push_back(object);

    if (roofHeight <= 0.0f) {
        addQuad(scene, foot[0] + up, {dx, 0, 0}, {0, dy, 0}, scaled(wallColour, 0.8f), PatchStyle::Plain);
        return;
    }
    // Ridge along the longer side: along x across = y, or along y across = -x (along x across = z).
    const bool alongX = dx >= dy;
    const Point3f corner = alongX ? foot[0] : foot[1];
    const Point3f along = alongX ? Point3f{dx, 0, 0} : Point3f{0, dy, 0};
    const Point3f across = alongX ? Point3f{0, dy, 0} : Point3f{-dx, 0, 0};
    const Point3f rise{0, 0, roofHeight};
    const Point3f c0 = corner + up;
    addQuad(scene, c0, along, across * 0.5f + rise, roofColour, PatchStyle::Plain);
    addQuad(scene, c0 + along + across, -along, across * -0.5f + rise, roofColour, PatchStyle::Plain);
    addTriangle(scene, c0 + across, c0, c0 + across * 0.5f + rise, wallColour, PatchStyle::Plain);
    addTriangle(scene, c0 + along, c0 + along + across, c0 + along + across * 0.5f + rise, wallColour,
                PatchStyle::Plain);
}

void addRamp(SampleScene &scene, const Point3f &min, const Point3f &max, const Color4b &colour)
{
    const Point3f c0{min.x, min.y, 0.0f};
    const Point3f along{max.x - min.x, 0, 0}, across{0, max.y - min.y, 0}, rise{0, 0, max.z};
    addQuad(scene, c0, along + rise, across, colour, PatchStyle::Plain);
    addTriangle(scene, c0, c0 + along, c0 + along + rise, scaled(colour, 0.9f), PatchStyle::Plain);
    addTriangle(scene, c0 + across + along, c0 + across, c0 + across + along + rise, scaled(colour, 0.9f),
                PatchStyle::Plain);
    addQuad(scene, c0 + along, across, rise, scaled(colour, 0.9f), PatchStyle::Plain);

    SceneObject object;
    object.name = QStringLiteral("ramp");
    object.kind = QStringLiteral("ramp");
    object.min = c0;
    object.max = {max.x, max.y, max.z};
    object.wallTop = max.z;
    object.colour = colour;
    scene.objects.push_back(object);
}

SampleScene buildScene(std::uint64_t seed)
{
    SampleRng rng(seed);
    SampleScene scene;
    addGround(scene, 60.0f);

    // Saturated wall colours of well separated hues, so each building is recognisable in the photographs.
    std::vector<Color4b> palette = {{196, 62, 50, 255},  {218, 134, 48, 255}, {222, 198, 66, 255},
                                    {58, 162, 168, 255}, {66, 108, 196, 255}, {132, 84, 186, 255},
                                    {190, 66, 142, 255}};
    for (int i = int(palette.size()) - 1; i > 0; --i)
        std::swap(palette[i], palette[rng.below(i + 1)]);
    const Color4b roofColours[2] = {{72, 74, 84, 255}, {120, 62, 46, 255}};

    const int buildingCount = 8 + rng.below(3);
    int placed = 0;
    for (int i = 0; i < buildingCount; ++i) {
        for (int attempt = 0; attempt < 300; ++attempt) {
            const float dx = roundTo(float(rng.uniform(7.0, 15.0)), 0.1f);
            const float dy = roundTo(float(rng.uniform(7.0, 15.0)), 0.1f);
            const int storeys = 2 + rng.below(5);
            Point3f min, max;
            placeInQuadrant(rng, i % 4, dx, dy, min, max);
            min.x = roundTo(min.x, 0.1f);
            min.y = roundTo(min.y, 0.1f);
            max.x = min.x + dx;
            max.y = min.y + dy;
            if (!separated(scene, min, max, 3.0f))
                continue;
            max.z = storeys * storeyHeight;
            const bool gable = rng.uniform() < 0.6;
            const float roof = gable ? roundTo(0.35f * std::min(dx, dy), 0.1f) : 0.0f;
            ++placed;
            addBuilding(scene, QStringLiteral("building %1").arg(placed), min, max, roof,
                        palette[std::size_t(placed - 1) % palette.size()], roofColours[rng.below(2)]);
            break;
        }
    }
    for (int attempt = 0; attempt < 300; ++attempt) {
        Point3f min, max;
        placeInQuadrant(rng, rng.below(4), 10.0f, 4.5f, min, max);
        if (!separated(scene, min, max, 2.0f))
            continue;
        max.z = 2.4f;
        addRamp(scene, min, max, {168, 163, 152, 255});
        break;
    }
    return scene;
}

int minimumTriangles(const SampleScene &scene)
{
    return int(triangleCount(scene, 1e9));
}

ksr::CMesh tessellate(const SampleScene &scene, int targetTriangles, std::uint64_t seed)
{
    // Largest cells: the minimum; then bisect (on a log scale) for the smallest cell size whose
    // count stays within the target.
    double coarse = 1e4, fine = 1e-3;
    if (triangleCount(scene, coarse) < targetTriangles) {
        for (int i = 0; i < 60; ++i) {
            const double middle = std::sqrt(coarse * fine);
            if (triangleCount(scene, middle) <= targetTriangles)
                coarse = middle;
            else
                fine = middle;
        }
    }
    const double cellSize = coarse;

    ksr::CMesh mesh;
    for (const Patch &patch : scene.patches) {
        const Point3f normal =
            (patch.corner[1] - patch.corner[0]).cross(patch.corner[2] - patch.corner[0]).normalized();
        long long nu = 0, nv = 0;
        patchCells(patch, cellSize, nu, nv);
        const int base = int(mesh.vert.size());
        auto addVertex = [&](const Point3f &p) {
            ksr::CVertex v;
            v.p = p;
            v.n = normal;
            v.c = vertexColour(patch, p, seed);
            mesh.vert.push_back(v);
        };
        auto addFace = [&](int a, int b, int c) {
            ksr::CFace f;
            f.v[0] = a;
            f.v[1] = b;
            f.v[2] = c;
            f.n = normal;
            mesh.face.push_back(f);
        };
        const Point3f u = patch.corner[1] - patch.corner[0];
        if (patch.triangle) {
            const int n = int(nu);
            const Point3f v = patch.corner[2] - patch.corner[0];
            // Row i holds n + 1 - i points; index of (i, j) counted row by row.
            auto index = [n, base](int i, int j) { return base + i * (n + 1) - i * (i - 1) / 2 + j; };
            for (int i = 0; i <= n; ++i)
                for (int j = 0; j <= n - i; ++j)
                    addVertex(patch.corner[0] + u * (float(i) / n) + v * (float(j) / n));
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n - i; ++j) {
                    addFace(index(i, j), index(i + 1, j), index(i, j + 1));
                    if (i + j < n - 1)
                        addFace(index(i + 1, j), index(i + 1, j + 1), index(i, j + 1));
                }
        } else {
            const Point3f v = patch.corner[3] - patch.corner[0];
            const int cu = int(nu), cv = int(nv);
            for (int j = 0; j <= cv; ++j)
                for (int i = 0; i <= cu; ++i)
                    addVertex(patch.corner[0] + u * (float(i) / cu) + v * (float(j) / cv));
            for (int j = 0; j < cv; ++j)
                for (int i = 0; i < cu; ++i) {
                    const int a = base + j * (cu + 1) + i;
                    const int d = a + cu + 1;
                    addFace(a, a + 1, d + 1);
                    addFace(a, d + 1, d);
                }
        }
    }
    mesh.updateBoundingBox();
    return mesh;
}

std::vector<ksr::CVertex> samplePoints(const ksr::CMesh &mesh, int count, std::uint64_t seed)
{
    std::vector<double> cumulative;
    cumulative.reserve(mesh.face.size());
    double total = 0.0;
    for (const ksr::CFace &f : mesh.face) {
        const Point3f &a = mesh.vert[f.v[0]].p, &b = mesh.vert[f.v[1]].p, &c = mesh.vert[f.v[2]].p;
        total += 0.5 * double((b - a).cross(c - a).length());
        cumulative.push_back(total);
    }
    std::vector<ksr::CVertex> points;
    if (cumulative.empty() || total <= 0.0)
        return points;
    SampleRng rng(seed ^ 0xA5A5A5A5ull);
    points.reserve(std::size_t(std::max(count, 0)));
    for (int k = 0; k < count; ++k) {
        const double pick = rng.uniform() * total;
        const std::size_t fi = std::min(
            std::size_t(std::upper_bound(cumulative.begin(), cumulative.end(), pick) - cumulative.begin()),
            cumulative.size() - 1);
        const ksr::CFace &f = mesh.face[fi];
        float s = float(rng.uniform()), t = float(rng.uniform());
        if (s + t > 1.0f) {
            s = 1.0f - s;
            t = 1.0f - t;
        }
        const float w[3] = {1.0f - s - t, s, t};
        ksr::CVertex p;
        float rgb[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i) {
            const ksr::CVertex &corner = mesh.vert[f.v[i]];
            p.p += corner.p * w[i];
            rgb[0] += corner.c.r * w[i];
            rgb[1] += corner.c.g * w[i];
            rgb[2] += corner.c.b * w[i];
        }
        p.n = f.n.normalized();
        p.c = {clampByte(rgb[0]), clampByte(rgb[1]), clampByte(rgb[2]), 255};
        points.push_back(p);
    }
    return points;
}

} // namespace SampleGen
