// ViewerScene's drawing. GLEW is included here and nowhere near Qt's GL headers.

#include "viewerscene.h"

#include "viewerscene_p.h"

#include "fbo.h"

#include <GL/glew.h>

#include <QDebug>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>

namespace
{

// One program per combination of features, chosen by #defines: a software renderer runs both sides
// of a branch, so code that is not needed must not be there, and the fewer varyings, the cheaper each
// of a large model's triangles.
//
// The photograph is painted where the shot's depth map says its camera sees the surface; its weight
// is the reliability times the cosine between the surface and the direction to the camera. For
// models of many small faces (VERTEX_VISIBILITY) the depth test and the cosine are worked out at the
// vertices once per shot, on the processor, leaving one texture read per pixel.
const char *const vertexShader = R"(
uniform mat4 shotClip;
uniform sampler2D shotDepth;
uniform float reliability;
uniform float shotNear;
uniform float shotFar;
uniform vec3 shotEye;
varying vec3 modelPos;
varying vec3 modelNormal;
varying vec4 shotPos;
varying float shotWeight;

void main()
{
    gl_Position = ftransform();
    gl_FrontColor = gl_Color;
#if LIGHTING || (PROJECTING && !VERTEX_VISIBILITY)
    modelPos = gl_Vertex.xyz;
    modelNormal = gl_Normal;
#endif
#if PROJECTING
    shotPos = shotClip * gl_Vertex;
#endif
#if PROJECTING && VERTEX_VISIBILITY
    // How squarely the shot's camera sees the vertex, 0 where it does not (worked out once per shot).
    shotWeight = clamp(reliability * gl_MultiTexCoord0.x, 0.0, 1.0);
#endif
}
)";

const char *const fragmentShader = R"(
uniform sampler2D photo;
uniform sampler2D shotDepth;
uniform float reliability;
uniform float shotNear;
uniform float shotFar;
uniform vec3 shotEye;
uniform vec3 eye;
varying vec3 modelPos;
varying vec3 modelNormal;
varying vec4 shotPos;
varying float shotWeight;

float visibleWeight(vec4 clip, vec3 position, vec3 normal);

void main()
{
    vec3 colour = gl_Color.rgb;
#if LIGHTING
    if (length(modelNormal) > 0.0) {
        float facing = abs(dot(normalize(modelNormal), normalize(eye - modelPos)));
        colour = min(colour * (0.3 + 0.8 * facing), vec3(1.0));
    }
#endif
#if PROJECTING
    vec3 ndc = shotPos.xyz / shotPos.w;
    if (shotPos.w > 0.0 && abs(ndc.x) <= 1.0 && abs(ndc.y) <= 1.0) {
#if VERTEX_VISIBILITY
        float weight = shotWeight;
#else
        float weight = visibleWeight(shotPos, modelPos, modelNormal);
#endif
        colour = mix(colour, texture2D(photo, ndc.xy * 0.5 + 0.5).rgb, weight);
    }
#endif
    gl_FragColor = vec4(colour, 1.0);
}
)";

// The photograph's weight at a point, 0 where the shot's camera does not see it.
const char *const weightFunction = R"(
uniform sampler2D shotDepth;
uniform float reliability;
uniform float shotNear;
uniform float shotFar;
uniform vec3 shotEye;
float visibleWeight(vec4 clip, vec3 position, vec3 normal)
{
    vec3 ndc = clip.xyz / clip.w;
    if (clip.w <= 0.0 || abs(ndc.x) > 1.0 || abs(ndc.y) > 1.0 || abs(ndc.z) > 1.0)
        return 0.0;
    vec2 uv = ndc.xy * 0.5 + 0.5;
    float stored = texture2D(shotDepth, uv).r * 2.0 - 1.0;
    float storedDistance = 2.0 * shotNear * shotFar / (shotFar + shotNear - stored * (shotFar - shotNear));
    if (clip.w > storedDistance * 1.01 + shotNear * 0.01)
        return 0.0;
    float facing = 1.0;
#if !POINT_CLOUD
    if (length(normal) > 0.0)
        facing = abs(dot(normalize(normal), normalize(shotEye - position)));
#endif
    return clamp(reliability * facing, 0.0, 1.0);
}
)";

enum ProgramFeature { Lighting = 1, Projecting = 2, PointCloud = 4, VertexVisibility = 8, ProgramCount = 16 };

