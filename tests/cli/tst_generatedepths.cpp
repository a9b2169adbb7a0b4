// `orvelle-index generate` on a real photographed scene: every depth in the written index must
// agree, within 2 %, with the mean depth this test finds by casting rays through the coarse mesh
// from the same cameras, with the depth renderer's conventions: its frustum (the horizontal
// centre offset mirrored), world to camera V = R.T(-C), the camera looking along -z, a grid of
// 64 pixels on the longer side sampled at the pixel centres, and the renderer's clipping range.

#include "clitestutil.h"
#include "orvelleindexread.h"

#include <ksr/meshio.h>

#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace
{

using Vec = std::array<double, 3>;

Vec sub(const Vec &a, const Vec &b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec cross(const Vec &a, const Vec &b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Vec &a, const Vec &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// V = R.T(-C) applied to a world point.
Vec toCamera(const Camera &camera, const Vec &p)
{
    const Vec shifted{p[0] - camera.center.x, p[1] - camera.center.y, p[2] - camera.center.z};
    Vec q{};
    for (int row = 0; row < 3; ++row)
        q[std::size_t(row)] = camera.rotation[row][0] * shifted[0] + camera.rotation[row][1] * shifted[1] +
                              camera.rotation[row][2] * shifted[2];
    return q;
}

// Distance t along the ray origin + t dir to the triangle, or -1 when the ray misses it.
double hit(const Vec &dir, const Vec &a, const Vec &b, const Vec &c)
{
    const Vec e1 = sub(b, a), e2 = sub(c, a);
    const Vec p = cross(dir, e2);
    const double det = dot(e1, p);
    if (std::abs(det) < 1e-15)
        return -1.0;
    const Vec s{-a[0], -a[1], -a[2]}; // ray origin is the camera centre (0, 0, 0)
    const double u = dot(s, p) / det;
    if (u < 0.0 || u > 1.0)
        return -1.0;
    const Vec q = cross(s, e1);
    const double v = dot(dir, q) / det;
    if (v < 0.0 || u + v > 1.0)
        return -1.0;
    return dot(e2, q) / det;
}

struct Mesh {
    std::vector<Vec> vertices;
    std::vector<std::array<int, 3>> faces;
    Vec centre{};
    double radius = 0.0;
};

// Mean view depth of the surface seen at the pixel centres; pixels counts the covered ones.
double rayCastDepth(const Mesh &mesh, const Camera &camera, int &pixels)
{
    const int W = camera.viewportPx[0], H = camera.viewportPx[1];
    const int w = W > H ? 64 : int(64.0 * W / H);
    const int h = W > H ? int(64.0 * H / W) : 64;
    const double f = camera.focalMm, sx = camera.pixelSizeMm[0], sy = camera.pixelSizeMm[1];
    const double cx = camera.centerPx[0], cy = camera.centerPx[1];
    // The frustum at unit distance.
    const double left = -(W - cx) * sx / f, right = cx * sx / f;
    const double bottom = -cy * sy / f, top = (H - cy) * sy / f;

    const Vec c = toCamera(camera, mesh.centre);
    const double d = std::sqrt(dot(c, c));
    const double zNear = std::max(d - mesh.radius, 0.005 * d), zFar = d + mesh.radius;

    std::vector<Vec> q(mesh.vertices.size());
    for (std::size_t i = 0; i < q.size(); ++i)
        q[i] = toCamera(camera, mesh.vertices[i]);

    std::vector<double> nearest(std::size_t(w * h), -1.0);
    for (const auto &face : mesh.faces) {
        const Vec &a = q[std::size_t(face[0])], &b = q[std::size_t(face[1])], &e = q[std::size_t(face[2])];
        const double za = -a[2], zb = -b[2], ze = -e[2];
        if ((za < zNear && zb < zNear && ze < zNear) || (za > zFar && zb > zFar && ze > zFar))
            continue;
        // Pixels the triangle can cover; all of them when a corner lies behind the camera.
        int m0 = 0, m1 = w - 1, k0 = 0, k1 = h - 1;
        if (za > 1e-9 && zb > 1e-9 && ze > 1e-9) {
            double umin = 1e300, umax = -1e300, vmin = 1e300, vmax = -1e300;
            for (const Vec *corner : {&a, &b, &e}) {
                const double u = (*corner)[0] / -(*corner)[2], v = (*corner)[1] / -(*corner)[2];
                umin = std::min(umin, u), umax = std::max(umax, u);
                vmin = std::min(vmin, v), vmax = std::max(vmax, v);
            }
            m0 = std::max(0, int(std::ceil((umin - left) / (right - left) * w - 0.5)));
            m1 = std::min(w - 1, int(std::floor((umax - left) / (right - left) * w - 0.5)));
            k0 = std::max(0, int(std::ceil((vmin - bottom) / (top - bottom) * h - 0.5)));
            k1 = std::min(h - 1, int(std::floor((vmax - bottom) / (top - bottom) * h - 0.5)));
        }
        for (int k = k0; k <= k1; ++k)
            for (int m = m0; m <= m1; ++m) {
                // Direction with z = -1, so that t is the depth along the viewing axis.
                const Vec dir{left + (m + 0.5) / w * (right - left), bottom + (k + 0.5) / h * (top - bottom),
                              -1.0};
                const double t = hit(dir, a, b, e);
                if (t < zNear || t > zFar)
                    continue;
                double &best = nearest[std::size_t(k * w + m)];
                if (best < 0.0 || t < best)
                    best = t;
            }
    }
    double sum = 0.0;
    pixels = 0;
    for (double t : nearest)
        if (t >= 0.0) {
            sum += t;
            ++pixels;
        }
    return pixels > 0 ? sum / pixels : 0.0;
}

} // namespace

class TestGenerateDepths : public QObject
{
    Q_OBJECT

private slots:
    void depthsMatchRayCasting()
    {
        const QString data = QStringLiteral(ORVELLE_TEST_DATA) + "/sceaux";
        const QString coarse = data + "/scene_mesh.ply";
        QVERIFY2(QFileInfo::exists(data + "/sceaux.pfp"), "the photographed scene is missing");
        QVERIFY2(QFileInfo(installedTool()).isExecutable(), "the tool has not been installed into the stage");

        QTemporaryDir temp;
        const QString index = temp.path() + "/sceaux.orx";
        // The committed test data stays untouched: the photographs serve as thumbnails.
        const ToolRun run = runTool({"generate", data + "/sceaux.pfp", "-o", index, "--thumbnails", "hires",
                                     "--lowres-model", coarse});
        QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(run.err));

        OrvelleIndexRead written;
        QVERIFY(written.readFile(index));
        QCOMPARE(written.collectionCount(), 1);
        const ShotCollection &shots = written.collection(0);
        QCOMPARE(shots.shotCount(), 10);
        QCOMPARE(shots.cameras().size(), 10);
        // With several models the first one listed is the index's model.
        QCOMPARE(written.modelFileName(), QFileInfo(data + "/scene_mesh_refine.ply").canonicalFilePath());

        ksr::CMesh loaded;
        int loadMask = 0;
        QCOMPARE(ksr::io::importMesh(loaded, coarse, loadMask), 0);
        Mesh mesh;
        Vec low{1e300, 1e300, 1e300}, high{-1e300, -1e300, -1e300};
        for (const ksr::CVertex &vertex : loaded.vert) {
            const Vec p{vertex.p.x, vertex.p.y, vertex.p.z};
            mesh.vertices.push_back(p);
            for (std::size_t i = 0; i < 3; ++i)
                low[i] = std::min(low[i], p[i]), high[i] = std::max(high[i], p[i]);
        }
        for (const ksr::CFace &face : loaded.face)
            mesh.faces.push_back({face.v[0], face.v[1], face.v[2]});
        mesh.centre = {(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2};
        const Vec diagonal = sub(high, low);
        mesh.radius = 0.5 * std::sqrt(dot(diagonal, diagonal));
        QVERIFY(mesh.faces.size() > 10000);

        for (int p = 0; p < shots.shotCount(); ++p) {
            int pixels = 0;
            const double expected = rayCastDepth(mesh, shots.cameras().at(p), pixels);
            const double written = shots.depths().at(p);
            const QString what = QString("%1: index %2, ray casting %3 over %4 pixels")
                                     .arg(shots.imagePaths().at(p))
                                     .arg(written)
                                     .arg(expected)
                                     .arg(pixels);
            QVERIFY2(pixels > 500, qPrintable(what)); // the facade fills much of every view
            QVERIFY2(std::abs(written - expected) <= 0.02 * expected, qPrintable(what));
            qInfo().noquote() << what;
        }
    }
};

QTEST_GUILESS_MAIN(TestGenerateDepths)
#include "tst_generatedepths.moc"
