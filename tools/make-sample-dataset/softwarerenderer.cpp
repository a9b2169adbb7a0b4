#include "softwarerenderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace SampleGen
{

using ksr::Point3f;

namespace
{

const Point3f sunDirection = Point3f{0.45f, -0.35f, 0.82f}.normalized();

struct ClipVertex {
    Point3f p; // camera space
    float rgb[3];
};

struct ScreenVertex {
    float x, y;     // image coordinates
    float invDepth; // 1 / distance along the viewing axis
    float rgb[3];   // colour divided by the distance, for perspective-correct interpolation
};

// Keeps the part of the polygon with distance (-z) on the kept side of the plane -z = limit.
int clipPolygon(const ClipVertex *in, int count, float limit, bool keepBeyond, ClipVertex *out)
{
    auto inside = [&](const ClipVertex &v) { return keepBeyond ? -v.p.z >= limit : -v.p.z <= limit; };
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const ClipVertex &a = in[i], &b = in[(i + 1) % count];
        const bool ina = inside(a), inb = inside(b);
        if (ina)
            out[written++] = a;
        if (ina != inb) {
            const float t = (limit + a.p.z) / (a.p.z - b.p.z);
            ClipVertex v;
            v.p = a.p + (b.p - a.p) * t;
            for (int k = 0; k < 3; ++k)
                v.rgb[k] = a.rgb[k] + (b.rgb[k] - a.rgb[k]) * t;
            out[written++] = v;
        }
    }
    return written;
}

float edge(float ax, float ay, float bx, float by, float px, float py)
{
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

QRgb skyColour(const ViewProjection &view, const ksr::Matrix44f &rotation, float x, float y, float exposure)
{
    const float xf = view.left + x / view.width * (view.right - view.left);
    const float yf = view.bottom + (view.height - y) / view.height * (view.top - view.bottom);
    // Rows of the rotation are the camera axes: world direction = R^T (xf, yf, -f).
    const Point3f dir =
        (rotation.row(0) * xf + rotation.row(1) * yf - rotation.row(2) * view.focalMm).normalized();
    const float t = std::clamp(dir.z * 2.5f, 0.0f, 1.0f);
    const float r = 208 + (92 - 208) * t, g = 220 + (144 - 220) * t, b = 232 + (212 - 232) * t;
    auto channel = [exposure](float v) { return std::clamp(int(std::lround(v * exposure)), 0, 255); };
    return qRgb(channel(r), channel(g), channel(b));
}

} // namespace

ViewProjection ViewProjection::forCamera(const Camera &camera, int width, int height)
{
    ViewProjection view;
    view.worldToCamera = camera.worldToCamera();
    view.focalMm = camera.focalMm;
    const float W = float(camera.viewportPx[0]), H = float(camera.viewportPx[1]);
    const float cx = camera.centerPx[0], cy = camera.centerPx[1];
    // The horizontal offset of the centre enters mirrored, the vertical one does not.
    view.left = -(W - cx) * camera.pixelSizeMm[0];
    view.right = cx * camera.pixelSizeMm[0];
    view.bottom = -cy * camera.pixelSizeMm[1];
    view.top = (H - cy) * camera.pixelSizeMm[1];
    view.width = width;
    view.height = height;
    return view;
}

bool ViewProjection::isValid() const
{
    return focalMm > 0.0f && right > left && top > bottom && width > 0 && height > 0;
}

void ViewProjection::toImage(const Point3f &p, float &x, float &y) const
{
    const float xf = focalMm * p.x / -p.z, yf = focalMm * p.y / -p.z;
    x = (xf - left) / (right - left) * width;
    y = height - (yf - bottom) / (top - bottom) * height;
}

QSize depthGridSize(const Camera &camera)
{
    const int W = camera.viewportPx[0], H = camera.viewportPx[1];
    if (W <= 0 || H <= 0)
        return {};
    if (W > H)
        return {64, int(64.0 * H / W)};
    return {int(64.0 * W / H), 64};
}

struct SoftwareRenderer::Target {
    int width = 0, height = 0;
    std::vector<float> depth; // distance along the viewing axis; infinity where empty
    QRgb *colour = nullptr;   // optional colour buffer, width x height
    qsizetype colourStride = 0;
    float exposure = 1.0f;
};

SoftwareRenderer::SoftwareRenderer(const ksr::CMesh &mesh)
{
    positions.reserve(mesh.vert.size());
    colours.reserve(mesh.vert.size());
    for (const ksr::CVertex &v : mesh.vert) {
        positions.push_back(v.p);
        colours.push_back(v.c);
    }
    for (const ksr::CFace &f : mesh.face) {
        bool valid = true;
        for (int corner : f.v)
            valid = valid && corner >= 0 && corner < int(positions.size());
        if (!valid)
            continue;
        faceCorners.insert(faceCorners.end(), {f.v[0], f.v[1], f.v[2]});
        const Point3f &a = positions[f.v[0]], &b = positions[f.v[1]], &c = positions[f.v[2]];
        const Point3f normal = (b - a).cross(c - a).normalized();
        faceLight.push_back(0.5f + 0.5f * std::max(0.0f, normal.dot(sunDirection)));
    }
    // The depth job's clipping planes come from the model's box: centre and half its diagonal
    // (an empty model has centre 0 and radius sqrt(3)).
    if (positions.empty()) {
        boxRadius = std::sqrt(3.0f);
    } else {
        Point3f lo = positions.front(), hi = positions.front();
        for (const Point3f &p : positions)
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], p[k]);
                hi[k] = std::max(hi[k], p[k]);
            }
        boxCentre = (lo + hi) * 0.5f;
        boxRadius = 0.5f * (hi - lo).length();
    }
}

