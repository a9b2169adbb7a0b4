// The views of the viewer preview: from a camera, from a shot with the up direction vertical,
// between two views, and the user's orbit and zoom.

#include "viewerscene.h"

#include <algorithm>
#include <cmath>

namespace
{

// Unit quaternion (w, x, y, z) of a rotation matrix's upper 3 x 3.
void toQuaternion(const Mat4d &r, double q[4])
{
    const double trace = r.m[0][0] + r.m[1][1] + r.m[2][2];
    if (trace > 0.0) {
        const double s = 0.5 / std::sqrt(trace + 1.0);
        q[0] = 0.25 / s;
        q[1] = (r.m[2][1] - r.m[1][2]) * s;
        q[2] = (r.m[0][2] - r.m[2][0]) * s;
        q[3] = (r.m[1][0] - r.m[0][1]) * s;
    } else if (r.m[0][0] > r.m[1][1] && r.m[0][0] > r.m[2][2]) {
        const double s = 2.0 * std::sqrt(1.0 + r.m[0][0] - r.m[1][1] - r.m[2][2]);
        q[0] = (r.m[2][1] - r.m[1][2]) / s;
        q[1] = 0.25 * s;
        q[2] = (r.m[0][1] + r.m[1][0]) / s;
        q[3] = (r.m[0][2] + r.m[2][0]) / s;
    } else if (r.m[1][1] > r.m[2][2]) {
        const double s = 2.0 * std::sqrt(1.0 + r.m[1][1] - r.m[0][0] - r.m[2][2]);
        q[0] = (r.m[0][2] - r.m[2][0]) / s;
        q[1] = (r.m[0][1] + r.m[1][0]) / s;
        q[2] = 0.25 * s;
        q[3] = (r.m[1][2] + r.m[2][1]) / s;
    } else {
        const double s = 2.0 * std::sqrt(1.0 + r.m[2][2] - r.m[0][0] - r.m[1][1]);
        q[0] = (r.m[1][0] - r.m[0][1]) / s;
        q[1] = (r.m[0][2] + r.m[2][0]) / s;
        q[2] = (r.m[1][2] + r.m[2][1]) / s;
        q[3] = 0.25 * s;
    }
}

Mat4d fromQuaternion(const double q[4])
{
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    Mat4d r;
    r.m[0][0] = 1 - 2 * (y * y + z * z);
    r.m[0][1] = 2 * (x * y - z * w);
    r.m[0][2] = 2 * (x * z + y * w);
    r.m[1][0] = 2 * (x * y + z * w);
    r.m[1][1] = 1 - 2 * (x * x + z * z);
    r.m[1][2] = 2 * (y * z - x * w);
    r.m[2][0] = 2 * (x * z - y * w);
    r.m[2][1] = 2 * (y * z + x * w);
    r.m[2][2] = 1 - 2 * (x * x + y * y);
    return r;
}

double cameraTanHalfHeight(const Camera &camera)
{
    const double f = camera.focalMm;
    const double half = 0.5 * camera.viewportPx[1] * double(camera.pixelSizeMm[1]);
    return f > 0.0 && half > 0.0 ? half / f : 0.57735026918962573;
}

} // namespace

SceneView SceneView::fromCamera(const Camera &camera)
{
    SceneView view;
    view.eye = Vec3d(camera.center);
    view.rotation = Mat4d::fromFloat(camera.rotation);
    for (int k = 0; k < 3; ++k)
        view.rotation.m[k][3] = view.rotation.m[3][k] = 0.0;
    view.rotation.m[3][3] = 1.0;
    view.tanHalfHeight = cameraTanHalfHeight(camera);
    const double f = camera.focalMm;
    if (f > 0.0) {
        // The frustum of the depth renderer: left -(W - cx) sx, right cx sx, bottom -cy sy, top (H - cy) sy.
        const double w = camera.viewportPx[0], h = camera.viewportPx[1];
        view.shiftX = (2.0 * camera.centerPx[0] - w) * camera.pixelSizeMm[0] / (2.0 * f);
        view.shiftY = (h - 2.0 * camera.centerPx[1]) * camera.pixelSizeMm[1] / (2.0 * f);
    }
    return view;
}

SceneView SceneView::fromShot(const Camera &camera, const ksr::Point3f &upDirection)
{
    SceneView view;
    view.eye = Vec3d(camera.center);
    view.tanHalfHeight = cameraTanHalfHeight(camera);
    const Vec3d up = Vec3d(upDirection).normalized();
    const Vec3d back = Vec3d(camera.rotation.row(2)).normalized();
    Vec3d right = up.cross(back);
    // Looking straight up or down: keep the camera's own right axis.
    if (right.length() < 1e-9)
        right = Vec3d(camera.rotation.row(0));
    right = right.normalized();
    const Vec3d trueUp = back.cross(right).normalized();
    const Vec3d rows[3] = {right, trueUp, back};
    for (int r = 0; r < 3; ++r) {
        view.rotation.m[r][0] = rows[r].x;
        view.rotation.m[r][1] = rows[r].y;
        view.rotation.m[r][2] = rows[r].z;
    }
    return view;
}

SceneView SceneView::interpolate(const SceneView &a, const SceneView &b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    SceneView view = b;
    view.eye = a.eye + (b.eye - a.eye) * t;
    view.tanHalfHeight = a.tanHalfHeight + (b.tanHalfHeight - a.tanHalfHeight) * t;
    view.shiftX = a.shiftX + (b.shiftX - a.shiftX) * t;
    view.shiftY = a.shiftY + (b.shiftY - a.shiftY) * t;
    double qa[4], qb[4];
    toQuaternion(a.rotation, qa);
    toQuaternion(b.rotation, qb);
    double cosine = qa[0] * qb[0] + qa[1] * qb[1] + qa[2] * qb[2] + qa[3] * qb[3];
    if (cosine < 0.0) { // the shorter way round
        for (double &v : qb)
            v = -v;
        cosine = -cosine;
    }
    double wa = 1.0 - t, wb = t;
    if (cosine < 0.9995) {
        const double angle = std::acos(cosine);
        wa = std::sin((1.0 - t) * angle) / std::sin(angle);
        wb = std::sin(t * angle) / std::sin(angle);
    }
    double q[4], norm = 0.0;
    for (int k = 0; k < 4; ++k) {
        q[k] = wa * qa[k] + wb * qb[k];
        norm += q[k] * q[k];
    }
    norm = std::sqrt(norm);
    for (double &v : q)
        v /= norm;
    view.rotation = fromQuaternion(q);
    return view;
}

void SceneView::orbit(const Vec3d &pivot, const Vec3d &up, double yawRadians, double pitchRadians)
{
    // A world rotation Q moves the eye to pivot + Q (eye - pivot) and turns the view with it: R Q^T.
    const Mat4d yaw = Mat4d::rotation(up, yawRadians);
    eye = pivot + yaw.rotate(eye - pivot);
    rotation = rotation * yaw.transposed();
    const Mat4d pitch = Mat4d::rotation(rotation.row(0), pitchRadians);
    const Vec3d turned = pivot + pitch.rotate(eye - pivot);
    const Mat4d turnedRotation = rotation * pitch.transposed();
    // Never over the top: the view's up axis keeps pointing upwards.
    if (turnedRotation.row(1).dot(up.normalized()) > 0.02) {
        eye = turned;
        rotation = turnedRotation;
    }
}

void SceneView::zoom(const Vec3d &pivot, double factor)
{
    eye = pivot + (eye - pivot) * std::clamp(factor, 0.01, 100.0);
}
