#pragma once

// Numbers as the status line shows them, the same under every locale (a decimal point,
// never a comma): the printf conversions "%W.Pf" and "%g" of the C locale.

#include <QString>

namespace SparvFormat {

// printf's "%<width>.<precision>f".
QString Fixed(double value, int precision, int width = 0);
// printf's "%g": six significant digits, trailing zeros dropped.
QString General(double value);

} // namespace SparvFormat
