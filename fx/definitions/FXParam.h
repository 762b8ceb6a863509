#pragma once

// Parameter descriptors: how an FX type exposes one of its fields as a property.
//
// A descriptor names a field of its type and reads it into an FXVariable or writes an
// FXVariable into it. A write whose value is of another kind, or breaks the descriptor's
// rule (a range, non-negative components), returns false and leaves the field as it was.
// The type owns both the field and its descriptors, so the field outlives the
// descriptor.

#include "FXVariable.h"

#include <memory>
#include <string>
#include <vector>

class FXParam {
public:
    FXParam(const char* name, const char* description) : m_name(name), m_description(description) {}
    virtual ~FXParam() = default;
    FXParam(const FXParam&) = delete;
    FXParam& operator=(const FXParam&) = delete;

    const char* Name() const { return m_name; }
    const char* Description() const { return m_description; }
    // The field's kind.
    virtual VarType Kind() const = 0;
    // A copy of the field's current value.
    virtual void Read(FXVariable& out) const = 0;
    virtual bool Write(const FXVariable& value) = 0;
    // The accepted range of ranged kinds (of the key values for time-float arrays);
    // false for kinds without one.
    virtual bool Range(double& minimum, double& maximum) const {
        (void)minimum;
        (void)maximum;
        return false;
    }

private:
    const char* m_name;
    const char* m_description;
};

class FXParamFloat : public FXParam {
public:
    // Without a range every float (NaN included) is taken.
    FXParamFloat(const char* name, const char* description, float* field);
    FXParamFloat(const char* name, const char* description, float* field, float minimum,
                 float maximum);
    VarType Kind() const override { return VARTYPE_FLOAT; }
    void Read(FXVariable& out) const override { out.SetFloat(*m_field); }
    bool Write(const FXVariable& value) override;
    bool Range(double& minimum, double& maximum) const override;

private:
    float* m_field;
    bool m_ranged;
    float m_minimum, m_maximum;
};

class FXParamInt : public FXParam {
public:
    FXParamInt(const char* name, const char* description, int32_t* field);
    FXParamInt(const char* name, const char* description, int32_t* field, int32_t minimum,
               int32_t maximum);
    VarType Kind() const override { return VARTYPE_INT; }
    void Read(FXVariable& out) const override { out.SetInt(*m_field); }
    bool Write(const FXVariable& value) override;
    bool Range(double& minimum, double& maximum) const override;

private:
    int32_t* m_field;
    bool m_ranged;
    int32_t m_minimum, m_maximum;
};

class FXParamBool : public FXParam {
public:
    FXParamBool(const char* name, const char* description, bool* field)
        : FXParam(name, description), m_field(field) {}
    VarType Kind() const override { return VARTYPE_BOOL; }
    void Read(FXVariable& out) const override { out.SetBool(*m_field); }
    bool Write(const FXVariable& value) override;

private:
    bool* m_field;
};

class FXParamString : public FXParam {
public:
    FXParamString(const char* name, const char* description, std::string* field)
        : FXParam(name, description), m_field(field) {}
    VarType Kind() const override { return VARTYPE_STRING; }
    void Read(FXVariable& out) const override { out.SetString(m_field->c_str()); }
    bool Write(const FXVariable& value) override;

private:
    std::string* m_field;
};

class FXParamColour : public FXParam {
public:
    FXParamColour(const char* name, const char* description, Colour* field)
        : FXParam(name, description), m_field(field) {}
    VarType Kind() const override { return VARTYPE_COLOUR; }
    void Read(FXVariable& out) const override { out.SetColour(*m_field); }
    bool Write(const FXVariable& value) override;

private:
    Colour* m_field;
};

// Time-keyed arrays are held in an FXVariable of their kind, so the styles evaluate the
// field in place every frame.
class FXParamTimeFloat : public FXParam {
public:
    // Every key value (not time) must lie in minimum..maximum.
    FXParamTimeFloat(const char* name, const char* description, FXVariable* field, float minimum,
                     float maximum);
    VarType Kind() const override { return VARTYPE_ARRAY_TIMEFLOAT; }
    void Read(FXVariable& out) const override { out = *m_field; }
    bool Write(const FXVariable& value) override;
    bool Range(double& minimum, double& maximum) const override;

private:
    FXVariable* m_field;
    float m_minimum, m_maximum;
};

class FXParamTimeColour : public FXParam {
public:
    FXParamTimeColour(const char* name, const char* description, FXVariable* field)
        : FXParam(name, description), m_field(field) {}
    VarType Kind() const override { return VARTYPE_ARRAY_TIMECOLOUR; }
    void Read(FXVariable& out) const override { out = *m_field; }
    bool Write(const FXVariable& value) override;

private:
    FXVariable* m_field;
};

class FXParamTimeVector3 : public FXParam {
public:
    // nonNegative: every key must have x, y and z >= 0.0.
    FXParamTimeVector3(const char* name, const char* description, FXVariable* field,
                       bool nonNegative = false)
        : FXParam(name, description), m_field(field), m_nonNegative(nonNegative) {}
    VarType Kind() const override { return VARTYPE_ARRAY_TIMEVECTOR3; }
    void Read(FXVariable& out) const override { out = *m_field; }
    bool Write(const FXVariable& value) override;
    bool NonNegative() const { return m_nonNegative; }

private:
    FXVariable* m_field;
    bool m_nonNegative;
};

// The ordered parameter table of an FX type.
using FXParamTable = std::vector<std::unique_ptr<FXParam>>;
