#include "stream/IFFReader.h"
#include "stream/IFFWriter.h"
#include "support/IFFBytes.h"
#include "support/TempWorkDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Forms nested depth deep (the outermost at depth 1), a chunk in the innermost.
Bytes Nested(int depth) {
    Bytes bytes = Chunk("DATA", "x");
    for (int i = 0; i < depth; ++i)
        bytes = Form("NEST", bytes);
    return bytes;
}

IFFTag TagOf(const char* text) {
    return IFFLoadU32(reinterpret_cast<const uint8_t*>(text));
}

// What the handlers saw, one line per call: "FORM/TAG depth data" or "end TYPE depth".
class Recorder {
public:
    void handleChunks(IFFReader& reader, const char* formType,
                      std::initializer_list<const char*> tags) {
        for (const char* tag : tags) {
            reader.addChunkHandler(TagOf(formType), TagOf(tag), [this](const IFFChunk& chunk) {
                seen.push_back(IFFTagText(chunk.formType) + "/" + IFFTagText(chunk.tag) + " " +
                               std::to_string(chunk.depth) + " " +
                               Bytes(reinterpret_cast<const char*>(chunk.data), chunk.size));
                return true;
            });
        }
    }
    void handleEnd(IFFReader& reader, const char* formType) {
        reader.addFormEndHandler(TagOf(formType), [this](const IFFChunk& form) {
            seen.push_back("end " + IFFTagText(form.formType) + " " + std::to_string(form.depth));
            return true;
        });
    }
    std::vector<std::string> seen;
};

int Parse(const Bytes& bytes) {
    IFFReader reader;
    reader.attachMemory(bytes.data(), bytes.size());
    return reader.parse();
}

// Handlers are keyed by form type and chunk tag: the rest (SKIP, OTHR/NAME) is passed over.
TEST(IFFReader, WalksNestedFormsInOrderWithTheirDepths) {
    const Bytes bytes = Form("OUTR", Chunk("ODD ", "abc") + Chunk("SKIP", "zz") +
                                         Form("INNR", Chunk("NAME", "xy") + Chunk("ODD ", "q")) +
                                         Chunk("LAST", "")) +
                        Form("OTHR", Chunk("NAME", "not inner"));
    IFFReader reader;
    reader.attachMemory(bytes.data(), bytes.size());
    Recorder recorder;
    recorder.handleChunks(reader, "OUTR", {"ODD ", "LAST"});
    recorder.handleChunks(reader, "INNR", {"NAME", "ODD "});
    recorder.handleEnd(reader, "INNR");
    recorder.handleEnd(reader, "OUTR");

    ASSERT_EQ(reader.parse(), kIFFOk) << reader.errorMessage();
    // Odd chunks are followed by their pad byte, which is not part of their data.
    EXPECT_EQ(recorder.seen,
              (std::vector<std::string>{"OUTR/ODD  1 abc", "INNR/NAME 2 xy", "INNR/ODD  2 q",
                                        "end INNR 2", "OUTR/LAST 1 ", "end OUTR 1"}));
    // A second parse walks the same data again.
    recorder.seen.clear();
    EXPECT_EQ(reader.parse(), kIFFOk);
    EXPECT_EQ(recorder.seen.size(), 6u);
}

TEST(IFFReader, RefusalStopsTheParseWithTheHandlersReason) {
    const Bytes bytes = Form("TEST", Chunk("BAD ", "1") + Chunk("NEXT", "2"));
    IFFReader reader;
    reader.attachMemory(bytes.data(), bytes.size());
    bool nextSeen = false;
    reader.addChunkHandler(MakeIFFTag("TEST"), MakeIFFTag("BAD "), [&](const IFFChunk&) {
        reader.setRefusalReason("not today");
        return false;
    });
    reader.addChunkHandler(MakeIFFTag("TEST"), MakeIFFTag("NEXT"), [&](const IFFChunk&) {
        nextSeen = true;
        return true;
    });
    EXPECT_EQ(reader.parse(), kIFFErrorRefused);
    EXPECT_FALSE(nextSeen);
    EXPECT_EQ(reader.errorOffset(), 12u);
    EXPECT_NE(reader.errorMessage().find("not today"), std::string::npos) << reader.errorMessage();

    // A form-end handler refuses the same way.
    IFFReader endReader;
    endReader.attachMemory(bytes.data(), bytes.size());
    endReader.addFormEndHandler(MakeIFFTag("TEST"), [](const IFFChunk&) { return false; });
    EXPECT_EQ(endReader.parse(), kIFFErrorRefused);
}

struct BadInput {
    const char* name;
    Bytes bytes;
    int error;
};

