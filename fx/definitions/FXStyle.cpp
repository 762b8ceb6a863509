#include "FXStyle.h"

#include <cstring>

namespace {

constexpr const char* kStyleNames[kStyleCount] = {
    "STYLE_SPRAY",       "STYLE_RING",  "STYLE_BEAM",       "STYLE_TRAIL",     "STYLE_COMBO",
    "STYLE_CONDITIONAL", "STYLE_LIGHT", "STYLE_HYPERSPACE", "STYLE_LENSFLARE",
};

} // namespace

const char* FXStyleName(int style) {
    return style >= 0 && style < kStyleCount ? kStyleNames[style] : "";
}

int FXStyleFromName(const char* name) {
    if (!name)
        return kStyleNone;
    for (int style = 0; style < kStyleCount; ++style)
        if (std::strcmp(name, kStyleNames[style]) == 0)
            return style;
    return kStyleNone;
}
