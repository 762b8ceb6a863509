#pragma once

// The abstract motion model of instances that have no motion of their own. The manager
// keeps presets by slot; an instance created with a preset gets its own clone, made in the
// instance's block (CloneInto), which the update loop advances before the instance and
// destroys with it.

#include "math/Math.h"

#include <cstddef>
#include <new>
#include <type_traits>

class FXManager;
class FXObject;

class FXDynamics {
public:
    virtual ~FXDynamics() = default;
    // A new object of the same kind with the same fields, ready to move an instance of its
    // own, constructed in memory of at least Size() bytes aligned to 8. The owner destroys
    // it in place and keeps the memory.
    virtual FXDynamics* CloneInto(void* memory) const = 0;
    // Bytes CloneInto needs: at most kFXDynamicsMaxSize.
    virtual size_t Size() const = 0;
    virtual void SetPosition(const Vector3& position) = 0;
    virtual void SetVelocity(const Vector3& velocity) = 0;
    virtual void SetDamping(float damping) = 0;
    // Moves the instance by dt seconds; true asks the update loop to Stop it.
    virtual bool Update(FXObject& instance, float dt) = 0;
};

// Bytes of the largest dynamics object: the room an instance block keeps for its clone.
inline constexpr size_t kFXDynamicsMaxSize = 64;

// Copies a dynamics object of a kind into memory for CloneInto, proving at compile time
// that it fits the room an instance block keeps.
template <class Kind>
Kind* FXCopyDynamicsInto(void* memory, const Kind& original) {
    static_assert(std::is_base_of_v<FXDynamics, Kind>);
    static_assert(sizeof(Kind) <= kFXDynamicsMaxSize && alignof(Kind) <= 8,
                  "a dynamics object must fit the room of an instance block");
    return new (memory) Kind(original);
}

// Destroys a dynamics object made by Clone (or by the preset registration) and returns
// its memory to the "FXDynamics" pool; null is ignored.
void FXDynamicsDelete(FXDynamics* dynamics);

// Creates the dynamics presets and registers them with the manager under their slots.
void FXRegisterDynamicsPresets(FXManager& manager);
