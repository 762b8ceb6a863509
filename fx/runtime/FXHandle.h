#pragma once

#include <cstdint>

// A reference to a live FX instance that survives the instance's death: two 32-bit
// words, the 1-based index of an FXMemory block (0 = none) and the stamp, the block's
// serial in the upper 16 bits and the live check word 222 in the lower 16 bits. The
// all-zero handle is null. An index instead of an address keeps handles two words wide
// on 64-bit machines, and a forged handle can be bounds-checked instead of crashing.
struct FXHandle {
    uint32_t block = 0;
    uint32_t stamp = 0;

    constexpr bool IsNull() const { return block == 0 && stamp == 0; }
    constexpr uint16_t Serial() const { return static_cast<uint16_t>(stamp >> 16); }
    constexpr bool operator==(const FXHandle&) const = default;
};

inline constexpr FXHandle kNullFXHandle{};

inline constexpr uint16_t kFXCheckLive = 222;
inline constexpr uint16_t kFXCheckFree = 220;
