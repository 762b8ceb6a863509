#include "ToolSupport.h"

#include "runtime/FXManager.h"
#include "scene/LensFlareManager.h"
#include "scene/LightManager.h"
#include "stream/FilePath.h"
#include "stream/StandardAliases.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

ToolArgs::ToolArgs(const std::vector<std::string>& args,
                   const std::vector<std::string>& valueOptions) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // "--name" and "-n" are options; "-" alone and negative numbers are words.
        const bool option = arg.size() > 1 && arg[0] == '-' && arg != "--" &&
                            !(arg[1] >= '0' && arg[1] <= '9') && arg[1] != '.';
        if (option) {
            const std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
            if (std::find(valueOptions.begin(), valueOptions.end(), name) != valueOptions.end()) {
                if (i + 1 >= args.size()) {
                    m_error = "option --" + name + " needs a value";
                    return;
                }
                m_values.emplace_back(name, args[++i]);
            } else {
                m_flags.push_back(name);
            }
        } else {
            m_positional.push_back(arg);
        }
    }
}

bool ToolArgs::Flag(const std::string& name) const {
    return std::find(m_flags.begin(), m_flags.end(), name) != m_flags.end();
}

std::optional<std::string> ToolArgs::Value(const std::string& name) const {
    for (auto it = m_values.rbegin(); it != m_values.rend(); ++it)
        if (it->first == name)
            return it->second;
    return std::nullopt;
}

std::optional<ToolArgs> ParseToolArgs(const std::vector<std::string>& args,
                                      const ToolSyntax& syntax) {
    ToolArgs parsed(args, syntax.valueOptions);
    if (!parsed.Ok()) {
        UsageError(syntax.usage, parsed.Error());
        return std::nullopt;
    }
    const size_t words = parsed.Positional().size();
    if (words < syntax.minWords || words > syntax.maxWords ||
        (syntax.needsOutput && !parsed.Value("o"))) {
        UsageError(syntax.usage);
        return std::nullopt;
    }
    return parsed;
}

ToolEnvironment::ToolEnvironment(const std::optional<std::string>& workingDirectory) {
    if (workingDirectory) {
        std::error_code error;
        std::filesystem::current_path(*workingDirectory, error);
        if (error) {
            std::fprintf(stderr, "sparv-fx: cannot enter working directory '%s': %s\n",
                         workingDirectory->c_str(), error.message().c_str());
            return;
        }
    }
    FilePath::RemoveAllAliases();
    AddStandardAliases();
    LightManager::Startup();
    LensFlareManager::Startup();
    FXManager::Startup();
    m_ok = true;
}

ToolEnvironment::~ToolEnvironment() {
    if (m_ok) {
        FXManager::Shutdown();
        LensFlareManager::Shutdown();
        LightManager::Shutdown();
    }
}

int UsageError(const char* usage, const std::string& problem) {
    if (!problem.empty())
        std::fprintf(stderr, "sparv-fx: %s\n", problem.c_str());
    std::fprintf(stderr, "usage: sparv-fx %s\n", usage);
    return kUsageStatus;
}

std::string FormatNumber(double value) {
    if (std::isnan(value))
        return "nan";
    char buffer[64];
    const float asFloat = static_cast<float>(value);
    const auto result = static_cast<double>(asFloat) == value
                            ? std::to_chars(buffer, buffer + sizeof buffer, asFloat)
                            : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}
