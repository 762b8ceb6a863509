#include "runtime/FXAlternateProjection.h"

#include <optional>

namespace {

std::optional<Matrix4>& AlternateProjection() {
    static std::optional<Matrix4> projection;
    return projection;
}

} // namespace

void FXSetAlternateProjection(const Matrix4& projection) {
    AlternateProjection() = projection;
}

void FXClearAlternateProjection() {
    AlternateProjection().reset();
}

const Matrix4* FXGetAlternateProjection() {
    const std::optional<Matrix4>& projection = AlternateProjection();
    return projection ? &*projection : nullptr;
}
