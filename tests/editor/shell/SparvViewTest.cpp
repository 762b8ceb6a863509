#include "editor/shell/ShellTestSupport.h"
#include "editor/shell/SliderDrag.h"
#include "shell/RenderWindow.h"
#include "shell/RenderWindowHook.h"
#include "shell/SparvKeyframeEditors.h"
#include "shell/SparvStatusLine.h"
#include "shell/SparvTime.h"
#include "support/CommaLocale.h"
#include "widgets/SparvPropSub.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>

using shell_test::ShellTest;

namespace {

class SparvViewTest : public ShellTest {
protected:
    // The bounding radius of the document's instance: the sample ring's grows and shrinks
    // over its life, so with the random generator fixed, equal radii mean equal ages.
    float InstanceRadius() {
        for (const FXRecord& record : FXManager::Instance()->Records())
            if (FXManager::Instance()->HandleOf(record) == Playback().Instance())
                return record.radius;
        ADD_FAILURE() << "no live instance";
        return -1.0f;
    }
    // Stops, then scrubs forward from 0 to position: one jump to the position's time.
    float RadiusAfterJumpFromStart(int position) {
        Click(View().StopButton());
        shell_test::DragSlider(Slider(), position);
        EXPECT_EQ(Slider()->value(), position);
        return InstanceRadius();
    }
    QSlider* Slider() { return View().TimeBar()->Slider(); }
};

TEST_F(SparvViewTest, ScrubbingBackwardsRebuildsTheEffectAndJumpsToTheBarsTime) {
    OpenSpark();
    Choose(SparvCommand::FixRandom);                 // the sample's radius has a random factor
    const float at25 = RadiusAfterJumpFromStart(25); // 0.2 s of 0.8
    EXPECT_TRUE(Playback().IsPaused());              // forwards from stopped: a held instance
    const float at50 = RadiusAfterJumpFromStart(50); // 0.4 s
    Click(View().StopButton());

    Click(View().PlayButton());
    Passes(10, 0.05);
    ASSERT_EQ(Slider()->value(), 63); // 0.5 s
    const FXHandle played = Playback().Instance();
    const float at63 = InstanceRadius();
    ASSERT_NE(at63, at25);

    shell_test::DragSlider(Slider(), 25);
    ASSERT_EQ(Slider()->value(), 25);
    EXPECT_NE(Playback().Instance(), played);
    EXPECT_FALSE(FXManager::Instance()->IsAlive(played));
    EXPECT_TRUE(Playback().IsPaused());
    EXPECT_FLOAT_EQ(InstanceRadius(), at25);
    EXPECT_EQ(View().PlayButton()->text(), QStringLiteral("Play"));
    EXPECT_TRUE(View().StopButton()->isEnabled());

    // Forwards from paused: the held instance moves on by the drag; paused passes hold it.
    const FXHandle held = Playback().Instance();
    shell_test::DragSlider(Slider(), 50);
    EXPECT_EQ(Playback().Instance(), held);
    EXPECT_FLOAT_EQ(InstanceRadius(), at50);
    Passes(3, 0.05);
    EXPECT_FLOAT_EQ(InstanceRadius(), at50);
    EXPECT_EQ(Slider()->value(), 50);
}

TEST_F(SparvViewTest, KeyMarkAcceleratorsReachTheTimeBarOnlyWhileItsSliderHasTheFocus) {
    OpenSpark();
    View().TimeBar()->SetKeyMarks({{0, 20}, {1, 60}});
    Press(Qt::Key_Z, Qt::ControlModifier); // the render window has the focus
    EXPECT_EQ(Slider()->value(), 0);

    Slider()->setFocus();
    Press(Qt::Key_Z, Qt::ControlModifier, Slider());
    EXPECT_EQ(Slider()->value(), 20);
    EXPECT_TRUE(Playback().IsPaused()); // a scrub forward from stopped
    Press(Qt::Key_Z, Qt::ControlModifier, Slider());
    EXPECT_EQ(Slider()->value(), 60);
    Press(Qt::Key_A, Qt::ControlModifier, Slider());
    EXPECT_EQ(Slider()->value(), 20);
    EXPECT_EQ(View().TimeBar()->CurrentKey(), 0);
}

TEST_F(SparvViewTest, EscapeStopsPlaybackOnlyWhileTheStopButtonIsEnabled) {
    EXPECT_FALSE(View().StopButton()->isEnabled());
    EXPECT_TRUE(View().TypeTree()->isEnabled());
    Press(Qt::Key_Escape);
    EXPECT_EQ(Playback().State(), SparvPlayback::kStopped);

    Click(View().PlayButton());
    EXPECT_EQ(View().PlayButton()->text(), QStringLiteral("Pause"));
    EXPECT_FALSE(View().TypeTree()->isEnabled());
    EXPECT_FALSE(View().PropertyPanel()->isEnabled());
    Passes(4, 0.05);
    EXPECT_GT(View().TimeBar()->Position(), 0);

    Press(Qt::Key_Escape);
    EXPECT_EQ(Playback().State(), SparvPlayback::kStopped);
    EXPECT_EQ(View().TimeBar()->Position(), 0);
    EXPECT_FALSE(View().StopButton()->isEnabled());
    EXPECT_TRUE(View().TypeTree()->isEnabled());
    EXPECT_TRUE(View().PropertyPanel()->isEnabled());
    // The stopped effect winds down under the passes that follow.
    EXPECT_TRUE(FXManager::Instance()->IsAlive(Playback().Instance()) ||
                FXManager::Instance()->LiveCount() == 0);
}

TEST_F(SparvViewTest, BottomStripKeepsItsSizesWhenTheWindowIsResized) {
    for (const QSize size : {QSize(900, 600), QSize(1400, 950), QSize(700, 344)}) {
        Frame()->resize(size);
        QCoreApplication::processEvents();
        const int w = View().width();
        const int h = View().height();
        EXPECT_EQ(View().Splitter()->geometry(), QRect(3, 3, w - 6, h - 100)) << w << "x" << h;
        EXPECT_EQ(View().TimeBar()->geometry(), QRect(3, h - 94, w - 6, 35));
        EXPECT_EQ(View().PlayButton()->geometry(), QRect(3, h - 56, 80, 30));
        EXPECT_EQ(View().StopButton()->geometry(), QRect(86, h - 56, 80, 30));
        EXPECT_EQ(View().StatusLine()->geometry(), QRect(0, h - 20, w, 20));
        const SparvStatusLine& status = *View().StatusLine();
        EXPECT_EQ(status.PartRect(4).right(), w - 1);
        // At least their nominal widths (150, 150, 100, 50 from the right), wider where
        // the font needs it.
        const int nominal[] = {0, 50, 100, 150, 150};
        for (int part = 0; part < SparvStatusLine::kParts; ++part) {
            EXPECT_GE(status.PartRect(part).width(), nominal[part]);
            if (part > 0) {
                EXPECT_EQ(status.PartRect(part - 1).right() + 1, status.PartRect(part).x());
            }
        }
    }
}

TEST_F(SparvViewTest, WindowDoesNotShrinkBelow700By344) {
    Frame()->resize(300, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(Frame()->size(), QSize(700, 344));
    Frame()->resize(690, 900);
    EXPECT_EQ(Frame()->size(), QSize(700, 900));
    // Narrowed, the right-hand column keeps room for a whole property editor.
    QCoreApplication::processEvents();
    EXPECT_GE(View().PropertyPanel()->width(), View().PropertyPanel()->SubEditor(0)->width());
}

TEST_F(SparvViewTest, SplitterStartsWithItsSizesAndKeepsTheRowsOfBothColumnsTogether) {
    Frame()->resize(1400, 950);
    QCoreApplication::processEvents();
    const auto columns = View().Splitter()->sizes();
    ASSERT_EQ(columns.size(), 2);
    EXPECT_EQ(columns[0], 950);
    auto* left = qobject_cast<QSplitter*>(View().Splitter()->widget(0));
    auto* right = qobject_cast<QSplitter*>(View().Splitter()->widget(1));
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->sizes()[0], 400);
    EXPECT_EQ(left->widget(0), View().Render());
    EXPECT_EQ(left->widget(1), View().KeyframeEditors());
    EXPECT_EQ(right->widget(0)->objectName(), QStringLiteral("SparvAttr"));
    EXPECT_EQ(right->widget(1)->objectName(), QStringLiteral("SparvProp"));

    // The user drags the row divider of the left column down by 50 pixels.
    QSplitterHandle* handle = left->handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(0, 50));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(0, 50));
    EXPECT_EQ(left->sizes()[0], 450);
    EXPECT_EQ(right->sizes(), left->sizes());
}

