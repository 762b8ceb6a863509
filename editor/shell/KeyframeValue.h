#pragma once

// What the keyframe links and editors need to know about each kind of keyed value: its key
// record, its property kind, its components (for text and blending) and how a property
// variable holds a list of its keys.
//
//   value     key          property kind
//   float     TimeFloat    VARTYPE_ARRAY_TIMEFLOAT
//   Colour    TimeColour   VARTYPE_ARRAY_TIMECOLOUR   (red, green, blue, alpha)
//   Vector3   TimeVector3  VARTYPE_ARRAY_TIMEVECTOR3  (x, y, z)

#include "definitions/FXVariable.h"
#include "math/Math.h"

#include <span>

template <class T>
struct KeyframeValue;

template <>
struct KeyframeValue<float> {
    using Key = TimeFloat;
    static constexpr VarType kKind = VARTYPE_ARRAY_TIMEFLOAT;
    static constexpr int kComponents = 1;
    static float Component(const float& value, int /*index*/) { return value; }
    static void SetComponent(float& value, int /*index*/, float component) { value = component; }
    static std::span<const Key> Keys(const FXVariable& variable) { return variable.TimeFloats(); }
    static void Store(FXVariable& variable, std::span<const Key> keys) {
        variable.SetArrayTimeFloat(keys);
    }
};

template <>
struct KeyframeValue<Colour> {
    using Key = TimeColour;
    static constexpr VarType kKind = VARTYPE_ARRAY_TIMECOLOUR;
    static constexpr int kComponents = 4;
    static float Component(const Colour& value, int index) {
        const float components[] = {value.r, value.g, value.b, value.a};
        return components[index];
    }
    static void SetComponent(Colour& value, int index, float component) {
        float* components[] = {&value.r, &value.g, &value.b, &value.a};
        *components[index] = component;
    }
    static std::span<const Key> Keys(const FXVariable& variable) { return variable.TimeColours(); }
    static void Store(FXVariable& variable, std::span<const Key> keys) {
        variable.SetArrayTimeColour(keys);
    }
};

template <>
struct KeyframeValue<Vector3> {
    using Key = TimeVector3;
    static constexpr VarType kKind = VARTYPE_ARRAY_TIMEVECTOR3;
    static constexpr int kComponents = 3;
    static float Component(const Vector3& value, int index) {
        const float components[] = {value.x, value.y, value.z};
        return components[index];
    }
    static void SetComponent(Vector3& value, int index, float component) {
        float* components[] = {&value.x, &value.y, &value.z};
        *components[index] = component;
    }
    static std::span<const Key> Keys(const FXVariable& variable) { return variable.TimeVector3s(); }
    static void Store(FXVariable& variable, std::span<const Key> keys) {
        variable.SetArrayTimeVector3(keys);
    }
};

// a + (b - a) x f, component by component.
template <class T>
T KeyframeBlend(const T& a, const T& b, float f) {
    using Traits = KeyframeValue<T>;
    T result = a;
    for (int i = 0; i < Traits::kComponents; ++i) {
        const float from = Traits::Component(a, i);
        Traits::SetComponent(result, i, from + (Traits::Component(b, i) - from) * f);
    }
    return result;
}
