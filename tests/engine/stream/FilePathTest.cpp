#include "stream/FilePath.h"

#include "support/TempWorkDir.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Converts through the char buffer form, as engine code calls it.
std::string fromAlias(const std::string& aliased, int mode = FilePath::kModeRelative) {
    char buffer[512];
    std::strcpy(buffer, aliased.c_str());
    if (!FilePath::ConvertFromAlias(buffer, sizeof buffer, mode))
        return "<false>";
    return buffer;
}

std::string toAlias(const std::string& host) {
    char buffer[512];
    std::strcpy(buffer, host.c_str());
    if (!FilePath::ConvertToAlias(buffer, sizeof buffer))
        return "<false>";
    return buffer;
}

std::string workingDirectory() {
    return std::filesystem::current_path().generic_string();
}

// Counts destroyed sources, to see that the alias table owns what it is given.
class CountingSource : public FilePathSource {
public:
    explicit CountingSource(int& destroyed) : m_destroyed(destroyed) {}
    ~CountingSource() override { ++m_destroyed; }
    std::string hostPath(const std::string& rest) const override { return rest; }
    bool aliasRest(const std::string&, std::string&) const override { return false; }

private:
    int& m_destroyed;
};

class FilePathTest : public testing::Test {
protected:
    FilePathTest() {
        work.write("Data/art/fx/spark.lua", "spark");
        work.write("Logfiles/run.log", "");
    }
    TempWorkDir work;
};

TEST_F(FilePathTest, FromAliasMatchesEachComponentIgnoringCaseAndNormalises) {
    const std::pair<std::string, std::string> rows[] = {
        {"DATA:ART/FX/Spark.LUA", "Data/art/fx/spark.lua"},
        {"data:art/fx/spark.lua", "Data/art/fx/spark.lua"},
        {"Data:Art/Fx/SPARK.lua", "Data/art/fx/spark.lua"},
        {"LOG:RUN.LOG", "Logfiles/run.log"},
        // A file about to be created goes into the existing folder, under the name asked.
        {"DATA:ART/FX/New.lua", "Data/art/fx/New.lua"},
        // Below a missing folder nothing can exist: the rest stays as written.
        {"DATA:ART/NEW/FX/Spark.LUA", "Data/art/NEW/FX/Spark.LUA"},
        {"BIN:Tool.exe", "Bin/Tool.exe"},
        // A file is matched, but nothing lies below it.
        {"DATA:art/fx/SPARK.LUA/x", "Data/art/fx/spark.lua/x"},
        // Either separator, repeated or not, "." and a leading separator.
        {"DATA:", "Data/"},
        {"DATA:ART/", "Data/art/"},
        {"DATA:ART\\FX\\\\", "Data/art/fx/"},
        {"DATA:ART\\FX\\Spark.LUA", "Data/art/fx/spark.lua"},
        {"data\\ART\\fx\\spark.lua", "Data/art/fx/spark.lua"},
        {"DATA:ART//FX///Spark.LUA", "Data/art/fx/spark.lua"},
        {"DATA:./ART/./FX/Spark.LUA", "Data/art/fx/spark.lua"},
        {"DATA:ART/../ART/FX/Spark.LUA", "Data/art/../art/fx/spark.lua"},
        {"DATA:/ART/FX/Spark.LUA", "Data/art/fx/spark.lua"},
        {"TOOL:", "."},
        {"./", "."},
    };
    for (const auto& [aliased, expected] : rows)
        EXPECT_EQ(fromAlias(aliased), expected) << aliased;
}

TEST_F(FilePathTest, ExactNameWinsOverCaseVariants) {
    work.write("Data/a.lua", "lower");
    work.write("Data/A.lua", "upper");
    EXPECT_EQ(fromAlias("DATA:a.lua"), "Data/a.lua");
    EXPECT_EQ(fromAlias("DATA:A.lua"), "Data/A.lua");
    // No exact match: the first in byte order, whatever order the directory lists.
    EXPECT_EQ(fromAlias("DATA:a.LUA"), "Data/A.lua");
}

