// Worst-case budgets against the runtime: for every sample and for hand-made effects
// that exercise each rule, no run (any seed, any steps up to the sub-step) exceeds the
// bound, and for the samples the bound stays within twice what a run shows.
#include "analysis/FXBudget.h"

#include "math/Random.h"
#include "runtime/FXManager.h"
#include "runtime/FXObject.h"
#include "support/TempWorkDir.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// The most instances a run had alive at once: all together (at any moment, from the
// manager's peak counter) and per type (after each step).
struct Peak {
    uint64_t total = 0;
    std::map<std::string, uint64_t> types;
};

// A working directory holding the sample library, with a running manager.
class BudgetScene {
public:
    BudgetScene() {
        m_dir.copySamples();
        FXManager::Startup();
    }
    ~BudgetScene() { FXManager::Shutdown(); }

    void Write(const std::string& name, const std::string& content) {
        m_dir.write("Data/art/fx/" + name + ".lua", content);
    }

    // Runs one instance of name with the given steps until it is gone or seconds have
    // passed.
    Peak Run(const std::string& name, uint32_t seed, const std::function<float()>& step,
             double seconds) {
        FXManager& manager = *FXManager::Instance();
        manager.ResetStats();
        RandomSeed(seed);
        const FXHandle root = manager.Create(name.c_str(), nullptr);
        Peak peak;
        for (double time = 0.0; time < seconds && manager.LiveCount() > 0;) {
            const float dt = step();
            manager.Update(dt);
            time += dt;
            std::map<std::string, uint64_t> live;
            for (const FXRecord& record : manager.Records())
                ++live[manager.Resolve(manager.HandleOf(record))->GetType()->GetName()];
            for (const auto& [type, count] : live)
                peak.types[type] = std::max(peak.types[type], count);
        }
        FXStats stats{};
        manager.GetStats(stats);
        peak.total = stats[FX_STAT_LIVE_PEAK];
        manager.Destroy(root);
        return peak;
    }

    FXBudgetResult Budget(const std::string& name) {
        return FXBudget(*FXManager::Instance()).Analyse(name.c_str());
    }

private:
    TempWorkDir m_dir;
};

std::function<float()> Fixed(float dt) {
    return [dt] { return dt; };
}

// Steps from the shortest the bound allows to the sub-step, at random: spread evenly, or
// only the two extremes (which lets ends and births fall as late as they can).
std::function<float()> Random(uint32_t seed, bool extremes) {
    auto generator = std::make_shared<std::minstd_rand>(seed);
    return [generator, extremes] {
        if (extremes)
            return std::bernoulli_distribution()(*generator) ? 0.1f : 1.0f / 240.0f;
        return std::uniform_real_distribution<float>(1.0f / 240.0f, 0.1f)(*generator);
    };
}

void ExpectWithin(const Peak& peak, const FXBudgetResult& budget, const std::string& run) {
    EXPECT_LE(peak.total, budget.total) << run << ": all types";
    for (const auto& [type, count] : peak.types) {
        const auto found = budget.types.find(type);
        ASSERT_NE(found, budget.types.end()) << run << ": " << type << " has no bound";
        EXPECT_LE(count, found->second) << run << ": " << type;
    }
}

// Every seed and step pattern stays within the bound.
void ExpectSound(BudgetScene& scene, const std::string& name, double seconds) {
    const FXBudgetResult budget = scene.Budget(name);
    ASSERT_TRUE(budget.bounded) << name << ": " << budget.reason;
    for (const uint32_t seed : {0u, 1u, 7u}) {
        const std::vector<std::pair<std::string, std::function<float()>>> patterns = {
            {"0.1", Fixed(0.1f)},
            {"just under 0.1", Fixed(0.0999f)},
            {"0.05", Fixed(0.05f)},
            {"1/60", Fixed(1.0f / 60.0f)},
            {"random", Random(seed, false)},
            {"extremes", Random(seed, true)}};
        for (const auto& [label, step] : patterns)
            ExpectWithin(scene.Run(name, seed, step, seconds), budget,
                         name + " seed " + std::to_string(seed) + " steps " + label);
    }
}

