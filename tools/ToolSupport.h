#pragma once

// What every verb of sparv-fx shares: option parsing and the environment the FX runtime
// expects (working directory, path aliases, a started FXManager).

#include <optional>
#include <string>
#include <vector>

// Arguments split into options ("--name value" or "--flag") and positional words.
class ToolArgs {
public:
    // valueOptions: the option names that take a value; every other "--x" is a flag.
    ToolArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions);

    bool Ok() const { return m_error.empty(); }
    const std::string& Error() const { return m_error; }
    const std::vector<std::string>& Positional() const { return m_positional; }
    bool Flag(const std::string& name) const;
    std::optional<std::string> Value(const std::string& name) const;

private:
    std::vector<std::string> m_positional;
    std::vector<std::pair<std::string, std::string>> m_values;
    std::vector<std::string> m_flags;
    std::string m_error;
};

// Changes to the working directory (when given), registers the path aliases and starts
// the scene's light and flare managers and the FX runtime; the destructor shuts them
// down. Ok() is false (with a message
// already printed) when the directory cannot be entered.
class ToolEnvironment {
public:
    explicit ToolEnvironment(const std::optional<std::string>& workingDirectory);
    ~ToolEnvironment();
    ToolEnvironment(const ToolEnvironment&) = delete;
    ToolEnvironment& operator=(const ToolEnvironment&) = delete;
    bool Ok() const { return m_ok; }

private:
    bool m_ok = false;
};

// Prints "usage: sparv-fx USAGE" on stderr and returns the bad-usage status 2.
int UsageError(const char* usage, const std::string& problem = {});

// A float in its shortest exact decimal form, independent of the locale.
std::string FormatNumber(double value);
