#include "grid/number_text.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace orograd {

namespace {

char* format_lg_slow(double value, char* out) {
  return std::to_chars(out, out + 24, value, std::chars_format::general, 6).ptr;
}

// Bounds of the decimal exponent: powers of ten 1e-17 ... 1e27 as doubles, index
// X + 17. Values are scaled only by exact powers, so scaling costs a single rounding.
constexpr int kLowestExponent = -17;
constexpr int kHighestExponent = 27;
constexpr double kTenToThe[] = {1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9, 1e-8, 1e-7, 1e-6,
                                1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,  1e4,  1e5,  1e6,
                                1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16, 1e17, 1e18,
                                1e19,  1e20,  1e21,  1e22,  1e23,  1e24,  1e25,  1e26,  1e27};

double ten_to_the(int exponent) { return kTenToThe[exponent - kLowestExponent]; }

// The decimal exponent X of a, with 10^X <= a < 10^(X+1) up to the rounding of the
// table's powers; a wrong guess next to a power of ten is caught by the caller. The
// first guess is floor(e * log10(2)) for the binary exponent e.
int decimal_exponent(double a) {
  uint64_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  const int binary_exponent = static_cast<int>((bits >> 52) & 0x7ff) - 1023;
  int x = (binary_exponent * 78913) >> 18;
  if (x < kLowestExponent) x = kLowestExponent;
  if (x < kHighestExponent && a >= ten_to_the(x + 1)) ++x;
  return x;
}

// The three digits of every number below 1000, with the count of its trailing zeros.
struct Triple {
  char digits[3];
  char trailing_zeros;
};
constexpr auto kTriples = [] {
  std::array<Triple, 1000> table{};
  for (int n = 0; n < 1000; ++n) {
    Triple& t = table[static_cast<std::size_t>(n)];
    t.digits[0] = static_cast<char>('0' + n / 100);
    t.digits[1] = static_cast<char>('0' + n / 10 % 10);
    t.digits[2] = static_cast<char>('0' + n % 10);
    t.trailing_zeros = static_cast<char>(n == 0 ? 3 : n % 100 == 0 ? 2 : n % 10 == 0 ? 1 : 0);
  }
  return table;
}();

char* put_digits(char* out, const char* digits, int count) {
  for (int i = 0; i < count; ++i) *out++ = digits[i];
  return out;
}

// The text of every number below 10000: its digits from the first nonzero one, and
// all four with leading zeros, so that each part of a whole number is one copy.
struct Quad {
  char digits[4];  // then zeros
  char padded[4];
  uint8_t length;
};
constexpr auto kQuads = [] {
  std::array<Quad, 10000> table{};
  for (int n = 0; n < 10000; ++n) {
    Quad& q = table[static_cast<std::size_t>(n)];
    const char padded[4] = {static_cast<char>('0' + n / 1000), static_cast<char>('0' + n / 100 % 10),
                            static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
    q.length = static_cast<uint8_t>(n >= 1000 ? 4 : n >= 100 ? 3 : n >= 10 ? 2 : 1);
    for (int i = 0; i < 4; ++i) {
      q.padded[i] = padded[i];
      q.digits[i] = i < q.length ? padded[4 - q.length + i] : '0';
    }
  }
  return table;
}();

// The digits of n, 0 < n < 1e6, after a minus sign if `negative`. Writes up to 9
// bytes and returns the end of the number, which may lie before the last byte written.
char* put_whole(bool negative, uint32_t n, char* out) {
  *out = '-';  // kept only before a negative number, without a branch on the sign
  out += negative ? 1 : 0;
  const Quad& high = kQuads[n < 10000 ? n : n / 10000];
  std::memcpy(out, high.digits, 4);
  out += high.length;
  if (n < 10000) return out;
  std::memcpy(out, kQuads[n % 10000].padded, 4);
  return out + 4;
}

}  // namespace

// %g with precision 6: round to six significant digits; with the exponent X of the
// rounded value in [-4, 6) print fixed notation, else d.ddddde+XX; drop trailing
// zeros. The six digits come from scaling to [1e5, 1e6) and rounding; where the
// scaled value lies too close to a rounding tie to decide from its double, or the
// value is outside the table's range, the library's exact formatting decides.
char* format_lg(double value, char* out) {
  const double a = std::fabs(value);
  if (value == 0) {
    if (std::signbit(value)) *out++ = '-';
    *out++ = '0';
    return out;
  }
  if (a < 1e6) {
    // Whole numbers of at most six digits, most cells of code, count and order grids,
    // print as their digits.
    const auto whole = static_cast<uint32_t>(a);
    if (whole == a) return put_whole(value < 0, whole, out);
  }
  if (!(a >= 1e-17 && a < 1e27)) return format_lg_slow(value, out);
  int x = decimal_exponent(a);
  const double scaled = x <= 5 ? a * kExactPowersOfTen[5 - x] : a / kExactPowersOfTen[x - 5];
  const double whole = static_cast<double>(static_cast<int64_t>(scaled));  // scaled is positive
  const double fraction = scaled - whole;
  if (whole < 1e5 || whole >= 1e6 || std::fabs(fraction - 0.5) < 1e-6) return format_lg_slow(value, out);
  auto digits = static_cast<uint32_t>(whole) + (fraction > 0.5 ? 1 : 0);
  if (digits == 1000000) {
    digits = 100000;
    ++x;
  }

  // Two triples; the first is at least 100, so not all its digits are zeros.
  const Triple& high = kTriples[digits / 1000];
  const Triple& low = kTriples[digits % 1000];
  char six[6];
  std::memcpy(six, high.digits, 3);
  std::memcpy(six + 3, low.digits, 3);
  const int last = low.trailing_zeros < 3 ? 5 - low.trailing_zeros : 2 - high.trailing_zeros;

  if (value < 0) *out++ = '-';
  if (x >= 6 || x < -4) {
    *out++ = six[0];
    if (last > 0) {
      *out++ = '.';
      out = put_digits(out, six + 1, last);
    }
    *out++ = 'e';
    *out++ = x < 0 ? '-' : '+';
    const int magnitude = x < 0 ? -x : x;
    *out++ = static_cast<char>('0' + magnitude / 10);
    *out++ = static_cast<char>('0' + magnitude % 10);
  } else if (x >= 0) {
    out = put_digits(out, six, x + 1);
    if (last > x) {
      *out++ = '.';
      out = put_digits(out, six + x + 1, last - x);
    }
  } else {
    *out++ = '0';
    *out++ = '.';
    for (int i = -1; i > x; --i) *out++ = '0';
    out = put_digits(out, six, last + 1);
  }
  return out;
}

const char* parse_other_number(const char* first, const char* last, double& value) {
  const char* start = first;
  const bool negative = start < last && *start == '-';
  if (start < last && (*start == '+' || *start == '-')) ++start;
  if (start == last || *start == '+' || *start == '-') return first;
  const bool hex = last - start >= 2 && start[0] == '0' && (start[1] == 'x' || start[1] == 'X');
  if (!hex) {
    double magnitude = 0;
    const auto [end, error] = std::from_chars(start, last, magnitude, std::chars_format::general);
    if (error == std::errc::invalid_argument) return first;
    if (error == std::errc()) {
      value = negative ? -magnitude : magnitude;
      return end;
    }
    // Out of range: strtod's overflowed or underflowed value, as "%lf" gives it.
    const std::string copy(first, end);
    value = std::strtod(copy.c_str(), nullptr);
    return end;
  }
  // Hexadecimal numbers are rare in grids: strtod on a NUL-terminated copy.
  const std::string copy(first, last - first > 4096 ? first + 4096 : last);
  char* end = nullptr;
  value = std::strtod(copy.c_str(), &end);
  return first + (end - copy.c_str());
}

}  // namespace orograd
