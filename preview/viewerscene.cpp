// ViewerScene's content, views, layout of the bar and picking; no GL here (see viewerscene_gl.cpp).

#include "viewerscene.h"

#include "viewerscene_p.h"

#include "polymodel3d.h"

#include <ksr/meshio.h>
#include <ksr/tslreader.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace
{
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ViewerScene)
};

std::uint64_t nextRevision()
{
    static std::uint64_t revisions = 0;
    return ++revisions;
}
} // namespace

bool ViewerScene::loadModel(const QString &fileName, QString *error)
{
    m_modelFile = fileName;
    m_geometry.reset();
    if (QFileInfo(fileName).suffix().compare(QLatin1String("tsl"), Qt::CaseInsensitive) == 0)
        return loadMultiresolution(fileName, error);
    PolyModel3D model;
    if (!model.load(fileName)) {
        if (error)
            *error = Texts::tr("The model \"%1\" does not exist.").arg(QDir::toNativeSeparators(fileName));
        return false;
    }
    const ksr::CMesh *mesh = model.mesh();
    if (!mesh || model.vertexCount() == 0) {
        if (error)
            *error = model.errorText().isEmpty() ? Texts::tr("The model \"%1\" holds nothing to draw.")
                                                       .arg(QDir::toNativeSeparators(fileName))
                                                 : model.errorText();
        return false;
    }
    auto geometry = std::make_unique<Geometry>();
    geometry->revision = nextRevision();
    // The box and the vertices are relative to the mesh's origin; the centre is kept in model
    // coordinates, in double, and what goes to GL relative to it.
    const Vec3d centre = (Vec3d(mesh->bboxMin) + Vec3d(mesh->bboxMax)) * 0.5;
    geometry->centre = Vec3d(mesh->origin) + centre;
    geometry->radius = std::max(0.5 * (Vec3d(mesh->bboxMax) - Vec3d(mesh->bboxMin)).length(), 1e-6);
    geometry->boxMin = (Vec3d(mesh->bboxMin) - centre).toFloat();
    geometry->boxMax = (Vec3d(mesh->bboxMax) - centre).toFloat();
    geometry->pointCloud = mesh->isPointCloud();

    geometry->append(*mesh, centre, false);
    m_geometry = std::move(geometry);
    return true;
}

