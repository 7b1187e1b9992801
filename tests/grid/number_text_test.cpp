// "%lg" formatting and "%lf" parsing must give exactly the C library's results.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "grid/number_text.hpp"

namespace orograd {
namespace {

std::string printf_lg(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%lg", value);
  return buffer;
}

std::string ours(double value) {
  char buffer[64];
  return std::string(buffer, format_lg(value, buffer));
}

TEST(FormatLg, MatchesPrintfOnSpecialValues) {
  for (double value : {0.0, -0.0, 1e-300, 5e-324, 1.7976931348623157e308, 999999.5, 999999.49999999994, 9999995.0,
                       0.0001, 0.00009999995, 0.000099999949, 0.00001, 123456.5, 123457.5, 1e6, 1e15, 100000.0,
                       -9999.0, 0.5, 2.5e-5, 9.999995, 9.9999949999, 0.1, 0.3, 1234.5678, 0.123456789, 1.0000005,
                       2.0000005, 1e5 - 0.5, 99999.95, 0.001234565, 1e-5, 1.5e-7, -2.345678e20, 9.999995e-5, 9.9999949e26, 1e27, 1e-17,
                       9.99999e-18, 1e-6, 1e-7, 1e22, 1e23, double(INFINITY), -double(INFINITY)})
    EXPECT_EQ(ours(value), printf_lg(value)) << std::hexfloat << value;
  EXPECT_EQ(ours(1234.5678), "1234.57");
  EXPECT_EQ(ours(-9999), "-9999");
}

TEST(FormatLg, MatchesPrintfOnWholeNumbersAndTheirNeighbours) {
  // Whole numbers take a short cut up to six digits; their neighbours and the first
  // seven-digit numbers must not.
  for (double n = 1; n < 1.1e6; n += n < 1e4 || n > 99e4 ? 1 : 37)
    for (double value : {n, -n, std::nextafter(n, 0.0), std::nextafter(n, 2e6)})
      ASSERT_EQ(ours(value), printf_lg(value)) << std::hexfloat << value;
}

TEST(FormatLg, MatchesPrintfOnRandomValues) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 300000; ++i) {
    double value;
    switch (i % 4) {
      case 0:  // any bit pattern
        do {
          const uint64_t bits = random();
          std::memcpy(&value, &bits, sizeof value);
        } while (std::isnan(value));
        break;
      case 1:  // elevations in millimetres
        value = static_cast<double>(static_cast<int64_t>(random() % 20000000) - 1000000) / 1000;
        break;
      case 2:  // values near six-digit rounding ties
        value = (static_cast<double>(random() % 1000000) + 0.5) * std::pow(10.0, static_cast<int>(random() % 12) - 8);
        break;
      default:  // small curvatures and large sums, printed with exponents
        value = std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random), static_cast<int>(random() % 180) - 90);
    }
    ASSERT_EQ(ours(value), printf_lg(value)) << std::hexfloat << value;
  }
}

TEST(ParseNumber, MatchesStrtod) {
  std::mt19937_64 random(5);
  const char* pieces[] = {"0", "1", "9", "5", ".", "-", "+", "e", "E", "x", "inf", "nan", " ", "00", "123", "7"};
  for (int i = 0; i < 200000; ++i) {
    std::string text;
    const int length = 1 + static_cast<int>(random() % 8);
    for (int k = 0; k < length; ++k) text += pieces[random() % std::size(pieces)];
    if (text[0] == ' ') continue;  // leading blanks are skipped before parsing
    char* strtod_end = nullptr;
    const double expected = std::strtod(text.c_str(), &strtod_end);
    double value = 12345;
    const char* end = parse_number(text.data(), text.data() + text.size(), value);
    ASSERT_EQ(end - text.data(), strtod_end - text.c_str()) << text;
    if (end != text.data()) {
      if (std::isnan(expected))
        ASSERT_TRUE(std::isnan(value)) << text;
      else
        ASSERT_EQ(value, expected) << text;
      ASSERT_EQ(std::signbit(value), std::signbit(expected)) << text;
    }
  }
  // Long digit runs and values beyond the range of a double.
  for (const char* text : {"123456789012345678901234567890", "0.1234567890123456789", "1e400", "-1e400", "1e-400",
                           "4.9e-324", "1797693134862315708145274237317043567981e269", "0x1.8p3", "-0X10"}) {
    char* strtod_end = nullptr;
    const double expected = std::strtod(text, &strtod_end);
    double value = 0;
    const char* end = parse_number(text, text + std::strlen(text), value);
    EXPECT_EQ(end - text, strtod_end - text) << text;
    EXPECT_EQ(value, expected) << text;
  }
}

}  // namespace
}  // namespace orograd
