#pragma once

#include <functional>
#include <string>

// Diagnostics of the engine: fatal errors that stop the program and notices (traces).
//
// A fatal report names the source and line stored just before in g_dbFilename and
// g_dbLineNum, as "source(line): message", writes it to stderr and aborts.

extern const char* g_dbFilename;
extern int g_dbLineNum;

[[noreturn]] void dbFatalfAux(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Reports a notice through the current trace sink (stderr unless a sink is set).
void dbTracefAux(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Receives every notice, one formatted message per call, without a trailing newline.
using DiagTraceSink = std::function<void(const std::string& message)>;

// Replaces the trace sink; an empty function restores the default (stderr). Returns the
// sink that was in place, so a caller can restore it.
DiagTraceSink dbSetTraceSink(DiagTraceSink sink);

// Sets the source name and line for the next fatal report, then reports.
#define DB_FATAL(source, line, ...)                                                                \
    do {                                                                                           \
        g_dbFilename = (source);                                                                   \
        g_dbLineNum = (line);                                                                      \
        dbFatalfAux(__VA_ARGS__);                                                                  \
    } while (false)
