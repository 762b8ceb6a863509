#include "pool/MemPoolSmall.h"

#include <gtest/gtest.h>

namespace {

struct Base {
    explicit Base(int* destroyed_) : destroyed(destroyed_) {}
    virtual ~Base() { ++*destroyed; }
    int* destroyed;
};

struct Derived : Base {
    Derived(int* destroyed_, double value_) : Base(destroyed_), value(value_) {}
    double value;
    char padding[24] = {};
};

TEST(MemPoolSmall, ConstructsDestroysAndCountsObjectsOfSeveralClasses) {
    MemPoolSmall pool("FXDynamics", sizeof(Derived));
    int destroyed = 0;
    Base* base = pool.New<Base>(&destroyed);
    Base* derived = pool.New<Derived>(&destroyed, 2.5);
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(static_cast<Derived*>(derived)->value, 2.5);
    EXPECT_EQ(pool.LiveObjects(), 2u);

    pool.Delete(derived); // through the base: the virtual destructor runs
    EXPECT_EQ(destroyed, 1);
    // The freed slot is reused, even by a smaller object.
    EXPECT_EQ(pool.Allocate(sizeof(int)), static_cast<void*>(derived));
    pool.Free(derived);
    pool.Delete(base);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(pool.LiveObjects(), 0u);
}

TEST(MemPoolSmallDeathTest, AnObjectLargerThanThePoolServesIsFatal) {
    MemPoolSmall pool("FXChildren", 16);
    EXPECT_DEATH(pool.Allocate(17), "MemPoolSmall 'FXChildren': 17 bytes asked, objects hold 16");
}

} // namespace
