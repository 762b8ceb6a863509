#pragma once

// The style of an FX type: an index 0 to 8 with the name FX files carry.
enum FXStyle : int {
    STYLE_SPRAY = 0,
    STYLE_RING = 1,
    STYLE_BEAM = 2,
    STYLE_TRAIL = 3,
    STYLE_COMBO = 4,
    STYLE_CONDITIONAL = 5,
    STYLE_LIGHT = 6,
    STYLE_HYPERSPACE = 7,
    STYLE_LENSFLARE = 8,
};

inline constexpr int kStyleCount = 9;
// What the file reader reports when a file names no style.
inline constexpr int kStyleNone = 9;

// "STYLE_SPRAY" ... "STYLE_LENSFLARE" for 0 to 8, the empty string otherwise.
const char* FXStyleName(int style);

// The index of a style name (exact, case-sensitive), or kStyleNone.
int FXStyleFromName(const char* name);
