#include "script/LuaText.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace LuaText {

size_t Utf8SequenceLength(const unsigned char* bytes, size_t available) {
    const unsigned first = bytes[0];
    if (first < 0x80)
        return 1;
    auto continuation = [&](size_t i, unsigned low, unsigned high) {
        return i < available && bytes[i] >= low && bytes[i] <= high;
    };
    if (first >= 0xC2 && first <= 0xDF)
        return continuation(1, 0x80, 0xBF) ? 2 : 0;
    if (first >= 0xE0 && first <= 0xEF) {
        const unsigned low = first == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        const unsigned high = first == 0xED ? 0x9F : 0xBF; // no surrogates
        return continuation(1, low, high) && continuation(2, 0x80, 0xBF) ? 3 : 0;
    }
    if (first >= 0xF0 && first <= 0xF4) {
        const unsigned low = first == 0xF0 ? 0x90 : 0x80;
        const unsigned high = first == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
        return continuation(1, low, high) && continuation(2, 0x80, 0xBF) &&
                       continuation(3, 0x80, 0xBF)
                   ? 4
                   : 0;
    }
    return 0;
}

size_t FindNonText(const char* text, size_t length) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        // Eight bytes at a time while they are ASCII without a NUL: a byte is NUL or
        // has its top bit set exactly when its top bit survives this expression.
        if (length - i >= 8) {
            uint64_t word;
            std::memcpy(&word, bytes + i, sizeof word);
            constexpr uint64_t kOnes = 0x0101010101010101u;
            constexpr uint64_t kTopBits = 0x8080808080808080u;
            if (((word | ((word - kOnes) & ~word)) & kTopBits) == 0) {
                i += 8;
                continue;
            }
        }
        if (bytes[i] == 0)
            return i;
        const size_t sequence = Utf8SequenceLength(bytes + i, length - i);
        if (sequence == 0)
            return i;
        i += sequence;
    }
    return length;
}

bool IsIdentifier(std::string_view text) {
    static constexpr std::string_view kReserved[] = {
        "and",      "break",  "do",   "else", "elseif", "end",  "false", "for",
        "function", "goto",   "if",   "in",   "local",  "nil",  "not",   "or",
        "repeat",   "return", "then", "true", "until",  "while"};
    auto isLetter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    };
    if (text.empty() || !isLetter(text[0]))
        return false;
    for (const char c : text)
        if (!isLetter(c) && !(c >= '0' && c <= '9'))
            return false;
    return std::find(std::begin(kReserved), std::end(kReserved), text) == std::end(kReserved);
}

void AppendExactDouble(std::string& out, double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendNumber(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "(0/0)";
        return;
    }
    if (std::isinf(value)) {
        out += value > 0 ? "(1/0)" : "(-1/0)";
        return;
    }
    if (value == 0) {
        out += std::signbit(value) ? "-0.0" : "0"; // "-0" would read as the integer 0
        return;
    }
    if (std::fabs(value) <= FLT_MAX) {
        const auto single = static_cast<float>(value);
        if (static_cast<double>(single) == value) {
            char buffer[64];
            const auto result = std::to_chars(buffer, buffer + sizeof buffer, single);
            // The reader parses a double and rounds it to float. For a rare float (such
            // as 0x15ae43fd) that double rounding lands on a neighbour; the double's
            // own text is exact.
            double back = 0;
            std::from_chars(buffer, result.ptr, back);
            if (static_cast<float>(back) == single) {
                out.append(buffer, result.ptr);
                return;
            }
        }
    }
    AppendExactDouble(out, value);
}

void AppendInteger(std::string& out, long long value) {
    if (value == LLONG_MIN) {
        out += "(-9223372036854775807 - 1)";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendQuoted(std::string& out, std::string_view bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    out += '"';
    size_t plainStart = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned c = data[i];
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        if (c >= 0x80) {
            if (const size_t sequence = Utf8SequenceLength(data + i, bytes.size() - i)) {
                i += sequence;
                continue;
            }
        }
        out.append(bytes.data() + plainStart, i - plainStart);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default: {
            // Always three digits, so that a following digit is not taken into the escape.
            const char escape[] = {'\\', static_cast<char>('0' + c / 100),
                                   static_cast<char>('0' + c / 10 % 10),
                                   static_cast<char>('0' + c % 10)};
            out.append(escape, sizeof escape);
        }
        }
        plainStart = ++i;
    }
    out.append(bytes.data() + plainStart, bytes.size() - plainStart);
    out += '"';
}

} // namespace LuaText
