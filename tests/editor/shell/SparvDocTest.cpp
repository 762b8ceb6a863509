#include "definitions/FXStyle.h"
#include "editor/shell/ShellTestSupport.h"
#include "shell/SparvTime.h"
#include "stream/AtomicFileWriter.h"
#include "widgets/SparvDlgEmitPos.h"
#include "widgets/SparvDlgGlobals.h"
#include "widgets/SparvDlgType.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using shell_test::DialogWatcher;
using shell_test::ShellTest;

namespace {

class SparvDocTest : public ShellTest {
protected:
    // Positions and radii of every live instance.
    static std::vector<float> Snapshot() {
        std::vector<float> values;
        for (const FXRecord& record : FXManager::Instance()->Records())
            values.insert(values.end(),
                          {record.position.x, record.position.y, record.position.z, record.radius});
        return values;
    }
    std::vector<std::vector<float>> PlayAndRecord(int passes) {
        Click(View().PlayButton());
        std::vector<std::vector<float>> frames;
        for (int i = 0; i < passes; ++i) {
            Pass(0.05);
            frames.push_back(Snapshot());
        }
        Click(View().StopButton());
        return frames;
    }
};

TEST_F(SparvDocTest, SavingANewDocumentGoesThroughSaveAsAndThenSavesWithoutAsking) {
    Prompts().files = {FxPath("fire")}; // the chooser adds ".lua"
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(Prompts().fileQuestions.size(), 1u);
    EXPECT_EQ(Prompts().fileQuestions[0].initial, FxPath("untitled.lua"));
    EXPECT_TRUE(Prompts().fileQuestions[0].filter.startsWith(QStringLiteral("Lua files (*.lua)")));
    EXPECT_TRUE(std::filesystem::exists(Root() / "Data/art/fx/fire.lua"));
    EXPECT_EQ(Prompts().messages,
              std::vector<QString>{QStringLiteral("fire\n\nSaved Successfully")});
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Sparv - fire"));
    EXPECT_FALSE(Doc().IsUntitled());
    EXPECT_FALSE(Doc().IsTypeUnsaved(0));

    SetFloat(0, "Duration", 2.5f);
    EXPECT_TRUE(Doc().IsModified());
    Prompts().messages.clear();
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Prompts().fileQuestions.size(), 1u); // no chooser the second time
    EXPECT_EQ(Prompts().messages,
              std::vector<QString>{QStringLiteral("fire\n\nSaved Successfully")});
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_NE(std::filesystem::file_size(Root() / "Data/art/fx/fire.lua"), 0u);

    // Nothing unsaved: nothing written, nothing said.
    Prompts().messages.clear();
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(SparvDocTest, OpenFindsTypesBelowTheFXRootOnlyAndLeavesTheDocumentAloneOnFailure) {
    const FXType* before = Doc().TypeAt(0);
    WriteSpark("../elsewhere.lua");
    OpenFile(Host(Root() / "Data/art/elsewhere.lua"));
    ASSERT_EQ(Prompts().fileQuestions.size(), 1u);
    EXPECT_EQ(Prompts().fileQuestions[0].initial, FxPath(""));
    EXPECT_EQ(Prompts().messages, std::vector<QString>{QStringLiteral("Failed to find file")});
    EXPECT_EQ(Prompts().icons.back(), SparvPrompts::Icon::Warning);
    EXPECT_EQ(Doc().TypeAt(0), before);

    // Below another project's FX root: not this project's effect of the same name.
    WriteSpark("Data/art/fx/spark.lua");
    WriteSpark("other/Data/art/fx/spark.lua");
    Prompts().messages.clear();
    OpenFile(Host(Root() / "other/Data/art/fx/spark.lua"));
    EXPECT_EQ(Prompts().messages, std::vector<QString>{QStringLiteral("Failed to find file")});
    EXPECT_EQ(Doc().TypeAt(0), before);

    WriteFile("Data/art/fx/broken.lua", "fx = {");
    Prompts().messages.clear();
    OpenFile(FxPath("broken.lua"));
    EXPECT_EQ(Prompts().messages, std::vector<QString>{QStringLiteral("Failed to load file")});
    EXPECT_EQ(Doc().TypeAt(0), before);

    // Any case, any depth below the root: the type is named by its path from there.
    WriteSpark("Data/art/fx/Explosions/Big.LUA");
    Prompts().messages.clear();
    OpenFile(FxPath("Explosions/Big.LUA"));
    EXPECT_TRUE(Prompts().messages.empty());
    ASSERT_EQ(Doc().TypeCount(), 1);
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "explosions/big");
    EXPECT_FALSE(Doc().IsUntitled());
    EXPECT_FALSE(Doc().IsTypeUnsaved(0));
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Sparv - explosions/big"));
    EXPECT_FLOAT_EQ(View().TimeBar()->Length(), 0.8f);
    ASSERT_FALSE(App().RecentFiles().Entries().isEmpty());
    EXPECT_EQ(App().RecentFiles().Entries().front(), FxPath("Explosions/Big.LUA"));
}