TEST_F(FilePathTest, RawAliasTakesHostPathsAsTheyAre) {
    const std::string root = work.root().generic_string();
    EXPECT_EQ(fromAlias("TOOL:data/ART/fx"), "Data/art/fx");
    EXPECT_EQ(fromAlias("TOOL:" + root + "/Data/ART"), root + "/Data/art");
    EXPECT_EQ(fromAlias("TOOL:/no/such/Place"), "/no/such/Place");
    // A plain absolute path is a host path, even with a ':' after its first separator.
    EXPECT_EQ(fromAlias(root + "/DATA/art:x"), root + "/Data/art:x");
}

TEST_F(FilePathTest, AbsoluteModeStartsAtTheWorkingDirectory) {
    const int absolute = FilePath::kModeAbsolute;
    EXPECT_EQ(fromAlias("DATA:ART/FX/Spark.LUA", absolute),
              workingDirectory() + "/Data/art/fx/spark.lua");
    EXPECT_EQ(fromAlias("TOOL:", absolute), workingDirectory());
    EXPECT_EQ(fromAlias("TOOL:/no/such/Place", absolute), "/no/such/Place");

    // The working directory counts at the time of the call.
    std::filesystem::current_path(work.root() / "Data");
    EXPECT_EQ(fromAlias("TOOL:ART", absolute), workingDirectory() + "/art");
    std::filesystem::current_path(work.root());
}

TEST_F(FilePathTest, FromAliasFailureLeavesThePathAlone) {
    char path[64] = "NOPE:art/fx/spark.lua";
    EXPECT_FALSE(FilePath::ConvertFromAlias(path, sizeof path, FilePath::kModeRelative));
    EXPECT_STREQ(path, "NOPE:art/fx/spark.lua");

    EXPECT_FALSE(FilePath::ConvertFromAlias(path, sizeof path, 0));
    EXPECT_STREQ(path, "NOPE:art/fx/spark.lua");

    std::strcpy(path, ":art");
    EXPECT_FALSE(FilePath::ConvertFromAlias(path, sizeof path, FilePath::kModeRelative));
    EXPECT_STREQ(path, ":art");

    std::string host = "unchanged";
    EXPECT_FALSE(FilePath::ConvertFromAlias("NOPE:x", host));
    EXPECT_EQ(host, "unchanged");
}

TEST_F(FilePathTest, FromAliasNeedsRoomForTheTerminatingZero) {
    const std::string expected = "Logfiles/run.log";
    std::vector<char> path(expected.size(), '\0');
    std::strcpy(path.data(), "LOG:run.log");
    EXPECT_FALSE(FilePath::ConvertFromAlias(path.data(), path.size(), FilePath::kModeRelative));
    EXPECT_STREQ(path.data(), "LOG:run.log");

    path.assign(expected.size() + 1, '\0');
    std::strcpy(path.data(), "LOG:run.log");
    EXPECT_TRUE(FilePath::ConvertFromAlias(path.data(), path.size(), FilePath::kModeRelative));
    EXPECT_EQ(std::string(path.data()), expected);

    // A buffer without a terminating zero holds no path.
    char unterminated[4] = {'D', 'A', 'T', 'A'};
    EXPECT_FALSE(
        FilePath::ConvertFromAlias(unterminated, sizeof unterminated, FilePath::kModeRelative));
}

TEST_F(FilePathTest, ToAliasRoundTrips) {
    for (const std::string aliased : {"DATA:art/fx/spark.lua", "LOG:run.log", "DATA:art/new/",
                                      "BIN:x.exe", "TOOL:elsewhere/x"}) {
        const std::string host = fromAlias(aliased);
        EXPECT_EQ(toAlias(host), aliased) << host;
    }
}

