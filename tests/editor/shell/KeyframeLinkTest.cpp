#include "editor/widgets/KeyframeTestSupport.h"

#include <QSignalSpy>

using keyframe_test::ColourLink;
using keyframe_test::FloatLink;
using keyframe_test::VectorLink;

namespace {

TEST(KeyframeLink, InsertsAfterEqualTimesAndIgnoresIndicesOutOfRange) {
    FloatLink link({{0.0f, 1.0f}, {0.5f, 2.0f}, {1.0f, 3.0f}});
    EXPECT_EQ(link.Insert(0.5f, 9.0f), 2); // after the key of equal time
    EXPECT_EQ(link.Insert(-1.0f, 8.0f), 0);
    EXPECT_EQ(link.changes, 2);
    link.Set(7, 0.1f, 0.1f);
    link.Erase(-1);
    link.EraseSet({9, -3});
    EXPECT_EQ(link.changes, 2);
    EXPECT_EQ(link.Count(), 5);
    EXPECT_EQ(link.Time(42), 0.0f);

    // Erasing a set is one change, whatever the order and repetitions.
    link.EraseSet({3, 0, 3, 17});
    EXPECT_EQ(link.changes, 3);
    const std::vector<TimeFloat> left{{0.0f, 1.0f}, {0.5f, 2.0f}, {1.0f, 3.0f}};
    EXPECT_EQ(link.Keys(), left);
}

TEST(KeyframeLink, InsertsOnTheLineBetweenNeighboursOnlyInsideTheKeys) {
    ColourLink colour({{0.0f, {1.0f, 0.0f, 0.0f, 1.0f}}, {1.0f, {0.0f, 0.0f, 1.0f, 0.0f}}});
    EXPECT_EQ(colour.InsertInterpolated(0.25f), 1);
    const Colour blended = colour.Value(1);
    EXPECT_FLOAT_EQ(blended.r, 0.75f);
    EXPECT_FLOAT_EQ(blended.b, 0.25f);
    EXPECT_FLOAT_EQ(blended.a, 0.75f);
    EXPECT_EQ(colour.InsertInterpolated(-0.01f), -1);
    EXPECT_EQ(colour.InsertInterpolated(1.0f), -1);
    EXPECT_EQ(colour.Count(), 3);

    VectorLink one({{0.0f, {1.0f, 2.0f, 3.0f}}});
    EXPECT_EQ(one.InsertInterpolated(0.5f), -1);
    EXPECT_EQ(one.changes, 0);
}

TEST(KeyframeLink, GestureHooksPairUpAroundChangesOnly) {
    FloatLink link({{0.0f, 1.0f}, {1.0f, 2.0f}});
    link.OpenGesture(QStringLiteral("Select"));
    link.CloseGesture(); // nothing changed: no hooks
    EXPECT_EQ(link.begun, 0);

    link.OpenGesture(QStringLiteral("Move Key"));
    EXPECT_EQ(link.begun, 0); // only right before the first change
    for (int i = 0; i < 5; ++i)
        link.SetValue(1, static_cast<float>(i));
    link.OpenGesture(QStringLiteral("Insert Key")); // closes the first
    link.Insert(0.5f, 1.0f);
    link.CloseGesture();
    link.CloseGesture();
    link.SetValue(0, 4.0f); // outside any gesture: no hooks

    EXPECT_EQ(link.Gestures(), 2);
    EXPECT_EQ(link.labels,
              (std::vector<QString>{QStringLiteral("Move Key"), QStringLiteral("Insert Key")}));
    EXPECT_EQ(link.changes, 7);
    EXPECT_EQ(link.changesOutsideGestures, 1);
}

TEST(KeyframeLink, ReloadTakesKeysQuietlyAndSignalsOnlyARealReplacement) {
    FloatLink link({{0.0f, 1.0f}, {1.0f, 2.0f}});
    QSignalSpy replaced(&link, &KeyframeLinkBase::KeysReplaced);

    FXVariable value;
    link.StoreInto(value);
    EXPECT_TRUE(link.ReloadFrom(value)); // the same keys: nothing happens
    EXPECT_EQ(replaced.count(), 0);

    const std::vector<TimeFloat> other{{0.0f, 5.0f}, {0.5f, 6.0f}, {1.0f, 7.0f}};
    value.SetArrayTimeFloat(other);
    EXPECT_TRUE(link.ReloadFrom(value));
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(link.Keys(), other);
    EXPECT_EQ(link.changes, 0); // a reload is not an edit

    value.SetFloat(1.0f);
    EXPECT_FALSE(link.ReloadFrom(value));
    EXPECT_EQ(link.Count(), 0);
    EXPECT_EQ(replaced.count(), 2);
}

} // namespace
