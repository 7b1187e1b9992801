#include "terrain.hpp"

#include <algorithm>
#include <cmath>

namespace orograd {

namespace {

uint64_t mix(uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

// A uniform number in [0, 1) for a lattice point of one octave.
double lattice(uint64_t seed, int64_t x, int64_t y, int octave) {
  const uint64_t h = mix(seed ^ mix(static_cast<uint64_t>(x) * 73856093ULL ^ mix(static_cast<uint64_t>(y) * 19349663ULL) ^
                                    static_cast<uint64_t>(octave) * 83492791ULL));
  return static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0);
}

double smooth(double t) { return t * t * (3 - 2 * t); }

double value_noise(uint64_t seed, double x, double y, int octave) {
  const double fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<int64_t>(fx), iy = static_cast<int64_t>(fy);
  const double tx = smooth(x - fx), ty = smooth(y - fy);
  const double a = lattice(seed, ix, iy, octave), b = lattice(seed, ix + 1, iy, octave);
  const double c = lattice(seed, ix, iy + 1, octave), d = lattice(seed, ix + 1, iy + 1, octave);
  const double top = a + (b - a) * tx;
  const double bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

// Sum of octaves, each half the wavelength and amplitude of the one before.
double fractal(uint64_t seed, double x, double y) {
  double sum = 0, amplitude = 0.5, wavelength = 128;
  for (int octave = 0; octave < 7; ++octave) {
    sum += amplitude * value_noise(seed, x / wavelength, y / wavelength, octave);
    amplitude *= 0.5;
    wavelength *= 0.5;
  }
  return sum / (1 - 0.5 / 64);  // in [0, 1)
}

struct Spot {
  int32_t row, col;
  uint64_t hash;  // further random bits for the feature's size
};

// The i-th random cell of a kind of feature; `salt` separates the kinds.
Spot random_spot(const TerrainOptions& options, uint64_t salt, int32_t i) {
  const uint64_t h = mix(options.seed * 31 + salt + static_cast<uint64_t>(i));
  return {static_cast<int32_t>(1 + h % static_cast<uint64_t>(options.nrows)),
          static_cast<int32_t>(1 + (h >> 32) % static_cast<uint64_t>(options.ncols)), h};
}

// Rounds to millimetres, as a surveyed DEM would carry them.
double to_millimetres(double metres) { return std::round(metres * 1000) / 1000; }

void dig_pits(Grid& grid, const TerrainOptions& options, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const auto [r, c, h] = random_spot(options, 1000003, i);
    const int32_t radius = 1 + static_cast<int32_t>((h >> 20) % 4);
    const double depth = 0.5 + static_cast<double>((h >> 8) % 2000) / 100.0;
    for (int32_t dr = -radius; dr <= radius; ++dr)
      for (int32_t dc = -radius; dc <= radius; ++dc) {
        const int32_t rr = r + dr, cc = c + dc;
        if (!grid.shape().contains(rr, cc)) continue;
        const double distance = std::sqrt(static_cast<double>(dr * dr + dc * dc));
        if (distance <= radius) grid(rr, cc) = to_millimetres(grid(rr, cc) - depth * (1 - distance / (radius + 1)));
      }
  }
}

void level_flats(Grid& grid, const TerrainOptions& options, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const auto [r0, c0, h] = random_spot(options, 7000001, i);
    const int32_t height = 3 + static_cast<int32_t>((h >> 12) % 40);
    const int32_t width = 3 + static_cast<int32_t>((h >> 24) % 40);
    const int32_t r1 = std::min(options.nrows, r0 + height), c1 = std::min(options.ncols, c0 + width);
    double level = grid(r0, c0);
    for (int32_t r = r0; r <= r1; ++r)
      for (int32_t c = c0; c <= c1; ++c) level = std::min(level, grid(r, c));
    for (int32_t r = r0; r <= r1; ++r)
      for (int32_t c = c0; c <= c1; ++c) grid(r, c) = level;
  }
}

void cut_margin(Grid& grid, const TerrainOptions& options) {
  for (int32_t r = 1; r <= options.nrows; ++r)
    for (int32_t c = 1; c <= options.ncols; ++c) {
      const int32_t edge = std::min({r - 1, c - 1, options.nrows - r, options.ncols - c});
      const double wobble = lattice(options.seed, r / 8, c / 8, 99) * options.nodata_margin;
      if (edge < options.nodata_margin / 2 + wobble) grid(r, c) = kNodata;
    }
}

}  // namespace

Grid make_terrain(const TerrainOptions& options) {
  Grid grid = Grid::allocate(options.ncols, options.nrows);
  const double sea = options.sea_level * options.relief;
  for (int32_t r = 1; r <= options.nrows; ++r)
    for (int32_t c = 1; c <= options.ncols; ++c) {
      const double height = fractal(options.seed, c, r) * options.relief;
      grid(r, c) = to_millimetres(std::max(height, sea));
    }
  const int64_t cells = static_cast<int64_t>(options.ncols) * options.nrows;
  dig_pits(grid, options, options.pits >= 0 ? options.pits : static_cast<int32_t>(cells / 2000));
  level_flats(grid, options, options.flats >= 0 ? options.flats : static_cast<int32_t>(cells / 20000));
  if (options.nodata_margin > 0) cut_margin(grid, options);
  return grid;
}

}  // namespace orograd
