#include "definitions/FXStyle.h"
#include "editor/shell/ShellTestSupport.h"
#include "pool/MemCRT.h"
#include "shell/SparvTime.h"
#include "stream/StandardAliases.h"
#include "widgets/SparvDlgType.h"

#include <QRadioButton>

using shell_test::DialogWatcher;
using shell_test::ShellTest;

namespace {

class SparvAppTest : public ShellTest {
protected:
    // Answers the style chooser with the button of that label and OK.
    static std::function<void(SparvDlgType&)> ChooseStyle(const char* label) {
        return [label](SparvDlgType& dialog) {
            for (QRadioButton* button : dialog.findChildren<QRadioButton*>())
                if (button->text() == QLatin1String(label))
                    QTest::mouseClick(button, Qt::LeftButton);
            DialogWatcher::Click(dialog, QDialogButtonBox::Ok);
        };
    }
};

TEST_F(SparvAppTest, FirstDocumentIsAnUntitledRingMadeWithoutAskingAndTheNextNewAsks) {
    ASSERT_EQ(Doc().TypeCount(), 1);
    EXPECT_EQ(Doc().TypeAt(0)->GetStyle(), STYLE_RING);
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "untitled");
    EXPECT_TRUE(Doc().IsUntitled());
    EXPECT_TRUE(Doc().IsTypeUnsaved(0));
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Sparv - untitled"));
    EXPECT_TRUE(Prompts().messages.empty());
    EXPECT_TRUE(App().IsRunning());

    DialogWatcher dialogs;
    dialogs.Expect<SparvDlgType>(ChooseStyle("Beam"));
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(dialogs.Handled(), 1);
    EXPECT_EQ(Doc().TypeAt(0)->GetStyle(), STYLE_BEAM);

    // "Sound" has no style of its own: the new type keeps the one chosen before.
    dialogs.Expect<SparvDlgType>(ChooseStyle("Sound"));
    EXPECT_TRUE(Choose(SparvCommand::FileNew));
    EXPECT_EQ(dialogs.Handled(), 2);
    EXPECT_EQ(Doc().TypeAt(0)->GetStyle(), STYLE_BEAM);

    dialogs.Expect<SparvDlgType>(ChooseStyle("LensFlare"));
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Doc().TypeAt(0)->GetStyle(), STYLE_LENSFLARE);
    EXPECT_TRUE(dialogs.Unexpected().empty());
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(SparvAppTest, CancelledStyleChooserLeavesTheDocumentAloneAndAsksNothing) {
    SetFloat(0, "Duration", 3.0f);
    const FXType* before = Doc().TypeAt(0);
    DialogWatcher dialogs;
    dialogs.Expect<SparvDlgType>(
        [](SparvDlgType& dialog) { DialogWatcher::Click(dialog, QDialogButtonBox::Cancel); });
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(dialogs.Handled(), 1);
    EXPECT_EQ(Doc().TypeAt(0), before);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_TRUE(Prompts().messages.empty());

    // OK in the chooser asks about the changes; Cancel there keeps the document too.
    dialogs.Expect<SparvDlgType>(ChooseStyle("Trail"));
    Prompts().answers = {SparvPrompts::Answer::Cancel};
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Prompts().messages,
              std::vector<QString>{QStringLiteral("Do you want to save the changes you made?")});
    EXPECT_EQ(Doc().TypeAt(0), before);

    // No: the changes go and the new type comes.
    dialogs.Expect<SparvDlgType>(ChooseStyle("Trail"));
    Prompts().answers = {SparvPrompts::Answer::No};
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Doc().TypeAt(0)->GetStyle(), STYLE_TRAIL);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_TRUE(dialogs.Unexpected().empty());
}

TEST_F(SparvAppTest, LongStallAdvancesThePlayingEffectByOnlyFiveHundredths) {
    Click(View().PlayButton());
    Pass(5.0);
    EXPECT_FLOAT_EQ(View().TimeBar()->CurrentTime(), 0.05f);
    Pass(0.02);
    EXPECT_FLOAT_EQ(View().TimeBar()->CurrentTime(), 0.07f);
    // Exactly the limit is used as it is.
    Pass(0.05);
    EXPECT_FLOAT_EQ(View().TimeBar()->CurrentTime(), 0.12f);
}

