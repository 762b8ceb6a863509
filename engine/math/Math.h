#pragma once

// Shared math types: vectors, colours, time-keyed records and 4 x 4 matrices.
//
// All fields are 32-bit floats. Matrices use the row-vector convention: rows 0 to 2 are
// the local X, Y and Z axes, row 3 the translation, and a point p maps to p x M.

#include <cmath>

// Degrees to radians, as every angle of the engine and the FX runtime is converted.
inline constexpr float kDegreesToRadians = 0.017453292f;

struct Vector3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    constexpr Vector3() = default;
    constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    constexpr Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vector3 operator-() const { return {-x, -y, -z}; }
    constexpr Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr Vector3 operator/(float s) const { return {x / s, y / s, z / s}; }
    constexpr Vector3& operator+=(const Vector3& o) { return *this = *this + o; }
    constexpr Vector3& operator-=(const Vector3& o) { return *this = *this - o; }
    constexpr Vector3& operator*=(float s) { return *this = *this * s; }
    constexpr bool operator==(const Vector3&) const = default;

    constexpr float Dot(const Vector3& o) const { return x * o.x + y * o.y + z * o.z; }
    constexpr Vector3 Cross(const Vector3& o) const {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    float Length() const { return std::sqrt(Dot(*this)); }
    // The unit vector along this one; a zero vector gives fallback.
    Vector3 Normalised(const Vector3& fallback = {0.0f, 0.0f, 0.0f}) const {
        const float length = Length();
        return length > 0.0f ? *this / length : fallback;
    }
};

constexpr Vector3 operator*(float s, const Vector3& v) {
    return v * s;
}

// A colour with components meant to lie in 0.0 to 1.0.
struct Colour {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
    constexpr bool operator==(const Colour&) const = default;
};

// Keys of time-keyed arrays: a time in an effect's normalised life (0.0 birth, 1.0 end)
// followed by the value.
struct TimeFloat {
    float time = 0.0f;
    float value = 0.0f;
    constexpr bool operator==(const TimeFloat&) const = default;
};

struct TimeVector3 {
    float time = 0.0f;
    Vector3 value;
    constexpr bool operator==(const TimeVector3&) const = default;
};

struct TimeColour {
    float time = 0.0f;
    Colour value;
    constexpr bool operator==(const TimeColour&) const = default;
};

static_assert(sizeof(Vector3) == 12 && sizeof(Colour) == 16);
static_assert(sizeof(TimeFloat) == 8 && sizeof(TimeVector3) == 16 && sizeof(TimeColour) == 20);

