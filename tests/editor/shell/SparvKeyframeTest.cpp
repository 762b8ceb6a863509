// The keyframe editors in the editor: selecting a time-keyed property shows its editor
// bound to the property; a gesture is one undo step; undo shows in the open editor.

#include "editor/shell/ShellTestSupport.h"
#include "editor/widgets/KeyframeTestSupport.h"
#include "shell/SparvKeyframeEditors.h"
#include "widgets/ColourEditor.h"
#include "widgets/TimeValueEditor.h"
#include "widgets/TimeValueView.h"
#include "widgets/TimeValueWnd.h"
#include "widgets/Vector3Editor.h"

#include <QTreeWidget>

using shell_test::ShellTest;

namespace {

class SparvKeyframeTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (IsSkipped())
            return;
        PointerWarp::SetAvailable(false);
        OpenSpark();
    }
    void TearDown() override {
        PointerWarp::Reset();
        ShellTest::TearDown();
    }
    void Select(const QString& label) {
        ASSERT_TRUE(View().TypeTree()->SelectLabelPath(label)) << label.toStdString();
    }
    std::vector<TimeFloat> PropertyKeys(const char* name) {
        FXVariable value;
        EXPECT_TRUE(Doc().PropertyValue(0, name, value));
        return {value.TimeFloats().begin(), value.TimeFloats().end()};
    }
    std::vector<TimeFloat> LinkKeys() { return View().FloatLink().Keys(); }
    TimeValueWnd* Curve() { return View().KeyframeEditors()->TimeValue()->CurveWindow(); }
};

TEST_F(SparvKeyframeTest, EachTimeKeyedKindShowsItsEditorBoundToTheProperty) {
    SparvKeyframeEditors& host = *View().KeyframeEditors();
    Select(QStringLiteral("Radius"));
    EXPECT_TRUE(host.TimeValue()->isVisible());
    EXPECT_EQ(LinkKeys(), PropertyKeys("Radius"));
    EXPECT_EQ(View().PropertyPanel()->Shown(), nullptr);

    Select(QStringLiteral("Colour"));
    EXPECT_FALSE(host.TimeValue()->isVisible());
    EXPECT_TRUE(host.ColourKeys()->isVisible());
    EXPECT_TRUE(View().ColourLink().IsBoundTo(0, "Colour"));
    EXPECT_GE(View().ColourLink().Count(), 2);

    Select(QStringLiteral("Offset"));
    EXPECT_TRUE(host.VectorKeys()->isVisible());
    EXPECT_TRUE(View().Vector3Link().IsBoundTo(0, "Offset"));

    Select(QStringLiteral("Duration"));
    EXPECT_FALSE(host.AnyEditorVisible());
}

TEST_F(SparvKeyframeTest, ADragIsOneUndoStepAndUndoShowsInTheOpenEditor) {
    Select(QStringLiteral("Radius"));
    const std::vector<TimeFloat> original = PropertyKeys("Radius");
    ASSERT_EQ(original.size(), 4u);
    const int steps = Doc().UndoStack().count();

    // Key 1 dragged through fifty moves, up and to the right.
    const QPoint from = Curve()->View().KeyPoint(1);
    keyframe_test::Drag(Curve()->viewport(), from, from + QPoint(10, -50), 50);
    const std::vector<TimeFloat> dragged = PropertyKeys("Radius");
    ASSERT_NE(dragged, original);
    EXPECT_EQ(Doc().UndoStack().count(), steps + 1);
    EXPECT_EQ(LinkKeys(), dragged);

    Press(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(PropertyKeys("Radius"), original);
    EXPECT_EQ(LinkKeys(), original);
    EXPECT_FALSE(Doc().IsModified());
    Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(PropertyKeys("Radius"), dragged);
    EXPECT_EQ(LinkKeys(), dragged);
}

TEST_F(SparvKeyframeTest, APastedKeyListIsOneUndoStep) {
    Select(QStringLiteral("SpinZ"));
    const std::vector<TimeFloat> spinZ = PropertyKeys("SpinZ");
    Curve()->setFocus();
    QTest::keyClick(Curve(), Qt::Key_C, Qt::ControlModifier);

    Select(QStringLiteral("Radius"));
    const int steps = Doc().UndoStack().count();
    Curve()->setFocus();
    QTest::keyClick(Curve(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(PropertyKeys("Radius"), spinZ);
    EXPECT_EQ(Doc().UndoStack().count(), steps + 1);
    Doc().Undo();
    EXPECT_NE(PropertyKeys("Radius"), spinZ);
    EXPECT_EQ(LinkKeys(), PropertyKeys("Radius"));
}

} // namespace
