// Writing whole files: durable commits, and a flush that fails keeping the old file whole.

#include "stream/AtomicFileWriter.h"

#include "support/TempWorkDir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

int FailingFlush(int) {
    errno = EIO;
    return -1;
}

int g_flushes = 0;
int CountingFlush(int) {
    ++g_flushes;
    return 0;
}

TEST(AtomicFileWriter, ADurableCommitFlushesTheFileAndItsFolderAndAFailedFlushChangesNothing) {
    TempWorkDir work;
    const std::filesystem::path target = work.root() / "effect.lua";
    work.write("effect.lua", "old");

    const AtomicFileWriter::FlushFunction previous = AtomicFileWriter::SetFlush(CountingFlush);
    std::string error;
    AtomicFileWriter file;
    ASSERT_TRUE(file.Open(target.string(), error)) << error;
    ASSERT_TRUE(file.Write("new", 3, error));
    EXPECT_TRUE(file.Commit(error, true)) << error;
    EXPECT_EQ(g_flushes, 2); // the data, then the folder
    EXPECT_EQ(work.read("effect.lua"), "new");

    AtomicFileWriter::SetFlush(FailingFlush);
    {
        AtomicFileWriter failing;
        ASSERT_TRUE(failing.Open(target.string(), error));
        ASSERT_TRUE(failing.Write("newer", 5, error));
        EXPECT_FALSE(failing.Commit(error, true));
        EXPECT_NE(error.find("cannot flush"), std::string::npos) << error;
        EXPECT_EQ(work.read("effect.lua"), "new");
    }
    // Nothing is left beside it once the writer is gone.
    EXPECT_EQ(work.list(), std::vector<std::string>{"effect.lua"});
    AtomicFileWriter::SetFlush(previous);
}

} // namespace
