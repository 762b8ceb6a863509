#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Lua source text as LuaConfig reads and writes it: the checks a script's bytes must pass
// and the literals of saved values. Nothing here depends on the C locale.
namespace LuaText {

// Length of the valid UTF-8 sequence at bytes (1 to 4), or 0 when the bytes there are not
// UTF-8: stray continuation bytes, overlong forms, surrogates, values above U+10FFFF, or a
// sequence cut off by the end of the available bytes.
size_t Utf8SequenceLength(const unsigned char* bytes, size_t available);

// Offset of the first byte of text that is NUL or not part of valid UTF-8; length when
// every byte is fine.
size_t FindNonText(const char* text, size_t length);

// True for a name that may stand before '=' in a table constructor: letters, digits and
// '_', not starting with a digit, not a reserved word.
bool IsIdentifier(std::string_view text);

// Appends a number literal. A value that is exactly a float is written as the shortest
// text that reads back (as a double, then rounded to float) as that float bit for bit, so
// 0.1f is "0.1"; any other value as the shortest text of the double. NaN and the
// infinities become (0/0), (1/0) and (-1/0); -0.0 keeps its sign.
void AppendNumber(std::string& out, double value);
// Appends the shortest text that reads back as exactly value (finite values only).
void AppendExactDouble(std::string& out, double value);
// Appends an integer literal; the smallest integer is written as an expression, since its
// digits alone would read as a float.
void AppendInteger(std::string& out, long long value);

// Appends a quoted string literal that reads back as the same bytes. Valid UTF-8 stays as
// it is; quotes, backslashes, control bytes, DEL and bytes outside UTF-8 sequences are
// escaped.
void AppendQuoted(std::string& out, std::string_view bytes);

} // namespace LuaText
