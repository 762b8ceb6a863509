// The document's one door for edits: undo, redo, merging, gestures and unsaved marks.

#include "editor/shell/ShellTestSupport.h"

using shell_test::ShellTest;

namespace {

class SparvDocEditTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (IsSkipped())
            return;
        Doc().SetClock([this] { return m_milliseconds; });
    }

    float Float(int typeIndex, const char* name) {
        FXVariable value;
        EXPECT_TRUE(Doc().PropertyValue(typeIndex, name, value));
        return value.GetFloat();
    }
    int Steps() { return Doc().UndoStack().count(); }

    qint64 m_milliseconds = 0;
};

TEST_F(SparvDocEditTest, AGestureIsOneStepAndQuickRepeatsOfOnePropertyMerge) {
    WriteSpark("Data/art/fx/spark.lua");
    OpenFile(FxPath("spark.lua"));
    const float original = Float(0, "Duration");

    // A drag: fifty writes, one step, undone exactly.
    Doc().BeginGesture();
    for (int i = 1; i <= 50; ++i)
        SetFloat(0, "Duration", 1.0f + 0.01f * static_cast<float>(i));
    Doc().EndGesture();
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(Doc().UndoStack().undoText(), QStringLiteral("Change Duration"));
    Doc().UndoStack().undo();
    EXPECT_EQ(Float(0, "Duration"), original);
    EXPECT_FALSE(Doc().IsModified());
    Doc().UndoStack().redo();
    EXPECT_FLOAT_EQ(Float(0, "Duration"), 1.5f);
    Doc().UndoStack().undo();

    // A drag that ends where it began leaves nothing to undo and nothing unsaved.
    Doc().BeginGesture();
    SetFloat(0, "Duration", 3.0f);
    SetFloat(0, "Duration", original);
    Doc().EndGesture();
    EXPECT_FALSE(Doc().UndoStack().canUndo());
    EXPECT_FALSE(Doc().IsTypeUnsaved(0));

    // Enter held down: edits within the merge window are one step, a later one is not.
    SetFloat(0, "Duration", 2.0f);
    m_milliseconds += 100;
    SetFloat(0, "Duration", 3.0f);
    m_milliseconds += SparvDoc::kMergeMilliseconds + 1;
    SetFloat(0, "Duration", 4.0f);
    EXPECT_EQ(Doc().UndoStack().count(), 2);
    Doc().UndoStack().undo();
    EXPECT_EQ(Float(0, "Duration"), 3.0f);
    Doc().UndoStack().undo();
    EXPECT_EQ(Float(0, "Duration"), original);

    // What the type refuses (out of range, not a number) pushes nothing.
    const int steps = Steps();
    QString reason;
    FXVariable value;
    value.SetFloat(-1.0f);
    EXPECT_EQ(Doc().ApplyPropertyChange(PropertyEdit::Whole(0, "Duration", value), &reason),
              SparvDoc::EditResult::Refused);
    EXPECT_TRUE(reason.contains(QStringLiteral("between"))) << reason.toStdString();
    EXPECT_EQ(Doc().ApplyPropertyChange(PropertyEdit::Whole(0, "Duration", FXVariable()), &reason),
              SparvDoc::EditResult::Refused);
    EXPECT_EQ(Steps(), steps);
    EXPECT_EQ(Float(0, "Duration"), original);
}

TEST_F(SparvDocEditTest, UndoAndRedoNameWhatTheyDoAndWaitForPlaybackToStop) {
    WriteSpark("Data/art/fx/spark.lua");
    OpenFile(FxPath("spark.lua"));
    QAction* undo = Frame()->Action(SparvCommand::EditUndo);
    QAction* redo = Frame()->Action(SparvCommand::EditRedo);
    EXPECT_FALSE(undo->isEnabled());
    SetFloat(0, "Duration", 2.0f);
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Change Duration"));
    EXPECT_TRUE(undo->isEnabled());

    Click(View().PlayButton());
    EXPECT_FALSE(undo->isEnabled());
    Press(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_FLOAT_EQ(Float(0, "Duration"), 2.0f);
    Click(View().StopButton());

    Press(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_FLOAT_EQ(Float(0, "Duration"), 0.8f);
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo Change Duration"));
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FLOAT_EQ(Float(0, "Duration"), 2.0f);
    Press(Qt::Key_Backspace, Qt::AltModifier);
    Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(Float(0, "Duration"), 2.0f);
}

} // namespace
