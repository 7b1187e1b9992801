#pragma once
// Number text of grid files: "%lg" formatting and "%lf" parsing, both byte for byte
// as the C library does them, with fast paths for the plain decimals that grids hold.

namespace orograd {

// Writes `value` as printf "%lg" would (6 significant digits) and returns the end.
// `out` needs room for 24 characters.
char* format_lg(double value, char* out);

// Parses a number at [first, last) as strtod does; returns the end of the parsed
// text, or `first` when no number starts there.
const char* parse_number(const char* first, const char* last, double& value);

}  // namespace orograd