// The program with these features, or 0 when it cannot be built.
GLuint buildProgram(int features);

GLuint compile(GLenum kind, const char *source, int features)
{
    QByteArray defines = QByteArrayLiteral("#version 120\n");
    for (const auto &[name, feature] :
         {std::pair{"LIGHTING", Lighting}, std::pair{"PROJECTING", Projecting},
          std::pair{"POINT_CLOUD", PointCloud}, std::pair{"VERTEX_VISIBILITY", VertexVisibility}})
        defines += QByteArray("#define ") + name + (features & feature ? " 1\n" : " 0\n");
    const char *parts[2] = {defines.constData(), source};
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 2, parts, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        qWarning().noquote() << "ViewerScene: shader not compiled:" << log;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint buildProgram(int features)
{
    const GLuint vs = compile(GL_VERTEX_SHADER, vertexShader, features);
    const GLuint fs = compile(GL_FRAGMENT_SHADER, fragmentShader, features);
    const GLuint weight = compile(GL_FRAGMENT_SHADER, weightFunction, features);
    GLuint program = 0;
    if (vs && fs && weight) {
        program = glCreateProgram();
        glAttachShader(program, vs);
        glAttachShader(program, fs);
        glAttachShader(program, weight);
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            qWarning() << "ViewerScene: shader program not linked";
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vs)
        glDeleteShader(vs);
    if (fs)
        glDeleteShader(fs);
    if (weight)
        glDeleteShader(weight);
    return program;
}

// Triangles from index first on, with the element buffer bound.
void drawIndexRange(GLuint first, GLuint count)
{
    if (count > 0)
        glDrawElements(GL_TRIANGLES, GLsizei(count), GL_UNSIGNED_INT,
                       reinterpret_cast<const void *>(std::uintptr_t(first) * sizeof(GLuint)));
}

void loadMatrix(GLenum mode, const Mat4d &matrix)
{
    float gl[16];
    matrix.toGL(gl);
    glMatrixMode(mode);
    glLoadMatrixf(gl);
}

void vertex(const Vec3d &p)
{
    glVertex3d(p.x, p.y, p.z);
}

// The image at path reduced to fit within maxSide pixels, in GL layout; null when unreadable.
QImage glImage(const QString &path, int maxWidth, int maxHeight)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > maxWidth || size.height() > maxHeight))
        reader.setScaledSize(size.scaled(maxWidth, maxHeight, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return image;
    return image.convertToFormat(QImage::Format_RGBA8888).mirrored();
}

Color4f domeColour(const QVector<DomeVertex> &sorted, double height, const Color4f &fallback)
{
    if (sorted.isEmpty())
        return fallback;
    if (height <= sorted.first().height)
        return {sorted.first().red, sorted.first().green, sorted.first().blue, 1.0f};
    for (int i = 1; i < sorted.size(); ++i) {
        const DomeVertex &a = sorted.at(i - 1), &b = sorted.at(i);
        if (height <= b.height) {
            const float t = b.height > a.height ? float((height - a.height) / (b.height - a.height)) : 1.0f;
            return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t,
                    a.blue + (b.blue - a.blue) * t, 1.0f};
        }
    }
    return {sorted.last().red, sorted.last().green, sorted.last().blue, 1.0f};
}

} // namespace

struct ViewerScene::GLState {
    bool initialised = false;
    GLuint programs[ProgramCount] = {};
    bool programTried[ProgramCount] = {};
    GLuint program(int features)
    {
        if (!programTried[features]) {
            programTried[features] = true;
            programs[features] = buildProgram(features);
        }
        return programs[features];
    }
    GLuint buffers[5] = {0, 0, 0, 0, 0}; // positions, normals, colours, indices, shot weights
    std::uint64_t uploadedRevision = 0;
    GLsizei indexCount = 0, vertexCount = 0;

    // The current shot's photograph and depth map.
    int projectedShot = -1;
    bool projectionReady = false;
    Texture photo;
    Texture depthMap;
    FBO depthFbo;
    Mat4d shotClip; // from model-relative coordinates
    double shotNear = 0.0, shotFar = 1.0;
    Vec3d shotEye; // model-relative

    std::map<int, std::unique_ptr<Texture>> thumbnails;
    std::map<int, bool> thumbnailFailed;

