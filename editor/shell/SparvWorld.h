#pragma once

// One FX runtime ("world") the preview plays an effect in, beside the runtime the editor
// starts: its own registry of types, its own instances and its own random sequence, so
// that an effect in it runs exactly as it would run alone, whatever runs in the others.
// The compare view plays the effect as it was before the last edits in one; the export
// and bake jobs draw in one so that the preview's own effect is left as it is.
//
// Everything that reaches the runtime (FXManager::Instance(), the random generator) works
// in a world while a SparvWorld::Scope for it lives. Gravity and wind are shared by all.

#include "runtime/FXHandle.h"

#include <cstdint>
#include <memory>
#include <vector>

class FXManager;
class FXType;

class SparvWorld {
public:
    // A new world, empty; the FX runtime must be started.
    SparvWorld();
    // Destroys the world's instances and types (the GL context they drew with must be
    // current).
    ~SparvWorld();
    SparvWorld(const SparvWorld&) = delete;
    SparvWorld& operator=(const SparvWorld&) = delete;

    FXManager& Manager() const { return *m_manager; }

    // While a scope lives, its world is the current runtime and the random generator runs
    // the world's sequence; the runtime and the sequence from before come back with its
    // end. Scopes nest.
    class Scope {
    public:
        explicit Scope(SparvWorld& world);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        SparvWorld& m_world;
        FXManager* m_previous;
        uint32_t m_previousRandom;
    };

    // The types the world plays, registered again at every start; the world keeps them.
    void SetTypes(std::vector<std::shared_ptr<FXType>> types);
    const std::vector<std::shared_ptr<FXType>>& Types() const { return m_types; }

    // The one top-level instance started in the world, or the null handle.
    FXHandle instance;

private:
    FXManager* m_manager;
    uint32_t m_random = 0;
    std::vector<std::shared_ptr<FXType>> m_types;
};
