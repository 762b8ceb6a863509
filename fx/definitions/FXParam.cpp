#include "FXParam.h"

#include <cmath>

FXParamFloat::FXParamFloat(const char* name, const char* description, float* field)
    : FXParam(name, description), m_field(field), m_ranged(false), m_minimum(0), m_maximum(0) {}

FXParamFloat::FXParamFloat(const char* name, const char* description, float* field, float minimum,
                           float maximum)
    : FXParam(name, description), m_field(field), m_ranged(true), m_minimum(minimum),
      m_maximum(maximum) {}

bool FXParamFloat::Write(const FXVariable& value) {
    if (value.GetType() != VARTYPE_FLOAT)
        return false;
    const float v = value.GetFloat();
    // Written so that a NaN fails the test.
    if (m_ranged && !(v >= m_minimum && v <= m_maximum))
        return false;
    *m_field = v;
    return true;
}

bool FXParamFloat::Range(double& minimum, double& maximum) const {
    minimum = m_minimum;
    maximum = m_maximum;
    return m_ranged;
}

FXParamInt::FXParamInt(const char* name, const char* description, int32_t* field)
    : FXParam(name, description), m_field(field), m_ranged(false), m_minimum(0), m_maximum(0) {}

FXParamInt::FXParamInt(const char* name, const char* description, int32_t* field, int32_t minimum,
                       int32_t maximum)
    : FXParam(name, description), m_field(field), m_ranged(true), m_minimum(minimum),
      m_maximum(maximum) {}

bool FXParamInt::Write(const FXVariable& value) {
    if (value.GetType() != VARTYPE_INT)
        return false;
    const int32_t v = value.GetInt();
    if (m_ranged && (v < m_minimum || v > m_maximum))
        return false;
    *m_field = v;
    return true;
}

bool FXParamInt::Range(double& minimum, double& maximum) const {
    minimum = m_minimum;
    maximum = m_maximum;
    return m_ranged;
}

bool FXParamBool::Write(const FXVariable& value) {
    if (value.GetType() != VARTYPE_BOOL)
        return false;
    *m_field = value.GetBool();
    return true;
}

bool FXParamString::Write(const FXVariable& value) {
    if (value.GetType() != VARTYPE_STRING)
        return false;
    *m_field = value.String();
    return true;
}

bool FXParamColour::Write(const FXVariable& value) {
    return value.GetColour(*m_field);
}

FXParamTimeFloat::FXParamTimeFloat(const char* name, const char* description, FXVariable* field,
                                   float minimum, float maximum)
    : FXParam(name, description), m_field(field), m_minimum(minimum), m_maximum(maximum) {}

bool FXParamTimeFloat::Write(const FXVariable& value) {
    if (value.GetType() != VARTYPE_ARRAY_TIMEFLOAT)
        return false;
    for (const TimeFloat& key : value.TimeFloats())
        if (!(key.value >= m_minimum && key.value <= m_maximum))
            return false;
    *m_field = value;
    return true;
}

bool FXParamTimeFloat::Range(double& minimum, double& maximum) const {
    minimum = m_minimum;
    maximum = m_maximum;
    return true;
}

bool FXParamTimeColour::Write(const FXVariable& value) {
    if (value.GetType() != VARTYPE_ARRAY_TIMECOLOUR)
        return false;
    m_field->SetArrayTimeColour(value.TimeColours());
    return true;
}

bool FXParamTimeVector3::Write(const FXVariable& value) {
    if (value.GetType() != VARTYPE_ARRAY_TIMEVECTOR3)
        return false;
    if (m_nonNegative)
        for (const TimeVector3& key : value.TimeVector3s())
            if (!(key.value.x >= 0.0f && key.value.y >= 0.0f && key.value.z >= 0.0f))
                return false;
    *m_field = value;
    return true;
}
