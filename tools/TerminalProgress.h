#pragma once

// Progress of a long verb on a terminal: one line on stderr rewritten in place ("rendering
// frame 12/60"), ended when the job is. Nothing at all when stderr is not a terminal, so
// pipelines and logs stay quiet.

#include "review/FXReviewScene.h"

#include <string>

class TerminalProgress {
public:
    explicit TerminalProgress(std::string what);
    // Ends the line, if one was shown.
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // A callback for the job; it never cancels. Valid while this object lives.
    FXReviewProgress Callback();

private:
    std::string m_what;
    bool m_terminal;
    bool m_shown = false;
};