std::vector<std::string> SampleNames() {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(SPARV_SAMPLES) + "/Data/art/fx"))
        if (entry.path().extension() == ".lua")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SampleBudget : public testing::TestWithParam<std::string> {};

TEST_P(SampleBudget, IsNeverExceededAndAtMostTwiceWhatARunShows) {
    BudgetScene scene;
    const std::string& name = GetParam();
    ExpectSound(scene, name, 25.0);

    // Long enough for the longest sample (trails of 100 s) to settle, at simulate's step.
    const FXBudgetResult budget = scene.Budget(name);
    Peak observed;
    for (const uint32_t seed : {0u, 1u, 2u}) {
        const Peak peak = scene.Run(name, seed, Fixed(0.05f), 130.0);
        observed.total = std::max(observed.total, peak.total);
        for (const auto& [type, count] : peak.types)
            observed.types[type] = std::max(observed.types[type], count);
    }
    constexpr uint64_t kAllowance = 4;
    EXPECT_LE(budget.total, 2 * observed.total + kAllowance) << name;
    for (const auto& [type, count] : budget.types)
        EXPECT_LE(count, 2 * observed.types[type] + kAllowance) << name << ": " << type;
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleBudget, testing::ValuesIn(SampleNames()),
                         [](const testing::TestParamInfo<std::string>& sample) {
                             return sample.param;
                         });

// --- hand-made effects --------------------------------------------------------------

std::string Property(const char* name, const char* kind, const std::string& value) {
    return std::string("{ name = \"") + name + "\", type = \"VARTYPE_" + kind +
           "\", value = " + value + " },\n";
}
std::string Fx(const std::string& style, const std::string& properties) {
    return "fx = { style = \"STYLE_" + style + "\", properties = {\n" + properties + "} }\n";
}
std::string Spray(const std::string& duration, const std::string& rate, const std::string& particle,
                  const std::string& more = "") {
    return Fx("SPRAY", Property("Emitter_Duration", "FLOAT", duration) +
                           Property("Emitter_Rate", "ARRAY_TIMEFLOAT", rate) +
                           Property("Particle_Fx", "STRING", "\"" + particle + "\"") +
                           Property("Particle_Dynamics", "INT", "0") + more);
}
std::string Ring(const std::string& duration, const std::string& more = "") {
    return Fx("RING", Property("Duration", "FLOAT", duration) + more);
}
std::string Loop(const char* name = "Loop") {
    return Property(name, "BOOL", "1");
}
std::string Names(const std::vector<std::pair<const char*, const char*>>& names) {
    std::string properties;
    for (const auto& [property, type] : names)
        properties += Property(property, "STRING", std::string("\"") + type + "\"");
    return properties;
}

struct Effect {
    const char* title;
    std::vector<std::pair<std::string, std::string>> files; // the first is analysed
    std::vector<std::string> unboundedChain;                // empty: bounded
};

const std::vector<std::pair<std::string, std::string>> kCommon = {
    {"mote", Ring("0.7", Property("RateEpsilon", "FLOAT", "0.5"))},
    {"puff", Ring("1")},
};