    void releaseThumbnail(int shot)
    {
        const auto found = thumbnails.find(shot);
        if (found != thumbnails.end()) {
            found->second->release();
            thumbnails.erase(found);
        }
        thumbnailFailed.erase(shot);
    }
    void releaseThumbnails()
    {
        for (auto &entry : thumbnails)
            entry.second->release();
        thumbnails.clear();
        thumbnailFailed.clear();
    }
};

ViewerScene::ViewerScene() = default;

ViewerScene::~ViewerScene()
{
    if (m_gl) {
        // The context may be gone: drop the names without GL calls.
        m_gl->photo.forget();
        m_gl->depthMap.forget();
        m_gl->depthFbo.forget();
        for (auto &entry : m_gl->thumbnails)
            entry.second->forget();
    }
}

void ViewerScene::releaseGL()
{
    if (!m_gl)
        return;
    for (GLuint program : m_gl->programs)
        if (program)
            glDeleteProgram(program);
    glDeleteBuffers(5, m_gl->buffers);
    m_gl->photo.release();
    m_gl->depthFbo.destroy();
    m_gl->depthMap.release();
    m_gl->releaseThumbnails();
    m_gl.reset();
}

Mat4d ViewerScene::shotClipFromModel(const Camera &camera, double &nearPlane, double &farPlane) const
{
    const Vec3d centre = modelCentre();
    // Rotation and translation in double: R (p + centre - C).
    Mat4d rotation = Mat4d::fromFloat(camera.rotation);
    for (int k = 0; k < 3; ++k)
        rotation.m[k][3] = rotation.m[3][k] = 0.0;
    rotation.m[3][3] = 1.0;
    const Mat4d viewFromModel = rotation * Mat4d::translation(centre - Vec3d(camera.center));
    const double distance = (Vec3d(camera.center) - centre).length();
    const double radius = modelRadius();
    nearPlane = std::max(distance - radius, 0.005 * distance);
    if (!(nearPlane > 0.0))
        nearPlane = 1e-3 * radius;
    farPlane = distance + radius;
    const double f = camera.focalMm, w = camera.viewportPx[0], h = camera.viewportPx[1];
    const double scale = nearPlane / f;
    const Mat4d projection =
        Mat4d::frustum(-(w - camera.centerPx[0]) * camera.pixelSizeMm[0] * scale,
                       camera.centerPx[0] * camera.pixelSizeMm[0] * scale,
                       -camera.centerPx[1] * camera.pixelSizeMm[1] * scale,
                       (h - camera.centerPx[1]) * camera.pixelSizeMm[1] * scale, nearPlane, farPlane);
    return projection * viewFromModel;
}

// The current shot's photograph as a texture and its depth map from its camera, made once per shot.
bool ViewerScene::prepareProjection()
{
    GLState &gl = *m_gl;
    if (gl.projectedShot == m_current && !m_projectionStale)
        return gl.projectionReady;
    gl.projectedShot = m_current;
    gl.projectionReady = false;
    if (m_current < 0 || !m_geometry || m_geometry->positions.empty())
        return false;
    const ViewerShot &shot = m_shots.at(m_current);
    const Camera &camera = shot.camera;
    if (!camera.isSet() || !(camera.focalMm > 0.0f) || camera.viewportPx[0] <= 0 || camera.viewportPx[1] <= 0)
        return false;
    const QImage image = glImage(shot.photoPath, 2048, 2048);
    if (image.isNull()) {
        qWarning().noquote() << "ViewerScene: photograph not readable:" << shot.photoPath;
        return false;
    }
    // Seen near its own scale: bilinear is enough, and a software renderer samples it at half the cost.
    gl.photo.loadFromGLImage(image, false);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    gl.shotClip = shotClipFromModel(camera, gl.shotNear, gl.shotFar);
    gl.shotEye = Vec3d(camera.center) - modelCentre();
    const double longSide = std::max(camera.viewportPx[0], camera.viewportPx[1]);
    const int mapWidth = std::max(1, int(2048.0 * camera.viewportPx[0] / longSide));
    const int mapHeight = std::max(1, int(2048.0 * camera.viewportPx[1] / longSide));
    if (gl.depthMap.id == 0) {
        gl.depthMap.create(mapWidth, mapHeight, GL_FLOAT, GL_DEPTH_COMPONENT24, false);
        gl.depthFbo.attachDepthTexture(gl.depthMap);
    } else if (gl.depthMap.width != mapWidth || gl.depthMap.height != mapHeight) {
        gl.depthFbo.resize(mapWidth, mapHeight);
    }
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    gl.depthFbo.bind();
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.5f, 4.0f);
    glUseProgram(0);
    loadMatrix(GL_PROJECTION, gl.shotClip);
    loadMatrix(GL_MODELVIEW, Mat4d());
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, gl.buffers[0]);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    // The original geometry (a multiresolution model's leaves): the visibility is exact.
    const GLuint firstIndex = m_geometry->exactFirstIndex, firstVertex = m_geometry->exactFirstVertex;
    if (gl.indexCount > 0) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gl.buffers[3]);
        drawIndexRange(firstIndex, GLuint(gl.indexCount) - firstIndex);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    } else {
        glPointSize(2.0f);
        glDrawArrays(GL_POINTS, GLint(firstVertex), gl.vertexCount - GLsizei(firstVertex));
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glPopClientAttrib();
    glPopAttrib();
    if (triangleCount() >= m_vertexVisibilityFaces)
        weighVertices(mapWidth, mapHeight);
    gl.projectionReady = true;
    return true;
}

