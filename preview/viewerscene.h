#pragma once
// The scene as the viewer presents it, drawn into the current GL context: the model (lit by a
// headlight or in its own colours), the background (colour at infinity, ortho plane or coloured
// dome), every shot's framelet, the current shot's photograph projected onto the model from its
// camera (surfaces the camera does not see are not painted) and the thumbnail bar. One class for
// the window's preview and for the tool's render command; docs/viewer-preview.md says how each
// setting is drawn.
//
// Contract: content setters need no GL. draw() and releaseGL() need a current compatibility
// context whose GL entry points GLEW has loaded (initGlewForCurrentContext), always the same one.
// draw() leaves the framebuffer that was bound when it was called bound again. Not thread-safe:
// use one scene on one thread.

#include "camera.h"
#include "orvelleindex.h"
#include "viewmath.h"

#include <QPointF>
#include <QRect>
#include <QString>
#include <QVector>

#include <memory>
#include <vector>

// The viewer settings the picture follows (the values of the index).
struct ViewerSettings {
    int backgroundKind = OrvelleIndex::ColorBackground;
    Color4f backgroundColor{0.0f, 0.0f, 0.0f, 1.0f};
    QVector<DomeVertex> dome; // heights from -1 (nadir) to 1 (zenith), any order
    bool lighting = false;
    ksr::Point3f upDirection{0.0f, 1.0f, 0.0f};
    bool thumbnailBarTop = false;
    Color4f frameletColor{1.0f, 1.0f, 1.0f, 1.0f};
    float frameletsScale = 1.0f;
    float projectionReliability = 1.0f;
    float cameraSpeed = 1.0f;
};

// One shot as the viewer has it.
struct ViewerShot {
    Camera camera;
    QString photoPath;
    QString thumbnailPath; // empty: the photograph, reduced
    float depth = 0.0f;    // distance of the seen surface along the axis; <= 0 when unknown
    int cluster = 0;
};

// Where the eye is and how it looks. Frustum at unit distance: half height tanHalfHeight, the half
// width follows the picture's aspect ratio, both shifted by (shiftX, shiftY).
struct SceneView {
    Vec3d eye;      // world coordinates
    Mat4d rotation; // world-to-eye rotation; rows right, up, back (it looks along -z)
    double tanHalfHeight = 0.57735026918962573; // 60 degrees vertically
    double shiftX = 0.0, shiftY = 0.0;

    // Exactly the camera: its rotation (roll kept), angle of view and principal point.
    static SceneView fromCamera(const Camera &camera);
    // The viewer's view of a shot: at its centre along its axis, `up` vertical (no roll), its vertical
    // angle of view, the principal point in the middle.
    static SceneView fromShot(const Camera &camera, const ksr::Point3f &up);
    // a -> b as t goes 0 -> 1 (positions straight, orientations by the shortest turn).
    static SceneView interpolate(const SceneView &a, const SceneView &b, double t);

    Vec3d axis() const { return -rotation.row(2); }
    // Turns the eye about pivot: by yawRadians about `up`, then pitchRadians about the view's right axis.
    void orbit(const Vec3d &pivot, const Vec3d &up, double yawRadians, double pitchRadians);
    // Moves the eye towards pivot (factor < 1) or away from it.
    void zoom(const Vec3d &pivot, double factor);
};

class ViewerScene
{
public:
    ViewerScene();
    ~ViewerScene(); // GL objects must have been released with their context current, or are forgotten
    ViewerScene(const ViewerScene &) = delete;
    ViewerScene &operator=(const ViewerScene &) = delete;

    // Reads the model (no GL). False, with the reason in *error, when it cannot be read; the scene
    // then has no model and draws the rest. A multiresolution model (.tsl) is drawn as a cut of its
    // tree fitted to each view (cut()).
    bool loadModel(const QString &fileName, QString *error = nullptr);
    bool hasModel() const;
    bool isMultiresolution() const;
    // Triangles of the original geometry (a multiresolution model's leaves).
    int triangleCount() const;
    // The multiresolution model's nodes drawn for view on a width x height picture: from the root
    // down, a node is drawn when its error (clustering cell) seen from the nearest point of its box
    // spans at most lodTolerancePixels() (movingLodTolerancePixels() while the view moves), a leaf
    // always; nodes outside the view are left out. Empty for a mesh. The default, 2 pixels of cell,
    // keeps the node's surface (its vertices are the means of their cells) within about a pixel of
    // the original.
    std::vector<int> cut(const SceneView &view, int width, int height) const;
    int cutTriangleCount(const SceneView &view, int width, int height) const;
    void setLodTolerancePixels(double pixels) { m_lodTolerancePixels = pixels > 0.0 ? pixels : 2.0; }
    double lodTolerancePixels() const { return m_lodTolerancePixels; }
    // A moving view (a transition, a drag, the wheel) is drawn from a coarser cut: each of its
    // frames is seen for a moment, and the picture drawn once the view rests is the exact one.
    void setMoving(bool moving) { m_moving = moving; }
    bool isMoving() const { return m_moving; }
    double movingLodTolerancePixels() const { return 4.0 * m_lodTolerancePixels; }
    QString modelFile() const { return m_modelFile; }
    // Bounding-box centre and half diagonal, world coordinates.
    Vec3d modelCentre() const;
    double modelRadius() const;