TEST_F(FilePathTest, ToAliasFindsTheFolderOfAHostPath) {
    EXPECT_EQ(toAlias("Data\\art\\fx\\spark.lua"), "DATA:art/fx/spark.lua");
    EXPECT_EQ(toAlias("./data//Art/x.lua"), "DATA:Art/x.lua");
    EXPECT_EQ(toAlias("Data"), "DATA:");
    EXPECT_EQ(toAlias(workingDirectory() + "/Data/art/x.lua"), "DATA:art/x.lua");
    // Not below any folder: the raw alias, registered last, takes it.
    EXPECT_EQ(toAlias("Database/x"), "TOOL:Database/x");
    EXPECT_EQ(toAlias("Data/../Bin/x"), "TOOL:Data/../Bin/x");
    EXPECT_EQ(toAlias("/no/such/Place"), "TOOL:/no/such/Place");
}

TEST_F(FilePathTest, ToAliasFailureLeavesThePathAlone) {
    char small[32] = "elsewhere/x";
    EXPECT_FALSE(FilePath::ConvertToAlias(small, 16)); // "TOOL:elsewhere/x" needs 17
    EXPECT_STREQ(small, "elsewhere/x");
    EXPECT_TRUE(FilePath::ConvertToAlias(small, 17));
    EXPECT_STREQ(small, "TOOL:elsewhere/x");

    FilePath::RemoveAllAliases();
    ASSERT_TRUE(FilePath::AddAlias("data", "hd", 100, FilePathHD::Create("Data\\", 3)));
    char path[64] = "Database/x";
    EXPECT_FALSE(FilePath::ConvertToAlias(path, sizeof path));
    EXPECT_STREQ(path, "Database/x");
}

TEST_F(FilePathTest, FirstAliasThatHoldsAPathWins) {
    EXPECT_TRUE(FilePath::AddAlias("fx", "hd", 100, FilePathHD::Create("Data/art/fx", 4)));
    EXPECT_EQ(toAlias("Data/art/fx/spark.lua"), "DATA:art/fx/spark.lua");
    EXPECT_EQ(fromAlias("FX:Spark.LUA"), "Data/art/fx/spark.lua");

    FilePath::RemoveAllAliases();
    EXPECT_TRUE(FilePath::AddAlias("fx", "hd", 100, FilePathHD::Create("Data/art/fx", 4)));
    EXPECT_TRUE(FilePath::AddAlias("data", "hd", 100, FilePathHD::Create("Data\\", 3)));
    EXPECT_EQ(toAlias("Data/art/fx/spark.lua"), "FX:spark.lua");
}

TEST_F(FilePathTest, AddAliasRejectsBadNamesAndOwnsItsSources) {
    int destroyed = 0;
    for (const char* name : {"", static_cast<const char*>(nullptr), "a:b", "a/b", "DATA", "Tool"})
        EXPECT_FALSE(FilePath::AddAlias(name, "hd", 1, new CountingSource(destroyed)))
            << (name ? name : "null");
    EXPECT_FALSE(FilePath::AddAlias("new", "hd", 1, nullptr));
    EXPECT_EQ(destroyed, 6);

    EXPECT_TRUE(FilePath::AddAlias("new", nullptr, 1, new CountingSource(destroyed)));
    EXPECT_EQ(destroyed, 6);
    EXPECT_EQ(fromAlias("NEW:data/art"), "Data/art");
    FilePath::RemoveAllAliases();
    EXPECT_EQ(destroyed, 7);
    EXPECT_EQ(fromAlias("DATA:art"), "<false>");
}

TEST_F(FilePathTest, ResolveHostPathWorksOnAbsolutePaths) {
    const std::string root = work.root().generic_string();
    EXPECT_EQ(FilePath::ResolveHostPath(root + "/DATA/ART/FX/Spark.LUA"),
              root + "/Data/art/fx/spark.lua");
    EXPECT_EQ(FilePath::ResolveHostPath(root + "\\DATA\\ART\\"), root + "/Data/art/");
    EXPECT_EQ(FilePath::ResolveHostPath("/"), "/");
    EXPECT_EQ(FilePath::ResolveHostPath(""), "");
}

} // namespace
