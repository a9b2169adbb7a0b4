#include "shotfeatures.h"

#include "shottime.h"

#include <ksr/decodebudget.h>
#include <ksr/decodescale.h>

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{

// Photographs larger than Qt's default allocation limit (256 MB) are still read.
constexpr int decodeLimitMegabytes = 1024;

double linearised(double value)
{
    const double c = value / 255.0;
    return c > 0.04045 ? std::pow((c + 0.055) / 1.055, 2.4) : c / 12.92;
}

double labCurve(double t)
{
    return t > 0.008856 ? std::pow(t, 1.0 / 3.0) : 7.787 * t + 16.0 / 116.0;
}

float euclidean(const ksr::Point3f &a, const ksr::Point3f &b)
{
    return (a - b).length();
}

} // namespace

LabColor srgbToLab(double red, double green, double blue)
{
    const double r = 100.0 * linearised(red);
    const double g = 100.0 * linearised(green);
    const double b = 100.0 * linearised(blue);
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 95.047;
    const double y = (0.2126 * r + 0.7152 * g + 0.0722 * b) / 100.0;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 108.883;
    const double fx = labCurve(x), fy = labCurve(y), fz = labCurve(z);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

ShotFeatures::ShotFeatures() : time(QDateTime::currentDateTime()), timeMSecs(time.toMSecsSinceEpoch())
{
    updateDerivedFeatures(*this);
}

void updateDerivedFeatures(ShotFeatures &features)
{
    features.timeMSecs = features.time.isValid() ? features.time.toMSecsSinceEpoch() : 0;
    qint64 total = 0;
    for (std::int32_t count : features.colorDistr)
        total += count;
    features.pixelCount = total;
    features.colorValid = total > 0;
    for (int bin = 0; bin < 64; ++bin)
        features.colorShare[bin] = total > 0 ? float(double(features.colorDistr[bin]) / double(total)) : 0.0f;
    // Stored triples are (blue, green, red) means; the conversion takes the true (red, green, blue).
    for (int cell = 0; cell < 16; ++cell) {
        const LabColor lab =
            srgbToLab(features.colorSpatialDistr[3 * cell + 2], features.colorSpatialDistr[3 * cell + 1],
                      features.colorSpatialDistr[3 * cell]);
        features.cells.L[cell] = lab.L;
        features.cells.A[cell] = lab.a;
        features.cells.B[cell] = lab.b;
    }
}

void computeColorFeatures(const QImage &image, ShotFeatures &features)
{
    features.colorDistr.fill(0);
    features.colorSpatialDistr.fill(0);
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        updateDerivedFeatures(features);
        return;
    }
    QImage pixels = image;
    if (pixels.format() != QImage::Format_RGB32 && pixels.format() != QImage::Format_ARGB32)
        pixels = pixels.convertToFormat(QImage::Format_RGB32);

    const int width = pixels.width();
    const int height = pixels.height();
    const int cellWidth = (width + 3) / 4;
    const int cellHeight = (height + 3) / 4;
    std::uint64_t sums[16][3] = {};
    // Four interleaved histograms: runs of one colour would otherwise wait on the same counter.
    std::uint32_t histograms[4][64] = {};

    for (int y = 0; y < height; ++y) {
        const uchar *line = pixels.constScanLine(y);
        const int gridRow = y / cellHeight;
        for (int column = 0; column < 4; ++column) {
            const int x0 = column * cellWidth;
            const int x1 = std::min(x0 + cellWidth, width);
            std::uint64_t blue = 0, green = 0, red = 0;
            // 32-bit pixels: blue, green, red, alpha bytes in memory order.
            auto add = [&](const uchar *p, std::uint32_t *histogram) {
                blue += p[0];
                green += p[1];
                red += p[2];
                ++histogram[16 * (p[2] >> 6) + 4 * (p[1] >> 6) + (p[0] >> 6)];
            };
            int x = x0;
            for (; x + 4 <= x1; x += 4) {
                const uchar *p = line + 4 * x;
                add(p, histograms[0]);
                add(p + 4, histograms[1]);
                add(p + 8, histograms[2]);
                add(p + 12, histograms[3]);
            }
            for (; x < x1; ++x)
                add(line + 4 * x, histograms[0]);
            std::uint64_t *cell = sums[4 * gridRow + column];
            cell[0] += blue;
            cell[1] += green;
            cell[2] += red;
        }
    }

    // Each cell is divided by the pixels it really covers: cells clipped by the right or bottom
    // edge are smaller, and cells past the edge of a tiny image are empty.
    for (int cell = 0; cell < 16; ++cell) {
        const int cellColumns = std::max(0, std::min(cellWidth, width - (cell % 4) * cellWidth));
        const int cellRows = std::max(0, std::min(cellHeight, height - (cell / 4) * cellHeight));
        const std::uint64_t area = std::uint64_t(cellColumns) * std::uint64_t(cellRows);
        for (int channel = 0; channel < 3; ++channel)
            features.colorSpatialDistr[3 * cell + channel] =
                area > 0 ? std::int32_t(sums[cell][channel] / area) : 0;
    }
    for (int bin = 0; bin < 64; ++bin) {
        const std::int64_t count =
            std::int64_t(histograms[0][bin]) + histograms[1][bin] + histograms[2][bin] + histograms[3][bin];
        features.colorDistr[bin] = std::int32_t(std::min<std::int64_t>(count, INT32_MAX));
    }
    updateDerivedFeatures(features);
}