// For each vertex, the cosine between its normal and the direction to the shot's camera, 0 where
// the depth map says the camera does not see it; the shader multiplies by the reliability.
void ViewerScene::weighVertices(int mapWidth, int mapHeight)
{
    GLState &gl = *m_gl;
    std::vector<float> stored(std::size_t(mapWidth) * std::size_t(mapHeight), 1.0f);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.depthMap.download(GL_FLOAT, GL_DEPTH_COMPONENT, stored.data());
    const std::vector<float> &positions = m_geometry->positions, &normals = m_geometry->normals;
    const std::size_t count = positions.size() / 3;
    std::vector<float> weights(count, 0.0f);
    const double n = gl.shotNear, f = gl.shotFar;
    for (std::size_t v = 0; v < count; ++v) {
        const Vec3d p(positions[3 * v], positions[3 * v + 1], positions[3 * v + 2]);
        double clip[4];
        gl.shotClip.apply(p, clip);
        const double w = clip[3];
        if (!(w > 0.0))
            continue;
        const double x = clip[0] / w, y = clip[1] / w, z = clip[2] / w;
        if (!(std::abs(x) <= 1.0 && std::abs(y) <= 1.0 && std::abs(z) <= 1.0))
            continue;
        const int column = std::min(int((x * 0.5 + 0.5) * mapWidth), mapWidth - 1);
        const int row = std::min(int((y * 0.5 + 0.5) * mapHeight), mapHeight - 1);
        const double depth =
            stored[std::size_t(row) * std::size_t(mapWidth) + std::size_t(column)] * 2.0 - 1.0;
        const double distance = 2.0 * n * f / (f + n - depth * (f - n));
        if (w > distance * 1.01 + n * 0.01)
            continue;
        const Vec3d normal(normals[3 * v], normals[3 * v + 1], normals[3 * v + 2]);
        const Vec3d towards = (gl.shotEye - p).normalized();
        weights[v] = m_geometry->pointCloud || normal.length() == 0.0
                         ? 1.0f
                         : float(std::abs(normal.normalized().dot(towards)));
    }
    glBindBuffer(GL_ARRAY_BUFFER, gl.buffers[4]);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(weights.size() * sizeof(float)), weights.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void ViewerScene::draw(const SceneView &view, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    if (!m_gl)
        m_gl = std::make_unique<GLState>();
    GLState &gl = *m_gl;
    if (!gl.initialised) {
        gl.initialised = true;
        glGenBuffers(5, gl.buffers);
    }
    if (m_allThumbnailsStale) {
        gl.releaseThumbnails();
    } else {
        for (int shot : std::as_const(m_staleThumbnails))
            gl.releaseThumbnail(shot);
    }
    m_allThumbnailsStale = false;
    m_staleThumbnails.clear();
    const std::uint64_t revision = m_geometry ? m_geometry->revision : 0;
    if (gl.uploadedRevision != revision) {
        gl.uploadedRevision = revision;
        gl.projectedShot = -2; // the depth map belongs to the old model
        const auto upload = [](GLenum target, GLuint buffer, const void *data, std::size_t bytes) {
            glBindBuffer(target, buffer);
            glBufferData(target, GLsizeiptr(bytes), bytes ? data : nullptr, GL_STATIC_DRAW);
            glBindBuffer(target, 0);
        };
        const Geometry empty;
        const Geometry &g = m_geometry ? *m_geometry : empty;
        upload(GL_ARRAY_BUFFER, gl.buffers[0], g.positions.data(), g.positions.size() * sizeof(float));
        upload(GL_ARRAY_BUFFER, gl.buffers[1], g.normals.data(), g.normals.size() * sizeof(float));
        upload(GL_ARRAY_BUFFER, gl.buffers[2], g.colours.data(), g.colours.size());
        upload(GL_ELEMENT_ARRAY_BUFFER, gl.buffers[3], g.indices.data(),
               g.indices.size() * sizeof(std::uint32_t));
        gl.indexCount = GLsizei(g.indices.size());
        gl.vertexCount = GLsizei(g.positions.size() / 3);
    }
    // The depth map is drawn into a framebuffer of its own: the caller's is bound again after it.
    GLint target = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &target);
    const bool projecting = m_projection && gl.program(Projecting) && prepareProjection();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, GLuint(target));
    m_projectionStale = false;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glViewport(0, 0, width, height);
    glDisable(GL_SCISSOR_TEST);
    const Color4f &background = m_settings.backgroundColor;
    glClearColor(background.red, background.green, background.blue, 1.0f);
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    double nearPlane = 0.0, farPlane = 0.0;
    clipRange(view, nearPlane, farPlane);
    const Mat4d projection = projectionFor(view, width, height, nearPlane, farPlane);
    const Mat4d viewFromModel = view.rotation * Mat4d::translation(modelCentre() - view.eye);
    if (m_settings.backgroundKind == OrvelleIndex::DomeBackground)
        drawDome(view, width, height);
    loadMatrix(GL_PROJECTION, projection);
    loadMatrix(GL_MODELVIEW, viewFromModel);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    if (m_settings.backgroundKind == OrvelleIndex::OrthoPlaneBackground)
        drawGroundPlane();
    if (m_geometry)
        drawModel(projecting, view.eye - modelCentre(), cut(view, width, height));
    if (m_frameletsVisible)
        drawFramelets(view);
    if (m_barVisible)
        drawBar(width, height);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

