#pragma once

// Runs sparv-fx, the program under test, with a command line of arguments.

#include "support/RunCommand.h"

#include <sstream>
#include <string>
#include <vector>

inline CommandResult SparvFx(const std::string& args) {
    return RunCommand(std::string(SPARV_FX_EXE) + " " + args);
}

// What a verb printed, line by line.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The sample library's working directory, quoted for the shell.
inline const std::string kSamples = ShellQuote(SPARV_SAMPLES);