TEST_F(SparvViewTest, RightButtonOrbitsBothButtonsZoomAndTheWheelDoesNothing) {
    RenderWindow* render = View().Render();
    const QPoint centre = render->rect().center();
    const float yaw = render->Camera().GetYaw();
    const float pitch = render->Camera().GetPitch();

    QTest::mousePress(render, Qt::RightButton, {}, centre);
    Pass(0.01); // the mouse is taken
    QTest::mouseMove(render, centre + QPoint(50, 25));
    Pass(0.01);
    EXPECT_NEAR(render->Camera().GetYaw(), yaw + 120.0f * 50 * RenderWindow::kMotionPerPixel,
                1e-3f);
    EXPECT_NEAR(render->Camera().GetPitch(), pitch + 120.0f * 25 * RenderWindow::kMotionPerPixel,
                1e-3f);
    EXPECT_EQ(render->cursor().shape(), Qt::BlankCursor);

    // Left with right: zoom, distance -= 4 x motion x distance.
    QMouseEvent both(QEvent::MouseButtonPress, QPointF(centre + QPoint(50, 25)),
                     render->mapToGlobal(QPointF(centre + QPoint(50, 25))), Qt::LeftButton,
                     Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(render, &both);
    QMouseEvent move(QEvent::MouseMove, QPointF(centre + QPoint(50, 75)),
                     render->mapToGlobal(QPointF(centre + QPoint(50, 75))), Qt::NoButton,
                     Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(render, &move);
    Pass(0.01);
    EXPECT_NEAR(render->Camera().GetDistance(),
                20.0f - 4.0f * 50 * RenderWindow::kMotionPerPixel * 20.0f, 1e-3f);
    EXPECT_NEAR(render->Camera().GetYaw(), yaw + 120.0f * 50 * RenderWindow::kMotionPerPixel,
                1e-3f);

    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(centre + QPoint(50, 75)),
                        render->mapToGlobal(QPointF(centre + QPoint(50, 75))), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(render, &release);
    Pass(0.01);
    EXPECT_EQ(render->cursor().shape(), Qt::ArrowCursor);

    // The wheel over the splitter reaches the render window, which leaves the camera be.
    const float distance = render->Camera().GetDistance();
    QWheelEvent wheel(QPointF(5, 5), View().Splitter()->mapToGlobal(QPointF(5, 5)), {},
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(render->parentWidget(), &wheel);
    EXPECT_EQ(render->Hook()->ForwardedWheelEvents(), 1);
    EXPECT_GE(render->WheelEvents(), 1);
    Pass(0.01);
    EXPECT_FLOAT_EQ(render->Camera().GetDistance(), distance);
}

TEST_F(SparvViewTest, StatusLineShowsTimeCountGridCellAndDistanceWithADecimalPoint) {
    const CommaLocale comma; // where the C library has one
    Click(View().PlayButton());
    Pass(0.04);
    const SparvStatusLine& status = *View().StatusLine();
    EXPECT_EQ(status.Text(0), QString());
    EXPECT_EQ(status.Text(1), QStringLiteral("0.0s"));
    EXPECT_EQ(status.Text(2), QStringLiteral("count = 1 / 1"));
    EXPECT_EQ(status.Text(3), QStringLiteral("scale is 1 cell = 1.00 meter"));
    EXPECT_EQ(status.Text(4), QStringLiteral("camera distance = 20"));
    // Every part is wide enough for its text in the platform's font.
    for (int part = 1; part < SparvStatusLine::kParts; ++part)
        EXPECT_LT(status.fontMetrics().horizontalAdvance(status.Text(part)),
                  status.PartRect(part).width() - 4)
            << part;

    // The cell size follows the distance even with both grids off.
    Choose(SparvCommand::GridXZ);
    EXPECT_FALSE(Frame()->Action(SparvCommand::GridXZ)->isChecked());
    View().Render()->Camera().SetDistance(2.5f);
    Passes(2, 0.04);
    EXPECT_EQ(status.Text(1), QStringLiteral("0.1s"));
    EXPECT_EQ(status.Text(3), QStringLiteral("scale is 1 cell = 0.10 meter"));
    EXPECT_EQ(status.Text(4), QStringLiteral("camera distance = 2.5"));
}

TEST_F(SparvViewTest, EmptyKeyframePaneIsDarkGreyWithSpaceForRent) {
    const QImage picture = View().KeyframeEditors()->grab().toImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.pixel(2, 2), QColor(37, 37, 37).rgb());
    int other = 0;
    for (int y = picture.height() / 2; y < picture.height() / 2 + 20 && y < picture.height(); ++y)
        for (int x = picture.width() / 2; x < picture.width() / 2 + 80 && x < picture.width(); ++x)
            other += picture.pixel(x, y) != QColor(37, 37, 37).rgb();
    EXPECT_GT(other, 50); // the words, from the middle on
}

TEST_F(SparvViewTest, PlayingSampleEffectReachesTheScreen) {
    // The bundled library with its textures and meshes, and its explosion half way.
    OpenSample("explosion");
    int presented = 0;
    QObject::connect(View().Render(), &RenderWindow::FramePresented, [&] { ++presented; });
    Click(View().PlayButton());
    for (int i = 0; i < 10; ++i) {
        Pass(0.05);
        QTest::qWait(10);
    }
    EXPECT_GT(presented, 0);
    ASSERT_TRUE(View().Render()->IsInitialised());

    const QImage screen = Frame()->screen()->grabWindow(Frame()->winId()).toImage();
    const QString artefact =
        QCoreApplication::applicationDirPath() + QStringLiteral("/editor-screenshot.png");
    EXPECT_TRUE(screen.save(artefact));
    // The render window shows the background (0.25 grey), the grid and the fiery sparks.
    const QRect area(View().Render()->mapTo(Frame(), QPoint(0, 0)), View().Render()->size());
    int background = 0;
    int warm = 0;
    for (int y = area.top(); y < area.bottom(); y += 2)
        for (int x = area.left(); x < area.right(); x += 2) {
            const QColor colour = screen.pixelColor(x, y);
            background += colour.red() == 63 || colour.red() == 64;
            warm += colour.red() > 150 && colour.red() > colour.blue() + 60;
        }
    EXPECT_GT(background, 1000);
    EXPECT_GT(warm, 10);
}

} // namespace
