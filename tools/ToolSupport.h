#pragma once

// What every verb of sparv-fx shares: option parsing and the environment the FX runtime
// expects (working directory, path aliases, a started FXManager).

#include <charconv>
#include <cstdint>
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

// The exit status of bad usage.
constexpr int kUsageStatus = 2;

// What a verb accepts.
struct ToolSyntax {
    const char* usage;                     // printed after "usage: sparv-fx "
    std::vector<std::string> valueOptions; // options that take a value; others are flags
    size_t minWords = 0;                   // positional words, at least
    size_t maxWords = SIZE_MAX;            // and at most
    bool needsOutput = false;              // whether -o OUT must be given
};

// A verb's arguments when they parse and fit syntax; otherwise prints the usage (and the
// problem) on stderr and gives nothing: the verb then returns kUsageStatus.
std::optional<ToolArgs> ParseToolArgs(const std::vector<std::string>& args,
                                      const ToolSyntax& syntax);

// A number option's value, the whole text in the C locale's notation, into out; true
// when the option is absent (out is then left alone).
template <typename T>
bool ParseNumber(const std::optional<std::string>& text, T& out) {
    if (!text)
        return true;
    const char* begin = text->data();
    const char* end = begin + text->size();
    const auto result = std::from_chars(begin, end, out);
    return result.ec == std::errc() && result.ptr == end;
}

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

// Prints "usage: sparv-fx USAGE" on stderr and returns kUsageStatus.
int UsageError(const char* usage, const std::string& problem = {});

// A float in its shortest exact decimal form, independent of the locale.
std::string FormatNumber(double value);