TEST_F(SparvAppTest, InTheBackgroundNoFramesAreMadeAndTheReturnStartsWithAFreshTimer) {
    Click(View().PlayButton());
    Pass(0.02);
    // What the main frame does when another application becomes the active one.
    App().SetRunning(false);
    AdvanceClock(3.0);
    App().Idle();
    EXPECT_FLOAT_EQ(View().TimeBar()->CurrentTime(), 0.02f);
    AdvanceClock(3.0);
    App().SetRunning(true); // and back
    AdvanceClock(0.01);
    App().Idle();
    EXPECT_FLOAT_EQ(View().TimeBar()->CurrentTime(), 0.03f);
}

TEST_F(SparvAppTest, StartupStopsWithItsMessageWhenThePathAliasesCannotBeRegistered) {
    // A second editor in the same process finds the aliases taken.
    ASSERT_TRUE(AddStandardAliases() == false);
    SparvApp second;
    second.SetIdleLoopEnabled(false);
    EXPECT_FALSE(second.Startup({QStringLiteral("sparv")}));
    EXPECT_EQ(Prompts().messages, std::vector<QString>{QStringLiteral("Failed to path aliases.")});
    EXPECT_EQ(second.Frame(), nullptr);
    EXPECT_FALSE(second.IsRunning());
}

TEST_F(SparvAppTest, WorkingDirectoryOptionPutsTheAliasesBelowIt) {
    for (const char* alias : {"DATA:", "LOG:", "BIN:"}) {
        std::string host;
        ASSERT_TRUE(FilePath::ConvertFromAlias(std::string(alias) + "x.txt", host,
                                               FilePath::kModeAbsolute));
        EXPECT_EQ(host.rfind(std::filesystem::canonical(Root()).string(), 0), 0u)
            << alias << " " << host;
    }
}

TEST_F(SparvAppTest, AllocationLogKeepsOnePassOfAtMost16384Records) {
    Pass(0.01);
    EXPECT_TRUE(App().AllocationLog().Records().empty());
    EXPECT_EQ(App().AllocationLog().Capacity(), SparvAllocationLog::kCapacity);

    std::vector<void*> blocks;
    for (size_t i = 0; i < SparvAllocationLog::kCapacity + 1; ++i)
        blocks.push_back(MemCRTAlloc(8, 0));
    EXPECT_EQ(App().AllocationLog().Records().size(), SparvAllocationLog::kCapacity);
    EXPECT_EQ(App().AllocationLog().Records().back().words[1], 8u);
    EXPECT_EQ(App().AllocationLog().Capacity(), SparvAllocationLog::kCapacity);
    for (void* block : blocks)
        MemCRTFree(block, 0);

    Pass(0.01);
    EXPECT_TRUE(App().AllocationLog().Records().empty());
}

TEST_F(SparvAppTest, IdleLoopRestsWhileNothingMovesAndPlayWakesIt) {
    RenderWindow* render = View().Render();
    App().SetIdleLoopEnabled(true);
    QTest::qWait(100); // whatever the start-up asked for
    const int resting = render->FramesDrawn();
    QTest::qWait(1000);
    EXPECT_LE(render->FramesDrawn() - resting, 2);

    Click(View().PlayButton());
    EXPECT_TRUE(QTest::qWaitFor([&] { return render->FramesDrawn() - resting >= 8; }, 10000));
    App().SetIdleLoopEnabled(false);
}

TEST_F(SparvAppTest, CommandLineFileOpensAsFileOpenDoes) {
    WriteSpark("Data/art/fx/spark.lua");
    App().OpenFromCommandLine(FxPath("spark.lua"));
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "spark");
    EXPECT_TRUE(Prompts().messages.empty());

    WriteSpark("outside.lua");
    App().OpenFromCommandLine(Host(Root() / "outside.lua"));
    EXPECT_EQ(Prompts().messages, std::vector<QString>{QStringLiteral("Failed to find file")});
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "spark");
}

} // namespace
