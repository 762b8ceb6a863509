// Showing an effect to others from the editor: File > Export Animation and Bake Flip-book
// with their progress and Cancel, File > Save Snapshot, and review snapshots opened
// read-only (File > Open, the command line), refused when hostile.
#include "shell/SparvReviewCommands.h"

#include "editor/shell/ReviewTestSupport.h"
#include "script/LuaConfig.h"
#include "shell/SparvStatusLine.h"
#include "support/AnimationFiles.h"
#include "widgets/SparvDlgBake.h"
#include "widgets/SparvDlgExport.h"
#include "widgets/SparvDlgSnapshot.h"

#include <QProgressDialog>

using shell_test::DialogWatcher;
using shell_test::ExpectSamePicture;
using shell_test::PreviewPicture;

namespace {

namespace fs = std::filesystem;

class SparvReviewCommandsTest : public shell_test::ShellTest {
protected:
    Image Picture() { return PreviewPicture(*View().Render()); }
    // Answers the export dialog with these settings.
    static void FillExport(DialogWatcher& watcher, const fs::path& output, int frames, double fps,
                           int width, int height) {
        watcher.Expect<SparvDlgExport>([=](SparvDlgExport& dialog) {
            dialog.SetPath(QString::fromStdString(output.string()));
            dialog.SetFrames(frames);
            dialog.SetFps(fps);
            dialog.SetFrameSize(width, height);
            DialogWatcher::Click(dialog, QDialogButtonBox::Ok);
        });
    }
    bool AnyMessageContains(const QString& text) {
        for (const QString& message : Prompts().messages)
            if (message.contains(text))
                return true;
        return false;
    }
    // sparv-fx's render of a snapshot.
    Image RenderSnapshot(const fs::path& snapshot) {
        const fs::path output = Root() / "snapshot-render.png";
        const CommandResult result = RunCommand(
            std::string(SPARV_FX_EXE) + " render --wkdir " + ShellQuote(Root().string()) +
            " --snapshot " + ShellQuote(snapshot.string()) + " -o " + ShellQuote(output.string()));
        EXPECT_EQ(result.status, 0) << result.err;
        Image picture;
        EXPECT_TRUE(ReadImage(output.string(), picture));
        return picture;
    }
    // A snapshot saved through File > Save Snapshot with a note.
    void SaveSnapshotAs(const fs::path& path, const QString& note) {
        DialogWatcher watcher;
        watcher.Expect<SparvDlgSnapshot>([note](SparvDlgSnapshot& dialog) {
            dialog.SetNote(note);
            DialogWatcher::Click(dialog, QDialogButtonBox::Ok);
        });
        Prompts().files = {QString::fromStdString(path.string())};
        EXPECT_TRUE(Choose(SparvCommand::SaveSnapshot));
        EXPECT_EQ(watcher.Handled(), 1);
        EXPECT_TRUE(watcher.Unexpected().empty());
    }
};

TEST_F(SparvReviewCommandsTest, AnExportedGifHasTheFramesSizeAndDelayAskedAndThePreviewGoesOn) {
    OpenSample("explosion");
    for (int i = 0; i < 5; ++i)
        Press(Qt::Key_Period);
    const Image shown = Picture();
    const double time = Playback().Time();

    DialogWatcher watcher;
    const fs::path output = Root() / "explosion.gif";
    FillExport(watcher, output, 12, 10.0, 96, 64);
    watcher.Expect<QProgressDialog>([](QProgressDialog&) {});
    EXPECT_TRUE(Choose(SparvCommand::ExportAnimation));
    EXPECT_EQ(watcher.Handled(), 2);
    EXPECT_TRUE(watcher.Unexpected().empty());

    const AnimationContent gif = ReadGif(output.string());
    ASSERT_TRUE(gif.readable);
    EXPECT_EQ(gif.width, 96);
    EXPECT_EQ(gif.height, 64);
    ASSERT_EQ(gif.frames.size(), 12u);
    for (const AnimationFrame& frame : gif.frames)
        EXPECT_EQ(frame.delayMilliseconds, 100);
    EXPECT_TRUE(View().StatusLine()->Text(0).startsWith(QStringLiteral("Exported 12 frames")));

    // The export ran in a world of its own: the preview's effect is where it was and moves on.
    EXPECT_FALSE(View().Held());
    EXPECT_EQ(Playback().Time(), time);
    ExpectSamePicture(Picture(), shown, "after-export");
    Click(View().PlayButton());
    Passes(3, 0.05);
    EXPECT_NEAR(Playback().Time(), time + 0.15, 1e-6);
}

TEST_F(SparvReviewCommandsTest, CancelAndFailureLeaveNoFileAndAFailureSaysWhy) {
    OpenSample("explosion");
    {
        DialogWatcher watcher;
        FillExport(watcher, Root() / "cancelled.webp", 40, 30.0, 64, 64);
        watcher.Expect<QProgressDialog>([](QProgressDialog& progress) { progress.cancel(); });
        EXPECT_TRUE(Choose(SparvCommand::ExportAnimation));
        EXPECT_EQ(watcher.Handled(), 2);
    }
    EXPECT_FALSE(fs::exists(Root() / "cancelled.webp"));
    EXPECT_EQ(View().StatusLine()->Text(0),
              QStringLiteral("Export cancelled: nothing was written"));
    for (const auto& entry : fs::directory_iterator(Root()))
        EXPECT_EQ(entry.path().filename().string().find("cancelled"), std::string::npos)
            << entry.path();

    {
        DialogWatcher watcher;
        FillExport(watcher, Root() / "no-such-folder" / "out.gif", 4, 30.0, 32, 32);
        EXPECT_TRUE(Choose(SparvCommand::ExportAnimation));
    }
    ASSERT_FALSE(Prompts().messages.empty());
    EXPECT_TRUE(Prompts().messages.back().startsWith(QStringLiteral("Failed to export")))
        << Prompts().messages.back().toStdString();
    EXPECT_EQ(Prompts().icons.back(), SparvPrompts::Icon::Warning);
    EXPECT_FALSE(fs::exists(Root() / "no-such-folder"));

    // Settings no format takes are refused with the reason too.
    {
        DialogWatcher watcher;
        FillExport(watcher, Root() / "explosion.bmp", 4, 30.0, 32, 32);
        EXPECT_TRUE(Choose(SparvCommand::ExportAnimation));
    }
    EXPECT_TRUE(Prompts().messages.back().contains(QStringLiteral("extension")));
    EXPECT_FALSE(fs::exists(Root() / "explosion.bmp"));
}

TEST_F(SparvReviewCommandsTest, BakeWritesTheSheetAndItsAnimationBesideIt) {
    OpenSample("sparks");
    DialogWatcher watcher;
    watcher.Expect<SparvDlgBake>([this](SparvDlgBake& dialog) {
        dialog.SetPath(QString::fromStdString((Root() / "Data/art/fx/sparks_sheet.png").string()));
        dialog.SetGrid(3, 2);
        dialog.SetCellSize(32);
        dialog.SetFps(12.0);
        DialogWatcher::Click(dialog, QDialogButtonBox::Ok);
    });
    watcher.Expect<QProgressDialog>([](QProgressDialog&) {});
    EXPECT_TRUE(Choose(SparvCommand::BakeFlipbook));
    Image sheet;
    ASSERT_TRUE(ReadImage((Root() / "Data/art/fx/sparks_sheet.png").string(), sheet));
    EXPECT_EQ(sheet.width, 3 * 32);
    EXPECT_EQ(sheet.height, 2 * 32);
    EXPECT_TRUE(fs::exists(Root() / "Data/art/fx/sparks_sheet.anim"));
    EXPECT_TRUE(View().StatusLine()->Text(0).startsWith(QStringLiteral("Baked 3 x 2 frames")));
}

TEST_F(SparvReviewCommandsTest, ASnapshotSavedFromTheEditorRendersHeadlessAsTheEditorShowsIt) {
    OpenSample("explosion");
    Click(View().PlayButton());
    Passes(7, 0.043); // a moment reached in real time: saving rebuilds it exactly
    const fs::path snapshot = Root() / "review.sparvsnap";
    SaveSnapshotAs(snapshot, QStringLiteral("the sparks fade too early"));
    ASSERT_TRUE(fs::exists(snapshot));
    EXPECT_TRUE(Playback().IsPaused());
    EXPECT_TRUE(Playback().IsExact());
    EXPECT_NEAR(Playback().Time(), 7 * 0.043, 1e-6);

    FXSnapshot read;
    ASSERT_TRUE(read.Read(snapshot.string()));
    EXPECT_EQ(read.note, "the sparks fade too early");
    EXPECT_EQ(read.MainType(), "explosion");
    EXPECT_GE(read.types.size(), 4u); // explosion and what it spawns
    EXPECT_EQ(read.scene.seed, Playback().Seed());
    ExpectSamePicture(Picture(), RenderSnapshot(snapshot), "snapshot-saved");
}

TEST_F(SparvReviewCommandsTest, AnOpenedSnapshotShowsItsFrameReadOnlyAndSaveAsAdoptsItsTypes) {
    OpenSample("spark");
    ASSERT_EQ(SetFloat(0, "Duration", 2.0f), SparvDoc::EditResult::Applied);
    for (int i = 0; i < 8; ++i)
        Press(Qt::Key_Period);
    const fs::path snapshot = Root() / "spark.sparvsnap";
    SaveSnapshotAs(snapshot, QStringLiteral("slower"));
    const Image saved = RenderSnapshot(snapshot);
    // The working directory moves on: the file keeps 0.8 s, the texture goes.
    fs::remove(Root() / "Data/art/fx/point.tga");
    Prompts().answers = {SparvPrompts::Answer::No}; // do not save the edit
    OpenFile(FxPath("fire.lua"));
    ASSERT_EQ(Doc().TypeAt(0)->GetName(), "fire");
    Prompts().messages.clear();

    OpenFile(QString::fromStdString(snapshot.string()));
    ASSERT_TRUE(Doc().IsReadOnly());
    EXPECT_EQ(Doc().Title(), QStringLiteral("spark.sparvsnap"));
    EXPECT_TRUE(Playback().IsPaused());
    EXPECT_NEAR(Playback().Time(), 8.0 / 30.0, 1e-12);
    EXPECT_TRUE(AnyMessageContains(QStringLiteral("spark differs from its file")));
    EXPECT_TRUE(AnyMessageContains(QStringLiteral("Duration")));
    EXPECT_TRUE(AnyMessageContains(QStringLiteral("point.tga' does not exist")));
    EXPECT_EQ(View().StatusLine()->Text(0), QStringLiteral("Note: slower"));
    EXPECT_TRUE(View().StatusLine()->Note().contains(QStringLiteral("read-only")));
    // The frame at the snapshot's own size, as sparv-fx renders it (without the texture
    // now: both draw what the working directory has).
    EXPECT_EQ(View().Render()->EffectViewSize(), QSize(saved.width, saved.height));
    const Image shown = shell_test::Crop(Picture(), View().Render()->NowPaneRect());
    ExpectSamePicture(shown, RenderSnapshot(snapshot), "snapshot-opened");

    // Edits are refused, and say why.
    FXVariable value;
    value.SetFloat(3.0f);
    View().OnSetValue(0, QStringLiteral("Duration"), value, false);
    EXPECT_TRUE(View().StatusLine()->Text(0).contains(QStringLiteral("read-only")));
    EXPECT_EQ(GetFloat(0, "Duration"), 2.0f);
    EXPECT_FALSE(Doc().IsModified());

    // Save As adopts the types: the main one under its new name.
    Prompts().files = {FxPath("spark_review.lua")};
    Choose(SparvCommand::FileSaveAs);
    EXPECT_FALSE(Doc().IsReadOnly());
    ASSERT_TRUE(fs::exists(Root() / "Data/art/fx/spark_review.lua"));
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "spark_review");
    EXPECT_EQ(SetFloat(0, "Duration", 3.0f), SparvDoc::EditResult::Applied);
}

