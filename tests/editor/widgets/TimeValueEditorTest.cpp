#include "widgets/TimeValueEditor.h"

#include "editor/widgets/KeyframeTestSupport.h"
#include "widgets/FloatField.h"
#include "widgets/TimeValueDlg.h"
#include "widgets/TimeValueWnd.h"

#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

using namespace keyframe_test;

namespace {

class TimeValueEditorTest : public KeyframeTest {
protected:
    TimeValueEditorTest() {
        // Wide enough for the whole time range at the initial time scale (x 12 to 812),
        // tall enough for values 0 to 20.
        Open(editor, {1060, 340}, keys);
    }

    TimeValueWnd* Curve() { return editor.CurveWindow(); }
    QWidget* Client() { return Curve()->viewport(); }
    const TimeValueView& View() { return Curve()->View(); }
    QPoint At(float time, float value) { return {View().TimeToX(time), View().ValueToY(value)}; }
    QPoint KeyAt(int index) { return View().KeyPoint(index); }
    FloatField* Field(const char* name) {
        auto* field = editor.Panel()->findChild<FloatField*>(QString::fromLatin1(name));
        EXPECT_NE(field, nullptr) << name;
        return field;
    }
    QToolButton* Button(const char* name) {
        return editor.Panel()->findChild<QToolButton*>(QString::fromLatin1(name));
    }
    QString Counter() {
        return editor.Panel()->findChild<QLabel*>(QStringLiteral("keyNumber"))->text() +
               QStringLiteral(" of ") +
               editor.Panel()->findChild<QLabel*>(QStringLiteral("keyCount"))->text();
    }
    // Selects with a rubber band from one corner (time, value) to the other.
    void Band(float timeA, float valueA, float timeB, float valueB) {
        Drag(Client(), At(timeA, valueA), At(timeB, valueB), 4);
    }
    QRect Handle(int which) {
        std::array<QRect, 4> handles;
        EXPECT_TRUE(Curve()->Controller().HandleRects(handles));
        return handles[static_cast<size_t>(which)];
    }