void SoftwareRenderer::draw(const ViewProjection &view, float zNear, float zFar, Target &target) const
{
    if (!view.isValid() || !(zNear > 0.0f) || !(zFar > zNear))
        return;
    std::vector<Point3f> cameraPoints(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i)
        cameraPoints[i] = view.worldToCamera * positions[i];

    const bool withColour = target.colour != nullptr;
    const float f = view.focalMm;
    const std::size_t faceCount = faceLight.size();
    for (std::size_t fi = 0; fi < faceCount; ++fi) {
        const int *corner = &faceCorners[fi * 3];
        const Point3f &a = cameraPoints[corner[0]], &b = cameraPoints[corner[1]],
                      &c = cameraPoints[corner[2]];
        // Outside one side of the frustum (planes through the eye, plus near and far): nothing to draw.
        auto allOut = [&](auto test) { return test(a) && test(b) && test(c); };
        if (allOut([&](const Point3f &p) { return -p.z < zNear; }) ||
            allOut([&](const Point3f &p) { return -p.z > zFar; }) ||
            allOut([&](const Point3f &p) { return f * p.x < view.left * -p.z; }) ||
            allOut([&](const Point3f &p) { return f * p.x > view.right * -p.z; }) ||
            allOut([&](const Point3f &p) { return f * p.y < view.bottom * -p.z; }) ||
            allOut([&](const Point3f &p) { return f * p.y > view.top * -p.z; }))
            continue;

        ClipVertex polygon[3], nearClipped[4], clipped[5];
        const float light = faceLight[fi] * target.exposure;
        for (int k = 0; k < 3; ++k) {
            polygon[k].p = cameraPoints[corner[k]];
            const ksr::Color4b &col = colours[corner[k]];
            polygon[k].rgb[0] = col.r * light;
            polygon[k].rgb[1] = col.g * light;
            polygon[k].rgb[2] = col.b * light;
        }
        const int n1 = clipPolygon(polygon, 3, zNear, true, nearClipped);
        const int n = clipPolygon(nearClipped, n1, zFar, false, clipped);
        if (n < 3)
            continue;

        ScreenVertex screen[5];
        for (int k = 0; k < n; ++k) {
            view.toImage(clipped[k].p, screen[k].x, screen[k].y);
            screen[k].invDepth = 1.0f / -clipped[k].p.z;
            for (int ch = 0; ch < 3; ++ch)
                screen[k].rgb[ch] = clipped[k].rgb[ch] * screen[k].invDepth;
        }
        for (int k = 1; k + 1 < n; ++k) {
            const ScreenVertex &v0 = screen[0], &v1 = screen[k], &v2 = screen[k + 1];
            const float area = edge(v0.x, v0.y, v1.x, v1.y, v2.x, v2.y);
            if (!(std::fabs(area) > 0.0f))
                continue;
            const float minX = std::min({v0.x, v1.x, v2.x}), maxX = std::max({v0.x, v1.x, v2.x});
            const float minY = std::min({v0.y, v1.y, v2.y}), maxY = std::max({v0.y, v1.y, v2.y});
            // Pixels whose centres (i + 0.5, j + 0.5) may lie inside.
            const int i0 = std::max(0, int(std::ceil(minX - 0.5f))),
                      i1 = std::min(target.width - 1, int(std::floor(maxX - 0.5f)));
            const int j0 = std::max(0, int(std::ceil(minY - 0.5f))),
                      j1 = std::min(target.height - 1, int(std::floor(maxY - 0.5f)));
            if (i0 > i1 || j0 > j1)
                continue;
            const float invArea = 1.0f / area;
            for (int j = j0; j <= j1; ++j) {
                const float py = j + 0.5f;
                for (int i = i0; i <= i1; ++i) {
                    const float px = i + 0.5f;
                    const float l0 = edge(v1.x, v1.y, v2.x, v2.y, px, py) * invArea;
                    const float l1 = edge(v2.x, v2.y, v0.x, v0.y, px, py) * invArea;
                    const float l2 = edge(v0.x, v0.y, v1.x, v1.y, px, py) * invArea;
                    if (l0 < 0.0f || l1 < 0.0f || l2 < 0.0f)
                        continue;
                    const float inv = l0 * v0.invDepth + l1 * v1.invDepth + l2 * v2.invDepth;
                    const float depth = 1.0f / inv;
                    float &stored = target.depth[std::size_t(j) * target.width + i];
                    if (!(depth < stored))
                        continue;
                    stored = depth;
                    if (withColour) {
                        int rgb[3];
                        for (int ch = 0; ch < 3; ++ch)
                            rgb[ch] = std::clamp(
                                int((l0 * v0.rgb[ch] + l1 * v1.rgb[ch] + l2 * v2.rgb[ch]) * depth + 0.5f), 0,
                                255);
                        target.colour[j * target.colourStride + i] = qRgb(rgb[0], rgb[1], rgb[2]);
                    }
                }
            }
        }
    }
}