const Effect kEffects[] = {
    {"nested_sprays",
     {{"outer", Spray("1", "{0, 20, 1, 5}", "inner")},
      {"inner", Spray("0.5", "{0, 30, 1, 30}", "mote")}},
     {}},
    {"looping_particles_of_a_finite_spray",
     {{"glows", Spray("0.6", "{0, 15, 1, 15}", "glow")}, {"glow", Ring("0.5", Loop())}},
     {}},
    {"a_looping_spray_of_looping_sprays",
     {{"field", Spray("1", "{0, 2, 1, 2}", "fountain", Loop("Emitter_Loop"))},
      {"fountain", Spray("1", "{0, 10, 1, 10}", "mote", Loop("Emitter_Loop"))}},
     {"field", "fountain"}},
    {"a_ring_that_respawns_itself",
     {{"phoenix", Ring("0.5", Property("Spawn_Fx", "STRING", "\"phoenix\""))}},
     {"phoenix", "phoenix"}},
    {"a_cycle_through_a_birth_spawn",
     {{"seeder", Spray("0.5", "{0, 4, 1, 4}", "sprout")},
      {"sprout", Ring("1", Property("BirthSpawn_Fx", "STRING", "\"seeder\""))}},
     {"seeder", "sprout", "seeder"}},
    {"a_combo_of_conditionals",
     {{"volley", Fx("COMBO", Names({{"Fx1", "guarded_smoke"}, {"Fx2", "guarded_beam"}}))},
      {"guarded_smoke", Fx("CONDITIONAL", Names({{"Fx1", "fuse"}, {"Fx2", "smoker"}}))},
      {"fuse", Ring("0.4")},
      {"smoker", Spray("1", "{0, 25, 1, 25}", "puff", Loop("Emitter_Loop"))},
      {"guarded_beam", Fx("CONDITIONAL", Names({{"Fx1", "hum"}, {"Fx2", "burst"}}))},
      {"hum", Fx("BEAM", Property("Duration", "FLOAT", "0.5") + Loop())},
      {"burst", Spray("0.3", "{0, 50, 1, 50}", "puff")}},
     {}},
    {"a_looping_spray_of_conditionals",
     {{"gunfire", Spray("1", "{0, 3, 1, 3}", "muzzle_flash", Loop("Emitter_Loop"))}},
     {}},
    {"a_conditional_whose_partner_is_a_light",
     {{"lantern", Fx("CONDITIONAL", Names({{"Fx1", "lamp"}, {"Fx2", "glow"}}))},
      {"glow", Ring("0.5", Loop())}},
     {}},
    {"a_ring_with_birth_and_death_sprays",
     {{"rocket", Ring("1", Property("RateEpsilon", "FLOAT", "1") +
                               Names({{"BirthSpawn_Fx", "exhaust"}, {"Spawn_Fx", "blast"}}))},
      {"exhaust", Spray("0.8", "{0, 30, 1, 30}", "puff")},
      {"blast", Spray("0.2", "{0, 100, 1, 0}", "mote")}},
     {}},
    {"forced_particles_of_sprays_in_combos",
     {{"salvo", Spray("0.5", "{0, 40, 1, 40}", "pod")},
      {"pod", Fx("COMBO", Names({{"Fx1", "pin"}}))},
      {"pin", Spray("0.3", "{0, 0, 1, 0}", "puff", Property("Force_First", "BOOL", "1"))}},
     {}},
    {"a_rate_extrapolated_before_its_first_key",
     {{"early", Spray("1", "{0.5, 100, 1, 0}", "mote")}},
     {}},
    {"a_rate_extrapolated_below_zero",
     {{"late", Spray("1", "{0.5, 0, 1, 100}", "mote", Loop("Emitter_Loop"))}},
     {}},
    {"a_rate_keyed_at_no_number",
     {{"garbled", Spray("1", "{0, 30, 0.5, 30, 0/0, 50}", "mote", Loop("Emitter_Loop"))}},
     {}},
    {"a_looping_burst",
     {{"pulse", Spray("1", "{0, 100, 0.2, 0, 1, 0}", "mote", Loop("Emitter_Loop"))}},
     {}},
    {"a_loop_shorter_than_a_step",
     {{"buzz", Spray("0.05", "{0, 200, 1, 0}", "mote", Loop("Emitter_Loop"))}},
     {}},
    {"sprays_of_no_duration",
     {{"both", Fx("COMBO", Names({{"Fx1", "zero_loop"}, {"Fx2", "zero_once"}}))},
      {"zero_loop", Spray("0", "{0, 0, 1, 50}", "mote", Loop("Emitter_Loop"))},
      {"zero_once", Spray("0", "{0, 300, 1, 300}", "mote")}},
     {}},
    {"a_missing_particle_type_is_badfx",
     {{"ghosts", Spray("1", "{0, 5, 1, 5}", "nosuch", Loop("Emitter_Loop"))}},
     {"ghosts", "nosuch"}},
    {"a_stopped_window",
     {{"portal", Fx("CONDITIONAL", Names({{"Fx1", "puff"}, {"Fx2", "window"}}))},
      {"window", Fx("HYPERSPACE", Property("Duration", "FLOAT", "10"))}},
     {}},
    {"trails_of_random_length",
     {{"streaks", Spray("1", "{0, 8, 1, 8}", "streak")},
      {"streak", Fx("TRAIL", Property("Duration", "FLOAT", "2") +
                                 Property("DurationEpsilon", "FLOAT", "0.5"))}},
     {}},
};

