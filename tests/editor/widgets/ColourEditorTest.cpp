#include "widgets/ColourEditor.h"

#include "editor/widgets/KeyframeTestSupport.h"
#include "support/MathExpect.h"
#include "widgets/ColourBar.h"
#include "widgets/ColourPickDlg.h"
#include "widgets/HueSatChooser.h"
#include "widgets/SpinArrows.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>

using namespace keyframe_test;

namespace {

constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};

class ColourEditorTest : public KeyframeTest {
protected:
    ColourEditorTest() { Open(editor, {720, 200}, keys); }

    ColourBar* Bar() { return editor.Bar(); }
    ColourPickDlg* Picker() { return editor.Picker(); }
    QLineEdit* Field(ColourPickDlg::Field field) { return Picker()->FieldEdit(field); }
    QPoint BarAt(float time) { return {Bar()->TimeToX(time), 10}; }

    ColourLink keys{{0.0f, kWhite}, {0.5f, {0.0f, 1.0f, 0.0f, 0.5f}}, {1.0f, {0, 0, 0, 0}}};
    ColourEditor editor{nullptr};
};

TEST_F(ColourEditorTest, TypingIntoOneOfRedGreenBlueChangesOnlyThatComponent) {
    ASSERT_EQ(Field(ColourPickDlg::kGreen)->text(), QStringLiteral("255"));
    Type(Field(ColourPickDlg::kGreen), QStringLiteral("128"));
    ExpectNear(keys.Value(0), {1.0f, 128.0f / 255.0f, 1.0f, 1.0f});
    EXPECT_EQ(Field(ColourPickDlg::kRed)->text(), QStringLiteral("255"));
    EXPECT_EQ(Field(ColourPickDlg::kBlue)->text(), QStringLiteral("255"));
    // Three keystrokes, one undo step, ended by Enter.
    EXPECT_EQ(keys.changes, 3);
    EXPECT_EQ(keys.Gestures(), 1);

    Click(Bar(), BarAt(1.0f)); // black
    Type(Field(ColourPickDlg::kRed), QStringLiteral("400"));
    ExpectNear(keys.Value(2), {1.0f, 0.0f, 0.0f, 0.0f});
}

TEST_F(ColourEditorTest, HueSaturationValueAndAlphaFieldsAndArrows) {
    Click(Bar(), BarAt(0.5f)); // green, alpha 0.5
    Type(Field(ColourPickDlg::kHue), QStringLiteral("240"));
    ExpectNear(keys.Value(1), {0.0f, 0.0f, 1.0f, 0.5f});
    Type(Field(ColourPickDlg::kSaturation), QStringLiteral("0"));
    ExpectNear(keys.Value(1), {1.0f, 1.0f, 1.0f, 0.5f});
    Type(Field(ColourPickDlg::kValue), QStringLiteral("0"));
    ExpectNear(keys.Value(1), {0.0f, 0.0f, 0.0f, 0.5f});
    EXPECT_EQ(keys.begun, 3);

    // One click of the alpha's up arrow: one step, one gesture.
    keys.ResetCounts();
    ASSERT_EQ(Field(ColourPickDlg::kAlpha)->text(), QStringLiteral("127"));
    QTest::mouseClick(Picker()->FieldArrows(ColourPickDlg::kAlpha)->Up(), Qt::LeftButton);
    EXPECT_EQ(Field(ColourPickDlg::kAlpha)->text(), QStringLiteral("128"));
    EXPECT_FLOAT_EQ(keys.Value(1).a, 128.0f / 255.0f);
    EXPECT_EQ(keys.Gestures(), 1);
    Type(Field(ColourPickDlg::kAlpha), QStringLiteral("half"));
    EXPECT_EQ(keys.Value(1).a, 0.0f); // no number counts as 0
}

TEST_F(ColourEditorTest, ShowingAColourDoesNotEchoBackAsAnEdit) {
    QSignalSpy edits(Picker(), &ColourPickDlg::ColourChanged);
    Click(Bar(), BarAt(0.5f));
    Picker()->SetColour(0.2f, 0.4f, 0.6f, 0.8f);
    EXPECT_EQ(edits.count(), 0);
    EXPECT_EQ(keys.changes, 0);
    EXPECT_EQ(Field(ColourPickDlg::kAlpha)->text(), QStringLiteral("204"));
}

