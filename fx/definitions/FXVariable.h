#pragma once

// A typed property value: the value container the FX types, the FX file reader and
// writer and the editor exchange.

#include "math/Math.h"

#include <bit>
#include <cstdint>
#include <span>
#include <vector>

enum VarType : int32_t {
    VARTYPE_FLOAT = 0,
    VARTYPE_BOOL = 1,
    VARTYPE_INT = 2,
    VARTYPE_VECTOR3 = 3,
    VARTYPE_STRING = 4,
    VARTYPE_COLOUR = 5,
    VARTYPE_ARRAY_FLOAT = 6,
    VARTYPE_ARRAY_VECTOR3 = 7,
    VARTYPE_ARRAY_COLOUR = 8,
    VARTYPE_ARRAY_TIMEFLOAT = 9,
    VARTYPE_ARRAY_TIMEVECTOR3 = 10,
    VARTYPE_ARRAY_TIMECOLOUR = 11,
    VARTYPE_NONE = 12, // empty: no value
};

// The name a kind carries in FX files ("VARTYPE_FLOAT" ...); the empty string for
// VARTYPE_NONE and anything out of range.
const char* VarTypeName(int type);

// The kind of a name: exact, case-sensitive. False (and type left as it was) when no
// kind has that name.
bool VarTypeFromName(const char* name, VarType& type);

// MemCRTAlloc categories of the payload buffers.
inline constexpr int kVariableAllocCategory = 1;
inline constexpr int kVariableFreeCategory = 11;

// A tagged union of one value of a VarType. Scalars, vectors and colours are held
// inline; strings and arrays in a buffer the variable owns (from MemCRTAlloc), released
// when the variable is cleared, set again, assigned over or destroyed.
//
// Every setter first clears the variable. The getters of vectors, colours, strings and
// arrays answer false when the kind differs; the array getters empty their output
// first. Float, bool and int are read by callers that have checked the kind.
class FXVariable {
public:
    FXVariable() = default;
    FXVariable(const FXVariable& other) { *this = other; }
    FXVariable(FXVariable&& other) noexcept;
    ~FXVariable() { Clear(); }

    // Takes other's kind and a deep copy of its value; assigning from itself or from an
    // empty variable leaves this one unchanged.
    FXVariable& operator=(const FXVariable& other);
    FXVariable& operator=(FXVariable&& other) noexcept;

    VarType GetType() const { return m_type; }
    bool IsEmpty() const { return m_type == VARTYPE_NONE; }
    void Clear();

    void SetFloat(float value);
    void SetBool(bool value);
    void SetInt(int32_t value);
    void SetVector3(const Vector3& value);
    void SetString(const char* value);
    void SetColour(const Colour& value);
    void SetArrayFloat(std::span<const float> values);
    void SetArrayVector3(std::span<const Vector3> values);
    void SetArrayColour(std::span<const Colour> values);
    void SetArrayTimeFloat(std::span<const TimeFloat> values);
    void SetArrayTimeVector3(std::span<const TimeVector3> values);
    // Reuses the buffer when the variable already holds a time-colour array of the same
    // length: the keyframe editors set curves of unchanged length many times a second.
    void SetArrayTimeColour(std::span<const TimeColour> values);

    float GetFloat() const { return m_payload.f; }
    bool GetBool() const { return m_payload.b != 0; }
    int32_t GetInt() const { return m_payload.i; }
    bool GetVector3(Vector3& out) const;
    bool GetColour(Colour& out) const;
    bool GetString(const char*& out) const;
    bool GetArrayFloat(std::vector<float>& out) const;
    bool GetArrayVector3(std::vector<Vector3>& out) const;
    bool GetArrayColour(std::vector<Colour>& out) const;
    bool GetArrayTimeFloat(std::vector<TimeFloat>& out) const;
    bool GetArrayTimeVector3(std::vector<TimeVector3>& out) const;
    bool GetArrayTimeColour(std::vector<TimeColour>& out) const;