TEST_F(SparvDocTest, OpenOffersToSaveAModifiedDocumentAndGoesOnEvenWhenCancelled) {
    WriteSpark("Data/art/fx/spark.lua");
    SetFloat(0, "Duration", 3.0f);
    ASSERT_TRUE(Doc().IsModified());
    Prompts().answers = {SparvPrompts::Answer::Cancel};
    OpenFile(FxPath("spark.lua"));
    EXPECT_EQ(Prompts().messages, std::vector<QString>{QStringLiteral("Do you want to save?")});
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "spark");
}

TEST_F(SparvDocTest, UnwritableSecondTypeGetsItsOwnBoxAndTheDocumentStaysModified) {
    WriteSpark("Data/art/fx/first.lua");
    WriteSpark("Data/art/fx/second.lua");
    OpenFile(FxPath("first.lua"));
    ASSERT_EQ(Doc().FindOrLoadType("second"), 1);
    SetFloat(0, "Duration", 1.5f);
    SetFloat(1, "Duration", 2.5f);
    // A folder where the file should go cannot be replaced, whoever runs the test.
    std::filesystem::remove(Root() / "Data/art/fx/second.lua");
    std::filesystem::create_directory(Root() / "Data/art/fx/second.lua");

    Prompts().messages.clear();
    Choose(SparvCommand::FileSave);
    EXPECT_EQ(Prompts().messages,
              (std::vector<QString>{
                  QStringLiteral("Failed to save file 'second', perhaps it is read-only"),
                  QStringLiteral("first\n\nSaved Successfully")}));
    EXPECT_FALSE(Doc().IsTypeUnsaved(0));
    EXPECT_TRUE(Doc().IsTypeUnsaved(1));
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(SparvDocTest, FixRandomMakesTwoPlaysOfARandomEffectIdentical) {
    // A spray of sparks: every particle leaves in a random direction.
    WriteSpark("Data/art/fx/dot.lua");
    DialogWatcher dialogs;
    dialogs.Expect<SparvDlgType>([](SparvDlgType& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("typeSpray"))->click();
        DialogWatcher::Click(dialog, QDialogButtonBox::Ok);
    });
    Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(Doc().TypeAt(0)->GetStyle(), STYLE_SPRAY);

    const auto loose1 = PlayAndRecord(8);
    const auto loose2 = PlayAndRecord(8);
    ASSERT_GT(loose1.back().size(), 8u); // particles were emitted
    EXPECT_NE(loose1, loose2);

    EXPECT_TRUE(Choose(SparvCommand::FixRandom));
    EXPECT_TRUE(Frame()->Action(SparvCommand::FixRandom)->isChecked());
    const auto fixed1 = PlayAndRecord(8);
    const auto fixed2 = PlayAndRecord(8);
    EXPECT_EQ(fixed1, fixed2);
}

TEST_F(SparvDocTest, FinishedEffectRestartsWithTheBarBackAtZeroWhilePlayingButNotWhilePaused) {
    OpenSpark();
    Click(View().PlayButton());
    const FXHandle first = Playback().Instance();
    int lastPosition = 0;
    for (int i = 0; i < 40 && Playback().Instance() == first; ++i) {
        lastPosition = View().TimeBar()->Position();
        Pass(0.05);
    }
    ASSERT_NE(Playback().Instance(), first);
    EXPECT_GT(lastPosition, 90); // the effect ran to its end (0.8 s) first
    EXPECT_TRUE(FXManager::Instance()->IsAlive(Playback().Instance()));
    // Rewound by the restart, then moved on by the pass that made it.
    EXPECT_FLOAT_EQ(View().TimeBar()->CurrentTime(), 0.05f);

    Click(View().PlayButton()); // pause
    ASSERT_TRUE(Playback().IsPaused());
    const FXHandle paused = Playback().Instance();
    FXManager::Instance()->Destroy(paused);
    Passes(5, 0.05);
    EXPECT_EQ(Playback().Instance(), paused);
    EXPECT_FLOAT_EQ(View().TimeBar()->CurrentTime(), 0.05f);

    Click(View().PlayButton()); // resume
    Pass(0.05);
    EXPECT_NE(Playback().Instance(), paused);
    EXPECT_TRUE(FXManager::Instance()->IsAlive(Playback().Instance()));
}

