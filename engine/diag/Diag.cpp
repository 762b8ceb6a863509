#include "diag/Diag.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <utility>

const char* g_dbFilename = "";
int g_dbLineNum = 0;

namespace {

DiagTraceSink& traceSink() {
    static DiagTraceSink sink;
    return sink;
}

__attribute__((format(printf, 1, 0))) std::string formatMessage(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

} // namespace

void dbFatalfAux(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string message = formatMessage(format, args);
    va_end(args);
    std::fprintf(stderr, "%s(%d): %s\n", g_dbFilename ? g_dbFilename : "", g_dbLineNum,
                 message.c_str());
    std::fflush(stderr);
    std::abort();
}

void dbTracefAux(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string message = formatMessage(format, args);
    va_end(args);
    if (traceSink())
        traceSink()(message);
    else
        std::fprintf(stderr, "%s\n", message.c_str());
}

DiagTraceSink dbSetTraceSink(DiagTraceSink sink) {
    return std::exchange(traceSink(), std::move(sink));
}
