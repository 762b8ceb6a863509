// sparv-fx budget: the worst case of instances alive at once, from the definitions.
#include "Commands.h"
#include "Json.h"
#include "ToolSupport.h"
#include "analysis/FXBudget.h"
#include "definitions/FXFile.h"
#include "runtime/FXManager.h"

#include <cstdio>

namespace {

constexpr const char* kUsage = "budget NAME [NAME ...] [--wkdir DIR] [--step SECONDS]";

// One line of JSON: the bound per type and in total, or "unbounded" with the chain.
std::string BudgetJson(const std::string& name, const FXBudgetResult& budget) {
    JsonWriter json;
    json.BeginObject().Key("name").String(name);
    if (!budget.bounded) {
        json.Key("total").String("unbounded").Key("chain").BeginArray();
        for (const std::string& type : budget.chain)
            json.String(type);
        json.EndArray().Key("reason").String(budget.reason);
    } else {
        json.Key("total").Integer(static_cast<long long>(budget.total));
        if (budget.atCeiling)
            json.Key("ceiling").Bool(true);
        json.Key("types").BeginObject();
        for (const auto& [type, count] : budget.types)
            json.Key(type).Integer(static_cast<long long>(count));
        json.EndObject();
    }
    json.EndObject();
    return json.Text();
}

} // namespace

int RunBudget(const std::vector<std::string>& args) {
    const auto parsed = ParseToolArgs(args, {kUsage, {"wkdir", "step"}, 1});
    if (!parsed)
        return kUsageStatus;
    FXBudgetOptions options;
    if (!ParseNumber(parsed->Value("step"), options.longestStep) ||
        !(options.longestStep > 0.0 && options.longestStep <= 0.1))
        return UsageError(kUsage, "--step takes seconds above 0 and at most 0.1");
    ToolEnvironment environment(parsed->Value("wkdir"));
    if (!environment.Ok())
        return 1;
    FXBudget budget(*FXManager::Instance(), options);
    int status = 0;
    for (const std::string& name : parsed->Positional()) {
        // The registry would stand "badfx" in for a missing file; say so instead.
        int style = 0;
        FXPropertyList properties;
        std::string reason;
        if (!FXReadTypeFile(name.c_str(), style, properties, &reason)) {
            std::fprintf(stderr, "%s: cannot read FX file: %s\n", name.c_str(), reason.c_str());
            status = 1;
            continue;
        }
        const FXBudgetResult result = budget.Analyse(name.c_str());
        std::printf("%s\n", BudgetJson(FXLowerCase(name.c_str()), result).c_str());
        if (!result.bounded)
            status = 1;
    }
    return status;
}
