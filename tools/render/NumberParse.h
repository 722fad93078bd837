#pragma once
// Numbers from the command line, read the same way on every platform: the C library's strtod
// depends on the locale and, on some Windows runtimes, rounds differently, and two builds that
// read "0.37" as different doubles would render different events.

#include <cstdint>
#include <optional>
#include <string_view>

namespace orxrender
{

// A plain decimal number: optional sign, digits, optional '.' and digits; no exponent, no
// spaces. At most 15 significant digits and 22 decimals, so the result is the correctly
// rounded double (one exact division). Empty when the text is anything else.
std::optional<double> ParseDecimal(std::string_view text);

// A whole number with an optional sign, no spaces; empty on anything else or on overflow.
std::optional<int64_t> ParseInteger(std::string_view text);
std::optional<uint64_t> ParseUnsigned(std::string_view text);

// Writes value in decimal into out (at least 21 bytes); answers the number of characters.
int FormatInteger(int64_t value, char* out);

} // namespace orxrender
