#include "view/colour.hpp"

#include <algorithm>
#include <array>
#include <span>

namespace orograd::view {

namespace {

constexpr std::array<Rgba, 6> kTerrain{{{0, 97, 71, 255},
                                        {52, 140, 60, 255},
                                        {214, 204, 120, 255},
                                        {163, 100, 38, 255},
                                        {140, 130, 125, 255},
                                        {250, 250, 250, 255}}};
constexpr std::array<Rgba, 3> kAccumulation{{{235, 243, 251, 255}, {107, 174, 214, 255}, {8, 48, 107, 255}}};
constexpr std::array<Rgba, 5> kValues{
    {{68, 1, 84, 255}, {59, 82, 139, 255}, {33, 145, 140, 255}, {94, 201, 98, 255}, {253, 231, 37, 255}}};

constexpr std::array<Rgba, 20> kPalette{{
    {31, 119, 180, 255},  {255, 127, 14, 255},  {44, 160, 44, 255},   {214, 39, 40, 255},   {148, 103, 189, 255},
    {140, 86, 75, 255},   {227, 119, 194, 255}, {127, 127, 127, 255}, {188, 189, 34, 255},  {23, 190, 207, 255},
    {174, 199, 232, 255}, {255, 187, 120, 255}, {152, 223, 138, 255}, {255, 152, 150, 255}, {197, 176, 213, 255},
    {196, 156, 148, 255}, {247, 182, 210, 255}, {199, 199, 199, 255}, {219, 219, 141, 255}, {158, 218, 229, 255},
}};

// Rounds half up and clamps; a plain cast instead of lround, which libm does not inline.
uint8_t channel(double value) { return value >= 255 ? 255 : value > 0 ? static_cast<uint8_t>(value + 0.5) : 0; }

Rgba interpolate(std::span<const Rgba> stops, double t) {
  t = t > 0 ? std::min(t, 1.0) : 0.0;
  const double position = t * static_cast<double>(stops.size() - 1);
  const auto lower = std::min(static_cast<std::size_t>(position), stops.size() - 2);
  const double f = position - static_cast<double>(lower);
  const Rgba a = stops[lower], b = stops[lower + 1];
  return {channel(a.r + (b.r - a.r) * f), channel(a.g + (b.g - a.g) * f), channel(a.b + (b.b - a.b) * f), 255};
}

}  // namespace

Rgba ramp_colour(Ramp ramp, double t) {
  switch (ramp) {
    case Ramp::terrain: return interpolate(kTerrain, t);
    case Ramp::accumulation: return interpolate(kAccumulation, t);
    case Ramp::values: break;
  }
  return interpolate(kValues, t);
}

Rgba category_colour(int64_t code) {
  const int64_t n = static_cast<int64_t>(kPalette.size());
  return kPalette[static_cast<std::size_t>(((code % n) + n) % n)];
}

Rgba shaded(Rgba colour, double brightness) {
  return {channel(colour.r * brightness), channel(colour.g * brightness), channel(colour.b * brightness), colour.a};
}

}  // namespace orograd::view
