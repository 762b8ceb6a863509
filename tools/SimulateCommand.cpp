// sparv-fx simulate: runs one effect headless and prints, after every step, what lives.
#include "Commands.h"
#include "Json.h"
#include "ToolSupport.h"
#include "math/Random.h"
#include "runtime/FXManager.h"
#include "runtime/FXObject.h"

#include <cstdio>
#include <map>

namespace {

constexpr const char* kUsage =
    "simulate NAME [--wkdir DIR] [--seed N] [--dt SECONDS] [--steps K] [--max-step SECONDS] "
    "[--positions]";

} // namespace

int RunSimulate(const std::vector<std::string>& args) {
    const auto parsed =
        ParseToolArgs(args, {kUsage, {"wkdir", "seed", "dt", "steps", "max-step"}, 1, 1});
    if (!parsed)
        return kUsageStatus;
    uint32_t seed = 0;
    double dt = 0.05;
    long steps = 100;
    double maxStep = -1.0;
    if (!ParseNumber(parsed->Value("seed"), seed) || !ParseNumber(parsed->Value("dt"), dt) ||
        !ParseNumber(parsed->Value("steps"), steps) ||
        !ParseNumber(parsed->Value("max-step"), maxStep) || !(dt >= 0.0) || steps < 0)
        return UsageError(kUsage, "a number option has a bad value");
    const bool positions = parsed->Flag("positions");
    const std::string& name = parsed->Positional()[0];

    ToolEnvironment environment(parsed->Value("wkdir"));
    if (!environment.Ok())
        return 1;
    FXManager& manager = *FXManager::Instance();
    if (parsed->Value("max-step"))
        manager.SetMaxUpdateStep(static_cast<float>(maxStep));
    RandomSeed(seed);
    const FXHandle handle = manager.Create(name.c_str(), nullptr);
    if (handle.IsNull()) {
        std::fprintf(stderr, "%s: cannot create an instance of this FX type\n", name.c_str());
        return 1;
    }

    FXStats stats{};
    for (long step = 1; step <= steps; ++step) {
        manager.Update(static_cast<float>(dt));
        manager.GetStats(stats);
        std::map<std::string, int> liveByType;
        for (const FXRecord& record : manager.Records())
            ++liveByType[manager.Resolve(manager.HandleOf(record))->GetType()->GetName()];

        JsonWriter json;
        json.BeginObject()
            .Key("step")
            .Integer(step)
            .Key("time")
            .Number(static_cast<double>(step) * dt)
            .Key("live")
            .Integer(stats[FX_STAT_LIVE])
            .Key("updated")
            .Integer(stats[FX_STAT_UPDATED])
            .Key("finished")
            .Integer(stats[FX_STAT_FINISHED])
            .Key("types")
            .BeginObject();
        for (const auto& [typeName, count] : liveByType)
            json.Key(typeName).Integer(count);
        json.EndObject();
        if (positions) {
            json.Key("instances").BeginArray();
            for (const FXRecord& record : manager.Records()) {
                const FXObject* object = manager.Resolve(manager.HandleOf(record));
                const Vector3 p = object->GetTransform().Translation();
                json.BeginObject()
                    .Key("type")
                    .String(object->GetType()->GetName())
                    .Key("pos")
                    .BeginArray()
                    .Number(p.x)
                    .Number(p.y)
                    .Number(p.z)
                    .EndArray()
                    .EndObject();
            }
            json.EndArray();
        }
        json.EndObject();
        std::printf("%s\n", json.Text().c_str());
    }
    return 0;
}
