#include "shell/SparvTime.h"

#include "editor/shell/SliderDrag.h"
#include "support/QtApp.h"

#include <gtest/gtest.h>

namespace {

class SparvTimeTest : public testing::Test {
protected:
    SparvTimeTest() {
        EnsureQtApp();
        m_bar = std::make_unique<SparvTime>(nullptr);
        m_bar->resize(600, 35);
        m_bar->show();
        QObject::connect(m_bar.get(), &SparvTime::Scrubbed, [this](float oldTime, float step) {
            scrubs.push_back({oldTime, step});
        });
    }

    std::unique_ptr<SparvTime> m_bar;
    std::vector<std::pair<float, float>> scrubs;
};

TEST_F(SparvTimeTest, PositionIsThePercentageOfTheDurationRoundedHalfUp) {
    // Duration 0: the slider sits at the end and the time shown is 0.
    m_bar->SetLength(0.0f);
    EXPECT_EQ(m_bar->Position(), 100);
    EXPECT_FLOAT_EQ(m_bar->CurrentTime(), 0.0f);

    m_bar->SetLength(2.0f);
    EXPECT_EQ(m_bar->Position(), 0);
    m_bar->Advance(0.013f, false); // 0.65 %
    EXPECT_EQ(m_bar->Position(), 1);
    m_bar->Advance(0.5f, true); // not playing: stays
    EXPECT_FLOAT_EQ(m_bar->CurrentTime(), 0.013f);

    m_bar->Advance(5.0f, false); // past the end: held there
    EXPECT_EQ(m_bar->Position(), 100);
    EXPECT_FLOAT_EQ(m_bar->CurrentTime(), 2.0f);
    m_bar->SetLength(4.0f); // a longer type: the same time is half way
    EXPECT_EQ(m_bar->Position(), 50);
    m_bar->Rewind();
    EXPECT_EQ(m_bar->Position(), 0);
    EXPECT_TRUE(scrubs.empty()); // the program's moves are no scrubs
}

TEST_F(SparvTimeTest, DraggingTheSliderReportsTheSignedStep) {
    m_bar->SetLength(4.0f);
    m_bar->Advance(2.0f, false);
    ASSERT_EQ(m_bar->Position(), 50);
    shell_test::DragSlider(m_bar->Slider(), 25);
    ASSERT_EQ(m_bar->Position(), 25);
    ASSERT_FALSE(scrubs.empty());
    EXPECT_FLOAT_EQ(scrubs.front().first, 2.0f);
    float total = 0.0f;
    for (const auto& [oldTime, step] : scrubs)
        total += step;
    EXPECT_FLOAT_EQ(total, -1.0f);
    EXPECT_FLOAT_EQ(m_bar->CurrentTime(), 1.0f);
}

TEST_F(SparvTimeTest, KeyMarksNameTheCurrentKeyAndAreJumpedTo) {
    m_bar->SetLength(1.0f);
    EXPECT_EQ(m_bar->CurrentKey(), -1);
    EXPECT_TRUE(m_bar->OnCommand(SparvCommand::PreviousKeyMark)); // no marks: nothing moves
    EXPECT_TRUE(m_bar->OnCommand(SparvCommand::NextKeyMark));
    EXPECT_EQ(m_bar->Position(), 0);
    EXPECT_TRUE(scrubs.empty());

    m_bar->SetKeyMarks({{0, 0}, {1, 40}, {2, 80}});
    EXPECT_EQ(m_bar->CurrentKey(), 0);
    m_bar->Advance(0.5f, false);
    EXPECT_EQ(m_bar->CurrentKey(), -1);
    m_bar->OnCommand(SparvCommand::PreviousKeyMark);
    EXPECT_EQ(m_bar->Position(), 40);
    EXPECT_EQ(m_bar->CurrentKey(), 1);
    ASSERT_EQ(scrubs.size(), 1u);
    EXPECT_NEAR(scrubs[0].second, -0.1f, 1e-6f);
    m_bar->OnCommand(SparvCommand::NextKeyMark);
    m_bar->OnCommand(SparvCommand::NextKeyMark); // none beyond 80
    EXPECT_EQ(m_bar->Position(), 80);
    EXPECT_EQ(m_bar->CurrentKey(), 2);
    EXPECT_EQ(scrubs.size(), 2u);
    EXPECT_FALSE(m_bar->OnCommand(SparvCommand::StopPlayback));
}

} // namespace
