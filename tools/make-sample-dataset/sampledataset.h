#pragma once
// Writes the complete sample project into a folder:
//   sample.pfp                 the project: two raster groups of calibrated photographs, one mesh group
//   truth.json                 per photograph its capture time and ground-truth depth; the scene's objects
//   model/scene.ply            full model, binary PLY with per-vertex colours
//   model/scene_lowres.ply     the same surfaces in at most 4,000 triangles (for depths and preview)
//   model/scene_points.ply     ASCII PLY point cloud sampled from the model
//   photos/img_0001.jpg ...    the photographs, JPEG with EXIF DateTimeOriginal
// The same options give byte-identical files.

#include <QSize>
#include <QString>

#include <cstdint>

namespace SampleGen
{

struct SampleOptions {
    std::uint64_t seed = 1;
    int views = 24;
    int triangles = 50000;
    QSize size{1600, 1200}; // landscape photographs; portrait ones are the transpose
    // Allow writing into a folder that is not empty: the sample files are replaced, earlier
    // photos/img_NNNN.jpg beyond the new count and every photos/thumbnails/img_NNNN.jpg removed,
    // anything else left alone.
    bool overwrite = false;
};

struct SampleSummary {
    int photographs = 0;
    int triangles = 0;
    int lowResTriangles = 0;
    int points = 0;
};

inline constexpr int lowResTriangleBudget = 4000;
inline constexpr int jpegQuality = 90;

// False with *error set when the options are out of range or a file cannot be written. A folder
// that does not exist yet is built beside it under a temporary name and renamed when complete, so
// an interrupted run never leaves a half-written sample under the requested name.
bool writeSampleDataset(const QString &outputDir, const SampleOptions &options, QString *error,
                        SampleSummary *summary = nullptr);

// Checks the option ranges; the message names the offending option.
bool validateOptions(const SampleOptions &options, QString *error);

} // namespace SampleGen
