#include "widgets/Vector3Editor.h"

#include "editor/widgets/KeyframeTestSupport.h"
#include "widgets/FloatField.h"
#include "widgets/KeyframeBar.h"
#include "widgets/TimeVector3Dlg.h"

using namespace keyframe_test;

namespace {

class Vector3EditorTest : public KeyframeTest {
protected:
    Vector3EditorTest() { Open(editor, {720, 180}, keys); }

    KeyframeBar* Bar() { return editor.Bar(); }
    TimeVector3Dlg* Panel() { return editor.Panel(); }
    QPoint BarAt(float time) { return {Bar()->TimeToX(time), 8}; }

    VectorLink keys{{0.0f, {0.0f, 0.0f, 0.0f}}, {0.4f, {4.0f, -8.0f, 2.0f}}, {1.0f, {1, 1, 1}}};
    Vector3Editor editor{nullptr};
};

TEST_F(Vector3EditorTest, ClickingBetweenKeysInsertsTheVectorOnTheLineBetweenThem) {
    Click(Bar(), BarAt(0.2f));
    ASSERT_EQ(keys.Count(), 4);
    EXPECT_EQ(Bar()->Selected(), 1);
    const float f = keys.Time(1) / 0.4f;
    const Vector3 inserted = keys.Value(1);
    EXPECT_FLOAT_EQ(inserted.x, 4.0f * f);
    EXPECT_FLOAT_EQ(inserted.y, -8.0f * f);
    EXPECT_FLOAT_EQ(inserted.z, 2.0f * f);
    EXPECT_EQ(Panel()->XField()->text(), FloatField::Format(inserted.x));
    EXPECT_TRUE(Panel()->FieldsEnabled());

    Click(Bar(), QPoint(Bar()->width() - 2, 8)); // after the last key
    EXPECT_EQ(keys.Count(), 4);
}

TEST_F(Vector3EditorTest, ADraggedKeyStopsFourPixelsBeforeItsNeighbourAndShowsItsTime) {
    Drag(Bar(), BarAt(0.4f), QPoint(-30, 8), 20);
    const float gap = 4.0f / static_cast<float>(Bar()->width());
    EXPECT_FLOAT_EQ(keys.Time(1), gap);
    EXPECT_EQ(Panel()->TimeField()->text(), FloatField::Format(gap));
    EXPECT_EQ(keys.Gestures(), 1);
}

TEST_F(Vector3EditorTest, RightClickDeletesAnInteriorKeyAndSelectsTheFirst) {
    Click(Bar(), BarAt(0.4f));
    Click(Bar(), BarAt(1.0f), Qt::RightButton);
    EXPECT_EQ(keys.Count(), 3);
    Click(Bar(), BarAt(0.4f), Qt::RightButton);
    EXPECT_EQ(keys.Count(), 2);
    EXPECT_EQ(Bar()->Selected(), 0);
    EXPECT_EQ(Panel()->XField()->text(), QStringLiteral("0"));
}

TEST_F(Vector3EditorTest, TypingSetsTheVectorAndNeverTheTime) {
    Click(Bar(), BarAt(0.4f));
    Type(Panel()->YField(), QStringLiteral("-2.5"));
    EXPECT_EQ(keys.Value(1), (Vector3{4.0f, -2.5f, 2.0f}));
    EXPECT_EQ(keys.Gestures(), 1);
    EXPECT_EQ(keys.labels, std::vector<QString>{QStringLiteral("Edit Vector")});

    // Text that is not a number changes nothing and is put right when the field is left.
    Type(Panel()->ZField(), QStringLiteral("abc"), false);
    Panel()->XField()->setFocus();
    EXPECT_EQ(keys.Value(1).z, 2.0f);
    EXPECT_EQ(Panel()->ZField()->text(), QStringLiteral("2"));

    Type(Panel()->TimeField(), QStringLiteral("0.9"));
    EXPECT_EQ(keys.Time(1), 0.4f);
}

TEST_F(Vector3EditorTest, KeysReplacedFromOutsideShowAtOnce) {
    Click(Bar(), BarAt(1.0f));
    ASSERT_EQ(Bar()->Selected(), 2);
    keys.Reload(std::vector<TimeVector3>{{0.0f, {7.0f, 8.0f, 9.0f}}, {1.0f, {1, 1, 1}}});
    EXPECT_EQ(Bar()->Selected(), 0);
    EXPECT_EQ(Panel()->XField()->text(), QStringLiteral("7"));
    editor.SetKeys(nullptr);
    EXPECT_FALSE(Panel()->FieldsEnabled());
    Click(Bar(), BarAt(0.5f)); // no keys: nothing happens
}

} // namespace
