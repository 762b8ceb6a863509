// Reviewing an effect in the preview: playback speed, stepping frame by frame, looping
// effects on the time bar, and the side-by-side compare with the effect before the last
// edits. Pictures are the render window's framebuffer, held against headless renders.
#include "editor/shell/ReviewTestSupport.h"
#include "editor/shell/SliderDrag.h"
#include "shell/SparvStatusLine.h"
#include "shell/SparvTime.h"
#include "shell/SparvWorld.h"

#include <QComboBox>
#include <QSpinBox>

using shell_test::Crop;
using shell_test::ExpectSamePicture;
using shell_test::HeadlessRender;
using shell_test::PreviewPicture;

namespace {

class SparvReviewPlaybackTest : public shell_test::ShellTest {
protected:
    Image Picture() { return PreviewPicture(*View().Render()); }
    SparvTime& TimeBar() { return *View().TimeBar(); }
    QString TimeField() { return View().StatusLine()->Text(1); }
};

TEST_F(SparvReviewPlaybackTest, SpeedScalesRealTimeAndTheStepLimitAppliesToTheScaledStep) {
    OpenSample("spark");
    Press(Qt::Key_BracketLeft);
    Press(Qt::Key_BracketLeft);
    EXPECT_EQ(Playback().Speed(), 0.25);
    EXPECT_EQ(View().SpeedBox()->currentIndex(), 1);
    EXPECT_TRUE(View().StatusLine()->Note().contains(QStringLiteral("speed 1/4")));
    EXPECT_TRUE(Frame()->Action(SparvCommand::SpeedFirst + 1)->isChecked());

    Click(View().PlayButton());
    const double simulated = View().Render()->SimulatedSeconds();
    Passes(100, 0.01); // one second of real time
    EXPECT_NEAR(Playback().Time(), 0.25, 1e-4);
    EXPECT_NEAR(TimeBar().CurrentTime(), 0.25, 1e-4);
    EXPECT_NEAR(View().Render()->SimulatedSeconds() - simulated, 0.25, 1e-4);

    // At four times the speed a pass of 0.05 s would be 0.2 s of effect: held to 0.05.
    Press(Qt::Key_BracketRight);
    Press(Qt::Key_BracketRight);
    Press(Qt::Key_BracketRight);
    EXPECT_EQ(Playback().Speed(), 2.0);
    Frame()->Action(SparvCommand::SpeedLast)->trigger(); // View > Playback Speed > 4
    EXPECT_EQ(Playback().Speed(), 4.0);
    const double before = Playback().Time();
    Pass(0.05);
    EXPECT_NEAR(Playback().Time() - before, 0.05, 1e-6);
    Pass(0.01);
    EXPECT_NEAR(Playback().Time() - before, 0.09, 1e-6);

    Press(Qt::Key_Backslash);
    EXPECT_EQ(Playback().Speed(), 1.0);
    EXPECT_FALSE(View().StatusLine()->Note().contains(QStringLiteral("speed")));
}

TEST_F(SparvReviewPlaybackTest, TenStepsForwardThenTenBackShowTheFirstFrameAgain) {
    OpenSample("explosion");
    Press(Qt::Key_Period); // from stopped: a new run, paused at its first step
    EXPECT_TRUE(Playback().IsPaused());
    EXPECT_DOUBLE_EQ(Playback().Time(), 1.0 / 30.0);
    EXPECT_TRUE(Playback().IsExact());
    const Image first = Picture();

    for (int i = 0; i < 10; ++i)
        Press(Qt::Key_Period);
    EXPECT_NEAR(Playback().Time(), 11.0 / 30.0, 1e-12);
    EXPECT_NEAR(TimeBar().CurrentTime(), 11.0 / 30.0, 1e-6);
    EXPECT_FALSE(CompareImages(Picture(), first, 2).Matches()); // the explosion moved on

    for (int i = 0; i < 10; ++i)
        Click(View().StepBackButton());
    EXPECT_DOUBLE_EQ(Playback().Time(), 1.0 / 30.0);
    ExpectSamePicture(Picture(), first, "step-back");

    // Step back stops at time 0; a step while playing pauses first.
    Press(Qt::Key_Comma);
    Press(Qt::Key_Comma);
    EXPECT_EQ(Playback().Time(), 0.0);
    Click(View().PlayButton());
    Passes(4, 0.05);
    const double played = Playback().Time();
    Press(Qt::Key_Period);
    EXPECT_TRUE(Playback().IsPaused());
    EXPECT_NEAR(Playback().Time(), played + 1.0 / 30.0, 1e-9);
}

TEST_F(SparvReviewPlaybackTest, AStepShowsWhatAHeadlessRenderOfThatMomentShows) {
    OpenSample("explosion");
    for (int i = 0; i < 9; ++i)
        Press(Qt::Key_Period);
    const FXReviewScene scene = View().CurrentScene();
    ExpectSamePicture(Picture(),
                      HeadlessRender(Root(), "explosion", Playback().Time(),
                                     View().Render()->EffectViewSize(), scene),
                      "step-headless");
}

TEST_F(SparvReviewPlaybackTest, ALoopingSprayWrapsTheBarAtItsPeriodAndScrubsWithinOnePeriod) {
    OpenSample("fire"); // a spray whose emitter loops every 2 s
    ASSERT_TRUE(TimeBar().Looping());
    EXPECT_FLOAT_EQ(TimeBar().Length(), 2.0f);

    Click(View().PlayButton());
    Passes(48, 0.05); // 2.4 s
    EXPECT_NEAR(TimeBar().CurrentTime(), 0.4, 1e-4);
    EXPECT_EQ(TimeBar().Loop(), 2);
    EXPECT_EQ(TimeBar().Slider()->value(), 20);
    EXPECT_EQ(TimeField(), QStringLiteral("0.4 s, loop 2"));
    EXPECT_TRUE(View().StatusLine()->PartRect(1).width() >=
                View().StatusLine()->fontMetrics().horizontalAdvance(TimeField()));

    // A scrub to the end asks the runtime for one period at most, not for the 3.4e38 s
    // the effect reports.
    Click(View().StopButton());
    double simulated = View().Render()->SimulatedSeconds();
    shell_test::DragSlider(TimeBar().Slider(), 100);
    EXPECT_LE(View().Render()->SimulatedSeconds() - simulated, 2.0 + 1e-4);
    EXPECT_TRUE(Playback().IsPaused());
    EXPECT_EQ(TimeBar().Loop(), 1);
    EXPECT_LE(Playback().Time(), 2.0 + 1e-4);

    simulated = View().Render()->SimulatedSeconds();
    shell_test::DragSlider(TimeBar().Slider(), 30); // back: rebuilt from 0 to 0.6 s
    EXPECT_LE(View().Render()->SimulatedSeconds() - simulated, 0.6 + 1e-4);
    EXPECT_NEAR(TimeBar().CurrentTime(), 0.6, 1e-4);
    EXPECT_EQ(TimeField(), QStringLiteral("0.6 s, loop 1"));

    // A non-looping effect keeps its bar: the duration, held at the end.
    OpenFile(FxPath("spark.lua"));
    EXPECT_FALSE(TimeBar().Looping());
    EXPECT_FLOAT_EQ(TimeBar().Length(), 0.8f);
    EXPECT_EQ(TimeField(), QStringLiteral("0.0s"));
}

TEST_F(SparvReviewPlaybackTest, CompareShowsTheUndoneStateOnTheLeftAndTheCurrentOnTheRight) {
    OpenSample("spark");
    ASSERT_EQ(SetFloat(0, "Duration", 2.0f), SparvDoc::EditResult::Applied);
    Choose(SparvCommand::CompareWithBefore);
    ASSERT_TRUE(View().Comparing());
    ASSERT_NE(Playback().Before(), nullptr);
    EXPECT_TRUE(Frame()->Action(SparvCommand::CompareWithBefore)->isChecked());
    EXPECT_EQ(View().Render()->BeforeLabel(), QStringLiteral("Before the last edit"));
    EXPECT_EQ(View().Render()->NowLabel(), QStringLiteral("Now"));

    for (int i = 0; i < 10; ++i)
        Press(Qt::Key_Period);
    const double time = Playback().Time();
    const Image picture = Picture();
    const Image left = Crop(picture, View().Render()->BeforePaneRect());
    const Image right = Crop(picture, View().Render()->NowPaneRect());
    EXPECT_FALSE(CompareImages(left, right, 2).Matches()); // the edit shows
    const QSize half = View().Render()->EffectViewSize();
    EXPECT_EQ(QSize(left.width, left.height), half);
    const FXReviewScene scene = View().CurrentScene();
    // The file still holds the state before the edit; saved, it holds the current one.
    ExpectSamePicture(left, HeadlessRender(Root(), "spark", time, half, scene), "compare-left");
    Press(Qt::Key_S, Qt::ControlModifier);
    ExpectSamePicture(right, HeadlessRender(Root(), "spark", time, half, scene), "compare-right");

    Choose(SparvCommand::CompareWithBefore);
    EXPECT_FALSE(View().Comparing());
    EXPECT_EQ(Playback().Before(), nullptr);
    EXPECT_EQ(View().Render()->EffectViewSize(),
              QSize(View().Render()->GetWidth(), View().Render()->GetHeight()));
}

TEST_F(SparvReviewPlaybackTest, CompareTurnedOnWhilePlayingRebuildsBothHalvesAtTheSameMoment) {
    OpenSample("spark");
    ASSERT_EQ(SetFloat(0, "Duration", 2.0f), SparvDoc::EditResult::Applied);
    Click(View().PlayButton());
    Passes(7, 0.04);
    Choose(SparvCommand::CompareWithBefore);
    EXPECT_TRUE(Playback().IsPlaying());
    EXPECT_TRUE(Playback().IsExact());
    const double time = Playback().Time();
    EXPECT_NEAR(time, 0.28, 1e-6);
    const Image picture = Picture();
    const QSize half = View().Render()->EffectViewSize();
    const FXReviewScene scene = View().CurrentScene();
    // The file holds the state before the edit; a copy of the current state is written
    // under another name.
    ExpectSamePicture(Crop(picture, View().Render()->BeforePaneRect()),
                      HeadlessRender(Root(), "spark", time, half, scene), "playing-left");
    const std::shared_ptr<FXType> now = Doc().TypesBefore(0).front();
    now->SetName("now");
    ASSERT_TRUE(FXTypeRegistry::Save(*now));
    ExpectSamePicture(Crop(picture, View().Render()->NowPaneRect()),
                      HeadlessRender(Root(), "now", time, half, scene), "playing-right");

    // Both go on playing side by side, each in its own world.
    Passes(3, 0.05);
    EXPECT_NEAR(Playback().Time(), time + 0.15, 1e-6);
    EXPECT_GT(Playback().Before()->Manager().LiveCount(), 0u);
    EXPECT_GT(FXManager::Instance()->LiveCount(), 0u);
}

TEST_F(SparvReviewPlaybackTest, TheLeftHalfFollowsTheHistoryAndTheChosenNumberOfEdits) {
    OpenSample("spark");
    qint64 now = 0; // edits a second apart are steps of their own
    Doc().SetClock([&now] { return now; });
    for (const float duration : {1.0f, 1.5f, 2.0f}) {
        ASSERT_EQ(SetFloat(0, "Duration", duration), SparvDoc::EditResult::Applied);
        now += 1000;
    }
    ASSERT_EQ(Doc().UndoableEdits(), 3);
    const auto beforeDuration = [this] {
        FXVariable value;
        EXPECT_TRUE(Playback().Before()->Types().front()->GetPropertyValue("Duration", value));
        return value.GetFloat();
    };
    Choose(SparvCommand::CompareWithBefore);
    EXPECT_EQ(beforeDuration(), 1.5f);
    EXPECT_TRUE(View().CompareEditsBox()->isVisible());

    View().CompareEditsBox()->setValue(3);
    EXPECT_EQ(beforeDuration(), 0.8f);
    EXPECT_EQ(View().Render()->BeforeLabel(), QStringLiteral("Before the last 3 edits"));

    Doc().Undo(); // two edits left to compare with
    EXPECT_EQ(View().CompareEdits(), 2);
    EXPECT_EQ(beforeDuration(), 0.8f);
    EXPECT_EQ(View().Render()->BeforeLabel(), QStringLiteral("Before the last 2 edits"));
    ASSERT_EQ(SetFloat(0, "Duration", 3.0f), SparvDoc::EditResult::Applied);
    EXPECT_EQ(View().CompareEdits(), 3);
    EXPECT_EQ(beforeDuration(), 0.8f);
    // The document's own types are never touched.
    EXPECT_EQ(GetFloat(0, "Duration"), 3.0f);

    // A new document ends the compare.
    OpenFile(FxPath("fire.lua"));
    EXPECT_FALSE(View().Comparing());
    EXPECT_EQ(Playback().Before(), nullptr);
}

} // namespace