// A sphere around the eye, at infinity: only the view's rotation applies. Rings at every dome
// height and every 0.05 between, so the colours follow the table's linear steps.
void ViewerScene::drawDome(const SceneView &view, int width, int height)
{
    QVector<DomeVertex> sorted = m_settings.dome;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const DomeVertex &a, const DomeVertex &b) { return a.height < b.height; });
    QVector<double> heights;
    for (int k = 0; k <= 40; ++k)
        heights.append(-1.0 + k * 0.05);
    for (const DomeVertex &row : sorted)
        if (row.height > -1.0f && row.height < 1.0f)
            heights.append(row.height);
    std::sort(heights.begin(), heights.end());

    const Vec3d up = Vec3d(m_settings.upDirection).normalized();
    Vec3d a = up.cross(Vec3d(0, 0, 1));
    if (a.length() < 1e-9)
        a = up.cross(Vec3d(1, 0, 0));
    a = a.normalized();
    const Vec3d c = a.cross(up);

    loadMatrix(GL_PROJECTION, projectionFor(view, width, height, 0.1, 10.0));
    loadMatrix(GL_MODELVIEW, view.rotation);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    const int segments = 64;
    for (int ring = 1; ring < heights.size(); ++ring) {
        const double h0 = heights.at(ring - 1), h1 = heights.at(ring);
        if (h1 <= h0)
            continue;
        glBegin(GL_QUAD_STRIP);
        for (int s = 0; s <= segments; ++s) {
            const double angle = 2.0 * M_PI * s / segments;
            const Vec3d around = a * std::cos(angle) + c * std::sin(angle);
            for (double h : {h0, h1}) {
                const Color4f colour = domeColour(sorted, h, m_settings.backgroundColor);
                glColor3f(colour.red, colour.green, colour.blue);
                vertex(around * std::sqrt(std::max(0.0, 1.0 - h * h)) + up * h);
            }
        }
        glEnd();
    }
    glDepthMask(GL_TRUE);
}

