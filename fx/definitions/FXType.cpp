#include "FXType.h"

#include <cstring>
#include <utility>

std::string FXLowerCase(const char* text) {
    std::string lower = text ? text : "";
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string FXNormaliseStringValue(const char* text) {
    std::string value = text ? text : "";
    const size_t length = value.size();
    if (length >= 4 && FXLowerCase(value.c_str() + length - 4) == ".lua") {
        const size_t separator = value.find_last_of("\\/", length - 4);
        const size_t start = separator == std::string::npos ? 0 : separator + 1;
        // A separator inside the last four characters cannot precede the extension.
        value = value.substr(start, length - 4 - start);
    }
    for (char& c : value)
        if (c == '\\')
            c = '/';
    return value;
}

FXType::FXType(const char* name) : m_name(FXLowerCase(name)) {}

FXType::~FXType() = default;

bool FXType::SetName(const char* name) {
    m_name = FXLowerCase(name);
    return true;
}

FXObject* FXType::CreateInstance(void*, const FXHandle&, const FXHandle&, uintptr_t) {
    return nullptr;
}

void FXType::GetProperties(FXPropertyList& list) const {
    list.clear();
    for (const auto& param : m_params) {
        list.push_back({param->Name(), param->Description(), {}});
        param->Read(list.back().value);
    }
}

bool FXType::GetProperty(int index, FXProperty& out) const {
    if (index < 0 || static_cast<size_t>(index) >= m_params.size())
        return false;
    const FXParam& param = *m_params[static_cast<size_t>(index)];
    out.name = param.Name();
    out.description = param.Description();
    out.value.Clear();
    param.Read(out.value);
    return true;
}

const FXParam* FXType::FindParam(const char* name) const {
    if (!name)
        return nullptr;
    for (const auto& param : m_params)
        if (std::strcmp(param->Name(), name) == 0)
            return param.get();
    return nullptr;
}

FXParam* FXType::FindParam(const char* name) {
    return const_cast<FXParam*>(std::as_const(*this).FindParam(name));
}

bool FXType::GetPropertyValue(const char* name, FXVariable& out) const {
    const FXParam* param = FindParam(name);
    if (!param)
        return false;
    out.Clear();
    param->Read(out);
    return true;
}

bool FXType::SetProperty(const char* name, const FXVariable& value) {
    FXParam* param = FindParam(name);
    if (!param || param->Kind() != value.GetType())
        return false;
    if (value.GetType() == VARTYPE_STRING) {
        FXVariable normalised;
        normalised.SetString(FXNormaliseStringValue(value.String()).c_str());
        return param->Write(normalised);
    }
    return param->Write(value);
}

void FXType::AddFloat(const char* name, const char* description, float* field, float value) {
    *field = value;
    m_params.push_back(std::make_unique<FXParamFloat>(name, description, field));
}

void FXType::AddFloat(const char* name, const char* description, float* field, float value,
                      float minimum, float maximum) {
    *field = value;
    m_params.push_back(std::make_unique<FXParamFloat>(name, description, field, minimum, maximum));
}

void FXType::AddInt(const char* name, const char* description, int32_t* field, int32_t value) {
    *field = value;
    m_params.push_back(std::make_unique<FXParamInt>(name, description, field));
}

void FXType::AddInt(const char* name, const char* description, int32_t* field, int32_t value,
                    int32_t minimum, int32_t maximum) {
    *field = value;
    m_params.push_back(std::make_unique<FXParamInt>(name, description, field, minimum, maximum));
}

void FXType::AddBool(const char* name, const char* description, bool* field, bool value) {
    *field = value;
    m_params.push_back(std::make_unique<FXParamBool>(name, description, field));
}

void FXType::AddString(const char* name, const char* description, std::string* field,
                       const char* value) {
    *field = value;
    m_params.push_back(std::make_unique<FXParamString>(name, description, field));
}

void FXType::AddColour(const char* name, const char* description, Colour* field,
                       const Colour& value) {
    *field = value;
    m_params.push_back(std::make_unique<FXParamColour>(name, description, field));
}

void FXType::AddTimeFloat(const char* name, const char* description, FXVariable* field,
                          std::initializer_list<TimeFloat> keys, float minimum, float maximum) {
    field->SetArrayTimeFloat(std::span<const TimeFloat>(keys.begin(), keys.size()));
    m_params.push_back(
        std::make_unique<FXParamTimeFloat>(name, description, field, minimum, maximum));
}

void FXType::AddTimeColour(const char* name, const char* description, FXVariable* field,
                           std::initializer_list<TimeColour> keys) {
    field->SetArrayTimeColour(std::span<const TimeColour>(keys.begin(), keys.size()));
    m_params.push_back(std::make_unique<FXParamTimeColour>(name, description, field));
}

void FXType::AddTimeVector3(const char* name, const char* description, FXVariable* field,
                            std::initializer_list<TimeVector3> keys, bool nonNegative) {
    field->SetArrayTimeVector3(std::span<const TimeVector3>(keys.begin(), keys.size()));
    m_params.push_back(std::make_unique<FXParamTimeVector3>(name, description, field, nonNegative));
}
