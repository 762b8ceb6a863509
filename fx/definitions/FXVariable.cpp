#include "FXVariable.h"

#include "pool/MemCRT.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr const char* kVarTypeNames[] = {
    "VARTYPE_FLOAT",
    "VARTYPE_BOOL",
    "VARTYPE_INT",
    "VARTYPE_VECTOR3",
    "VARTYPE_STRING",
    "VARTYPE_COLOUR",
    "VARTYPE_ARRAY_FLOAT",
    "VARTYPE_ARRAY_VECTOR3",
    "VARTYPE_ARRAY_COLOUR",
    "VARTYPE_ARRAY_TIMEFLOAT",
    "VARTYPE_ARRAY_TIMEVECTOR3",
    "VARTYPE_ARRAY_TIMECOLOUR",
};

// Index of the last key whose time is less than t, plus one: the first key not earlier
// than t, or keys.size() when every key is earlier.
template <typename Key>
size_t LowerBound(std::span<const Key> keys, float t) {
    return static_cast<size_t>(std::partition_point(keys.begin(), keys.end(),
                                                    [t](const Key& key) { return key.time < t; }) -
                               keys.begin());
}

// Finds the segment and blend factor for t; false when a single end key answers, which
// is then in *end.
template <typename Key>
bool Segment(std::span<const Key> keys, float t, size_t& i, float& f, const Key*& end) {
    if (keys.size() < 2) {
        end = keys.data();
        return false;
    }
    const size_t p = LowerBound(keys, t);
    if (p == keys.size()) {
        end = &keys.back();
        return false;
    }
    i = p == 0 ? 0 : p - 1;
    const float span = keys[i + 1].time - keys[i].time;
    if (span == 0.0f) {
        // Two keys at one time, only reachable at or before the first key: the first
        // key answers, as a time at the first key always does.
        end = &keys[i];
        return false;
    }
    f = (t - keys[i].time) / span;
    return true;
}

} // namespace

const char* VarTypeName(int type) {
    if (type < 0 || type >= VARTYPE_NONE)
        return "";
    return kVarTypeNames[type];
}

bool VarTypeFromName(const char* name, VarType& type) {
    if (!name)
        return false;
    for (int index = 0; index < VARTYPE_NONE; ++index) {
        if (std::strcmp(name, kVarTypeNames[index]) == 0) {
            type = static_cast<VarType>(index);
            return true;
        }
    }
    return false;
}

size_t VarTypeElementSize(VarType type) {
    switch (type) {
    case VARTYPE_ARRAY_FLOAT:
        return sizeof(float);
    case VARTYPE_ARRAY_VECTOR3:
        return sizeof(Vector3);
    case VARTYPE_ARRAY_COLOUR:
        return sizeof(Colour);
    case VARTYPE_ARRAY_TIMEFLOAT:
        return sizeof(TimeFloat);
    case VARTYPE_ARRAY_TIMEVECTOR3:
        return sizeof(TimeVector3);
    case VARTYPE_ARRAY_TIMECOLOUR:
        return sizeof(TimeColour);
    default:
        return 0;
    }
}

FXVariable::FXVariable(FXVariable&& other) noexcept
    : m_type(std::exchange(other.m_type, VARTYPE_NONE)),
      m_payload(std::exchange(other.m_payload, Payload{.words = {}})) {}

FXVariable& FXVariable::operator=(const FXVariable& other) {
    if (&other == this || other.m_type >= VARTYPE_NONE)
        return *this;
    if (other.m_type == VARTYPE_STRING) {
        // Copy first: other may view into this variable's own buffer only when it is
        // this variable, which is excluded above.
        SetString(other.m_payload.string);
    } else if (IsArrayKind(other.m_type)) {
        if (other.m_type == VARTYPE_ARRAY_TIMECOLOUR) {
            SetArrayTimeColour(other.TimeColours());
        } else {
            SetBuffer(other.m_type, other.m_payload.array.data, other.PayloadBytes(),
                      other.m_payload.array.count);
        }
    } else {
        Clear();
        m_type = other.m_type;
        m_payload = other.m_payload;
    }
    return *this;
}

