#pragma once

// Collects every trace (dbTracefAux) while it lives, then gives the sink back.

#include "diag/Diag.h"

#include <string>
#include <vector>

class TraceCatcher {
public:
    TraceCatcher()
        : m_previous(dbSetTraceSink([this](const std::string& line) { lines.push_back(line); })) {}
    ~TraceCatcher() { dbSetTraceSink(std::move(m_previous)); }
    TraceCatcher(const TraceCatcher&) = delete;
    TraceCatcher& operator=(const TraceCatcher&) = delete;

    // Every line caught, joined with newlines: for searching and failure messages.
    std::string Text() const {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\n";
        return text;
    }

    std::vector<std::string> lines;

private:
    DiagTraceSink m_previous;
};