struct Matrix4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static constexpr Matrix4 Identity() { return {}; }

    constexpr Vector3 Row(int row) const { return {m[row][0], m[row][1], m[row][2]}; }
    constexpr void SetRow(int row, const Vector3& v) {
        m[row][0] = v.x;
        m[row][1] = v.y;
        m[row][2] = v.z;
    }
    // The first three entries of a column; with a view matrix, columns 0 to 2 are the
    // camera's X, Y and Z axes in world space.
    constexpr Vector3 Column(int column) const {
        return {m[0][column], m[1][column], m[2][column]};
    }
    constexpr Vector3 Translation() const { return Row(3); }
    constexpr void SetTranslation(const Vector3& v) { SetRow(3, v); }

    // p x M with w = 1: rotation, scale and translation.
    constexpr Vector3 TransformPoint(const Vector3& p) const {
        return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
    }
    // v x M with w = 0: the upper-left 3 x 3 only.
    constexpr Vector3 TransformVector(const Vector3& v) const {
        return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0],
                v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
                v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
    }

    // this x o: applies this transform first, then o.
    constexpr Matrix4 operator*(const Matrix4& o) const {
        Matrix4 r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j] +
                            m[i][3] * o.m[3][j];
        return r;
    }
    constexpr bool operator==(const Matrix4&) const = default;

    // Rotations by an angle in radians about the X, Y and Z axes (row vectors: a point p
    // turns as p x R). Rows of RotationX: (1, 0, 0), (0, cos, -sin), (0, sin, cos); of
    // RotationY: (cos, 0, sin), (0, 1, 0), (-sin, 0, cos); of RotationZ: (cos, -sin, 0),
    // (sin, cos, 0), (0, 0, 1).
    static Matrix4 RotationX(float radians) {
        const float c = std::cos(radians);
        const float s = std::sin(radians);
        Matrix4 rotation;
        rotation.SetRow(1, {0.0f, c, -s});
        rotation.SetRow(2, {0.0f, s, c});
        return rotation;
    }
    static Matrix4 RotationY(float radians) {
        const float c = std::cos(radians);
        const float s = std::sin(radians);
        Matrix4 rotation;
        rotation.SetRow(0, {c, 0.0f, s});
        rotation.SetRow(2, {-s, 0.0f, c});
        return rotation;
    }
    static Matrix4 RotationZ(float radians) {
        const float c = std::cos(radians);
        const float s = std::sin(radians);
        Matrix4 rotation;
        rotation.SetRow(0, {c, -s, 0.0f});
        rotation.SetRow(1, {s, c, 0.0f});
        return rotation;
    }
    // A perspective projection (OpenGL's clip volume, row vectors): vertical field of
    // view in degrees, width over height, near and far distances.
    static Matrix4 Perspective(float fovYDegrees, float aspect, float nearDistance,
                               float farDistance) {
        const float f = 1.0f / std::tan(fovYDegrees * kDegreesToRadians * 0.5f);
        const float n = nearDistance, d = farDistance;
        return Matrix4{{{f / aspect, 0, 0, 0},
                        {0, f, 0, 0},
                        {0, 0, -(d + n) / (d - n), -1},
                        {0, 0, -2 * d * n / (d - n), 0}}};
    }
    // An orthographic projection mapping the box to the clip volume (row vectors).
    static constexpr Matrix4 Orthographic(float left, float right, float bottom, float top,
                                          float nearDistance, float farDistance) {
        return Matrix4{{{2 / (right - left), 0, 0, 0},
                        {0, 2 / (top - bottom), 0, 0},
                        {0, 0, -2 / (farDistance - nearDistance), 0},
                        {-(right + left) / (right - left), -(top + bottom) / (top - bottom),
                         -(farDistance + nearDistance) / (farDistance - nearDistance), 1}}};
    }

    // The inverse (by cofactors, for any matrix, not only rigid ones); a singular matrix
    // gives the identity.
    constexpr Matrix4 Inverse() const {
        // Determinants of the 2 x 2 minors of rows 0-1 (s) and rows 2-3 (c).
        const float s0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
        const float s1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
        const float s2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
        const float s3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
        const float s4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
        const float s5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
        const float c5 = m[2][2] * m[3][3] - m[3][2] * m[2][3];
        const float c4 = m[2][1] * m[3][3] - m[3][1] * m[2][3];
        const float c3 = m[2][1] * m[3][2] - m[3][1] * m[2][2];
        const float c2 = m[2][0] * m[3][3] - m[3][0] * m[2][3];
        const float c1 = m[2][0] * m[3][2] - m[3][0] * m[2][2];
        const float c0 = m[2][0] * m[3][1] - m[3][0] * m[2][1];
        const float determinant = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
        if (determinant == 0.0f)
            return {};
        const float k = 1.0f / determinant;
        Matrix4 r;
        r.m[0][0] = (m[1][1] * c5 - m[1][2] * c4 + m[1][3] * c3) * k;
        r.m[0][1] = (-m[0][1] * c5 + m[0][2] * c4 - m[0][3] * c3) * k;
        r.m[0][2] = (m[3][1] * s5 - m[3][2] * s4 + m[3][3] * s3) * k;
        r.m[0][3] = (-m[2][1] * s5 + m[2][2] * s4 - m[2][3] * s3) * k;
        r.m[1][0] = (-m[1][0] * c5 + m[1][2] * c2 - m[1][3] * c1) * k;
        r.m[1][1] = (m[0][0] * c5 - m[0][2] * c2 + m[0][3] * c1) * k;
        r.m[1][2] = (-m[3][0] * s5 + m[3][2] * s2 - m[3][3] * s1) * k;
        r.m[1][3] = (m[2][0] * s5 - m[2][2] * s2 + m[2][3] * s1) * k;
        r.m[2][0] = (m[1][0] * c4 - m[1][1] * c2 + m[1][3] * c0) * k;
        r.m[2][1] = (-m[0][0] * c4 + m[0][1] * c2 - m[0][3] * c0) * k;
        r.m[2][2] = (m[3][0] * s4 - m[3][1] * s2 + m[3][3] * s0) * k;
        r.m[2][3] = (-m[2][0] * s4 + m[2][1] * s2 - m[2][3] * s0) * k;
        r.m[3][0] = (-m[1][0] * c3 + m[1][1] * c1 - m[1][2] * c0) * k;
        r.m[3][1] = (m[0][0] * c3 - m[0][1] * c1 + m[0][2] * c0) * k;
        r.m[3][2] = (-m[3][0] * s3 + m[3][1] * s1 - m[3][2] * s0) * k;
        r.m[3][3] = (m[2][0] * s3 - m[2][1] * s1 + m[2][2] * s0) * k;
        return r;
    }
};

// A Matrix4 whose fourth column is (0, 0, 0, 1), kept as its other twelve entries: the
// placement of an object by rotation, scale and translation. The entries it keeps, and the
// results of its operations, are those of the Matrix4 it stands for.
struct AffineMatrix {
    float m[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};

    constexpr AffineMatrix() = default;
    // The matrix's first three columns; its fourth is taken to be (0, 0, 0, 1).
    explicit constexpr AffineMatrix(const Matrix4& matrix) {
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 3; ++column)
                m[row][column] = matrix.m[row][column];
    }
    constexpr Matrix4 ToMatrix4() const {
        Matrix4 matrix;
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 3; ++column)
                matrix.m[row][column] = m[row][column];
        return matrix;
    }

    constexpr Vector3 Row(int row) const { return {m[row][0], m[row][1], m[row][2]}; }
    constexpr Vector3 Translation() const { return Row(3); }
    // p x M with w = 1, as Matrix4::TransformPoint.
    constexpr Vector3 TransformPoint(const Vector3& p) const {
        return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
    }
    constexpr bool operator==(const AffineMatrix&) const = default;
};