void ViewerScene::Geometry::append(const ksr::CMesh &mesh, const Vec3d &offset, bool ownNormals)
{
    // Only vertices in use, renumbered; deleted ones and broken faces left out.
    const std::size_t count = mesh.vert.size();
    std::vector<std::uint32_t> newIndex(count, UINT32_MAX);
    auto keep = [&](std::size_t v) {
        if (newIndex[v] != UINT32_MAX)
            return newIndex[v];
        newIndex[v] = std::uint32_t(positions.size() / 3);
        const ksr::CVertex &vertex = mesh.vert[v];
        const Vec3d p = Vec3d(vertex.p) - offset;
        positions.insert(positions.end(), {float(p.x), float(p.y), float(p.z)});
        const bool own = ownNormals || pointCloud;
        normals.insert(normals.end(),
                       {own ? vertex.n.x : 0.0f, own ? vertex.n.y : 0.0f, own ? vertex.n.z : 0.0f});
        colours.insert(colours.end(), {vertex.c.r, vertex.c.g, vertex.c.b, vertex.c.a});
        return newIndex[v];
    };
    if (pointCloud) {
        for (std::size_t v = 0; v < count; ++v)
            if (!mesh.vert[v].isDeleted())
                keep(v);
    } else {
        indices.reserve(indices.size() + mesh.face.size() * 3);
        // Faces in the order of a space-filling curve through their centres, vertices numbered as
        // the faces first use them: neighbours stay together for the renderer's vertex cache.
        std::vector<std::pair<std::uint32_t, const ksr::CFace *>> ordered;
        ordered.reserve(mesh.face.size());
        const Vec3d low(mesh.bboxMin), extent = Vec3d(mesh.bboxMax) - Vec3d(mesh.bboxMin);
        const auto cell = [](double t) { return std::uint32_t(std::clamp(t, 0.0, 1.0) * 1023.0); };
        const auto spread = [](std::uint32_t v) {
            v = (v | (v << 16)) & 0x030000FF;
            v = (v | (v << 8)) & 0x0300F00F;
            v = (v | (v << 4)) & 0x030C30C3;
            return (v | (v << 2)) & 0x09249249;
        };
        for (const ksr::CFace &face : mesh.face) {
            if (face.isDeleted())
                continue;
            bool usable = true;
            for (int k : face.v)
                usable = usable && k >= 0 && std::size_t(k) < count && !mesh.vert[std::size_t(k)].isDeleted();
            if (!usable)
                continue;
            Vec3d middle;
            for (int k : face.v)
                middle = middle + Vec3d(mesh.vert[std::size_t(k)].p) * (1.0 / 3.0);
            const Vec3d t = middle - low;
            const std::uint32_t code = spread(cell(extent.x > 0 ? t.x / extent.x : 0)) |
                                       (spread(cell(extent.y > 0 ? t.y / extent.y : 0)) << 1) |
                                       (spread(cell(extent.z > 0 ? t.z / extent.z : 0)) << 2);
            ordered.emplace_back(code, &face);
        }
        std::stable_sort(ordered.begin(), ordered.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (const auto &entry : ordered) {
            const ksr::CFace &face = *entry.second;
            std::uint32_t corner[3];
            for (int k = 0; k < 3; ++k)
                corner[k] = keep(std::size_t(face.v[k]));
            indices.insert(indices.end(), corner, corner + 3);
            if (ownNormals)
                continue;
            // Vertex normals: the faces' area-weighted normals summed (normalised in the shader).
            const float *p = positions.data();
            const ksr::Point3f a(p[3 * corner[0]], p[3 * corner[0] + 1], p[3 * corner[0] + 2]);
            const ksr::Point3f b(p[3 * corner[1]], p[3 * corner[1] + 1], p[3 * corner[1] + 2]);
            const ksr::Point3f c(p[3 * corner[2]], p[3 * corner[2] + 1], p[3 * corner[2] + 2]);
            const ksr::Point3f n = (b - a).cross(c - a);
            for (std::uint32_t v : corner)
                for (int k = 0; k < 3; ++k)
                    normals[3 * v + std::size_t(k)] += n[k];
        }
    }
}

// Every node of the tree, each a range of the arrays; boxes made from the positions read, so that a
// file's own boxes cannot hide geometry from the cut.
bool ViewerScene::loadMultiresolution(const QString &fileName, QString *error)
{
    TslModel model;
    QString reason;
    if (ksr::io::readTslTree(fileName, model, &reason) != ksr::io::ErrorNone) {
        if (error)
            *error = Texts::tr("The multiresolution model \"%1\" cannot be read: %2")
                         .arg(QDir::toNativeSeparators(fileName), reason);
        return false;
    }
    auto geometry = std::make_unique<Geometry>();
    geometry->revision = nextRevision();
    geometry->pointCloud = model.pointCloud;
    ksr::CMesh part;
    const auto leaves = [&](auto visit) {
        for (std::size_t i = 0; i < model.nodes.size(); ++i)
            if (model.isLeaf(int(i)))
                visit(model.nodes[i]);
    };
    // The box of the original geometry gives the centre and radius, as for its mesh.
    leaves([&](const TslNode &node) {
        for (const ksr::Point3f &p : node.positions)
            part.vert.push_back({p, {}, 0, {}});
    });
    part.updateBoundingBox();
    if (part.bboxIsEmpty()) {
        if (error)
            *error =
                Texts::tr("The model \"%1\" holds nothing to draw.").arg(QDir::toNativeSeparators(fileName));
        return false;
    }
    const Vec3d centre = (Vec3d(part.bboxMin) + Vec3d(part.bboxMax)) * 0.5;
    geometry->centre = Vec3d(model.origin) + centre;
    geometry->radius = std::max(0.5 * (Vec3d(part.bboxMax) - Vec3d(part.bboxMin)).length(), 1e-6);
    geometry->boxMin = (Vec3d(part.bboxMin) - centre).toFloat();
    geometry->boxMax = (Vec3d(part.bboxMax) - centre).toFloat();
    geometry->nodes.resize(model.nodes.size());
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        const TslNode &node = model.nodes[i];
        Geometry::Node &drawn = geometry->nodes[i];
        drawn.leaf = model.isLeaf(int(i));
        // A cell that is not a size cannot be trusted to be small: such a node is always refined.
        drawn.error =
            drawn.leaf ? 0.0f : (std::isfinite(node.cellSize) ? std::max(node.cellSize, 0.0f) : INFINITY);
        if (i == std::size_t(TslModel::firstNodeOfLevel(model.levelCount - 1))) {
            geometry->exactFirstIndex = std::uint32_t(geometry->indices.size());
            geometry->exactFirstVertex = std::uint32_t(geometry->positions.size() / 3);
        }
        part.vert.clear();
        part.face.clear();
        for (std::size_t v = 0; v < node.positions.size(); ++v)
            part.vert.push_back({node.positions[v], node.normals[v], 0,
                                 model.hasColors ? node.colors[v] : part.defaultColor});
        for (const auto &t : node.triangles) {
            ksr::CFace face;
            for (int k = 0; k < 3; ++k)
                face.v[k] = int(t[std::size_t(k)]);
            part.face.push_back(face);
        }
        part.updateBoundingBox();
        drawn.firstIndex = std::uint32_t(geometry->indices.size());
        drawn.firstVertex = std::uint32_t(geometry->positions.size() / 3);
        geometry->append(part, centre, true);
        drawn.indexCount = std::uint32_t(geometry->indices.size()) - drawn.firstIndex;
        drawn.vertexCount = std::uint32_t(geometry->positions.size() / 3) - drawn.firstVertex;
        if (!part.bboxIsEmpty()) {
            drawn.boxMin = (Vec3d(part.bboxMin) - centre).toFloat();
            drawn.boxMax = (Vec3d(part.bboxMax) - centre).toFloat();
        }
    }
    m_geometry = std::move(geometry);
    return true;
}

