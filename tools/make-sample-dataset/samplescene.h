#pragma once
// The synthetic outdoor scene of the sample dataset: a ground plane with streets, buildings of
// different colours and sizes (flat or gabled roofs) and a ramp. Model units are metres, z is up.
// The scene is described as planar patches; tessellating them at any density keeps the geometry
// exactly the same, so the full and the low-resolution models show identical surfaces.

#include <ksr/mesh.h>

#include <QString>

#include <cstdint>
#include <vector>

namespace SampleGen
{

// How a patch's vertex colours vary over the surface.
enum class PatchStyle {
    Plain,  // the base colour with a little noise
    Ground, // grass, streets and a paved square, chosen by position
    Facade, // the base colour with darker window bands on every floor
};

// A planar quad (corners 0..3, counter-clockwise seen from outside) or triangle (corners 0..2).
struct Patch {
    ksr::Point3f corner[4];
    bool triangle = false;
    ksr::Color4b colour;
    PatchStyle style = PatchStyle::Plain;
};

// One solid object of the scene, with its axis-aligned bounds (roof included).
struct SceneObject {
    QString name;     // "building 1", "ramp"
    QString kind;     // "building" or "ramp"
    ksr::Point3f min; // bounds in model coordinates
    ksr::Point3f max;
    float wallTop = 0.0f; // height of the walls' upper edge (below any roof)
    ksr::Color4b colour;  // wall colour
};

struct SampleScene {
    float groundHalfSize = 60.0f; // the ground spans [-g, g] in x and y at z = 0
    std::vector<SceneObject> objects;
    std::vector<Patch> patches;
};

// The scene for a seed: 8 to 10 buildings beside two crossing streets, and a ramp.
SampleScene buildScene(std::uint64_t seed);

// Builders, also used to make small test scenes.
void addGround(SampleScene &scene, float halfSize);
// A building on the ground with footprint [min.x, max.x] x [min.y, max.y] and walls up to max.z;
// roofHeight > 0 adds a gable roof whose ridge runs along the longer side.
void addBuilding(SampleScene &scene, const QString &name, const ksr::Point3f &min, const ksr::Point3f &max,
                 float roofHeight, const ksr::Color4b &wallColour, const ksr::Color4b &roofColour);
// A wedge rising from 0 to height along x over [min.x, max.x].
void addRamp(SampleScene &scene, const ksr::Point3f &min, const ksr::Point3f &max,
             const ksr::Color4b &colour);

// Triangle mesh of the scene with per-vertex colours and face normals, at most targetTriangles
// triangles and as close to it as the patch grid allows (at least two per quad, one per triangle).
ksr::CMesh tessellate(const SampleScene &scene, int targetTriangles, std::uint64_t seed);

// Number of triangles tessellate() gives when every patch gets a single cell.
int minimumTriangles(const SampleScene &scene);

// Points spread over the mesh surface in proportion to area, with the face normal in CVertex::n
// and the colour interpolated from the corners.
std::vector<ksr::CVertex> samplePoints(const ksr::CMesh &mesh, int count, std::uint64_t seed);

} // namespace SampleGen
