#include "TerminalProgress.h"

#include <cstdio>
#include <unistd.h>

TerminalProgress::TerminalProgress(std::string what)
    : m_what(std::move(what)), m_terminal(isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress() {
    if (m_terminal && m_shown)
        std::fputs("\n", stderr);
}

FXReviewProgress TerminalProgress::Callback() {
    return [this](int done, int total) {
        if (m_terminal) {
            std::fprintf(stderr, "\r%s %d/%d", m_what.c_str(), done, total);
            std::fflush(stderr);
            m_shown = true;
        }
        return true;
    };
}