std::vector<int> ViewerScene::cut(const SceneView &view, int width, int height) const
{
    std::vector<int> drawn;
    if (!m_geometry || m_geometry->nodes.empty() || width <= 0 || height <= 0)
        return drawn;
    const std::vector<Geometry::Node> &nodes = m_geometry->nodes;
    double nearPlane = 0.0, farPlane = 0.0;
    clipRange(view, nearPlane, farPlane);
    const Vec3d eye = view.eye - m_geometry->centre;
    const Mat4d clip =
        projectionFor(view, width, height, nearPlane, farPlane) * view.rotation * Mat4d::translation(-eye);
    // Pixels per unit of length at unit distance.
    const double focalPixels = 0.5 * height / view.tanHalfHeight;
    const double tolerance = m_moving ? movingLodTolerancePixels() : m_lodTolerancePixels;
    const auto outsideView = [&](const Geometry::Node &node) {
        int outside[6] = {};
        for (int k = 0; k < 8; ++k) {
            const Vec3d corner((k & 1) ? node.boxMax.x : node.boxMin.x,
                               (k & 2) ? node.boxMax.y : node.boxMin.y,
                               (k & 4) ? node.boxMax.z : node.boxMin.z);
            double c[4];
            clip.apply(corner, c);
            for (int axis = 0; axis < 3; ++axis) {
                outside[2 * axis] += c[axis] < -c[3];
                outside[2 * axis + 1] += c[axis] > c[3];
            }
        }
        return std::any_of(std::begin(outside), std::end(outside), [](int n) { return n == 8; });
    };
    std::vector<int> pending{0};
    while (!pending.empty()) {
        const int i = pending.back();
        pending.pop_back();
        const Geometry::Node &node = nodes[std::size_t(i)];
        if (node.boxMin.x > node.boxMax.x || outsideView(node))
            continue;
        const Vec3d nearest(std::clamp(eye.x, double(node.boxMin.x), double(node.boxMax.x)),
                            std::clamp(eye.y, double(node.boxMin.y), double(node.boxMax.y)),
                            std::clamp(eye.z, double(node.boxMin.z), double(node.boxMax.z)));
        const double distance = (nearest - eye).length();
        if (node.leaf || double(node.error) * focalPixels <= tolerance * distance) {
            drawn.push_back(i);
        } else {
            pending.push_back(2 * i + 2);
            pending.push_back(2 * i + 1);
        }
    }
    return drawn;
}

int ViewerScene::cutTriangleCount(const SceneView &view, int width, int height) const
{
    int triangles = 0;
    for (int i : cut(view, width, height))
        triangles += int(m_geometry->nodes[std::size_t(i)].indexCount / 3);
    return triangles;
}

bool ViewerScene::hasModel() const
{
    return m_geometry != nullptr;
}

bool ViewerScene::isMultiresolution() const
{
    return m_geometry && !m_geometry->nodes.empty();
}

int ViewerScene::triangleCount() const
{
    return m_geometry ? int((m_geometry->indices.size() - m_geometry->exactFirstIndex) / 3) : 0;
}

