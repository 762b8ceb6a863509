#include "shell/SparvFormat.h"

#include <charconv>

namespace {

QString Padded(const char* begin, const char* end, int width) {
    QString text = QString::fromLatin1(begin, static_cast<qsizetype>(end - begin));
    return width > text.size() ? text.rightJustified(width, QLatin1Char(' ')) : text;
}

} // namespace

namespace SparvFormat {

QString Fixed(double value, int precision, int width) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    return result.ec == std::errc() ? Padded(buffer, result.ptr, width) : QString();
}

QString General(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return result.ec == std::errc() ? Padded(buffer, result.ptr, 0) : QString();
}

} // namespace SparvFormat