    // Views of the payload without copying; empty when the kind differs. Valid until the
    // variable changes. String() gives "" for other kinds.
    const char* String() const;
    std::span<const float> Floats() const { return View<float>(VARTYPE_ARRAY_FLOAT); }
    std::span<const Vector3> Vector3s() const { return View<Vector3>(VARTYPE_ARRAY_VECTOR3); }
    std::span<const Colour> Colours() const { return View<Colour>(VARTYPE_ARRAY_COLOUR); }
    std::span<const TimeFloat> TimeFloats() const {
        return View<TimeFloat>(VARTYPE_ARRAY_TIMEFLOAT);
    }
    std::span<const TimeVector3> TimeVector3s() const {
        return View<TimeVector3>(VARTYPE_ARRAY_TIMEVECTOR3);
    }
    std::span<const TimeColour> TimeColours() const {
        return View<TimeColour>(VARTYPE_ARRAY_TIMECOLOUR);
    }
    // Element count of an array kind, 0 otherwise.
    uint32_t Count() const { return IsArrayKind(m_type) ? m_payload.array.count : 0; }

    // Same kind and equal value, compared bit for bit (so NaNs of equal bits are equal).
    bool operator==(const FXVariable& other) const;

    static bool IsArrayKind(VarType type) {
        return type >= VARTYPE_ARRAY_FLOAT && type <= VARTYPE_ARRAY_TIMECOLOUR;
    }

private:
    template <typename T>
    std::span<const T> View(VarType type) const {
        if (m_type != type || m_payload.array.count == 0)
            return {};
        return {static_cast<const T*>(m_payload.array.data), m_payload.array.count};
    }
    void SetBuffer(VarType type, const void* data, size_t bytes, uint32_t count);
    size_t PayloadBytes() const;

    VarType m_type = VARTYPE_NONE;
    union Payload {
        float f;
        uint8_t b;
        int32_t i;
        Vector3 v;
        Colour c;
        struct {
            void* data;
            uint32_t count;
        } array;
        char* string;
        uint32_t words[8];
    } m_payload{.words = {}};
};

// Element size in bytes of an array kind.
size_t VarTypeElementSize(VarType type);

// Evaluation of time-keyed arrays at time t of an effect's normalised life: a lower
// bound on the key times picks the segment, the blend factor is not clamped. An empty
// array gives zero; one key, or a time past the last key, gives the nearest end key.
// A curve of two keys of one value (the commonest: a constant) answers that value at
// once, which is what the search and blend give for it.
float EvaluateTimeFloat(std::span<const TimeFloat> keys, float t);
Vector3 EvaluateTimeVector3(std::span<const TimeVector3> keys, float t);
Colour EvaluateTimeColour(std::span<const TimeColour> keys, float t);

// The search and blend of the three above, for curves that are not two equal keys (a
// colour curve of two keys, the commonest, is answered inline).
float EvaluateTimeFloatKeys(std::span<const TimeFloat> keys, float t);
Vector3 EvaluateTimeVector3Keys(std::span<const TimeVector3> keys, float t);
Colour EvaluateTimeColourKeys(std::span<const TimeColour> keys, float t);

namespace fxvariable_detail {

// Equal and of the same bits: not NaN, and not zeros of opposite signs.
inline bool SameValue(float a, float b) {
    return a == b && std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b);
}

} // namespace fxvariable_detail

inline float EvaluateTimeFloat(std::span<const TimeFloat> keys, float t) {
    if (keys.size() == 2 && fxvariable_detail::SameValue(keys[0].value, keys[1].value))
        return keys[0].value;
    return EvaluateTimeFloatKeys(keys, t);
}

inline Vector3 EvaluateTimeVector3(std::span<const TimeVector3> keys, float t) {
    using fxvariable_detail::SameValue;
    if (keys.size() == 2 && SameValue(keys[0].value.x, keys[1].value.x) &&
        SameValue(keys[0].value.y, keys[1].value.y) && SameValue(keys[0].value.z, keys[1].value.z))
        return keys[0].value;
    return EvaluateTimeVector3Keys(keys, t);
}

inline Colour EvaluateTimeColour(std::span<const TimeColour> keys, float t) {
    if (keys.size() != 2)
        return EvaluateTimeColourKeys(keys, t);
    // The search of two keys: past the second key it answers; otherwise the segment is
    // the first, blended as the search and blend do.
    if (keys[1].time < t)
        return keys[1].value;
    const float span = keys[1].time - keys[0].time;
    if (span == 0.0f)
        return keys[0].value;
    const float f = (t - keys[0].time) / span;
    const Colour& a = keys[0].value;
    const Colour& b = keys[1].value;
    return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f,
            a.a + (b.a - a.a) * f};
}
