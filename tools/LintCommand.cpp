// sparv-fx lint: says out loud what the FX loader skips in silence. One line per
// problem, "NAME: message"; exit status 1 when there is any.
#include "Commands.h"
#include "ToolSupport.h"
#include "analysis/FXBudget.h"
#include "definitions/FXFile.h"
#include "definitions/FXMissingFiles.h"
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "definitions/FXUnreadEntries.h"
#include "runtime/FXManager.h"
#include "stream/FilePath.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr const char* kUsage = "lint [--wkdir DIR] [--budget N] [NAME ...]";

// One FX file as the loader would see it.
struct LoadedType {
    bool readable = false;
    std::string reason;
    std::shared_ptr<FXType> type;
    FXPropertyList fileProperties;
    std::vector<std::string> children;
};

class Linter {
public:
    // budget: the most instances an effect may have alive at once, or none to skip the
    // check.
    explicit Linter(std::optional<uint64_t> budget) : m_budget(budget) {}

    int Run(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            LintType(name);
        return m_problems == 0 ? 0 : 1;
    }

private:
    void Report(const std::string& name, const std::string& message) {
        std::printf("%s: %s\n", name.c_str(), message.c_str());
        ++m_problems;
    }

    // Reads a type once per run (the registry's "badfx" stand-in would hide problems).
    const LoadedType& Load(const std::string& name) {
        const std::string key = FXLowerCase(name.c_str());
        auto found = m_loaded.find(key);
        if (found != m_loaded.end())
            return found->second;
        LoadedType& loaded = m_loaded[key];
        int style = kStyleNone;
        loaded.readable =
            FXReadTypeFile(name.c_str(), style, loaded.fileProperties, &loaded.reason);
        if (loaded.readable) {
            loaded.type = FXNewType(style, name.c_str());
            for (const FXProperty& property : loaded.fileProperties)
                loaded.type->SetProperty(property.name.c_str(), property.value);
            loaded.type->GetChildTypes(loaded.children);
            std::erase(loaded.children, std::string());
        }
        return loaded;
    }

    void LintType(const std::string& name) {
        const LoadedType& loaded = Load(name);
        if (!loaded.readable) {
            Report(name,
                   "cannot read FX file" + (loaded.reason.empty() ? "" : ": " + loaded.reason));
            return;
        }
        const FXType& type = *loaded.type;
        // A fresh type of the style tells which values the loader refuses.
        const auto fresh = FXNewType(type.GetStyle(), name.c_str());
        for (const FXProperty& property : loaded.fileProperties)
            CheckProperty(name, *fresh, property);
        CheckEntries(name);
        for (const std::string& child : loaded.children) {
            const LoadedType& childType = Load(child);
            if (!childType.readable)
                Report(name, "child type '" + child + "' cannot be found (" +
                                 FXTypeFilePath(child.c_str()) + ": " + childType.reason + ")");
        }
        CheckFiles(name, type);
        CheckCycle(name);
        CheckBudget(name);
    }

    // The worst case of instances alive at once, as the runtime would create them.
    void CheckBudget(const std::string& name) {
        if (!m_budget)
            return;
        const FXBudgetResult budget = FXBudget(*FXManager::Instance()).Analyse(name.c_str());
        if (!budget.bounded)
            Report(name, "no budget holds: " + budget.reason);
        else if (budget.total > *m_budget)
            Report(name, "up to " + std::to_string(budget.total) +
                             " instances alive at once, over the budget of " +
                             std::to_string(*m_budget));
    }