Vec3d ViewerScene::modelCentre() const
{
    if (m_geometry)
        return m_geometry->centre;
    // Without a model: the middle of the cameras.
    Vec3d sum;
    int count = 0;
    for (const ViewerShot &shot : m_shots) {
        sum = sum + Vec3d(shot.camera.center);
        ++count;
    }
    return count > 0 ? sum * (1.0 / count) : Vec3d();
}

double ViewerScene::modelRadius() const
{
    if (m_geometry)
        return m_geometry->radius;
    const Vec3d centre = modelCentre();
    double radius = 1.0;
    for (const ViewerShot &shot : m_shots)
        radius = std::max(radius, (Vec3d(shot.camera.center) - centre).length());
    return radius;
}

namespace
{
bool sameCamera(const Camera &a, const Camera &b)
{
    return a.focalMm == b.focalMm && a.viewportPx[0] == b.viewportPx[0] &&
           a.viewportPx[1] == b.viewportPx[1] && a.pixelSizeMm[0] == b.pixelSizeMm[0] &&
           a.pixelSizeMm[1] == b.pixelSizeMm[1] && a.centerPx[0] == b.centerPx[0] &&
           a.centerPx[1] == b.centerPx[1] && a.rotation == b.rotation && a.center == b.center;
}
} // namespace

void ViewerScene::setShots(const QVector<ViewerShot> &shots, const QVector<int> &viewingOrder)
{
    // Only what changed is made again: steps report their values shot by shot.
    if (shots.size() != m_shots.size()) {
        m_allThumbnailsStale = true;
        m_projectionStale = true;
    } else {
        for (int i = 0; i < shots.size(); ++i)
            if (shots.at(i).thumbnailPath != m_shots.at(i).thumbnailPath ||
                shots.at(i).photoPath != m_shots.at(i).photoPath)
                m_staleThumbnails.append(i);
        if (m_current >= 0 && (shots.at(m_current).photoPath != m_shots.at(m_current).photoPath ||
                               !sameCamera(shots.at(m_current).camera, m_shots.at(m_current).camera)))
            m_projectionStale = true;
    }
    m_shots = shots;
    m_order.clear();
    QVector<bool> seen(shots.size(), false);
    for (int shot : viewingOrder)
        if (shot >= 0 && shot < shots.size() && !seen.at(shot)) {
            seen[shot] = true;
            m_order.append(shot);
        }
    if (viewingOrder.isEmpty())
        for (int shot = 0; shot < shots.size(); ++shot)
            m_order.append(shot);
    if (m_current >= shots.size())
        m_current = -1;
}

void ViewerScene::setSettings(const ViewerSettings &settings)
{
    m_settings = settings;
}

void ViewerScene::setCurrentShot(int shot)
{
    m_current = shot >= 0 && shot < m_shots.size() ? shot : -1;
}

int ViewerScene::neighbourShot(int shot, int step) const
{
    if (m_order.isEmpty())
        return -1;
    const int at = int(m_order.indexOf(shot));
    if (at < 0)
        return m_order.first();
    const int n = int(m_order.size());
    return m_order.at(((at + step) % n + n) % n);
}

SceneView ViewerScene::shotView(int shot) const
{
    if (shot < 0 || shot >= m_shots.size())
        return overallView();
    return SceneView::fromShot(m_shots.at(shot).camera, m_settings.upDirection);
}

SceneView ViewerScene::overallView() const
{
    const Vec3d up = Vec3d(m_settings.upDirection).normalized();
    Vec3d side = up.cross(Vec3d(0, 0, 1));
    if (side.length() < 1e-9)
        side = up.cross(Vec3d(1, 0, 0));
    side = side.normalized();
    const Vec3d back = (side.cross(up) + up * 0.4).normalized();
    SceneView view;
    const double radius = modelRadius();
    view.eye = modelCentre() + back * (radius / std::sin(std::atan(view.tanHalfHeight)) * 1.1);
    const Vec3d right = up.cross(back).normalized();
    const Vec3d trueUp = back.cross(right);
    const Vec3d rows[3] = {right, trueUp, back};
    for (int r = 0; r < 3; ++r) {
        view.rotation.m[r][0] = rows[r].x;
        view.rotation.m[r][1] = rows[r].y;
        view.rotation.m[r][2] = rows[r].z;
    }
    return view;
}

