#pragma once
// Small value types shared by every part that handles geometry.
// Point3f: three floats. Point3d: three doubles, for absolute coordinates (camera centres, a mesh's
// origin) that floats would round. Matrix44f: 4 x 4 floats, row-major, element m[row][column].

#include <cmath>

namespace ksr {

struct Point3f {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    constexpr Point3f() = default;
    constexpr Point3f(float px, float py, float pz) : x(px), y(py), z(pz) {}

    float &operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    Point3f operator+(const Point3f &o) const { return {x + o.x, y + o.y, z + o.z}; }
    Point3f operator-(const Point3f &o) const { return {x - o.x, y - o.y, z - o.z}; }
    Point3f operator-() const { return {-x, -y, -z}; }
    Point3f operator*(float s) const { return {x * s, y * s, z * s}; }
    Point3f operator/(float s) const { return {x / s, y / s, z / s}; }
    Point3f &operator+=(const Point3f &o) { x += o.x; y += o.y; z += o.z; return *this; }
    Point3f &operator-=(const Point3f &o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    Point3f &operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    bool operator==(const Point3f &o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const Point3f &o) const { return !(*this == o); }

    float dot(const Point3f &o) const { return x * o.x + y * o.y + z * o.z; }
    Point3f cross(const Point3f &o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    float squaredLength() const { return x * x + y * y + z * z; }
    float length() const { return std::sqrt(squaredLength()); }
    // Unit vector in the same direction; a zero vector stays zero.
    Point3f normalized() const
    {
        const float len = length();
        return len > 0.0f ? *this / len : *this;
    }
    Point3f &normalize() { return *this = normalized(); }
};

inline Point3f operator*(float s, const Point3f &p) { return p * s; }
inline float dot(const Point3f &a, const Point3f &b) { return a.dot(b); }
inline Point3f cross(const Point3f &a, const Point3f &b) { return a.cross(b); }

// Absolute coordinates: a float's step is already 0.5 at 4,500,000. Widens from Point3f implicitly;
// narrowing back is explicit (toFloat), where the caller knows the value is small.
struct Point3d {
    double x = 0.0, y = 0.0, z = 0.0;

    constexpr Point3d() = default;
    constexpr Point3d(double px, double py, double pz) : x(px), y(py), z(pz) {}
    constexpr Point3d(const Point3f &p) : x(p.x), y(p.y), z(p.z) {}

    double &operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    Point3d operator+(const Point3d &o) const { return {x + o.x, y + o.y, z + o.z}; }
    Point3d operator-(const Point3d &o) const { return {x - o.x, y - o.y, z - o.z}; }
    Point3d operator-() const { return {-x, -y, -z}; }
    Point3d operator*(double s) const { return {x * s, y * s, z * s}; }
    bool operator==(const Point3d &o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const Point3d &o) const { return !(*this == o); }
    double length() const { return std::sqrt(x * x + y * y + z * z); }
    bool isZero() const { return x == 0.0 && y == 0.0 && z == 0.0; }
    Point3f toFloat() const { return {float(x), float(y), float(z)}; }
};

struct Matrix44f {
    float m[4][4];

    // A new matrix is the identity.
    Matrix44f() { setIdentity(); }

    static Matrix44f identity() { return Matrix44f(); }
    static Matrix44f zero()
    {
        Matrix44f r;
        for (auto &row : r.m)
            for (float &v : row)
                v = 0.0f;
        return r;
    }
    // Translation by t: identity whose last column holds t.
    static Matrix44f translation(const Point3f &t)
    {
        Matrix44f r;
        r.m[0][3] = t.x;
        r.m[1][3] = t.y;
        r.m[2][3] = t.z;
        return r;
    }
    // From 16 values in row-major order.
    static Matrix44f fromRowMajor(const float *v)
    {
        Matrix44f r;
        for (int i = 0; i < 16; ++i)
            r.m[i / 4][i % 4] = v[i];
        return r;
    }
    // From 16 values in OpenGL's column-major order.
    static Matrix44f fromColumnMajor(const float *v) { return fromRowMajor(v).transposed(); }

    void setIdentity()
    {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                m[r][c] = (r == c) ? 1.0f : 0.0f;
    }
    bool isIdentity() const { return *this == Matrix44f(); }

    float *operator[](int row) { return m[row]; }
    const float *operator[](int row) const { return m[row]; }
    float &element(int row, int column) { return m[row][column]; }
    float element(int row, int column) const { return m[row][column]; }
    // Row-major storage: 16 contiguous floats, row 0 first.
    float *data() { return &m[0][0]; }
    const float *data() const { return &m[0][0]; }

    Point3f row(int r) const { return {m[r][0], m[r][1], m[r][2]}; }
    Point3f column(int c) const { return {m[0][c], m[1][c], m[2][c]}; }
    void setColumn(int c, const Point3f &p) { m[0][c] = p.x; m[1][c] = p.y; m[2][c] = p.z; }
    void setRow(int r, const Point3f &p) { m[r][0] = p.x; m[r][1] = p.y; m[r][2] = p.z; }

    Matrix44f transposed() const
    {
        Matrix44f r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.m[i][j] = m[j][i];
        return r;
    }
    // Column-major copy for OpenGL (glLoadMatrixf / glMultMatrixf).
    void toColumnMajor(float *out) const
    {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                out[c * 4 + r] = m[r][c];
    }

    Matrix44f operator*(const Matrix44f &o) const
    {
        Matrix44f r = zero();
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                float s = 0.0f;
                for (int k = 0; k < 4; ++k)
                    s += m[i][k] * o.m[k][j];
                r.m[i][j] = s;
            }
        return r;
    }
    Matrix44f operator*(float s) const
    {
        Matrix44f r = *this;
        for (auto &row : r.m)
            for (float &v : row)
                v *= s;
        return r;
    }
    // The 4 x 4 product with (p, 1), divided by the fourth component when that is not 0.
    Point3f operator*(const Point3f &p) const
    {
        float out[4];
        for (int i = 0; i < 4; ++i)
            out[i] = m[i][0] * p.x + m[i][1] * p.y + m[i][2] * p.z + m[i][3];
        if (out[3] != 0.0f)
            return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
        return {out[0], out[1], out[2]};
    }
    // Upper 3 x 3 part applied to a direction (no translation, no division).
    Point3f rotate(const Point3f &d) const
    {
        return {m[0][0] * d.x + m[0][1] * d.y + m[0][2] * d.z, m[1][0] * d.x + m[1][1] * d.y + m[1][2] * d.z,
                m[2][0] * d.x + m[2][1] * d.y + m[2][2] * d.z};
    }

    bool operator==(const Matrix44f &o) const
    {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                if (m[i][j] != o.m[i][j])
                    return false;
        return true;
    }
    bool operator!=(const Matrix44f &o) const { return !(*this == o); }
};

} // namespace ksr