    void CheckProperty(const std::string& name, FXType& fresh, const FXProperty& property) {
        const FXParam* param = fresh.FindParam(property.name.c_str());
        const VarType found = property.value.GetType();
        if (!param) {
            Report(name, "unknown property '" + property.name + "' (" +
                             FXStyleName(fresh.GetStyle()) + " has no such property)");
            return;
        }
        if (param->Kind() != found) {
            Report(name, property.name + ": expects " + VarTypeName(param->Kind()) +
                             ", the file has " + VarTypeName(found));
            return;
        }
        if (fresh.SetProperty(property.name.c_str(), property.value))
            return;
        double minimum = 0, maximum = 0;
        const bool ranged = param->Range(minimum, maximum);
        const std::string range = FormatNumber(minimum) + " to " + FormatNumber(maximum);
        switch (found) {
        case VARTYPE_FLOAT:
            Report(name, property.name + ": value " + FormatNumber(property.value.GetFloat()) +
                             " is outside the range " + range);
            return;
        case VARTYPE_INT:
            Report(name, property.name + ": value " + std::to_string(property.value.GetInt()) +
                             " is outside the range " + range);
            return;
        case VARTYPE_ARRAY_TIMEFLOAT:
            for (const TimeFloat& key : property.value.TimeFloats())
                if (ranged && !(key.value >= minimum && key.value <= maximum)) {
                    Report(name, property.name + ": key at time " + FormatNumber(key.time) +
                                     " has value " + FormatNumber(key.value) +
                                     ", outside the range " + range);
                    return;
                }
            break;
        case VARTYPE_ARRAY_TIMEVECTOR3:
            for (const TimeVector3& key : property.value.TimeVector3s())
                if (!(key.value.x >= 0 && key.value.y >= 0 && key.value.z >= 0)) {
                    Report(name, property.name + ": key at time " + FormatNumber(key.time) +
                                     " has a negative component; every component must be "
                                     "0 or more");
                    return;
                }
            break;
        default:
            break;
        }
        Report(name, property.name + ": value refused");
    }

    // Table values whose entries the reader passes over: it takes entry_00, entry_01, ...
    // up to the first missing number.
    void CheckEntries(const std::string& name) {
        for (const FXUnreadEntries& entries : FXFindUnreadEntries(name.c_str())) {
            std::string keys;
            for (size_t i = 0; i < entries.unread.size() && i < 3; ++i)
                keys += (i == 0 ? "" : ", ") + entries.unread[i];
            if (entries.unread.size() > 3)
                keys += ", ...";
            if (entries.read == 0) {
                Report(name, entries.property +
                                 ": reads as an empty array: its entries must be named "
                                 "entry_00, entry_01, ... (the file has " +
                                 keys + ")");
            } else {
                Report(name, entries.property + ": reading stops at the missing " +
                                 FXNumberedKey("entry_", entries.read) + ", so " + keys +
                                 (entries.unread.size() == 1 ? " is" : " are") + " not read");
            }
        }
    }

    void CheckFiles(const std::string& name, const FXType& type) {
        for (const FXMissingFile& missing : FXFindMissingFiles(type))
            Report(name, missing.property + ": file '" + missing.file + "' does not exist");
    }

    // Follows child types depth-first from name; a path back to name is a cycle.
    void CheckCycle(const std::string& name) {
        const std::string start = FXLowerCase(name.c_str());
        std::vector<std::string> path{start};
        std::set<std::string> visited;
        if (FindPathBack(start, path, visited)) {
            std::string chain;
            for (const std::string& step : path)
                chain += (chain.empty() ? "" : " -> ") + step;
            Report(name, "reference cycle " + chain);
        }
    }

    bool FindPathBack(const std::string& start, std::vector<std::string>& path,
                      std::set<std::string>& visited) {
        const LoadedType& current = Load(path.back());
        if (!current.readable)
            return false;
        for (const std::string& child : current.children) {
            const std::string key = FXLowerCase(child.c_str());
            path.push_back(key);
            if (key == start)
                return true;
            if (visited.insert(key).second && FindPathBack(start, path, visited))
                return true;
            path.pop_back();
        }
        return false;
    }

    std::optional<uint64_t> m_budget;
    std::map<std::string, LoadedType> m_loaded;
    int m_problems = 0;
};

// Every .lua file below the FX folder, as type names relative to it, sorted.
std::vector<std::string> AllTypeNames() {
    std::vector<std::string> names;
    std::string folder;
    if (!FilePath::ConvertFromAlias(FXPathPrefix(), folder))
        return names;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        std::filesystem::path relative = it->path().lexically_relative(folder);
        std::string text = relative.generic_string();
        if (text.size() > 4 && FXLowerCase(text.c_str() + text.size() - 4) == ".lua")
            names.push_back(text.substr(0, text.size() - 4));
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

int RunLint(const std::vector<std::string>& args) {
    const auto parsed = ParseToolArgs(args, {kUsage, {"wkdir", "budget"}});
    if (!parsed)
        return kUsageStatus;
    std::optional<uint64_t> budget;
    if (const auto text = parsed->Value("budget"); text && !ParseNumber(text, budget.emplace()))
        return UsageError(kUsage, "--budget takes a whole number of instances");
    ToolEnvironment environment(parsed->Value("wkdir"));
    if (!environment.Ok())
        return 1;
    std::vector<std::string> names = parsed->Positional();
    if (names.empty())
        names = AllTypeNames();
    return Linter(budget).Run(names);
}
