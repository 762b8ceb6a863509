#pragma once

// The abstract FX type: a named definition of one style with its parameter table.
//
// Each style derives its type class, holds one field per parameter and registers the
// parameters in its constructor, in the style's order, with their defaults. Properties
// are listed, read and written through that table; SetProperty is the one door through
// which a value reaches a field.

#include "FXParam.h"
#include "FXProperty.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FXObject;
struct FXHandle;

class FXType {
public:
    // name is stored in lower case.
    explicit FXType(const char* name);
    virtual ~FXType();
    FXType(const FXType&) = delete;
    FXType& operator=(const FXType&) = delete;

    // Stores the name in lower case; always true.
    virtual bool SetName(const char* name);
    // The style index 0 to 8.
    virtual int GetStyle() const = 0;
    // Whether instances take part in the visibility pass; read when one is created.
    virtual bool IsRenderable() const { return true; }
    // When false, a renderable instance fades out as its projected size shrinks.
    virtual bool NoSizeFade() const { return false; }
    // The type's lifetime in seconds.
    virtual float GetDuration() const = 0;
    // Constructs this style's instance in place in memory handed out by the manager.
    // Instances come with the live runtime; a style without them answers null, and the
    // manager then creates nothing.
    virtual FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                     uintptr_t argument);
    // Bytes of the object CreateInstance constructs, so that the manager hands it a block
    // of its size; 0 (unknown) gets the largest block.
    virtual size_t InstanceSize() const { return 0; }
    // Loads what instances will need (textures, meshes, child types); Release frees it.
    virtual bool Prepare() { return true; }
    virtual void Release() {}
    // Called around a run of this type's instances in the drawing pass.
    virtual void BeginBatch() {}
    virtual void EndBatch() {}
    // Zeroes the style's drawing counters.
    virtual void ResetBatchStats() {}
    // Clears list, then appends the names of the FX types this type spawns.
    virtual void GetChildTypes(std::vector<std::string>& list) const { list.clear(); }

    // Clears list, then appends one property (name, description, current value) per
    // parameter in table order.
    virtual void GetProperties(FXPropertyList& list) const;
    // False when index is not below the parameter count.
    virtual bool GetProperty(int index, FXProperty& out) const;
    // False when no parameter has that name (case-sensitive).
    virtual bool GetPropertyValue(const char* name, FXVariable& out) const;
    // Writes a parameter by exact name. False when there is none, when the value's kind
    // differs, or when the parameter refuses the value. Strings are normalised first: a
    // path ending in ".lua" (any case) becomes the file's base name, and back-slashes
    // become slashes.
    virtual bool SetProperty(const char* name, const FXVariable& value);

    const std::string& GetName() const { return m_name; }
    int32_t GetSortOrder() const { return m_sortOrder; }
    float GetFactor() const { return m_factor; }
    const FXParamTable& Params() const { return m_params; }
    // The parameter of a name, or null.
    const FXParam* FindParam(const char* name) const;
    FXParam* FindParam(const char* name);

protected:
    // Registration helpers for the style constructors, in table order.
    void AddFloat(const char* name, const char* description, float* field, float value);
    void AddFloat(const char* name, const char* description, float* field, float value,
                  float minimum, float maximum);
    void AddInt(const char* name, const char* description, int32_t* field, int32_t value);
    void AddInt(const char* name, const char* description, int32_t* field, int32_t value,
                int32_t minimum, int32_t maximum);
    void AddBool(const char* name, const char* description, bool* field, bool value);
    void AddString(const char* name, const char* description, std::string* field,
                   const char* value);
    void AddColour(const char* name, const char* description, Colour* field, const Colour& value);
    void AddTimeFloat(const char* name, const char* description, FXVariable* field,
                      std::initializer_list<TimeFloat> keys, float minimum, float maximum);
    void AddTimeColour(const char* name, const char* description, FXVariable* field,
                       std::initializer_list<TimeColour> keys);
    void AddTimeVector3(const char* name, const char* description, FXVariable* field,
                        std::initializer_list<TimeVector3> keys, bool nonNegative = false);

    // Drawing order in the render pass; Ring exposes it as "SortOrder".
    int32_t m_sortOrder = 0;

private:
    std::string m_name;
    // A per-type factor, 1.0 unless a style changes it.
    float m_factor = 1.0f;
    FXParamTable m_params;
};

// Lower-cases ASCII letters.
std::string FXLowerCase(const char* text);

// The normalisation SetProperty applies to string values: a path whose extension is
// ".lua" (any case) becomes the text between the last separator and the extension; then
// every '\' becomes '/'.
std::string FXNormaliseStringValue(const char* text);
