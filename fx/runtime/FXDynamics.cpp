#include "runtime/FXDynamics.h"

#include "runtime/FXDynamicsAttached.h"
#include "runtime/FXDynamicsBasic.h"
#include "runtime/FXDynamicsCommon.h"
#include "runtime/FXDynamicsGravwell.h"
#include "runtime/FXDynamicsPlane.h"
#include "runtime/FXManager.h"

#include <algorithm>
#include <memory>

MemPoolSmall& FXDynamicsPool() {
    // A function-local static, so that it outlives the manager (whose presets and
    // records' clones go back here when it shuts down) and every test fixture.
    static MemPoolSmall pool("FXDynamics",
                             std::max({sizeof(FXDynamicsBasic), sizeof(FXDynamicsGravwell),
                                       sizeof(FXDynamicsAttached), sizeof(FXDynamicsPlane)}));
    return pool;
}

void FXDynamicsDelete(FXDynamics* dynamics) {
    FXDynamicsPool().Delete(dynamics);
}

namespace {

std::shared_ptr<FXDynamics> MakeBasic(float gravityScale, float windScale, float damping,
                                      int32_t response) {
    FXDynamicsBasic* basic = FXDynamicsNew<FXDynamicsBasic>();
    if (basic) {
        basic->SetGravityScale(gravityScale);
        basic->SetWindScale(windScale);
        basic->SetDampingChecked(damping);
        basic->SetSurfaceResponse(response);
    }
    return {basic, FXDynamicsDelete};
}

template <class Kind>
std::shared_ptr<FXDynamics> MakePreset() {
    return {FXDynamicsNew<Kind>(), FXDynamicsDelete};
}

} // namespace

void FXRegisterDynamicsPresets(FXManager& manager) {
    // Slots as Particle_Dynamics names them: 0 forward, 1-3 gravity with a surface
    // response, 4 wind, 5 water, 6 local, 7 land, 8 gravity ignoring surfaces, 10 gravity
    // well. 9 (surface) has no preset.
    using Basic = FXDynamicsBasic;
    manager.DynamicsRegister(0, MakeBasic(0.0f, 0.0f, 1.0f, Basic::SURFACE_IGNORE));
    manager.DynamicsRegister(1, MakeBasic(1.0f, 0.5f, 1.0f, Basic::SURFACE_DIE));
    manager.DynamicsRegister(2, MakeBasic(1.0f, 0.5f, 1.0f, Basic::SURFACE_BOUNCE));
    manager.DynamicsRegister(3, MakeBasic(1.0f, 0.5f, 1.0f, Basic::SURFACE_STICK));
    manager.DynamicsRegister(4, MakeBasic(0.0f, 1.0f, 1.0f, Basic::SURFACE_IGNORE));
    manager.DynamicsRegister(5, MakePreset<FXDynamicsPlane>());
    manager.DynamicsRegister(7, MakePreset<FXDynamicsPlane>());
    manager.DynamicsRegister(6, MakePreset<FXDynamicsAttached>());
    manager.DynamicsRegister(8, MakeBasic(1.0f, 1.0f, 1.0f, Basic::SURFACE_IGNORE));
    manager.DynamicsRegister(10, MakePreset<FXDynamicsGravwell>());
}
