#pragma once
// Per-shot image features, the seven feature distances, their normalisation over a dataset and
// their weighted combination.
//
// Slot order shared by the tables, the user weights and the distances:
//   0 time of shot, 1 color distribution, 2 color spatial distribution, 3 direction of shot,
//   4 position of shot, 5 position of target, 6 constant term.
//
// Thread safety: plain functions on values, no shared state; any thread.

#include "camera.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <array>
#include <cstdint>

class QImage;

constexpr int featureSlotCount = 7;
using FeatureTable = std::array<float, featureSlotCount>;

enum FeatureSlot {
    timeSlot = 0,
    colorDistributionSlot = 1,
    colorSpatialSlot = 2,
    directionSlot = 3,
    positionSlot = 4,
    targetSlot = 5,
    constantSlot = 6,
};

// How the colour features decode a photograph: JPEGs at the reduced scale of the thumbnails
// (ksr::reducedDecodeSize, at least 512 pixels on the longer side), other formats whole; or every
// photograph at full size. Records made one way never stand for the other. The reduced decode is
// faster but moves a pixel's colour across the histogram's bin edges now and then (colour
// distances within about 0.02 on real photographs), so full size is the default.
enum class FeatureDecoding { Reduced, FullSize };

// CIE L*a*b* colour (D65 white point).
struct LabColor {
    double L = 0.0;
    double a = 0.0;
    double b = 0.0;
};

// sRGB channel values 0..255 to CIE L*a*b*, in double precision.
LabColor srgbToLab(double red, double green, double blue);

// L*a*b* of the 16 grid cells, by component.
struct CellColors {
    std::array<double, 16> L{};
    std::array<double, 16> A{};
    std::array<double, 16> B{};
};

struct ShotFeatures {
    QString name;                                      // image path the record was computed from
    QDateTime time;                                    // time of shot
    ksr::Point3f dir;                                  // viewing axis in model coordinates, unit or zero
    ksr::Point3f pos;                                  // camera centre, world coordinates
    ksr::Point3f target;                               // pos + depth * dir
    float depth = 0.0f;                                // model units
    std::array<std::int32_t, 64> colorDistr{};         // pixel counts per colour bin
    std::array<std::int32_t, 192> colorSpatialDistr{}; // 4 x 4 cells x (blue, green, red) means; 0..47 used

    // Derived from the fields above by updateDerivedFeatures(), so that a distance never converts
    // colours or times per call. computeShotFeatures() keeps them current; whoever edits time,
    // colorDistr or colorSpatialDistr by hand calls updateDerivedFeatures() afterwards.
    qint64 timeMSecs = 0;               // time as milliseconds since the epoch
    qint64 pixelCount = 0;              // sum of colorDistr
    std::array<float, 64> colorShare{}; // colorDistr as fractions of pixelCount
    bool colorValid = false;            // the image decoded to at least one pixel
    CellColors cells;                   // L*a*b* of each cell's stored triple

    // Identity of the image file the time and colours were taken from (with name, the key of a FeatureStore).
    qint64 fileSize = -1;
    qint64 fileModifiedMSecs = 0;
    // What was read from the image file: the time of shot (else time is the time the record was
    // made), the colours (else they are 0), and whether the photograph can be read (decoded to at
    // least one pixel, or without colours: its header names a readable image of some size).
    bool hasShotTime = false;
    bool hasColors = false;
    bool imageReadable = false;
    FeatureDecoding colorDecoding = FeatureDecoding::Reduced; // how the colours were decoded

    // Empty name, the current date and time, zero geometry and colours.
    ShotFeatures();
};

// Refreshes the derived fields of a record from its time and colour fields.
void updateDerivedFeatures(ShotFeatures &features);

// Full record of one shot: time of shot and colours from the image file, geometry from the camera
// and depth. An image that does not decode gives zero colours with colorValid false.
ShotFeatures computeShotFeatures(const QString &imagePath, const Camera &camera, float depth);

// Which parts of a record to read from the photograph. A run whose time weights are all 0 needs
// no time of shot, and one whose colour weights are all 0 decodes no pixel: a feature of weight 0
// adds 0 to every distance whatever its value.
struct ImageFeatureNeeds {
    bool shotTime = true;
    bool colors = true;
    FeatureDecoding decoding = FeatureDecoding::FullSize;
};

// The parts that come from the image file only: name, time, colours and file identity.
ShotFeatures computeImageFeatures(const QString &imagePath);
// The same with only the needed parts read; the others keep their defaults.
ShotFeatures computeImageFeatures(const QString &imagePath, ImageFeatureNeeds needs);
// The same from a picture decoded elsewhere: `decoded` must be what decodeForColorFeatures(imagePath,
// needs.decoding) gives (a thumbnail job's reduced decode is); it is used when colours are needed.
ShotFeatures computeImageFeatures(const QString &imagePath, ImageFeatureNeeds needs, const QImage &decoded);
// The picture the colour features are computed from: in the file's own orientation, reduced or
// whole as `decoding` says. Null when the file does not decode.
QImage decodeForColorFeatures(const QString &imagePath, FeatureDecoding decoding);
// True when the record holds every part the needs ask for, colours decoded the way they ask.
bool coversNeeds(const ShotFeatures &features, ImageFeatureNeeds needs);
// The parts that come from the camera and depth: dir, pos, depth and target. pos is relative to
// origin, so that cameras in real-world coordinates keep their distances in float (see localOrigin).
void applyCameraFeatures(ShotFeatures &features, const Camera &camera, float depth,
                         const ksr::Point3d &origin = {});
// Both colour features from a decoded image in one pass; any format is read as 32-bit RGB.
void computeColorFeatures(const QImage &image, ShotFeatures &features);

// The seven distances (single precision, never negative).
float timeDistance(const ShotFeatures &a, const ShotFeatures &b);
float colorDistributionDistance(const ShotFeatures &a, const ShotFeatures &b);
float colorSpatialDistance(const ShotFeatures &a, const ShotFeatures &b);
float directionDistance(const ShotFeatures &a, const ShotFeatures &b);
float positionDistance(const ShotFeatures &a, const ShotFeatures &b);
float targetDistance(const ShotFeatures &a, const ShotFeatures &b);
float constantDistance(const ShotFeatures &a, const ShotFeatures &b);
// The colour distances on their derived fields (64 colour shares; cell colours), for callers
// that keep them outside a ShotFeatures record.
float colorShareDistance(const float *a, const float *b);
float cellColorDistance(const CellColors &a, const CellColors &b);
// The distance of one slot (0..6).
float slotDistance(int slot, const ShotFeatures &a, const ShotFeatures &b);

// Scale factors for the dataset, from a sampled maximum per slot (no shared state touched).
FeatureTable normalizationFor(const QVector<ShotFeatures> &features);
// user weight k x factor k.
FeatureTable weightsFor(const FeatureTable &userWeights, const FeatureTable &factors);
// Weighted sum of the slot distances with the given effective weights, plus the slot 6 weight.
float combinedDistance(const ShotFeatures &a, const ShotFeatures &b, const FeatureTable &weights);