TEST(IFFReader, RejectsDamagedDataWithoutReadingPastIt) {
    const Bytes good = Form("TEST", Chunk("DATA", "abcd"));
    const std::vector<BadInput> rows = {
        {"empty", "", kIFFErrorTruncated},
        {"header cut short", good.substr(0, 6), kIFFErrorTruncated},
        {"form cut short", good.substr(0, good.size() - 1), kIFFErrorSizePastEnd},
        {"form type cut by its size", Chunk("FORM", "TE"), kIFFErrorMalformed},
        {"chunk header cut inside its form", Form("TEST", Bytes("DATA\0", 5)), kIFFErrorTruncated},
        {"chunk past the end of its form, inside the data",
         Form("TEST", Chunk("DATA", "ab", 6)) + Bytes(8, 'x'), kIFFErrorSizePastEnd},
        {"size near 4 GiB", Form("TEST", Chunk("DATA", "ab", 0xFFFFFFFF)), kIFFErrorSizePastEnd},
        {"pad byte missing", Form("TEST", Bytes("ODD ") + U32(3) + "abc"), kIFFErrorTruncated},
        {"chunk outside a form", Chunk("DATA", "ab"), kIFFErrorMalformed},
        {"trailing bytes after the form", good + "xyz", kIFFErrorTruncated},
        {"tag not text", Form("TEST", Chunk("DA\x01T", "ab")), kIFFErrorMalformed},
        {"form type not text", Form("\xFFTST", ""), kIFFErrorMalformed},
    };
    for (const BadInput& row : rows) {
        // A copy of exactly the bytes, so that the sanitizer catches any read past them.
        const std::vector<uint8_t> exact(row.bytes.begin(), row.bytes.end());
        IFFReader reader;
        reader.attachMemory(exact.data(), exact.size());
        Recorder recorder;
        recorder.handleChunks(reader, "TEST", {"DATA", "ODD "});
        EXPECT_EQ(reader.parse(), row.error) << row.name << ": " << reader.errorMessage();
        EXPECT_FALSE(reader.errorMessage().empty()) << row.name;
    }
    EXPECT_EQ(Parse(good), kIFFOk);
}

TEST(IFFReader, RefusesFormsNestedTooDeep) {
    EXPECT_EQ(Parse(Nested(kIFFMaxDepth)), kIFFOk);
    EXPECT_EQ(Parse(Nested(kIFFMaxDepth + 1)), kIFFErrorTooDeep);
    // The walk stops at the limit, however deep the data go.
    EXPECT_EQ(Parse(Nested(1000)), kIFFErrorTooDeep);
}

TEST(IFFReader, NothingAttachedOrUnreadableFilesGiveNoData) {
    TempWorkDir work;
    IFFReader reader;
    EXPECT_EQ(reader.parse(), kIFFErrorNoData);
    EXPECT_FALSE(reader.openFile("Data:missing.iff"));
    EXPECT_NE(reader.errorMessage().find("missing.iff"), std::string::npos);
    EXPECT_EQ(reader.parse(), kIFFErrorNoData);
    std::filesystem::create_directories(work.root() / "Data/folder.iff");
    EXPECT_FALSE(reader.openFile("Data:folder.iff"));
}

TEST(IFFWriter, BuildsTheBytesTheReaderExpects) {
    IFFWriter writer;
    writer.beginForm(MakeIFFTag("OUTR"));
    writer.addChunk(MakeIFFTag("ODD "), "abc", 3);
    writer.beginForm(MakeIFFTag("INNR"));
    writer.beginChunk(MakeIFFTag("NUMS"));
    writer.writeU32(0x01020304);
    writer.writeFloat(1.0f);
    writer.endChunk();
    writer.endForm();
    writer.addChunk(MakeIFFTag("NONE"), nullptr, 0);
    EXPECT_FALSE(writer.isComplete());
    writer.endForm();
    ASSERT_TRUE(writer.isComplete());

    const Bytes expected =
        Form("OUTR", Chunk("ODD ", "abc") +
                         Form("INNR", Chunk("NUMS", U32(0x01020304) + U32(0x3F800000))) +
                         Chunk("NONE", ""));
    EXPECT_EQ(Bytes(writer.bytes().begin(), writer.bytes().end()), expected);
    EXPECT_EQ(IFFLoadFloat(writer.bytes().data() + 48), 1.0f);
}

TEST(IFFWriter, SavesAtomicallyAndRoundTrips) {
    TempWorkDir work;
    work.write("Data/old.iff", "previous contents");

    IFFWriter open;
    open.beginForm(MakeIFFTag("TEST"));
    std::string error;
    EXPECT_FALSE(open.saveFile("Data:old.iff", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(work.read("Data/old.iff"), "previous contents");
    open.endForm();
    EXPECT_FALSE(open.saveFile("Data:no/such/folder/old.iff", &error));
    EXPECT_FALSE(error.empty());

    IFFWriter writer;
    writer.beginForm(MakeIFFTag("TEST"));
    writer.addChunk(MakeIFFTag("DATA"), "saved", 5);
    writer.endForm();
    ASSERT_TRUE(writer.saveFile("Data:old.iff", &error)) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(work.list("Data"), std::vector<std::string>{"old.iff"})
        << "no temporary file is left behind";

    IFFReader reader;
    ASSERT_TRUE(reader.openFile("DATA:OLD.IFF")) << reader.errorMessage();
    Recorder recorder;
    recorder.handleChunks(reader, "TEST", {"DATA"});
    EXPECT_EQ(reader.parse(), kIFFOk);
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"TEST/DATA 1 saved"}));
}

TEST(IFFWriterDeathTest, BuildingOutOfOrderIsFatal) {
    IFFWriter writer;
    EXPECT_DEATH(writer.addChunk(MakeIFFTag("DATA"), "x", 1), "chunks belong inside a form");
    EXPECT_DEATH(writer.endForm(), "no form open");
    EXPECT_DEATH(writer.beginForm(MakeIFFTag("A\nBC")), "not printable");
    writer.beginForm(MakeIFFTag("TEST"));
    EXPECT_DEATH(writer.write("x", 1), "no chunk open");
    writer.beginChunk(MakeIFFTag("DATA"));
    EXPECT_DEATH(writer.endForm(), "a chunk is open");
}

} // namespace
