#pragma once

// Building IFF files in memory: FORMs holding chunks and further FORMs, with the sizes
// filled in and odd chunks padded as the reader (stream/IFFReader.h) expects, then saved
// atomically.
//
// Calling the building operations out of order (a chunk outside a form, a form ended
// while a chunk is open, writing with no chunk open, a tag that is not printable ASCII)
// is a programming error and fatal. Data too large for a 32-bit chunk size is not: the
// writer then fails, and saveFile refuses.

#include "stream/IFFReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class IFFWriter {
public:
    IFFWriter() = default;

    void beginForm(IFFTag formType);
    void endForm();

    // A whole chunk at once.
    void addChunk(IFFTag tag, const void* data, size_t size);
    // A chunk written piece by piece between beginChunk and endChunk.
    void beginChunk(IFFTag tag);
    void write(const void* data, size_t size);
    // Big-endian 32-bit numbers, as IFFLoadU32 and IFFLoadFloat read them.
    void writeU32(uint32_t value);
    void writeFloat(float value);
    void endChunk();

    // Whether every form is ended, no chunk is open and nothing overflowed.
    bool isComplete() const { return m_open.empty() && !m_chunkOpen && !m_overflow; }
    // The bytes built so far.
    const std::vector<uint8_t>& bytes() const { return m_bytes; }
    // Writes the bytes to an aliased or host path through a temporary file renamed over
    // the target. False, with the reason in error when given, when the writer is not
    // complete or the file cannot be written; the old file then stays as it was.
    bool saveFile(const char* path, std::string* error = nullptr) const;

private:
    void openHeader(IFFTag tag);
    void closeHeader();

    std::vector<uint8_t> m_bytes;
    std::vector<size_t> m_open; // offsets of the headers of open forms, and of the open chunk
    bool m_chunkOpen = false;
    bool m_overflow = false;
};
