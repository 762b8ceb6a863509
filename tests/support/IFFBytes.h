#pragma once

// IFF data built by hand, byte by byte, so that tests of the readers do not depend on
// IFFWriter.

#include <cstdint>
#include <cstring>
#include <string>

using Bytes = std::string;

inline Bytes U32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

inline Bytes F32(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return U32(bits);
}

// A chunk with its pad byte; sizeField, when not negative, is written instead of the size.
inline Bytes Chunk(const char* tag, const Bytes& data, int64_t sizeField = -1) {
    const auto size =
        static_cast<uint32_t>(sizeField < 0 ? static_cast<int64_t>(data.size()) : sizeField);
    return Bytes(tag, 4) + U32(size) + data + (data.size() % 2 ? Bytes(1, '\0') : Bytes());
}

inline Bytes Form(const char* type, const Bytes& contents) {
    return Chunk("FORM", Bytes(type, 4) + contents);
}