// The ground: a plane across the up direction through the model's lowest point, mid grey a
// quarter of the way to the colour at infinity, with grid lines so it reads as ground.
void ViewerScene::drawGroundPlane()
{
    const Vec3d up = Vec3d(m_settings.upDirection).normalized();
    Vec3d a = up.cross(Vec3d(0, 0, 1));
    if (a.length() < 1e-9)
        a = up.cross(Vec3d(1, 0, 0));
    a = a.normalized();
    const Vec3d c = a.cross(up);
    const Vec3d origin = up * groundLevel();
    const double extent = 30.0 * modelRadius();
    const Color4f &sky = m_settings.backgroundColor;
    const float r = 0.55f + (sky.red - 0.55f) * 0.25f, g = 0.55f + (sky.green - 0.55f) * 0.25f,
                b = 0.52f + (sky.blue - 0.52f) * 0.25f;
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    glColor3f(r, g, b);
    glBegin(GL_QUADS);
    vertex(origin - a * extent - c * extent);
    vertex(origin + a * extent - c * extent);
    vertex(origin + a * extent + c * extent);
    vertex(origin - a * extent + c * extent);
    glEnd();
    glDisable(GL_POLYGON_OFFSET_FILL);
    const double spacing = std::pow(10.0, std::floor(std::log10(modelRadius())));
    const int lines = std::min(400, int(extent / spacing));
    glColor3f(r * 0.85f, g * 0.85f, b * 0.85f);
    glBegin(GL_LINES);
    for (int k = -lines; k <= lines; ++k) {
        const double d = k * spacing;
        vertex(origin + a * d - c * extent);
        vertex(origin + a * d + c * extent);
        vertex(origin + c * d - a * extent);
        vertex(origin + c * d + a * extent);
    }
    glEnd();
}

