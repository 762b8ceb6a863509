#pragma once

// A test-only FX style: a type whose instances run for a set time (or until stopped),
// remember every dt they were given and every fade they were drawn with, and optionally
// create children when they are constructed.

#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "runtime/FXManager.h"
#include "runtime/FXObject.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

struct TestFxLog {
    std::vector<float> updates; // dt of every update
    std::vector<float> fades;   // fade of every Render
    int created = 0;
    int destroyed = 0;
    int batchesBegun = 0;
    int batchesEnded = 0;
};

class TestFxType : public FXType {
public:
    // duration < 0: runs until stopped. style: what GetStyle answers (renderable unless
    // spray, combo or conditional).
    TestFxType(const char* name, float duration, int style = STYLE_RING)
        : FXType(name), m_duration(duration), m_style(style) {}

    int GetStyle() const override { return m_style; }
    bool IsRenderable() const override {
        return m_style != STYLE_SPRAY && m_style != STYLE_COMBO && m_style != STYLE_CONDITIONAL;
    }
    bool NoSizeFade() const override { return m_noSizeFade; }
    float GetDuration() const override { return m_duration; }
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    void BeginBatch() override {
        ++log.batchesBegun;
        if (batchOrder)
            batchOrder->push_back(GetName());
    }
    void EndBatch() override { ++log.batchesEnded; }
    void GetChildTypes(std::vector<std::string>& list) const override { list = children; }

    void SetSortOrder(int32_t order) { m_sortOrder = order; }

    TestFxLog log;
    std::vector<std::string> children; // created, attached, by every instance
    // When set, BeginBatch appends the type's name: the order types are drawn in.
    std::vector<std::string>* batchOrder = nullptr;
    float radius = 1.0f;
    bool m_noSizeFade = true;

private:
    float m_duration;
    int m_style;
};

class TestFxObject : public FXObject {
public:
    TestFxObject(TestFxType* type, const FXHandle& self, const FXHandle& parent)
        : FXObject(type, self, parent), m_testType(type) {
        ++type->log.created;
        m_radius = type->radius;
        for (const std::string& child : type->children)
            FXManager::Instance()->CreateAttached(child.c_str(), nullptr, self, 0.0f);
    }
    ~TestFxObject() override { ++m_testType->log.destroyed; }

    bool Update(float dt) override {
        m_testType->log.updates.push_back(dt);
        m_age += dt;
        if (m_stopped)
            return true;
        return m_testType->GetDuration() >= 0.0f && m_age >= m_testType->GetDuration();
    }
    void Render(float fade) override { m_testType->log.fades.push_back(fade); }

private:
    TestFxType* m_testType;
    float m_age = 0.0f;
};

inline FXObject* TestFxType::CreateInstance(void* memory, const FXHandle& self,
                                            const FXHandle& parent, uintptr_t) {
    return FXConstructInstance<TestFxObject>(memory, this, self, parent);
}

// Registers a test type with the running manager and returns it.
inline TestFxType& AddTestFx(const char* name, float duration, int style = STYLE_RING) {
    auto type = std::make_shared<TestFxType>(name, duration, style);
    TestFxType& reference = *type;
    FXManager::Instance()->TypeAdd(std::move(type));
    return reference;
}

// Registers a new type of one of the real styles with the running manager and returns it.
inline FXType& AddStyleType(int style, const char* name) {
    std::shared_ptr<FXType> type = FXNewType(style, name);
    FXType& reference = *type;
    FXManager::Instance()->TypeAdd(std::move(type));
    return reference;
}

// Advances the running manager by seconds in frames of 0.1 s.
inline void RunFrames(float seconds) {
    for (long frame = std::lround(seconds / 0.1f); frame > 0; --frame)
        FXManager::Instance()->Update(0.1f);
}
