#pragma once
// Number text of grid files: "%lg" formatting and "%lf" parsing, both byte for byte
// as the C library does them, with fast paths for the plain decimals that grids hold.

#include <cstdint>

namespace orograd {

// Writes `value` as printf "%lg" would (6 significant digits) and returns the end.
// `out` needs room for 24 characters.
char* format_lg(double value, char* out);

// The powers of ten that doubles hold exactly, 1e0 to 1e22.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// Parses any number form strtod accepts; see parse_number.
const char* parse_other_number(const char* first, const char* last, double& value);

// Parses a number at [first, last) as strtod does; returns the end of the parsed
// text, or `first` when no number starts there. Plain decimals ("-123.456") of at
// most 15 significant digits and no exponent take a fast path: the digits form an
// exact integer and the power of ten is exact, so one division rounds correctly,
// exactly as strtod. Inline, because text grids call it once per cell.
inline const char* parse_number(const char* first, const char* last, double& value) {
  const char* p = first;
  const bool negative = p < last && *p == '-';
  if (negative || (p < last && *p == '+')) ++p;
  uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  while (p < last && static_cast<unsigned>(*p - '0') < 10) {
    mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
    ++digits;
  }
  if (p < last && *p == '.') {
    ++p;
    while (p < last && static_cast<unsigned>(*p - '0') < 10) {
      mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
      ++digits;
      ++decimals;
    }
  }
  if (digits == 0 || digits > 15 || (p < last && (*p == 'e' || *p == 'E' || *p == 'x' || *p == 'X')))
    return parse_other_number(first, last, value);
  const double magnitude = static_cast<double>(mantissa) / kExactPowersOfTen[decimals];
  value = negative ? -magnitude : magnitude;
  return p;
}

}  // namespace orograd