void ViewerScene::drawModel(bool projecting, const Vec3d &eye, const std::vector<int> &nodes)
{
    GLState &gl = *m_gl;
    const bool manyFaces = triangleCount() >= m_vertexVisibilityFaces;
    const int features = (m_settings.lighting ? Lighting : 0) | (projecting ? Projecting : 0) |
                         (m_geometry->pointCloud ? PointCloud : 0) |
                         (projecting && manyFaces ? VertexVisibility : 0);
    if (const GLuint program = gl.program(features)) {
        glUseProgram(program);
        const auto location = [&](const char *name) { return glGetUniformLocation(program, name); };
        glUniform1i(location("photo"), 0);
        glUniform1i(location("shotDepth"), 1);
        glUniform1f(location("reliability"), m_settings.projectionReliability);
        glUniform3f(location("eye"), float(eye.x), float(eye.y), float(eye.z));
        if (projecting) {
            float clip[16];
            gl.shotClip.toGL(clip);
            glUniformMatrix4fv(location("shotClip"), 1, GL_FALSE, clip);
            glUniform1f(location("shotNear"), float(gl.shotNear));
            glUniform1f(location("shotFar"), float(gl.shotFar));
            glUniform3f(location("shotEye"), float(gl.shotEye.x), float(gl.shotEye.y), float(gl.shotEye.z));
            glActiveTexture(GL_TEXTURE1);
            glBindTexture(GL_TEXTURE_2D, gl.depthMap.id);
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, gl.photo.id);
        }
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, gl.buffers[0]);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, gl.buffers[1]);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, gl.buffers[2]);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, nullptr);
    if (features & VertexVisibility) {
        glClientActiveTexture(GL_TEXTURE0);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, gl.buffers[4]);
        glTexCoordPointer(1, GL_FLOAT, 0, nullptr);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gl.buffers[3]);
    glPointSize(float(2.0 * m_pixelRatio));
    if (m_geometry->nodes.empty()) {
        if (gl.indexCount > 0)
            drawIndexRange(0, GLuint(gl.indexCount));
        else
            glDrawArrays(GL_POINTS, 0, gl.vertexCount);
    }
    for (int i : nodes) {
        const Geometry::Node &node = m_geometry->nodes[std::size_t(i)];
        if (m_geometry->pointCloud)
            glDrawArrays(GL_POINTS, GLint(node.firstVertex), GLsizei(node.vertexCount));
        else
            drawIndexRange(node.firstIndex, node.indexCount);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glPopClientAttrib();
    glUseProgram(0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// Outlines over everything, so they stay readable where they cut into the surface.
void ViewerScene::drawFramelets(const SceneView &view)
{
    const Vec3d centre = modelCentre();
    const Color4f &colour = m_settings.frameletColor;
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(colour.red, colour.green, colour.blue, colour.alpha);
    for (int shot = 0; shot < m_shots.size(); ++shot) {
        Vec3d corners[4];
        if (!frameletCorners(shot, corners))
            continue;
        const bool current = shot == m_current;
        // Seen from its own camera the current framelet would only frame the picture.
        if (current && (Vec3d(m_shots.at(shot).camera.center) - view.eye).length() < 1e-3 * modelRadius())
            continue;
        glLineWidth(float((current ? 3.0 : 1.5) * m_pixelRatio));
        glBegin(GL_LINE_LOOP);
        for (const Vec3d &corner : corners)
            vertex(corner - centre);
        glEnd();
    }
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

void ViewerScene::drawBar(int width, int height)
{
    const QRect bar = barRect(width, height);
    if (bar.isEmpty())
        return;
    GLState &gl = *m_gl;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, height, 0.0, -1.0, 1.0); // origin top-left, like the picking
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const auto rect = [](const QRectF &r) {
        glVertex2d(r.left(), r.top());
        glVertex2d(r.right(), r.top());
        glVertex2d(r.right(), r.bottom());
        glVertex2d(r.left(), r.bottom());
    };
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glBegin(GL_QUADS);
    rect(QRectF(bar));
    glEnd();
    glDisable(GL_BLEND);

    const QVector<BarCell> cells = barCells(width, height);
    for (const BarCell &cell : cells) {
        const QRectF r(cell.rect);
        if (r.right() < 0 || r.left() > width)
            continue;
        if (cell.breakBefore) {
            const double x = r.left() - 7.0 * m_pixelRatio;
            glColor3f(0.85f, 0.85f, 0.85f);
            glBegin(GL_QUADS);
            rect(QRectF(x - m_pixelRatio, r.top(), 2.0 * m_pixelRatio, r.height()));
            glEnd();
        }
        Texture *texture = nullptr;
        auto found = gl.thumbnails.find(cell.shot);
        if (found != gl.thumbnails.end()) {
            texture = found->second.get();
        } else if (!gl.thumbnailFailed[cell.shot]) {
            const ViewerShot &shot = m_shots.at(cell.shot);
            const QString path = shot.thumbnailPath.isEmpty() ? shot.photoPath : shot.thumbnailPath;
            const QImage image = glImage(path, cell.rect.width(), cell.rect.height());
            if (image.isNull()) {
                gl.thumbnailFailed[cell.shot] = true;
            } else {
                auto made = std::make_unique<Texture>();
                made->loadFromGLImage(image, false);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
                texture = made.get();
                gl.thumbnails[cell.shot] = std::move(made);
            }
        }
        if (texture) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, texture->id);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
            glBegin(GL_QUADS);
            glTexCoord2f(0.0f, 1.0f);
            glVertex2d(r.left(), r.top());
            glTexCoord2f(1.0f, 1.0f);
            glVertex2d(r.right(), r.top());
            glTexCoord2f(1.0f, 0.0f);
            glVertex2d(r.right(), r.bottom());
            glTexCoord2f(0.0f, 0.0f);
            glVertex2d(r.left(), r.bottom());
            glEnd();
            glBindTexture(GL_TEXTURE_2D, 0);
            glDisable(GL_TEXTURE_2D);
        } else {
            glColor3f(0.25f, 0.25f, 0.25f);
            glBegin(GL_QUADS);
            rect(r);
            glEnd();
        }
        if (cell.shot == m_current) {
            const double t = 3.0 * m_pixelRatio;
            glColor3f(1.0f, 0.85f, 0.1f);
            glBegin(GL_QUADS);
            rect(QRectF(r.left() - t, r.top() - t, r.width() + 2 * t, t));
            rect(QRectF(r.left() - t, r.bottom(), r.width() + 2 * t, t));
            rect(QRectF(r.left() - t, r.top(), t, r.height()));
            rect(QRectF(r.right(), r.top(), t, r.height()));
            glEnd();
        }
    }
}
