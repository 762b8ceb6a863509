#include "math/Math.h"

#include <gtest/gtest.h>

namespace {

TEST(Matrix4, InverseUndoesGeneralMatricesAndSingularOnesGiveTheIdentity) {
    // Rotation, non-uniform scale, shear, translation and a projective column.
    Matrix4 m{{{0.0f, 2.0f, 0.5f, 0.0f},
               {-3.0f, 0.1f, 0.0f, 0.2f},
               {0.0f, 1.0f, 4.0f, 0.0f},
               {7.0f, -8.0f, 9.0f, 1.0f}}};
    const Matrix4 product = m * m.Inverse();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(product.m[i][j], i == j ? 1.0f : 0.0f, 1e-5f) << i << "," << j;
    m.SetRow(2, {0.0f, 0.0f, 0.0f});
    m.m[2][3] = 0.0f;
    EXPECT_EQ(m.Inverse(), Matrix4::Identity());
}

} // namespace