TEST_F(ColourEditorTest, ClickingTheBarInsertsTheBlendOfTheNeighboursAlphaIncluded) {
    Click(Bar(), BarAt(0.75f));
    ASSERT_EQ(keys.Count(), 4);
    EXPECT_EQ(Bar()->Selected(), 2);
    const float f = (keys.Time(2) - 0.5f) / 0.5f;
    ExpectNear(keys.Value(2), {0.0f, 1.0f - f, 0.0f, 0.5f - 0.5f * f});
    EXPECT_EQ(keys.labels, std::vector<QString>{QStringLiteral("Insert Key")});
    // The picker shows the new key.
    EXPECT_EQ(Field(ColourPickDlg::kGreen)->text(),
              QString::number(static_cast<int>((1.0f - f) * 255.0f)));

    Click(Bar(), QPoint(1, 10)); // before the first key: nothing to blend
    EXPECT_EQ(keys.Count(), 4);
}

TEST_F(ColourEditorTest, TheBarDragsInteriorKeysOnlyAndKeepsTheirNeighboursApart) {
    QSignalSpy notified(Bar(), &TimeKeyBar::Notify);
    Drag(Bar(), BarAt(0.5f), QPoint(Bar()->width() + 40, 10), 20);
    EXPECT_FLOAT_EQ(keys.Time(1), 1.0f - 4.0f / static_cast<float>(Bar()->width()));
    EXPECT_EQ(notified.count(), 1); // the press only
    EXPECT_EQ(keys.Gestures(), 1);

    Drag(Bar(), BarAt(0.0f), BarAt(0.5f));
    EXPECT_EQ(keys.Time(0), 0.0f);

    keys.Reload(std::vector<TimeColour>{{0.0f, kWhite}, {0.5f, kWhite}, {1.0f, kWhite}});
    Click(Bar(), BarAt(0.0f), Qt::RightButton);
    Click(Bar(), BarAt(1.0f), Qt::RightButton);
    EXPECT_EQ(keys.Count(), 3);
    Bar()->SetSelected(2);
    Click(Bar(), BarAt(keys.Time(1)), Qt::RightButton);
    EXPECT_EQ(keys.Count(), 2);
    EXPECT_EQ(Bar()->Selected(), 0);
    Click(Bar(), BarAt(1.0f), Qt::RightButton); // two keys: nothing goes
    EXPECT_EQ(keys.Count(), 2);
}

TEST_F(ColourEditorTest, DraggingInTheFieldPicksAlongItsBorderAsOneGesture) {
    HueSatChooser* field = Picker()->HueSaturation();
    Bar()->SetSelected(1);
    Press(field, QPoint(field->width() / 2, field->height() / 2));
    MoveTo(field, QPoint(-50, -50));
    EXPECT_EQ(field->Hue(), 0.0f);
    EXPECT_EQ(field->Saturation(), 1.0f);
    MoveTo(field, QPoint(field->width() + 50, field->height() + 50));
    Release(field, QPoint(field->width() + 50, field->height() + 50));
    EXPECT_EQ(field->Hue(), 1.0f);
    EXPECT_EQ(field->Saturation(), 0.0f);
    EXPECT_EQ(keys.Gestures(), 1);
    EXPECT_EQ(keys.changes, 3);
    EXPECT_EQ(keys.labels, std::vector<QString>{QStringLiteral("Change Colour")});
}

TEST_F(ColourEditorTest, ANewKeyListKeepsTheSelectionWithinIt) {
    Bar()->SetSelected(2);
    ColourLink two{{0.0f, kWhite}, {1.0f, kWhite}};
    editor.SetKeys(&two);
    EXPECT_EQ(Bar()->Selected(), 0);
    two.Reload(std::vector<TimeColour>{{0.0f, {0.0f, 0.0f, 1.0f, 1.0f}}, {1.0f, kWhite}});
    EXPECT_EQ(Field(ColourPickDlg::kBlue)->text(), QStringLiteral("255"));
    EXPECT_EQ(Field(ColourPickDlg::kRed)->text(), QStringLiteral("0"));
}

} // namespace
