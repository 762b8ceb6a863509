// Files changed on disk by other tools while the editor has them open.

#include "shell/SparvFileWatcher.h"

#include "editor/shell/ShellTestSupport.h"
#include "scene/Texture.h"

#include <QSignalSpy>

using shell_test::ShellTest;

namespace {

class SparvFileWatcherTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (IsSkipped())
            return;
        OpenSpark();
        ASSERT_TRUE(Frame()->FileWatcher().WatchedFiles().contains(FxPath("spark.lua")));
        m_spark = ReadText("Data/art/fx/spark.lua");
    }
    // The sample with another duration, as a text editor would write it.
    std::string SparkLasting(const char* seconds) const {
        std::string text = m_spark;
        const std::string duration = "name = \"Duration\",";
        const size_t at = text.find("value = ", text.find(duration)) + 8;
        text.replace(at, text.find(',', at) - at, seconds);
        return text;
    }
    float Duration() { return GetFloat(0, "Duration"); }
    // Lets the watcher see a change and settle: until done holds (a busy machine may take
    // a while), then as long again for anything that should not follow.
    static void Settle(const std::function<bool()>& done = {}) {
        if (done)
            (void)QTest::qWaitFor(done, 10000);
        QTest::qWait(SparvFileWatcher::kSettleMilliseconds * 3);
    }

    std::string m_spark;
};

TEST_F(SparvFileWatcherTest, ATypeRewrittenOnDiskIsReadAgainAsOneUndoStep) {
    QSignalSpy reloads(&Frame()->FileWatcher(), &SparvFileWatcher::TypeReloaded);
    WriteFile("Data/art/fx/spark.lua", SparkLasting("3"));
    Settle([&] { return reloads.count() >= 1; });
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_EQ(Duration(), 3.0f);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().UndoStack().undoText(), QStringLiteral("Reload spark"));
    Doc().UndoStack().undo();
    EXPECT_FLOAT_EQ(Duration(), 0.8f);
    EXPECT_TRUE(Doc().IsTypeUnsaved(0)); // the file holds 3 now
}

TEST_F(SparvFileWatcherTest, AWriteThatRenamesOverTheFileIsOneReload) {
    QSignalSpy reloads(&Frame()->FileWatcher(), &SparvFileWatcher::TypeReloaded);
    WriteFile("Data/art/fx/.spark.tmp", SparkLasting("4"));
    std::filesystem::rename(Root() / "Data/art/fx/.spark.tmp", Root() / "Data/art/fx/spark.lua");
    Settle([&] { return reloads.count() >= 1; });
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_EQ(Duration(), 4.0f);
    // And the watch follows the new file.
    WriteFile("Data/art/fx/spark.lua", SparkLasting("5"));
    Settle([&] { return reloads.count() >= 2; });
    EXPECT_EQ(reloads.count(), 2);
    EXPECT_EQ(Duration(), 5.0f);
}

TEST_F(SparvFileWatcherTest, UnsavedChangesAskOnceAndOwnSavesChangeNothing) {
    QSignalSpy reloads(&Frame()->FileWatcher(), &SparvFileWatcher::TypeReloaded);
    SetFloat(0, "Duration", 2.0f);
    Prompts().messages.clear();
    Prompts().choices = {1}; // keep my changes
    WriteFile("Data/art/fx/spark.lua", SparkLasting("3"));
    Settle([&] { return !Prompts().messages.empty(); });
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_TRUE(Prompts().messages[0].contains(QStringLiteral("unsaved changes")));
    EXPECT_EQ(Duration(), 2.0f);
    EXPECT_EQ(reloads.count(), 0);

    // Sparv's own save is not news.
    Prompts().messages.clear();
    Press(Qt::Key_S, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Prompts().messages,
              std::vector<QString>{QStringLiteral("spark\n\nSaved Successfully")});
    EXPECT_EQ(reloads.count(), 0);

    // Asked again for the next change, and this time reloaded.
    SetFloat(0, "Duration", 6.0f);
    Prompts().messages.clear();
    Prompts().choices = {0};
    WriteFile("Data/art/fx/spark.lua", SparkLasting("7"));
    Settle([&] { return reloads.count() >= 1; });
    EXPECT_EQ(Prompts().messages.size(), 1u);
    EXPECT_EQ(Duration(), 7.0f);
    EXPECT_EQ(reloads.count(), 1);
}

TEST_F(SparvFileWatcherTest, AFileThatDisappearsIsReportedOnceAndTheTypeKept) {
    Prompts().messages.clear();
    std::filesystem::remove(Root() / "Data/art/fx/spark.lua");
    Settle([&] { return !Prompts().messages.empty(); });
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_TRUE(Prompts().messages[0].contains(QStringLiteral("removed")));
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "spark");
    EXPECT_TRUE(Doc().IsTypeUnsaved(0));
    Settle();
    EXPECT_EQ(Prompts().messages.size(), 1u);
}

TEST_F(SparvFileWatcherTest, AChangedTextureIsReadAgainInPlace) {
    // The sample's texture, then another picture written over it.
    const auto samples = std::filesystem::path(SPARV_SAMPLES) / "Data/art/fx";
    std::filesystem::copy_file(samples / "point.tga", Root() / "Data/art/fx/point.tga");
    Frame()->FileWatcher().SetBeforeRuntimeChange([] {});
    OpenFile(FxPath("spark.lua"));
    ASSERT_TRUE(Frame()->FileWatcher().WatchedFiles().contains(FxPath("point.tga")));
    Texture* texture = TextureRegistry::instance()->find("Data:art/fx/point.tga");
    ASSERT_NE(texture, nullptr);
    const std::vector<uint8_t> before = texture->pixels();

    QSignalSpy reloads(&Frame()->FileWatcher(), &SparvFileWatcher::AssetReloaded);
    std::filesystem::copy_file(samples / "smoke.tga", Root() / "Data/art/fx/point.tga",
                               std::filesystem::copy_options::overwrite_existing);
    Settle([&] { return reloads.count() >= 1; });
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_NE(texture->pixels(), before); // the same texture, the new picture
    TextureRegistry::instance()->releaseTexture(texture);
}

} // namespace
