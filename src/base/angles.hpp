#pragma once
// The program's angle constants. Pi is the ten-decimal 3.1415926536 the results have
// always been computed with, not the double closest to pi: slopes, aspects, horizons
// and snow shares depend on it to the last bit. The derived constants round to the
// same doubles as their ten-decimal spellings (pi / 2 = 1.5707963268, pi / 180 =
// 0.01745329252), so writing them as quotients changes no result.
namespace orograd {

inline constexpr double kPi = 3.1415926536;
inline constexpr double kHalfPi = kPi / 2;
inline constexpr double kDegreesPerRadian = 180 / kPi;
inline constexpr double kRadiansPerDegree = kPi / 180;

}  // namespace orograd