FXVariable& FXVariable::operator=(FXVariable&& other) noexcept {
    if (&other == this || other.m_type >= VARTYPE_NONE)
        return *this;
    Clear();
    m_type = std::exchange(other.m_type, VARTYPE_NONE);
    m_payload = std::exchange(other.m_payload, Payload{.words = {}});
    return *this;
}

void FXVariable::Clear() {
    if (m_type == VARTYPE_STRING)
        MemCRTFree(m_payload.string, kVariableFreeCategory);
    else if (IsArrayKind(m_type))
        MemCRTFree(m_payload.array.data, kVariableFreeCategory);
    m_type = VARTYPE_NONE;
    m_payload = Payload{.words = {}};
}

size_t FXVariable::PayloadBytes() const {
    return IsArrayKind(m_type) ? VarTypeElementSize(m_type) * m_payload.array.count : 0;
}

void FXVariable::SetBuffer(VarType type, const void* data, size_t bytes, uint32_t count) {
    Clear();
    void* buffer = MemCRTAlloc(bytes, kVariableAllocCategory);
    if (bytes)
        std::memcpy(buffer, data, bytes);
    m_type = type;
    m_payload.array.data = buffer;
    m_payload.array.count = count;
}

void FXVariable::SetFloat(float value) {
    Clear();
    m_type = VARTYPE_FLOAT;
    m_payload.f = value;
}

void FXVariable::SetBool(bool value) {
    Clear();
    m_type = VARTYPE_BOOL;
    m_payload.b = value ? 1 : 0;
}

void FXVariable::SetInt(int32_t value) {
    Clear();
    m_type = VARTYPE_INT;
    m_payload.i = value;
}

void FXVariable::SetVector3(const Vector3& value) {
    Clear();
    m_type = VARTYPE_VECTOR3;
    m_payload.v = value;
}

void FXVariable::SetColour(const Colour& value) {
    Clear();
    m_type = VARTYPE_COLOUR;
    m_payload.c = value;
}

void FXVariable::SetString(const char* value) {
    if (!value)
        value = "";
    const size_t length = std::strlen(value);
    // value may point into this variable's own buffer: copy before releasing it.
    char* buffer = static_cast<char*>(MemCRTAlloc(length + 1, kVariableAllocCategory));
    std::memcpy(buffer, value, length + 1);
    Clear();
    m_type = VARTYPE_STRING;
    m_payload.string = buffer;
}

void FXVariable::SetArrayFloat(std::span<const float> values) {
    SetBuffer(VARTYPE_ARRAY_FLOAT, values.data(), values.size_bytes(),
              static_cast<uint32_t>(values.size()));
}

void FXVariable::SetArrayVector3(std::span<const Vector3> values) {
    SetBuffer(VARTYPE_ARRAY_VECTOR3, values.data(), values.size_bytes(),
              static_cast<uint32_t>(values.size()));
}

void FXVariable::SetArrayColour(std::span<const Colour> values) {
    SetBuffer(VARTYPE_ARRAY_COLOUR, values.data(), values.size_bytes(),
              static_cast<uint32_t>(values.size()));
}

void FXVariable::SetArrayTimeFloat(std::span<const TimeFloat> values) {
    SetBuffer(VARTYPE_ARRAY_TIMEFLOAT, values.data(), values.size_bytes(),
              static_cast<uint32_t>(values.size()));
}

void FXVariable::SetArrayTimeVector3(std::span<const TimeVector3> values) {
    SetBuffer(VARTYPE_ARRAY_TIMEVECTOR3, values.data(), values.size_bytes(),
              static_cast<uint32_t>(values.size()));
}

void FXVariable::SetArrayTimeColour(std::span<const TimeColour> values) {
    if (m_type == VARTYPE_ARRAY_TIMECOLOUR && m_payload.array.count == values.size()) {
        if (!values.empty())
            std::memmove(m_payload.array.data, values.data(), values.size_bytes());
        return;
    }
    SetBuffer(VARTYPE_ARRAY_TIMECOLOUR, values.data(), values.size_bytes(),
              static_cast<uint32_t>(values.size()));
}

bool FXVariable::GetVector3(Vector3& out) const {
    if (m_type != VARTYPE_VECTOR3)
        return false;
    out = m_payload.v;
    return true;
}

