#include "shell/TypeProxy.h"

TypeProxy::TypeProxy(std::shared_ptr<FXType> type)
    : FXType(type->GetName().c_str()), m_type(std::move(type)) {}

bool TypeProxy::SetName(const char*) {
    return false;
}

FXObject* TypeProxy::CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                    uintptr_t argument) {
    return m_type->CreateInstance(memory, self, parent, argument);
}

void TypeProxy::GetProperties(FXPropertyList&) const {}

bool TypeProxy::GetProperty(int, FXProperty&) const {
    return false;
}

bool TypeProxy::GetPropertyValue(const char*, FXVariable&) const {
    return false;
}

bool TypeProxy::SetProperty(const char*, const FXVariable&) {
    return false;
}