ShotFeatures computeImageFeatures(const QString &imagePath)
{
    return computeImageFeatures(imagePath, ImageFeatureNeeds{});
}

namespace
{

// Name, file identity and, when needed, the time of shot.
ShotFeatures fileFeatures(const QString &imagePath, ImageFeatureNeeds needs)
{
    ShotFeatures features;
    features.name = imagePath;
    const QFileInfo info(imagePath);
    if (info.exists()) {
        features.fileSize = info.size();
        features.fileModifiedMSecs = info.lastModified().toMSecsSinceEpoch();
    }
    if (needs.shotTime) {
        features.time = readShotTime(imagePath);
        features.hasShotTime = true;
    }
    return features;
}

void setColors(ShotFeatures &features, const QImage &decoded, FeatureDecoding decoding)
{
    computeColorFeatures(decoded, features); // also refreshes the derived time
    features.hasColors = true;
    features.colorDecoding = decoding;
    features.imageReadable = features.colorValid;
}

} // namespace

// The size decodeForColorFeatures() will decode at.
static QSize decodedSizeForColorFeatures(const QString &imagePath, FeatureDecoding decoding)
{
    QImageReader reader(imagePath);
    const QSize size = reader.size();
    return decoding == FeatureDecoding::Reduced ? ksr::reducedDecodeSize(size, reader.format()) : size;
}

QImage decodeForColorFeatures(const QString &imagePath, FeatureDecoding decoding)
{
    QImageReader reader(imagePath);
    reader.setAllocationLimit(decodeLimitMegabytes);
    reader.setAutoTransform(false);
    if (decoding == FeatureDecoding::Reduced) {
        const QSize size = reader.size();
        const QSize reduced = ksr::reducedDecodeSize(size, reader.format());
        if (reduced != size)
            reader.setScaledSize(reduced);
    }
    return reader.read();
}

ShotFeatures computeImageFeatures(const QString &imagePath, ImageFeatureNeeds needs)
{
    ShotFeatures features = fileFeatures(imagePath, needs);
    if (needs.colors) {
        // Held while the picture is decoded and its colours are measured.
        const ksr::DecodeBudget budget(
            ksr::DecodeBudget::bytesFor(decodedSizeForColorFeatures(imagePath, needs.decoding)));
        setColors(features, decodeForColorFeatures(imagePath, needs.decoding), needs.decoding);
    } else {
        // The header alone tells a photograph from a missing or foreign file.
        QImageReader reader(imagePath);
        reader.setAutoTransform(false);
        const QSize size = reader.size();
        features.imageReadable = reader.canRead() && size.width() > 0 && size.height() > 0;
        updateDerivedFeatures(features);
    }
    return features;
}