double ViewerScene::groundLevel() const
{
    const Vec3d up = Vec3d(m_settings.upDirection).normalized();
    if (!m_geometry)
        return -modelRadius();
    const ksr::Point3f lo = m_geometry->boxMin, hi = m_geometry->boxMax;
    double lowest = INFINITY;
    for (int k = 0; k < 8; ++k) {
        const Vec3d corner((k & 1) ? hi.x : lo.x, (k & 2) ? hi.y : lo.y, (k & 4) ? hi.z : lo.z);
        lowest = std::min(lowest, corner.dot(up));
    }
    return lowest;
}

bool ViewerScene::frameletCorners(int shot, Vec3d corners[4]) const
{
    if (shot < 0 || shot >= m_shots.size())
        return false;
    const ViewerShot &s = m_shots.at(shot);
    const Camera &camera = s.camera;
    const double f = camera.focalMm;
    if (!(f > 0.0) || !camera.isSet())
        return false;
    double depth = s.depth;
    // Without a depth: where the model's centre lies along the axis, or one radius ahead.
    const Vec3d axis = -Vec3d(camera.rotation.row(2)).normalized();
    if (!(depth > 0.0)) {
        depth = (modelCentre() - Vec3d(camera.center)).dot(axis);
        if (!(depth > 0.0))
            depth = modelRadius();
    }
    const double distance = depth * std::max(0.0, double(m_settings.frameletsScale));
    const double w = camera.viewportPx[0], h = camera.viewportPx[1];
    const double left = -(w - camera.centerPx[0]) * camera.pixelSizeMm[0] / f;
    const double right = camera.centerPx[0] * camera.pixelSizeMm[0] / f;
    const double bottom = -camera.centerPx[1] * camera.pixelSizeMm[1] / f;
    const double top = (h - camera.centerPx[1]) * camera.pixelSizeMm[1] / f;
    const Vec3d x = Vec3d(camera.rotation.row(0)), y = Vec3d(camera.rotation.row(1));
    const Vec3d centre = Vec3d(camera.center);
    const double xs[4] = {left, right, right, left}, ys[4] = {bottom, bottom, top, top};
    for (int k = 0; k < 4; ++k)
        corners[k] = centre + (axis + x * xs[k] + y * ys[k]) * distance;
    return true;
}

void ViewerScene::clipRange(const SceneView &view, double &nearPlane, double &farPlane) const
{
    const Vec3d back = view.rotation.row(2);
    const auto along = [&](const Vec3d &p) { return -(p - view.eye).dot(back); };
    const double radius = modelRadius();
    const double centreDepth = along(modelCentre());
    double nearest = centreDepth - radius, farthest = centreDepth + radius;
    if (m_settings.backgroundKind == OrvelleIndex::OrthoPlaneBackground) {
        // The ground reaches to under the eye.
        farthest = std::max(farthest, centreDepth + 30.0 * radius);
        const Vec3d up = Vec3d(m_settings.upDirection).normalized();
        const double aboveGround = (view.eye - modelCentre()).dot(up) - groundLevel();
        nearest = std::min(nearest, 0.5 * std::abs(aboveGround));
    }
    if (m_frameletsVisible)
        for (int shot = 0; shot < m_shots.size(); ++shot) {
            Vec3d corners[4];
            if (!frameletCorners(shot, corners))
                continue;
            for (const Vec3d &corner : corners) {
                const double z = along(corner);
                if (z > 0.0)
                    nearest = std::min(nearest, z);
                farthest = std::max(farthest, z);
            }
        }
    farPlane = std::max(farthest * 1.01, radius * 1e-3);
    nearPlane = std::max(nearest * 0.99, farPlane * 2e-5);
}

QRect ViewerScene::barRect(int width, int height) const
{
    if (!m_barVisible || m_order.isEmpty() || width <= 0 || height <= 0)
        return QRect();
    const int bar = barHeight(height);
    return QRect(0, m_settings.thumbnailBarTop ? 0 : height - bar, width, bar);
}

// About a sixth of the picture, within 24 and 120 logical pixels, never over a third.
int ViewerScene::barHeight(int height) const
{
    const int wanted =
        std::clamp(int(std::lround(height * 0.16)), int(24 * m_pixelRatio), int(120 * m_pixelRatio));
    return std::min(wanted, height / 3);
}

