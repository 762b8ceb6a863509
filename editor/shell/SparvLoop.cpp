#include "shell/SparvLoop.h"

#include "definitions/FXStyle.h"

#include <algorithm>
#include <vector>

namespace {

// Deeper nesting than any effect has; it also ends reference cycles.
constexpr int kMaxDepth = 16;

bool BoolValue(const FXType& type, const char* name) {
    FXVariable value;
    return type.GetPropertyValue(name, value) && value.GetType() == VARTYPE_BOOL && value.GetBool();
}

float FloatValue(const FXType& type, const char* name) {
    FXVariable value;
    return type.GetPropertyValue(name, value) && value.GetType() == VARTYPE_FLOAT ? value.GetFloat()
                                                                                  : 0.0f;
}

float PeriodAt(const FXType& type, const SparvLoop::TypeFinder& find, int depth) {
    if (depth > kMaxDepth || !(type.GetDuration() >= SparvLoop::kEndless))
        return 0.0f;
    // The effect's own loop.
    if (type.GetStyle() == STYLE_SPRAY && BoolValue(type, "Emitter_Loop"))
        return FloatValue(type, "Emitter_Duration");
    if (type.GetStyle() == STYLE_RING && BoolValue(type, "Loop"))
        return FloatValue(type, "Duration");
    // A loop it holds.
    std::vector<std::string> children;
    type.GetChildTypes(children);
    float period = 0.0f;
    for (const std::string& name : children)
        if (const FXType* child = name.empty() ? nullptr : find(name))
            period = std::max(period, PeriodAt(*child, find, depth + 1));
    return period;
}

} // namespace

float SparvLoop::Period(const FXType& type, const TypeFinder& find) {
    return PeriodAt(type, find, 0);
}