QImage SoftwareRenderer::renderPhoto(const Camera &camera, float exposure) const
{
    const int width = camera.viewportPx[0], height = camera.viewportPx[1];
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const ViewProjection view = ViewProjection::forCamera(camera, width, height);
    Target target;
    target.width = width;
    target.height = height;
    target.depth.assign(std::size_t(width) * height, std::numeric_limits<float>::infinity());
    target.colour = reinterpret_cast<QRgb *>(image.bits());
    target.colourStride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    target.exposure = exposure;
    draw(view, 0.05f, 1.0e6f, target);
    // Sky wherever no surface was hit.
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (std::isinf(target.depth[std::size_t(j) * width + i]))
                target.colour[j * target.colourStride + i] =
                    skyColour(view, camera.rotation, i + 0.5f, j + 0.5f, exposure);
    return image;
}

std::vector<float> SoftwareRenderer::depthImage(const Camera &camera, int width, int height, float zNear,
                                                float zFar) const
{
    if (width <= 0 || height <= 0)
        return {};
    Target target;
    target.width = width;
    target.height = height;
    target.depth.assign(std::size_t(width) * height, std::numeric_limits<float>::infinity());
    draw(ViewProjection::forCamera(camera, width, height), zNear, zFar, target);
    for (float &d : target.depth)
        if (std::isinf(d))
            d = 0.0f;
    return target.depth;
}

float SoftwareRenderer::meanViewDepth(const Camera &camera) const
{
    const QSize grid = depthGridSize(camera);
    if (grid.isEmpty())
        return 0.0f;
    // Clipping planes as the depth job sets them: around the model's bounding sphere, the near
    // plane kept in front of the eye for a camera inside the sphere.
    const float d = (camera.worldToCamera() * boxCentre).length();
    float zNear = d - boxRadius;
    if (zNear < 0.005f * d)
        zNear = 0.005f * d;
    const float zFar = d + boxRadius;
    const std::vector<float> depths = depthImage(camera, grid.width(), grid.height(), zNear, zFar);
    double sum = 0.0;
    int count = 0;
    for (float depth : depths)
        if (depth > 0.0f) {
            sum += depth;
            ++count;
        }
    return count == 0 ? 0.0f : float(sum / count);
}

} // namespace SampleGen
