#pragma once

// The stand-in under which the document registers each of its FX types with the runtime
// while an effect plays: it carries the type's name and forwards what the runtime needs
// to create, prepare and draw instances to the document's type, and refuses to list,
// change or rename properties. The registry owns the proxy and may drop it at any time;
// the document's type stays the document's.

#include "definitions/FXType.h"

#include <memory>

class TypeProxy final : public FXType {
public:
    explicit TypeProxy(std::shared_ptr<FXType> type);

    FXType& Wrapped() const { return *m_type; }

    bool SetName(const char* name) override;
    int GetStyle() const override { return m_type->GetStyle(); }
    bool IsRenderable() const override { return m_type->IsRenderable(); }
    bool NoSizeFade() const override { return m_type->NoSizeFade(); }
    float GetDuration() const override { return m_type->GetDuration(); }
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    bool Prepare() override { return m_type->Prepare(); }
    void Release() override { m_type->Release(); }
    void BeginBatch() override { m_type->BeginBatch(); }
    void EndBatch() override { m_type->EndBatch(); }
    // The children of the wrapped type are looked up by name like any other type.
    void GetChildTypes(std::vector<std::string>& list) const override { list.clear(); }

    // No properties through the proxy: the outputs are left as they were.
    void GetProperties(FXPropertyList& list) const override;
    bool GetProperty(int index, FXProperty& out) const override;
    bool GetPropertyValue(const char* name, FXVariable& out) const override;
    bool SetProperty(const char* name, const FXVariable& value) override;

private:
    std::shared_ptr<FXType> m_type; // kept alive while the registry holds the proxy
};
