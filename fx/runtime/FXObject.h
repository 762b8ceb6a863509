#pragma once

// The abstract live FX instance. Each style derives its instance class and constructs it
// in place in an FXMemory block (FXType::CreateInstance); the manager owns it and reaches
// it only through its handle.

#include "math/Math.h"
#include "runtime/FXDynamics.h"
#include "runtime/FXHandle.h"
#include "runtime/FXMemory.h"

#include <cstdint>
#include <new>
#include <type_traits>

class FXType;

class FXObject {
public:
    FXObject(FXType* type, const FXHandle& self, const FXHandle& parent)
        : m_type(type), m_self(self), m_parent(parent) {}
    virtual ~FXObject() = default;
    FXObject(const FXObject&) = delete;
    FXObject& operator=(const FXObject&) = delete;

    // Every style's override calls this one, so that TransformChanges counts every
    // placement. A placement rotates, scales and moves: the fourth column is taken to be
    // (0, 0, 0, 1).
    virtual void SetTransform(const Matrix4& transform) {
        m_transform = AffineMatrix(transform);
        ++m_transformChanges;
    }
    virtual void SetVelocity(const Vector3& velocity) { m_velocity = velocity; }
    // Negative values become 0.0.
    virtual void SetScale(float scale) { m_scale = scale < 0.0f ? 0.0f : scale; }
    virtual void SetLength(float length) { m_length = length < 0.0f ? 0.0f : length; }
    virtual void SetVisible(bool visible) { m_visible = visible; }
    // Makes the instance finish by itself: emitters stop emitting, particles run out.
    virtual void Stop() { m_stopped = true; }
    // The pull of this instance's gravity well on particles that follow it.
    virtual float GetGravwellStrength() const { return 0.0f; }
    // Style-specific queries and settings; the base has none of them.
    virtual bool GetParamVector(Vector3& out) const {
        (void)out;
        return false;
    }
    virtual bool GetParamColour(Colour& out) const {
        (void)out;
        return false;
    }
    virtual float GetParamFloat() const { return 0.0f; }
    virtual bool SetParamFloat(float value) {
        (void)value;
        return false;
    }
    virtual bool SetParamVector(const Vector3& value) {
        (void)value;
        return false;
    }
    virtual bool SetParamFade(float fade) {
        (void)fade;
        return false;
    }
    // Advances by dt seconds; true when the instance has finished.
    virtual bool Update(float dt) = 0;
    // Draws with a fade factor 0..1, between its type's BeginBatch and EndBatch.
    virtual void Render(float fade) = 0;
    // Bounding-sphere radius for the visibility pass; negative values become 0.0.
    virtual void SetRadius(float radius) { m_radius = radius < 0.0f ? 0.0f : radius; }
    // Values below 0.01 become 0.01.
    virtual void SetSecondSize(float size) { m_secondSize = size < 0.01f ? 0.01f : size; }

    FXType* GetType() const { return m_type; }
    const FXHandle& GetHandle() const { return m_self; }
    const FXHandle& GetParentHandle() const { return m_parent; }
    Matrix4 GetTransform() const { return m_transform.ToMatrix4(); }
    const Vector3& GetVelocity() const { return m_velocity; }
    float GetScale() const { return m_scale; }
    float GetLength() const { return m_length; }
    float GetRadius() const { return m_radius; }
    float GetSecondSize() const { return m_secondSize; }
    bool IsVisible() const { return m_visible; }
    bool IsStopped() const { return m_stopped; }
    // A count of SetTransform calls, modulo 65536: a dynamics object that placed the
    // instance itself knows by it whether anyone has placed it since.
    uint16_t TransformChanges() const { return m_transformChanges; }

protected:
    FXType* m_type;
    FXHandle m_self;
    FXHandle m_parent;
    AffineMatrix m_transform;
    Vector3 m_velocity;
    float m_scale = 1.0f;
    float m_length = 1.0f;
    float m_radius = 0.1f;
    float m_secondSize = 0.1f;
    bool m_visible = true;
    bool m_stopped = false;

private:
    uint16_t m_transformChanges = 0;
};

// Bytes of a block's payload in front of the instance: the manager's instance header.
inline constexpr size_t kFXInstanceHeaderSize = 16;
// Bytes of the largest instance object: a block keeps the rest of its payload for the
// instance's dynamics clone.
inline constexpr size_t kFXInstanceMaxSize =
    kFXBlockPayloadSize - kFXInstanceHeaderSize - kFXDynamicsMaxSize;

// Constructs an instance of a style in the memory the manager hands to
// FXType::CreateInstance, proving at compile time that it fits a block.
template <typename Instance, typename... Args>
Instance* FXConstructInstance(void* memory, Args&&... args) {
    static_assert(std::is_base_of_v<FXObject, Instance>);
    static_assert(sizeof(Instance) <= kFXInstanceMaxSize,
                  "an FX instance must fit an FXMemory block");
    static_assert(alignof(Instance) <= kFXBlockPayloadAlignment &&
                      kFXInstanceHeaderSize % alignof(Instance) == 0,
                  "the instance header must keep the instance aligned");
    return new (memory) Instance(std::forward<Args>(args)...);
}