    // viewingOrder: shot indices from first to last shown; shots missing from it are left out
    // of the bar, an empty order means the shots' own order.
    void setShots(const QVector<ViewerShot> &shots, const QVector<int> &viewingOrder);
    const QVector<ViewerShot> &shots() const { return m_shots; }
    const QVector<int> &viewingOrder() const { return m_order; }
    void setSettings(const ViewerSettings &settings);
    const ViewerSettings &settings() const { return m_settings; }
    // The shot whose photograph is projected and marked in the bar; -1 for none.
    void setCurrentShot(int shot);
    int currentShot() const { return m_current; }
    // Draw the photograph projection (on by default).
    void setProjectionEnabled(bool on) { m_projection = on; }
    void setBarVisible(bool on) { m_barVisible = on; }
    void setFrameletsVisible(bool on) { m_frameletsVisible = on; }
    // Models with at least this many faces take the photograph's depth test and weight at their
    // vertices, once per shot, interpolated across each face (one texture read per pixel instead of two).
    void setVertexVisibilityFaces(int faces) { m_vertexVisibilityFaces = faces; }
    // Device pixels per logical pixel: line widths and the bar grow with it.
    void setPixelRatio(double ratio) { m_pixelRatio = ratio > 0.0 ? ratio : 1.0; }

    // The shot after or before `shot` in viewing order (wrapping); -1 without shots.
    int neighbourShot(int shot, int step) const;
    // The view a shot opens with (fromShot with the settings' up direction).
    SceneView shotView(int shot) const;
    // A view of the whole model when no shot is there.
    SceneView overallView() const;

    // Draws the whole picture for view into a width x height viewport at (0, 0) of the bound
    // framebuffer (device pixels).
    void draw(const SceneView &view, int width, int height);
    // Frees every GL object; call with the context current.
    void releaseGL();

    // Picking in device pixels (origin top-left) of a width x height picture: the shot whose
    // thumbnail or framelet is there, -1 for none.
    int thumbnailAt(const QPointF &pixel, int width, int height) const;
    int frameletAt(const SceneView &view, const QPointF &pixel, int width, int height) const;
    // Rectangle of the thumbnail bar (origin top-left); empty when there is none.
    QRect barRect(int width, int height) const;
    // One thumbnail of the bar: its shot, its rectangle (origin top-left), and whether a new
    // cluster begins with it.
    struct BarCell {
        int shot = -1;
        QRect rect;
        bool breakBefore = false;
    };
    QVector<BarCell> barCells(int width, int height) const;
    // The projection of view on a width x height picture.
    static Mat4d projectionFor(const SceneView &view, int width, int height, double nearPlane,
                               double farPlane);

    // Corners of a shot's framelet in world coordinates (lower left first, counter-clockwise).
    bool frameletCorners(int shot, Vec3d corners[4]) const;
    // Height of the ground plane above the model's centre along the up direction (the model's lowest point).
    double groundLevel() const;
    // Near and far distances that hold everything drawn for view.
    void clipRange(const SceneView &view, double &nearPlane, double &farPlane) const;

private:
    struct GLState;
    struct Geometry;
    bool loadMultiresolution(const QString &fileName, QString *error);
    void drawDome(const SceneView &view, int width, int height);
    void drawGroundPlane();
    // eye relative to the model's centre; nodes: the cut of a multiresolution model
    void drawModel(bool projecting, const Vec3d &eye, const std::vector<int> &nodes);
    void drawFramelets(const SceneView &view);
    void drawBar(int width, int height);
    bool prepareProjection();
    void weighVertices(int mapWidth, int mapHeight);
    Mat4d shotClipFromModel(const Camera &camera, double &nearPlane, double &farPlane) const;
    int barCellWidth(int barHeight, int shot) const;
    int barHeight(int height) const;

    std::unique_ptr<Geometry> m_geometry;
    std::unique_ptr<GLState> m_gl;
    QString m_modelFile;
    QVector<ViewerShot> m_shots;
    QVector<int> m_order;
    ViewerSettings m_settings;
    int m_current = -1;
    // Made again at the next draw: the projected photograph, every thumbnail, some thumbnails.
    bool m_projectionStale = true;
    bool m_allThumbnailsStale = true;
    QVector<int> m_staleThumbnails;
    bool m_projection = true;
    bool m_barVisible = true;
    bool m_frameletsVisible = true;
    double m_pixelRatio = 1.0;
    int m_vertexVisibilityFaces = 50000;
    double m_lodTolerancePixels = 2.0;
    bool m_moving = false;
};