bool FXVariable::GetColour(Colour& out) const {
    if (m_type != VARTYPE_COLOUR)
        return false;
    out = m_payload.c;
    return true;
}

bool FXVariable::GetString(const char*& out) const {
    if (m_type != VARTYPE_STRING)
        return false;
    out = m_payload.string;
    return true;
}

const char* FXVariable::String() const {
    return m_type == VARTYPE_STRING ? m_payload.string : "";
}

namespace {

template <typename T>
bool CopyOut(VarType have, VarType want, std::span<const T> view, std::vector<T>& out) {
    out.clear();
    if (have != want)
        return false;
    out.assign(view.begin(), view.end());
    return true;
}

} // namespace

bool FXVariable::GetArrayFloat(std::vector<float>& out) const {
    return CopyOut(m_type, VARTYPE_ARRAY_FLOAT, Floats(), out);
}

bool FXVariable::GetArrayVector3(std::vector<Vector3>& out) const {
    return CopyOut(m_type, VARTYPE_ARRAY_VECTOR3, Vector3s(), out);
}

bool FXVariable::GetArrayColour(std::vector<Colour>& out) const {
    return CopyOut(m_type, VARTYPE_ARRAY_COLOUR, Colours(), out);
}

bool FXVariable::GetArrayTimeFloat(std::vector<TimeFloat>& out) const {
    return CopyOut(m_type, VARTYPE_ARRAY_TIMEFLOAT, TimeFloats(), out);
}

bool FXVariable::GetArrayTimeVector3(std::vector<TimeVector3>& out) const {
    return CopyOut(m_type, VARTYPE_ARRAY_TIMEVECTOR3, TimeVector3s(), out);
}

bool FXVariable::GetArrayTimeColour(std::vector<TimeColour>& out) const {
    return CopyOut(m_type, VARTYPE_ARRAY_TIMECOLOUR, TimeColours(), out);
}

bool FXVariable::operator==(const FXVariable& other) const {
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case VARTYPE_NONE:
        return true;
    case VARTYPE_BOOL:
        return GetBool() == other.GetBool();
    case VARTYPE_FLOAT:
    case VARTYPE_INT:
        return m_payload.words[0] == other.m_payload.words[0];
    case VARTYPE_VECTOR3:
        return std::memcmp(&m_payload.v, &other.m_payload.v, sizeof(Vector3)) == 0;
    case VARTYPE_COLOUR:
        return std::memcmp(&m_payload.c, &other.m_payload.c, sizeof(Colour)) == 0;
    case VARTYPE_STRING:
        return std::strcmp(m_payload.string, other.m_payload.string) == 0;
    default:
        return m_payload.array.count == other.m_payload.array.count &&
               (PayloadBytes() == 0 ||
                std::memcmp(m_payload.array.data, other.m_payload.array.data, PayloadBytes()) == 0);
    }
}

float EvaluateTimeFloatKeys(std::span<const TimeFloat> keys, float t) {
    size_t i = 0;
    float f = 0.0f;
    const TimeFloat* end = nullptr;
    if (!Segment(keys, t, i, f, end))
        return end ? end->value : 0.0f;
    const float a = keys[i].value;
    const float b = keys[i + 1].value;
    if (a == b)
        return a;
    return (1.0f - f) * a + f * b;
}

Vector3 EvaluateTimeVector3Keys(std::span<const TimeVector3> keys, float t) {
    size_t i = 0;
    float f = 0.0f;
    const TimeVector3* end = nullptr;
    if (!Segment(keys, t, i, f, end))
        return end ? end->value : Vector3{};
    const Vector3& a = keys[i].value;
    const Vector3& b = keys[i + 1].value;
    if (a == b)
        return a;
    return {(1.0f - f) * a.x + f * b.x, (1.0f - f) * a.y + f * b.y, (1.0f - f) * a.z + f * b.z};
}

Colour EvaluateTimeColourKeys(std::span<const TimeColour> keys, float t) {
    size_t i = 0;
    float f = 0.0f;
    const TimeColour* end = nullptr;
    if (!Segment(keys, t, i, f, end))
        return end ? end->value : Colour{};
    const Colour& a = keys[i].value;
    const Colour& b = keys[i + 1].value;
    return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f,
            a.a + (b.a - a.a) * f};
}
