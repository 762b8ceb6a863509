#pragma once

// Worst-case budgets: how many instances of each type an effect can have alive at once
// over its whole life, read from the type definitions alone, without simulating.
//
// The bound holds for every seed (random modifiers are taken at their extremes) and for
// every sequence of update steps from FXBudgetOptions::shortestStep to longestStep, as
// FXManager::Update gives them to instances it updates every step: those on screen, and
// every instance while nothing draws (sparv-fx simulate and render). Off-screen
// instances that the manager updates only once per second of accumulated time can live
// longer and are outside the bound. It counts every moment, also the middle of a step,
// where an instance that has just died and the one it spawned are both still alive.
//
// How it works: each type gets an occupancy per type of its subtree (FXOccupancy) over
// the time since an instance is born, from its style's rules: how long it lives
// (duration, loop, random stretch, stops), when its children are born relative to it
// (birth and death spawns, combo and conditional children, a spray's emission, FXEmission)
// and that a finished instance stays until its last child is gone. A looping emitter
// reaches a periodic steady state; the bound over one period after warming up holds for
// ever after. Cycles in the spawn graph, and emitters that never stop creating particles
// that never end, make the effect unbounded.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class FXManager;
class FXType;

struct FXBudgetOptions {
    // The longest step an instance is advanced by, in seconds: the manager's sub-step.
    double longestStep = 0.1;
    // The shortest step, in seconds: ages are sums of float steps, and shorter steps lose
    // more time to rounding as ages grow.
    double shortestStep = 1.0 / 240.0;
    // The width of the time bins, in seconds; 0 chooses one from the effect's durations
    // (a hundredth of a second, wider for very long effects).
    double binWidth = 0.0;
};

struct FXBudgetResult {
    // False when the effect can create instances without end; chain and reason say how.
    bool bounded = true;
    // The bound of the instances alive at once, all types together, and per type name.
    uint64_t total = 0;
    std::map<std::string, uint64_t> types;
    // True when the bound reaches the manager's instance ceiling: the runtime then stops
    // creating instances, and every figure is the ceiling at most.
    bool atCeiling = false;
    // When unbounded: the types from the effect down to where it repeats (a cycle ends
    // with the type it started from) or to the instance that never ends.
    std::vector<std::string> chain;
    std::string reason;
};

class FXBudget {
public:
    // Finds the type of a name as creating an instance would, or null.
    using TypeLookup = std::function<FXType*(const char* name)>;

    // Types are found through the manager's registry, as the runtime finds them (a
    // missing type is the "badfx" stand-in), unless lookup is given: a caller whose
    // registry holds stand-ins that do not show their properties hands out the real
    // types through it. The manager's light level and instance ceiling apply.
    explicit FXBudget(FXManager& manager, const FXBudgetOptions& options = {},
                      TypeLookup lookup = {});
    ~FXBudget();
    FXBudget(const FXBudget&) = delete;
    FXBudget& operator=(const FXBudget&) = delete;

    // The budget of one instance of the type created on its own. A type that cannot be
    // had gives a bounded budget of 0.
    FXBudgetResult Analyse(const char* name);

private:
    struct Profile;
    class Analysis;

    FXManager& m_manager;
    FXBudgetOptions m_options;
    TypeLookup m_lookup;
};