    FloatLink keys{{0.0f, 2.0f}, {0.2f, 8.0f}, {0.45f, 5.0f}, {0.7f, 11.0f}, {1.0f, 3.0f}};
    TimeValueEditor editor{nullptr};
};

TEST_F(TimeValueEditorTest, AClickInsertsAKeyInsideTheRangeOnly) {
    Click(Client(), At(0.3f, 6.0f));
    ASSERT_EQ(keys.Count(), 6);
    EXPECT_EQ(keys.Keys()[2], (TimeFloat{0.3f, 6.0f}));
    EXPECT_EQ(Curve()->Selection().Single(), 2);
    EXPECT_EQ(Counter(), QStringLiteral("3 of 6"));
    EXPECT_EQ(keys.labels, std::vector<QString>{QStringLiteral("Insert Key")});

    Click(Client(), QPoint(View().TimeToX(1.0f) + 20, At(0.0f, 6.0f).y())); // after time 1
    Click(Client(), QPoint(At(0.5f, 0.0f).x(), Client()->height() - 3));    // below value 0
    EXPECT_EQ(keys.Count(), 6);
    EXPECT_EQ(keys.begun, 1);
}

TEST_F(TimeValueEditorTest, ADraggedKeyKeepsFourPixelsOfTimeFromItsNeighbourInOneGesture) {
    // Fifty moves from the key past its right neighbour.
    Drag(Client(), KeyAt(2), At(0.9f, 9.0f), 50);
    const float gap = 4.0f * 0.025f / 20.0f;
    EXPECT_FLOAT_EQ(keys.Time(2), 0.7f - gap);
    EXPECT_EQ(keys.Value(2), 9.0f);
    EXPECT_EQ(keys.Gestures(), 1);
    EXPECT_EQ(keys.changes, 50);
    EXPECT_EQ(keys.changesOutsideGestures, 0);

    // The first key only changes its value, the last one too.
    Drag(Client(), KeyAt(0), At(0.3f, 6.0f));
    Drag(Client(), KeyAt(4), At(0.8f, 1.0f));
    EXPECT_EQ(keys.Keys().front(), (TimeFloat{0.0f, 6.0f}));
    EXPECT_EQ(keys.Keys().back(), (TimeFloat{1.0f, 1.0f}));
}

TEST_F(TimeValueEditorTest, TheEndKeysAreNeverDeleted) {
    Click(Client(), KeyAt(0), Qt::RightButton);
    Click(Client(), KeyAt(4), Qt::RightButton);
    EXPECT_EQ(keys.Count(), 5);
    Click(Client(), KeyAt(3), Qt::RightButton);
    EXPECT_EQ(keys.Count(), 4);

    // Everything selected: Delete leaves the first and the last key.
    Drag(Client(), QPoint(2, 2), QPoint(Client()->width() - 2, Client()->height() - 2), 4);
    EXPECT_EQ(Curve()->Selection().Count(), 4);
    Curve()->setFocus();
    QTest::keyClick(Curve(), Qt::Key_Delete);
    EXPECT_EQ(keys.Keys(), (std::vector<TimeFloat>{{0.0f, 2.0f}, {1.0f, 3.0f}}));

    // With two keys nothing goes.
    Click(Client(), KeyAt(1), Qt::RightButton);
    EXPECT_EQ(keys.Count(), 2);
    EXPECT_EQ(keys.labels,
              (std::vector<QString>{QStringLiteral("Delete Key"), QStringLiteral("Delete Keys")}));
}

TEST_F(TimeValueEditorTest, TheWheelHalvesAndDoublesTheValueScale) {
    const int keyY = KeyAt(1).y();
    Wheel(Client(), QPoint(100, 100), +1); // away from the user
    EXPECT_EQ(View().ValueScale(), 0.5f);
    EXPECT_EQ(Field("valueScale")->text(), QStringLiteral("0.5"));
    EXPECT_EQ(View().ValueToY(0.0f) - KeyAt(1).y(), 2 * (View().ValueToY(0.0f) - keyY));
    Wheel(Client(), QPoint(100, 100), -1);
    Wheel(Client(), QPoint(100, 100), -1);
    EXPECT_EQ(View().ValueScale(), 2.0f);
    EXPECT_EQ(Field("valueScale")->text(), QStringLiteral("2"));
}

TEST_F(TimeValueEditorTest, FitBringsEveryKeyIntoViewOnRoundScales) {
    // A rate curve far above the starting value scale: its middle key is off the top.
    const std::vector<TimeFloat> rate{{0.0f, 150.0f}, {0.5f, 400.0f}, {1.0f, 120.0f}};
    keys.Reload(rate);
    EXPECT_FALSE(Client()->rect().contains(KeyAt(1)));
    QTest::keyClick(Curve(), Qt::Key_F);
    EXPECT_EQ(View().ValueScale(), 20.0f); // 280 over the rows that fit, rounded up
    EXPECT_EQ(View().TimeScale(), 0.025f);
    EXPECT_EQ(Field("valueScale")->text(), QStringLiteral("20"));
    for (int i = 0; i < keys.Count(); ++i)
        EXPECT_TRUE(Client()->rect().contains(KeyAt(i))) << i;

    // A flat curve sits inside the view too, from the panel's button; no key changed.
    const std::vector<TimeFloat> flat{{0.0f, 3000.0f}, {1.0f, 3000.0f}};
    keys.Reload(flat);
    Button("fitKeys")->click();
    for (int i = 0; i < keys.Count(); ++i)
        EXPECT_TRUE(Client()->rect().contains(KeyAt(i))) << i;
    EXPECT_EQ(keys.changes, 0);
}

TEST_F(TimeValueEditorTest, LabelsShowTheScaledCellsWithOneDecimal) {
    const char* times[] = {"0.0", "0.0", "0.1", "0.1", "0.1", "0.1", "0.2"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(View().TimeLabel(i), QString::fromLatin1(times[i])) << i;
    EXPECT_EQ(View().ValueLabel(3), QStringLiteral("3.0"));
}

TEST_F(TimeValueEditorTest, ThePanelCountsKeysAndStepsThroughThem) {
    EXPECT_EQ(Counter(), QStringLiteral("1 of 5")); // nothing selected
    EXPECT_FALSE(Field("time")->isEnabled());
    Button("nextKey")->click();
    Button("nextKey")->click();
    EXPECT_EQ(Counter(), QStringLiteral("2 of 5"));
    EXPECT_EQ(Curve()->Selection().Single(), 1);
    EXPECT_TRUE(Field("time")->isEnabled());
    EXPECT_EQ(Field("value")->text(), QStringLiteral("8"));
    Button("previousKey")->click();
    Button("previousKey")->click();
    EXPECT_EQ(Counter(), QStringLiteral("1 of 5"));

    editor.SetKeys(nullptr);
    EXPECT_EQ(Counter(), QStringLiteral("0 of 0"));
    EXPECT_FALSE(Field("time")->isEnabled());
}

TEST_F(TimeValueEditorTest, ThePanelSetsTheSelectedKeyWithinItsLimits) {
    Click(Client(), KeyAt(2));
    Type(Field("time"), QStringLiteral("1.5")); // outside the time range
    EXPECT_EQ(prompts().messages,
              std::vector<QString>{QStringLiteral("Please enter a number between 0 and 1.")});
    EXPECT_EQ(keys.Time(2), 0.45f);

    Type(Field("time"), QStringLiteral("0.6"));
    Type(Field("value"), QStringLiteral("20000")); // clamped into the range silently
    EXPECT_EQ(keys.Keys()[2], (TimeFloat{0.6f, 10000.0f}));
    EXPECT_EQ(prompts().messages.size(), 1u);
    EXPECT_EQ(keys.labels,
              (std::vector<QString>{QStringLiteral("Edit Key"), QStringLiteral("Edit Key")}));

    // A minimum above the maximum: the two change places, and the key comes into range.
    Type(Field("valueMax"), QStringLiteral("4"), false);
    Type(Field("valueMin"), QStringLiteral("9"));
    EXPECT_EQ(Field("valueMin")->text(), QStringLiteral("4"));
    EXPECT_EQ(Field("valueMax")->text(), QStringLiteral("9"));
    EXPECT_EQ(View().ValueMin(), 4.0f);
    EXPECT_EQ(View().ValueMax(), 9.0f);
    EXPECT_EQ(keys.Value(2), 9.0f);
}

TEST_F(TimeValueEditorTest, AGroupMoveOrScaleThatBreaksOrderOrRangeChangesNothing) {
    Band(0.15f, 4.0f, 0.75f, 12.0f); // keys 1, 2, 3
    ASSERT_EQ(Curve()->Selection().Count(), 3);
    QTest::keyClick(Curve(), Qt::Key_B); // box mode, without Alt
    EXPECT_TRUE(Button("boxMode")->isChecked());
    const std::vector<TimeFloat> before = keys.Keys();

    // Key 3 would pass the last key.
    const QPoint centre = Handle(TimeValueController::kCentre).center();
    Drag(Client(), centre, centre + QPoint(300, 0), 1);
    EXPECT_EQ(keys.Keys(), before);
    EXPECT_EQ(keys.begun, 0);

    // Straight up by one value: the times stay bit for bit.
    Drag(Client(), Handle(TimeValueController::kCentre).center(),
         Handle(TimeValueController::kCentre).center() + QPoint(0, -15), 1);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(keys.Time(i), before[static_cast<size_t>(i)].time);
        EXPECT_NEAR(keys.Value(i), before[static_cast<size_t>(i)].value + 1.0f, 1e-4);
    }

    // Scaled up in value beyond a maximum of 14.
    Type(Field("valueMax"), QStringLiteral("14"));
    const std::vector<TimeFloat> moved = keys.Keys();
    const QPoint top = Handle(TimeValueController::kTop).center();
    Drag(Client(), top, top + QPoint(0, -60), 1);
    EXPECT_EQ(keys.Keys(), moved);
    // Scaled a little in time: accepted, values untouched.
    const QPoint right = Handle(TimeValueController::kRight).center();
    Drag(Client(), right, right + QPoint(-20, 0), 1);
    EXPECT_LT(keys.Time(3), moved[3].time);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(keys.Value(i), moved[static_cast<size_t>(i)].value);
    EXPECT_EQ(keys.labels,
              (std::vector<QString>{QStringLiteral("Move Keys"), QStringLiteral("Scale Keys")}));

    // With the first key in the group, any move in time is refused.
    Band(-0.01f, 0.0f, 0.5f, 20.0f);
    const std::vector<TimeFloat> grouped = keys.Keys();
    const QPoint first = Handle(TimeValueController::kCentre).center();
    Drag(Client(), first, first + QPoint(20, 0), 1);
    EXPECT_EQ(keys.Keys(), grouped);
}

TEST_F(TimeValueEditorTest, AltShowsTheHandlesAndLettingGoEndsAScale) {
    Band(0.15f, 4.0f, 0.75f, 12.0f);
    QTest::keyPress(Curve(), Qt::Key_Alt);
    EXPECT_TRUE(Curve()->Controller().BoxMode());
    const QImage picture = Client()->grab().toImage();
    EXPECT_EQ(picture.pixel(Handle(TimeValueController::kCorner).topLeft() + QPoint(3, 3)),
              QColor(173, 216, 230).rgb());

    const QPoint corner = Handle(TimeValueController::kCorner).center();
    Press(Client(), corner);
    MoveTo(Client(), corner + QPoint(10, -10));
    EXPECT_EQ(keys.begun, 1);
    QTest::keyRelease(Curve(), Qt::Key_Alt);
    EXPECT_EQ(Curve()->Controller().Mode(), TimeValueController::kIdle);
    EXPECT_EQ(keys.Gestures(), 1); // the scale's gesture ends with box mode
    const std::vector<TimeFloat> scaled = keys.Keys();
    MoveTo(Client(), corner + QPoint(40, -40));
    Release(Client(), corner + QPoint(40, -40));
    EXPECT_EQ(keys.Keys(), scaled);
    EXPECT_EQ(keys.Gestures(), 1);
}

TEST_F(TimeValueEditorTest, CtrlKeepsTheGroupsAspectWhileScalingBoth) {
    Band(0.15f, 4.0f, 0.75f, 12.0f);
    QTest::keyClick(Curve(), Qt::Key_B);
    const TimeValueSelection& group = Curve()->Selection();
    const float before = group.ScaleValue();
    const float aspect = before / group.ScaleTime();
    const QPoint corner = Handle(TimeValueController::kCorner).center();
    Press(Client(), corner, Qt::LeftButton, Qt::ControlModifier);
    MoveTo(Client(), corner + QPoint(3, -12), Qt::LeftButton, Qt::ControlModifier);
    Release(Client(), corner + QPoint(3, -12));
    EXPECT_NEAR(group.ScaleValue(), before + 12.0f / 15.0f, 0.1f); // the pointer's rise
    EXPECT_NEAR(group.ScaleValue() / group.ScaleTime(), aspect, aspect * 1e-4f);
}

TEST_F(TimeValueEditorTest, ScrollBarsFollowTheRangeAndTheSelectedKeyStaysInView) {
    keys.Reload(std::vector<TimeFloat>{{0.0f, 2.0f}, {0.5f, 100.0f}, {1.0f, 3.0f}});
    QScrollBar* vertical = Curve()->verticalScrollBar();
    EXPECT_TRUE(vertical->isEnabled());
    EXPECT_EQ(vertical->maximum(), 10000 - View().VisibleRows() + 1);
    EXPECT_EQ(vertical->value(), vertical->maximum());         // value 0 at the bottom
    EXPECT_FALSE(Curve()->horizontalScrollBar()->isEnabled()); // all of 0 to 1 fits

    Button("nextKey")->click();
    Button("nextKey")->click(); // the key at 100, above the window
    EXPECT_TRUE(Client()->rect().contains(KeyAt(1)));
    EXPECT_EQ(vertical->value(), View().VerticalThumb());

    // The line-up arrow shows higher values.
    const int row = View().ScrollRow();
    vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(View().ScrollRow(), row + 1);

    // A range that fits: no scrolling left.
    Type(Field("valueMax"), QStringLiteral("15"));
    EXPECT_FALSE(vertical->isEnabled());
    EXPECT_EQ(View().ScrollRow(), 0);
}

TEST_F(TimeValueEditorTest, KeysReplacedFromOutsideKeepTheSelectionValid) {
    Click(Client(), KeyAt(4));
    ASSERT_EQ(Curve()->Selection().Single(), 4);
    const std::vector<TimeFloat> restored{{0.0f, 1.0f}, {0.5f, 4.0f}, {1.0f, 1.0f}};
    keys.Reload(restored); // as an undo would
    EXPECT_EQ(Curve()->Selection().Count(), 0);
    EXPECT_EQ(Counter(), QStringLiteral("1 of 3"));
    EXPECT_EQ(KeyAt(1), At(0.5f, 4.0f));
    EXPECT_EQ(keys.changes, 0);
}

// A link whose property refuses every value, and which reloads the property's keys from
// inside its write, as a bound link does when the document refuses a change.
class RefusingLink : public FloatLink {
public:
    using FloatLink::FloatLink;
    std::vector<TimeFloat> property;
    void Changed() override {
        FloatLink::Changed();
        Reload(property);
    }
};

TEST_F(TimeValueEditorTest, RefusedWritesLeaveTheKeysAndKeepGesturesPaired) {
    RefusingLink refusing{{0.0f, 2.0f}, {0.5f, 5.0f}, {1.0f, 3.0f}};
    refusing.property = refusing.Keys();
    editor.SetKeys(&refusing);
    Drag(Client(), KeyAt(1), At(0.6f, 9.0f), 20);
    Click(Client(), At(0.3f, 7.0f));            // an insert, undone at once
    Click(Client(), KeyAt(1), Qt::RightButton); // a delete, too
    EXPECT_EQ(refusing.Keys(), refusing.property);
    EXPECT_EQ(refusing.changes, 20 + 1 + 1); // the drag goes on through the refusals
    EXPECT_EQ(refusing.Gestures(), 3);
    EXPECT_LE(Curve()->Selection().Count(), 1);
    EXPECT_EQ(Counter(), QStringLiteral("1 of 3"));
}

TEST_F(TimeValueEditorTest, PanningWorksFromRelativeMotion) {
    const QPoint start(400, 150);
    Press(Client(), start, Qt::MiddleButton);
    MoveTo(Client(), start + QPoint(0, -3), Qt::MiddleButton);
    EXPECT_EQ(View().ScrollRow(), 1);
    // The anchor follows the pointer: back down is a scroll down.
    MoveTo(Client(), start, Qt::MiddleButton);
    EXPECT_EQ(View().ScrollRow(), 0);
    MoveTo(Client(), start + QPoint(0, -1), Qt::MiddleButton); // less than 2 pixels
    EXPECT_EQ(View().ScrollRow(), 0);
    Release(Client(), start, Qt::MiddleButton);
    EXPECT_EQ(Curve()->verticalScrollBar()->value(), View().VerticalThumb());
}

TEST_F(TimeValueEditorTest, PaintsTheGridTheCurveAndTheSelectedKeyWhereTheMappingSays) {
    keys.Reload(std::vector<TimeFloat>{{0.0f, 5.0f}, {0.25f, 5.0f}, {0.5f, 5.0f}, {1.0f, 5.0f}});
    Click(Client(), KeyAt(1));
    const QImage picture = Client()->grab().toImage();
    ASSERT_FALSE(picture.isNull());
    const QPoint key = KeyAt(1);
    const QRgb red = QColor(255, 0, 0).rgb();
    for (const QPoint corner : {QPoint(-2, -2), QPoint(2, -2), QPoint(-2, 2), QPoint(2, 2)})
        EXPECT_EQ(picture.pixel(key + corner), red) << corner.x() << "," << corner.y();
    EXPECT_NE(picture.pixel(key + QPoint(-1, -1)), red); // an outline only
    EXPECT_EQ(picture.pixel(KeyAt(2) + QPoint(2, 2)), QColor(0, 0, 0).rgb());
    // The curve between two keys, the grid (on the white range) and the range between.
    const int y = At(0.0f, 5.0f).y();
    EXPECT_EQ(picture.pixel(At(0.375f, 5.0f).x(), y), QColor(0, 0, 0).rgb());
    const int gridX = TimeValueView::kLeftMargin + TimeValueView::kCellWidth * 3;
    EXPECT_EQ(picture.pixel(gridX, 20), QColor(207, 207, 207).rgb());
    EXPECT_EQ(picture.pixel(gridX + 5, 20), QColor(255, 255, 255).rgb());
    EXPECT_EQ(picture.pixel(gridX + 5, At(0.0f, 7.0f).y()), QColor(207, 207, 207).rgb());
    // Below value 0 lies outside the range (above the time labels).
    EXPECT_EQ(picture.pixel(gridX + 5, At(0.0f, 0.0f).y() + 1), QColor(240, 240, 240).rgb());
}

} // namespace