class EffectBudget : public testing::TestWithParam<Effect> {};

TEST_P(EffectBudget, IsNeverExceededOrNamesTheEndlessChain) {
    BudgetScene scene;
    const Effect& effect = GetParam();
    for (const auto& [name, content] : kCommon)
        scene.Write(name, content);
    for (const auto& [name, content] : effect.files)
        scene.Write(name, content);
    const std::string& root = effect.files.front().first;
    if (effect.unboundedChain.empty()) {
        ExpectSound(scene, root, 20.0);
        return;
    }
    const FXBudgetResult budget = scene.Budget(root);
    EXPECT_FALSE(budget.bounded);
    EXPECT_EQ(budget.chain, effect.unboundedChain);
    EXPECT_NE(budget.reason.find(effect.unboundedChain.front()), std::string::npos)
        << budget.reason;
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectBudget, testing::ValuesIn(kEffects),
                         [](const testing::TestParamInfo<Effect>& row) {
                             return std::string(row.param.title);
                         });

// A stand-in that creates instances of the type it wraps but shows no properties, as the
// editor's document registers its types while an effect plays.
class HiddenType : public FXType {
public:
    explicit HiddenType(std::shared_ptr<FXType> type)
        : FXType(("hidden_" + type->GetName()).c_str()), m_type(std::move(type)) {}
    int GetStyle() const override { return m_type->GetStyle(); }
    float GetDuration() const override { return m_type->GetDuration(); }
    bool GetPropertyValue(const char*, FXVariable&) const override { return false; }
    FXType& Wrapped() const { return *m_type; }

private:
    std::shared_ptr<FXType> m_type;
};

TEST(Budget, ATypeThatHidesItsDefinitionIsUnboundedUnlessLookedThrough) {
    BudgetScene scene;
    FXManager& manager = *FXManager::Instance();
    manager.TypeAdd(std::make_shared<HiddenType>(manager.TypeLoad("rain")));
    manager.TypeAdd(std::make_shared<HiddenType>(manager.TypeLoad("laser")));
    const FXBudgetResult hidden = scene.Budget("hidden_rain");
    EXPECT_FALSE(hidden.bounded);
    EXPECT_EQ(hidden.reason, "the definition of 'hidden_rain' cannot be read");
    // A style that creates nothing is one instance, which may never end.
    EXPECT_EQ(scene.Budget("hidden_laser").total, 1u);

    FXBudget lookThrough(manager, {}, [&manager](const char* name) {
        FXType* type = manager.TypeFind(name);
        const auto* standIn = dynamic_cast<const HiddenType*>(type);
        return standIn ? &standIn->Wrapped() : type;
    });
    const FXBudgetResult rain = lookThrough.Analyse("hidden_rain");
    EXPECT_TRUE(rain.bounded);
    EXPECT_EQ(rain.total, scene.Budget("rain").total);
}

TEST(Budget, AtTheInstanceCeilingEveryFigureIsTheCeiling) {
    BudgetScene scene;
    FXManager::Instance()->SetInstanceCeiling(50);
    const FXBudgetResult rain = scene.Budget("rain");
    EXPECT_TRUE(rain.atCeiling);
    EXPECT_EQ(rain.total, 50u);
    EXPECT_EQ(rain.types.at("drop"), 50u);
    EXPECT_EQ(rain.types.at("rain"), 1u);
    // What cannot be created counts nothing: lights are off, and so is an empty name.
    EXPECT_EQ(scene.Budget("lamp").total, 0u);
    EXPECT_EQ(scene.Budget("").total, 0u);
}

} // namespace