TEST_F(SparvDocTest, GravityAndWindAreDisabledWhilePlayingOrPaused) {
    Click(View().PlayButton());
    EXPECT_FALSE(Choose(SparvCommand::Gravity));
    EXPECT_FALSE(Choose(SparvCommand::Wind));
    Click(View().PlayButton()); // pause
    EXPECT_FALSE(Choose(SparvCommand::Gravity));
    EXPECT_FALSE(Choose(SparvCommand::Wind));

    Click(View().StopButton());
    DialogWatcher dialogs;
    dialogs.Expect<SparvDlgGlobals>([](SparvDlgGlobals& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Wind"));
        dialog.findChild<QLineEdit*>(QStringLiteral("x"))->setText(QStringLiteral("2.5"));
        DialogWatcher::Click(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_TRUE(Choose(SparvCommand::Wind));
    EXPECT_EQ(dialogs.Handled(), 1);
    EXPECT_FLOAT_EQ(FXGetWind()->x, 2.5f);

    dialogs.Expect<SparvDlgGlobals>([](SparvDlgGlobals& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Gravity"));
        EXPECT_FLOAT_EQ(dialog.Y(), -58.86f);
        DialogWatcher::Click(dialog, QDialogButtonBox::Cancel);
    });
    EXPECT_TRUE(Choose(SparvCommand::Gravity));
    EXPECT_EQ(dialogs.Handled(), 2);
    EXPECT_FLOAT_EQ(FXGetGravity()->y, -58.86f);
}

TEST_F(SparvDocTest, EmitterPositionMovesThePlayingInstanceAtOnce) {
    Click(View().PlayButton());
    DialogWatcher dialogs;
    dialogs.Expect<SparvDlgEmitPos>([](SparvDlgEmitPos& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("y"))->setText(QStringLiteral("3"));
        dialog.findChild<QLineEdit*>(QStringLiteral("scale"))->setText(QStringLiteral("2"));
        DialogWatcher::Click(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_TRUE(Choose(SparvCommand::EmitterPosition));
    ASSERT_EQ(dialogs.Handled(), 1);
    EXPECT_FLOAT_EQ(Playback().EmitterTransform().m[3][1], 3.0f);
    EXPECT_FLOAT_EQ(Playback().EmitterScale(), 2.0f);
    Matrix4 transform;
    ASSERT_TRUE(FXManager::Instance()->GetTransform(Playback().Instance(), transform));
    EXPECT_FLOAT_EQ(transform.m[3][1], 3.0f);
}

TEST_F(SparvDocTest, SaveAsAsksAboutTheFileItWillWriteAndWritesAnUnchangedEffect) {
    WriteSpark("Data/art/fx/spark.lua");
    WriteSpark("Data/art/fx/fire.lua");
    OpenFile(FxPath("spark.lua"));
    const std::string fire = ReadText("Data/art/fx/fire.lua");

    // Typed without ".lua": the question is about fire.lua, and No writes nothing.
    Prompts().messages.clear();
    Prompts().files = {FxPath("fire")};
    Prompts().answers = {SparvPrompts::Answer::No};
    Choose(SparvCommand::FileSaveAs);
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_TRUE(Prompts().messages[0].contains(QStringLiteral("fire.lua already exists")))
        << Prompts().messages[0].toStdString();
    EXPECT_EQ(ReadText("Data/art/fx/fire.lua"), fire);
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "spark");

    // An opened, unchanged effect saved under a new name is written all the same.
    Prompts().messages.clear();
    Prompts().files = {FxPath("copy.lua")};
    Choose(SparvCommand::FileSaveAs);
    EXPECT_EQ(Prompts().messages,
              std::vector<QString>{QStringLiteral("copy\n\nSaved Successfully")});
    EXPECT_EQ(ReadText("Data/art/fx/copy.lua"), ReadText("Data/art/fx/spark.lua"));
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Sparv - copy"));
}

TEST_F(SparvDocTest, FailedSaveAsKeepsTheDocumentsNameAndWarns) {
    OpenSpark();
    SetFloat(0, "Duration", 2.0f);
    // A folder where the file should go cannot be replaced, whoever runs the test.
    std::filesystem::create_directory(Root() / "Data/art/fx/blocked.lua");
    Prompts().messages.clear();
    Prompts().files = {FxPath("blocked.lua")};
    Prompts().answers = {SparvPrompts::Answer::Yes}; // replace it
    Choose(SparvCommand::FileSaveAs);
    ASSERT_EQ(Prompts().messages.size(), 2u);
    EXPECT_EQ(Prompts().messages[1],
              QStringLiteral("Failed to save file 'blocked', perhaps it is read-only"));
    EXPECT_EQ(Prompts().icons[1], SparvPrompts::Icon::Warning);
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "spark");
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Sparv - spark"));
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(SparvDocTest, ASaveWhoseFlushFailsReportsItAndKeepsTheOldFileWhole) {
    OpenSpark();
    const std::string before = ReadText("Data/art/fx/spark.lua");
    SetFloat(0, "Duration", 2.0f);
    const auto previous = AtomicFileWriter::SetFlush([](int) {
        errno = EIO;
        return -1;
    });
    Prompts().messages.clear();
    Press(Qt::Key_S, Qt::ControlModifier);
    AtomicFileWriter::SetFlush(previous);
    EXPECT_EQ(Prompts().messages, std::vector<QString>{QStringLiteral(
                                      "Failed to save file 'spark', perhaps it is read-only")});
    EXPECT_EQ(ReadText("Data/art/fx/spark.lua"), before);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_TRUE(Doc().IsTypeUnsaved(0));
}

} // namespace