ShotFeatures computeImageFeatures(const QString &imagePath, ImageFeatureNeeds needs, const QImage &decoded)
{
    if (!needs.colors)
        return computeImageFeatures(imagePath, needs);
    ShotFeatures features = fileFeatures(imagePath, needs);
    setColors(features, decoded, needs.decoding);
    return features;
}

bool coversNeeds(const ShotFeatures &features, ImageFeatureNeeds needs)
{
    return (!needs.shotTime || features.hasShotTime) &&
           (!needs.colors || (features.hasColors && features.colorDecoding == needs.decoding));
}

void applyCameraFeatures(ShotFeatures &features, const Camera &camera, float depth,
                         const ksr::Point3d &origin)
{
    features.pos = (camera.center - origin).toFloat();
    // The rotation's rows are the camera axes in model coordinates; the camera looks along its
    // negative z axis.
    features.dir = (-camera.rotation.row(2)).normalized();
    features.depth = depth;
    features.target = features.pos + features.dir * depth;
}

ShotFeatures computeShotFeatures(const QString &imagePath, const Camera &camera, float depth)
{
    ShotFeatures features = computeImageFeatures(imagePath);
    applyCameraFeatures(features, camera, depth);
    return features;
}

float timeDistance(const ShotFeatures &a, const ShotFeatures &b)
{
    return float(std::llabs(b.timeMSecs - a.timeMSecs) / 1000);
}

// L1 distance of the histograms as fractions of their pixel counts: 0 for the same colour shares
// (whatever the image sizes), 2 for images without a colour in common.
float colorShareDistance(const float *p, const float *q)
{
    // Sixteen running sums (four vectors of four lanes) in a fixed order, so that the vector and
    // the plain form give the same bits.
#if defined(__SSE2__)
    const __m128 signMask = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    __m128 sums[4] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
    for (int bin = 0; bin < 64; bin += 16)
        for (int v = 0; v < 4; ++v) {
            const __m128 diff = _mm_sub_ps(_mm_loadu_ps(p + bin + 4 * v), _mm_loadu_ps(q + bin + 4 * v));
            sums[v] = _mm_add_ps(sums[v], _mm_and_ps(diff, signMask));
        }
    float lanes[4][4];
    for (int v = 0; v < 4; ++v)
        _mm_storeu_ps(lanes[v], sums[v]);
#else
    float lanes[4][4] = {};
    for (int bin = 0; bin < 64; bin += 16)
        for (int v = 0; v < 4; ++v)
            for (int l = 0; l < 4; ++l)
                lanes[v][l] += std::fabs(p[bin + 4 * v + l] - q[bin + 4 * v + l]);
#endif
    float total = 0.0f;
    for (int v = 0; v < 4; ++v)
        for (int l = 0; l < 4; ++l)
            total += lanes[v][l];
    return total;
}

