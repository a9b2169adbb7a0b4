#pragma once
// Double-precision vectors and matrices for the viewer preview. Views are built in double and only
// the products relative to the model's centre go to GL in float, so that models with large
// coordinates (georeferenced scenes) still draw without jitter. Matrices are row-major.

#include <ksr/geometry.h>

#include <cmath>

struct Vec3d {
    double x = 0.0, y = 0.0, z = 0.0;

    Vec3d() = default;
    Vec3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    explicit Vec3d(const ksr::Point3f &p) : x(p.x), y(p.y), z(p.z) {}
    explicit Vec3d(const ksr::Point3d &p) : x(p.x), y(p.y), z(p.z) {}

    Vec3d operator+(const Vec3d &o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3d operator-(const Vec3d &o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3d operator-() const { return {-x, -y, -z}; }
    Vec3d operator*(double s) const { return {x * s, y * s, z * s}; }
    double dot(const Vec3d &o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3d cross(const Vec3d &o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    double length() const { return std::sqrt(dot(*this)); }
    // A zero vector stays zero.
    Vec3d normalized() const
    {
        const double len = length();
        return len > 0.0 ? *this * (1.0 / len) : *this;
    }
    ksr::Point3f toFloat() const { return {float(x), float(y), float(z)}; }
};

struct Mat4d {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static Mat4d fromFloat(const ksr::Matrix44f &f)
    {
        Mat4d r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.m[i][j] = f.m[i][j];
        return r;
    }
    static Mat4d translation(const Vec3d &t)
    {
        Mat4d r;
        r.m[0][3] = t.x;
        r.m[1][3] = t.y;
        r.m[2][3] = t.z;
        return r;
    }
    // Rotation by `radians` about the unit axis (right-handed).
    static Mat4d rotation(const Vec3d &axis, double radians)
    {
        const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
        const Vec3d a = axis.normalized();
        Mat4d r;
        r.m[0][0] = t * a.x * a.x + c;
        r.m[0][1] = t * a.x * a.y - s * a.z;
        r.m[0][2] = t * a.x * a.z + s * a.y;
        r.m[1][0] = t * a.x * a.y + s * a.z;
        r.m[1][1] = t * a.y * a.y + c;
        r.m[1][2] = t * a.y * a.z - s * a.x;
        r.m[2][0] = t * a.x * a.z - s * a.y;
        r.m[2][1] = t * a.y * a.z + s * a.x;
        r.m[2][2] = t * a.z * a.z + c;
        return r;
    }
    // glFrustum's matrix.
    static Mat4d frustum(double left, double right, double bottom, double top, double nearPlane,
                         double farPlane)
    {
        Mat4d r;
        r.m[0][0] = 2.0 * nearPlane / (right - left);
        r.m[0][2] = (right + left) / (right - left);
        r.m[1][1] = 2.0 * nearPlane / (top - bottom);
        r.m[1][2] = (top + bottom) / (top - bottom);
        r.m[2][2] = -(farPlane + nearPlane) / (farPlane - nearPlane);
        r.m[2][3] = -2.0 * farPlane * nearPlane / (farPlane - nearPlane);
        r.m[3][2] = -1.0;
        r.m[3][3] = 0.0;
        return r;
    }

    Mat4d operator*(const Mat4d &o) const
    {
        Mat4d r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                double s = 0.0;
                for (int k = 0; k < 4; ++k)
                    s += m[i][k] * o.m[k][j];
                r.m[i][j] = s;
            }
        return r;
    }
    Mat4d transposed() const
    {
        Mat4d r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.m[i][j] = m[j][i];
        return r;
    }
    // (p, 1) transformed, without the division.
    void apply(const Vec3d &p, double out[4]) const
    {
        for (int i = 0; i < 4; ++i)
            out[i] = m[i][0] * p.x + m[i][1] * p.y + m[i][2] * p.z + m[i][3];
    }
    Vec3d transformPoint(const Vec3d &p) const
    {
        double o[4];
        apply(p, o);
        return {o[0], o[1], o[2]};
    }
    Vec3d rotate(const Vec3d &d) const
    {
        return {m[0][0] * d.x + m[0][1] * d.y + m[0][2] * d.z, m[1][0] * d.x + m[1][1] * d.y + m[1][2] * d.z,
                m[2][0] * d.x + m[2][1] * d.y + m[2][2] * d.z};
    }
    Vec3d row(int r) const { return {m[r][0], m[r][1], m[r][2]}; }
    // Column-major floats for glLoadMatrixf and uniforms.
    void toGL(float out[16]) const
    {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                out[c * 4 + r] = float(m[r][c]);
    }
};
