#pragma once

// The abstract motion model of instances that have no motion of their own. The manager
// keeps presets by slot; an instance created with a preset gets its own Clone, which the
// update loop advances before the instance and deletes with it.

#include "math/Math.h"

class FXManager;
class FXObject;

class FXDynamics {
public:
    virtual ~FXDynamics() = default;
    // A new object of the same kind with the same fields, from the "FXDynamics" pool.
    // The caller releases it with FXDynamicsDelete.
    virtual FXDynamics* Clone() const = 0;
    virtual void SetPosition(const Vector3& position) = 0;
    virtual void SetVelocity(const Vector3& velocity) = 0;
    virtual void SetDamping(float damping) = 0;
    // Moves the instance by dt seconds; true asks the update loop to Stop it.
    virtual bool Update(FXObject& instance, float dt) = 0;
};

// Destroys a dynamics object made by Clone (or by the preset registration) and returns
// its memory to the "FXDynamics" pool; null is ignored.
void FXDynamicsDelete(FXDynamics* dynamics);

// Creates the dynamics presets and registers them with the manager under their slots.
void FXRegisterDynamicsPresets(FXManager& manager);