float cellColorDistance(const CellColors &a, const CellColors &b)
{
    // The 16 colour differences two cells at a time; square roots are exact either way.
    double difference[16];
#if defined(__SSE2__)
    for (int cell = 0; cell < 16; cell += 2) {
        const __m128d dL = _mm_sub_pd(_mm_loadu_pd(&a.L[cell]), _mm_loadu_pd(&b.L[cell]));
        const __m128d da = _mm_sub_pd(_mm_loadu_pd(&a.A[cell]), _mm_loadu_pd(&b.A[cell]));
        const __m128d db = _mm_sub_pd(_mm_loadu_pd(&a.B[cell]), _mm_loadu_pd(&b.B[cell]));
        const __m128d squared =
            _mm_add_pd(_mm_add_pd(_mm_mul_pd(dL, dL), _mm_mul_pd(da, da)), _mm_mul_pd(db, db));
        _mm_storeu_pd(&difference[cell], _mm_sqrt_pd(squared));
    }
#else
    for (int cell = 0; cell < 16; ++cell) {
        const double dL = a.L[cell] - b.L[cell], da = a.A[cell] - b.A[cell], db = a.B[cell] - b.B[cell];
        difference[cell] = std::sqrt(dL * dL + da * da + db * db);
    }
#endif
    double sum = 0.0;
    for (double d : difference)
        sum += d;
    return float(sum * 0.0625);
}

float colorDistributionDistance(const ShotFeatures &a, const ShotFeatures &b)
{
    if (!a.colorValid || !b.colorValid)
        return 0.0f;
    return colorShareDistance(a.colorShare.data(), b.colorShare.data());
}

float colorSpatialDistance(const ShotFeatures &a, const ShotFeatures &b)
{
    if (!a.colorValid || !b.colorValid)
        return 0.0f;
    return cellColorDistance(a.cells, b.cells);
}

float directionDistance(const ShotFeatures &a, const ShotFeatures &b)
{
    return 1.0f - a.dir.normalized().dot(b.dir.normalized());
}

float positionDistance(const ShotFeatures &a, const ShotFeatures &b)
{
    return euclidean(a.pos, b.pos);
}

float targetDistance(const ShotFeatures &a, const ShotFeatures &b)
{
    return euclidean(a.target, b.target);
}

float constantDistance(const ShotFeatures &, const ShotFeatures &)
{
    return 1.0f;
}

float slotDistance(int slot, const ShotFeatures &a, const ShotFeatures &b)
{
    switch (slot) {
    case timeSlot:
        return timeDistance(a, b);
    case colorDistributionSlot:
        return colorDistributionDistance(a, b);
    case colorSpatialSlot:
        return colorSpatialDistance(a, b);
    case directionSlot:
        return directionDistance(a, b);
    case positionSlot:
        return positionDistance(a, b);
    case targetSlot:
        return targetDistance(a, b);
    default:
        return constantDistance(a, b);
    }
}

FeatureTable normalizationFor(const QVector<ShotFeatures> &features)
{
    const int n = features.size();
    FeatureTable factors;
    for (int slot = 0; slot < featureSlotCount; ++slot) {
        const int step = std::max(1, n / 10);
        float maximum = 0.0f;
        // Pairs with i = j and pairs in both orders are sampled too, as j restarts at 1 for every i.
        for (int i = 0; i < n; i += step)
            for (int j = 1; j < n; j += step) {
                const float d = slotDistance(slot, features[i], features[j]);
                if (d > maximum)
                    maximum = d;
            }
        factors[slot] = (n < 1 || maximum == 0.0f) ? 1.0f : float(1.0 / maximum);
    }
    factors[constantSlot] = 1.0f;
    return factors;
}

FeatureTable weightsFor(const FeatureTable &userWeights, const FeatureTable &factors)
{
    FeatureTable weights;
    for (int slot = 0; slot < featureSlotCount; ++slot)
        weights[slot] = userWeights[slot] * factors[slot];
    return weights;
}

float combinedDistance(const ShotFeatures &a, const ShotFeatures &b, const FeatureTable &weights)
{
    float sum = 0.0f;
    sum += timeDistance(a, b) * weights[timeSlot];
    sum += colorDistributionDistance(a, b) * weights[colorDistributionSlot];
    sum += colorSpatialDistance(a, b) * weights[colorSpatialSlot];
    sum += directionDistance(a, b) * weights[directionSlot];
    sum += positionDistance(a, b) * weights[positionSlot];
    sum += targetDistance(a, b) * weights[targetSlot];
    return sum + weights[constantSlot];
}
