#include "diag/Diag.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(DiagDeathTest, FatalReportsSourceLineAndMessageThenStops) {
    EXPECT_DEATH(
        {
            g_dbFilename = "FXManager";
            g_dbLineNum = 2384;
            dbFatalfAux("Invalid fx type '%s'", "smoke");
        },
        "FXManager\\(2384\\): Invalid fx type 'smoke'");
    EXPECT_DEATH(DB_FATAL("FXMemory", 12, "bad %d", 7), "FXMemory\\(12\\): bad 7");
}

TEST(Diag, TracesGoThroughTheSinkAndTheSinkCanBeRestored) {
    std::vector<std::string> lines;
    DiagTraceSink previous =
        dbSetTraceSink([&lines](const std::string& line) { lines.push_back(line); });
    dbTracefAux("FXManager::TypeAdd: FX-Type already in list!!");
    dbTracefAux("%s has %d keys", "Emitter_Rate", 2);
    const std::string longText(5000, 'x');
    dbTracefAux("%s", longText.c_str());
    dbSetTraceSink(std::move(previous));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "FXManager::TypeAdd: FX-Type already in list!!");
    EXPECT_EQ(lines[1], "Emitter_Rate has 2 keys");
    EXPECT_EQ(lines[2], longText);
}

} // namespace