int ViewerScene::barCellWidth(int barHeight, int shot) const
{
    const Camera &camera = m_shots.at(shot).camera;
    const double aspect =
        camera.viewportPx[1] > 0 ? double(camera.viewportPx[0]) / camera.viewportPx[1] : 4.0 / 3.0;
    const int inner = barHeight - int(10 * m_pixelRatio);
    return std::max(4, int(std::lround(inner * std::clamp(aspect, 0.2, 5.0))));
}

QVector<ViewerScene::BarCell> ViewerScene::barCells(int width, int height) const
{
    QVector<BarCell> cells;
    const QRect bar = barRect(width, height);
    if (bar.isEmpty())
        return cells;
    const int gap = std::max(2, int(3 * m_pixelRatio)), breakGap = int(14 * m_pixelRatio);
    const int margin = int(5 * m_pixelRatio);
    int x = 0, currentMiddle = -1;
    for (int i = 0; i < m_order.size(); ++i) {
        const int shot = m_order.at(i);
        BarCell cell;
        cell.shot = shot;
        cell.breakBefore = i > 0 && m_shots.at(shot).cluster != m_shots.at(m_order.at(i - 1)).cluster;
        if (i > 0)
            x += cell.breakBefore ? breakGap : gap;
        const int cellWidth = barCellWidth(bar.height(), shot);
        cell.rect = QRect(x, bar.top() + margin, cellWidth, bar.height() - 2 * margin);
        if (shot == m_current)
            currentMiddle = x + cellWidth / 2;
        x += cellWidth;
        cells.append(cell);
    }
    // The whole strip centred when it fits, else the current thumbnail in the middle.
    int offset = (width - x) / 2;
    if (x > width && currentMiddle >= 0)
        offset = std::clamp(width / 2 - currentMiddle, width - x - margin, margin);
    else if (x > width)
        offset = margin;
    for (BarCell &cell : cells)
        cell.rect.translate(offset, 0);
    return cells;
}

int ViewerScene::thumbnailAt(const QPointF &pixel, int width, int height) const
{
    for (const BarCell &cell : barCells(width, height))
        if (cell.rect.contains(pixel.toPoint()))
            return cell.shot;
    return -1;
}

int ViewerScene::frameletAt(const SceneView &view, const QPointF &pixel, int width, int height) const
{
    if (width <= 0 || height <= 0 || !m_frameletsVisible)
        return -1;
    double nearPlane = 0.0, farPlane = 0.0;
    clipRange(view, nearPlane, farPlane);
    const Mat4d clip = projectionFor(view, width, height, nearPlane, farPlane) * view.rotation *
                       Mat4d::translation(-view.eye);
    int best = -1;
    double bestDistance = INFINITY;
    for (int shot = 0; shot < m_shots.size(); ++shot) {
        Vec3d corners[4];
        if (shot == m_current || !frameletCorners(shot, corners))
            continue;
        QPointF screen[4];
        bool inFront = true;
        for (int k = 0; k < 4; ++k) {
            double c[4];
            clip.apply(corners[k], c);
            inFront = inFront && c[3] > 0.0;
            if (!inFront)
                break;
            screen[k] = QPointF((c[0] / c[3] + 1.0) * 0.5 * width, (1.0 - c[1] / c[3]) * 0.5 * height);
        }
        if (!inFront)
            continue;
        // Inside when on the same side of every edge.
        int sign = 0;
        bool inside = true;
        for (int k = 0; k < 4 && inside; ++k) {
            const QPointF a = screen[k], b = screen[(k + 1) % 4];
            const double crossed =
                (b.x() - a.x()) * (pixel.y() - a.y()) - (b.y() - a.y()) * (pixel.x() - a.x());
            const int s = crossed > 0 ? 1 : (crossed < 0 ? -1 : 0);
            if (s != 0 && sign != 0 && s != sign)
                inside = false;
            if (s != 0)
                sign = s;
        }
        const double distance = (Vec3d(m_shots.at(shot).camera.center) - view.eye).length();
        if (inside && distance < bestDistance) {
            best = shot;
            bestDistance = distance;
        }
    }
    return best;
}

Mat4d ViewerScene::projectionFor(const SceneView &view, int width, int height, double nearPlane,
                                 double farPlane)
{
    const double halfHeight = view.tanHalfHeight;
    const double halfWidth = halfHeight * double(width) / std::max(height, 1);
    return Mat4d::frustum((view.shiftX - halfWidth) * nearPlane, (view.shiftX + halfWidth) * nearPlane,
                          (view.shiftY - halfHeight) * nearPlane, (view.shiftY + halfHeight) * nearPlane,
                          nearPlane, farPlane);
}
