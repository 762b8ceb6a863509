#pragma once

// Reading IFF files: chunks of a four-byte tag, a big-endian 32-bit size and that many bytes
// of data, followed by one zero pad byte when the size is odd. A "FORM" chunk holds a
// four-byte form type and then further chunks, FORMs among them.
//
// The reader holds the whole file in memory (or reads a buffer it is given) and walks it
// once per parse, calling the handlers registered for (form type, chunk tag) on each chunk
// they name and the form-end handler of a form type after each form of that type. Chunks
// and forms without a handler are skipped. The data a handler sees stay valid until the
// reader is attached to something else or destroyed.
//
// Rules of a well-formed file: the data are one or more FORMs one after another; every
// chunk lies inside its form (pad byte included); forms nest at most kIFFMaxDepth deep;
// tags are printable ASCII. LIST, CAT and PROP are not given any meaning: they are
// ordinary chunks. Everything is checked against the bytes that remain before anything is
// allocated or read, so hostile data cannot make the reader read out of bounds or allocate
// more than the file holds.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

// A chunk tag or form type: its four characters read as a big-endian number, so "FORM" is
// 0x464F524D.
using IFFTag = uint32_t;

constexpr IFFTag MakeIFFTag(const char (&text)[5]) {
    return static_cast<IFFTag>(static_cast<uint8_t>(text[0])) << 24 |
           static_cast<IFFTag>(static_cast<uint8_t>(text[1])) << 16 |
           static_cast<IFFTag>(static_cast<uint8_t>(text[2])) << 8 |
           static_cast<IFFTag>(static_cast<uint8_t>(text[3]));
}

inline constexpr IFFTag kIFFForm = MakeIFFTag("FORM");

// The tag as its four characters, bytes outside printable ASCII as "\xNN": for messages.
std::string IFFTagText(IFFTag tag);
// Whether every byte of the tag is printable ASCII (0x20 to 0x7E).
bool IsValidIFFTag(IFFTag tag);

// Big-endian numbers inside chunk data; p must have 4 readable bytes.
inline uint32_t IFFLoadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}
// An IEEE single whose bits are stored as a big-endian 32-bit number.
inline float IFFLoadFloat(const uint8_t* p) {
    const uint32_t bits = IFFLoadU32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Forms nested deeper than this are refused (a top-level FORM is at depth 1).
inline constexpr int kIFFMaxDepth = 32;
// Files larger than this are not read.
inline constexpr size_t kIFFMaxFileBytes = size_t{256} << 20;

// What parse answers: 0 when the whole input was read and every handler accepted.
enum IFFError : int {
    kIFFOk = 0,
    kIFFErrorNoData = 1,      // nothing attached, or the file is missing, unreadable or too big
    kIFFErrorTruncated = 2,   // the data end inside a chunk header, a form type or a pad byte
    kIFFErrorSizePastEnd = 3, // a chunk's size runs past the end of its form or of the data
    kIFFErrorTooDeep = 4,     // forms nested deeper than kIFFMaxDepth
    kIFFErrorRefused = 5,     // a handler returned false
    kIFFErrorMalformed = 6,   // a top-level chunk that is not a FORM, a FORM too small for its
                              // type, or a tag that is not printable ASCII
};

// One chunk as a handler sees it. For a form-end handler: tag is kIFFForm and data/size
// are the form's contents after its type.
struct IFFChunk {
    IFFTag formType = 0; // type of the innermost form holding the chunk
    IFFTag tag = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t offset = 0; // of the chunk's header from the start of the data
    int depth = 0;     // of the form holding the chunk: 1 for a top-level form
};

class IFFReader {
public:
    // Answers false to refuse the chunk (or form): parsing stops with kIFFErrorRefused.
    using Handler = std::function<bool(const IFFChunk& chunk)>;

    IFFReader() = default;
    IFFReader(const IFFReader&) = delete;
    IFFReader& operator=(const IFFReader&) = delete;

    // Reads a whole file at an aliased or host path into the reader; false (and nothing
    // attached, see errorMessage) when it is missing, not a regular file, unreadable or
    // larger than kIFFMaxFileBytes.
    bool openFile(const char* path);
    // Reads size bytes at data, which the caller keeps alive and unchanged until the reader
    // is attached to something else or destroyed.
    void attachMemory(const void* data, size_t size);

    // Registers the handler of the chunks tagged tag inside forms of formType; a later
    // registration for the same pair replaces the earlier one. Tag kIFFForm is not a
    // chunk tag: nested forms are always entered.
    void addChunkHandler(IFFTag formType, IFFTag tag, Handler handler);
    // Registers the handler called after all chunks of each form of formType were handled.
    void addFormEndHandler(IFFTag formType, Handler handler);

    // Walks the attached data from the start, calling the handlers: kIFFOk (0) or an
    // IFFError. Handlers that ran before an error stay run.
    int parse();

    // A handler refusing a chunk may say why; parse reports it in errorMessage.
    void setRefusalReason(std::string reason) { m_refusalReason = std::move(reason); }
    // Why the last openFile or parse failed, with the byte offset where it applies; empty
    // after success.
    const std::string& errorMessage() const { return m_errorMessage; }
    // Byte offset of the chunk where the last parse failed (0 when it did not).
    size_t errorOffset() const { return m_errorOffset; }

private:
    int parseChunks(size_t begin, size_t end, IFFTag formType, int depth);
    int fail(int error, size_t offset, const std::string& message);

    std::vector<uint8_t> m_file; // the file read by openFile
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    bool m_attached = false;
    std::map<std::pair<IFFTag, IFFTag>, Handler> m_chunkHandlers;
    std::map<IFFTag, Handler> m_formEndHandlers;
    std::string m_refusalReason;
    std::string m_errorMessage;
    size_t m_errorOffset = 0;
};