TEST_F(SparvReviewCommandsTest, HostileSnapshotsAreRefusedWithTheReadersReasonAndChangeNothing) {
    OpenSpark();
    // A script the sandbox stops, a binary chunk and a malformed snapshot: FXSnapshotTest
    // and LuaConfigTest hold every kind of refusal; here, that the reason reaches the user.
    const std::string scripts[] = {
        "os.execute('touch hacked')",
        std::string("\x1bLua\x54\x00\x19\x93\r\n\x1a\n", 12),
        "snapshot = { format = 1, types = {} }",
    };
    for (const std::string& script : scripts) {
        SCOPED_TRACE(script.substr(0, 30));
        WriteFile("hostile.sparvsnap", script);
        const fs::path path = Root() / "hostile.sparvsnap";
        FXSnapshot snapshot;
        std::string reason;
        ASSERT_FALSE(snapshot.Read(path.string(), &reason));
        Prompts().messages.clear();
        App().OpenFromCommandLine(QString::fromStdString(path.string()));
        ASSERT_EQ(Prompts().messages.size(), 1u);
        EXPECT_TRUE(Prompts().messages[0].contains(QStringLiteral("was refused")));
        EXPECT_TRUE(Prompts().messages[0].contains(QString::fromStdString(reason)))
            << Prompts().messages[0].toStdString() << "\n"
            << reason;
        EXPECT_EQ(Doc().TypeAt(0)->GetName(), "spark");
        EXPECT_FALSE(Doc().IsReadOnly());
    }
    EXPECT_FALSE(fs::exists(Root() / "hacked"));
}

} // namespace
