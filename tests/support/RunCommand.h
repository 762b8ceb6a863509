#pragma once

// Runs a command line through the shell and captures what it printed and its exit status.

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline CommandResult RunCommand(const std::string& commandLine) {
    const std::string errPath =
        std::filesystem::temp_directory_path() / ("sparv-cmd-" + std::to_string(getpid()) + ".err");
    CommandResult result;
    FILE* pipe = popen((commandLine + " 2>" + errPath).c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    size_t got = 0;
    while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), got);
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream err(errPath, std::ios::binary);
    result.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    std::filesystem::remove(errPath);
    return result;
}

// Quotes one argument for the shell.
inline std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
