#pragma once
// The colours of the pictures: continuous ramps, the fixed palette of codes, and
// shading of a colour by a hillshade.
#include <cstdint>

#include "view/image.hpp"

namespace orograd::view {

// Ramps from low (0) to high (1) values.
enum class Ramp {
  terrain,       // green lowlands, brown slopes, grey and white peaks
  accumulation,  // pale to deep blue
  values,        // dark violet through teal to yellow
};

// The ramp's opaque colour at t, interpolated linearly between its stops.
// Pre: none; t outside [0, 1] is clamped, NaN counts as 0.
Rgba ramp_colour(Ramp ramp, double t);

// The colour of a category code, from a fixed palette of 20 colours taken in turn:
// the same code always gets the same colour, and consecutive codes differ.
// Post: opaque; never black (black marks boundaries).
Rgba category_colour(int64_t code);

// The colour with its red, green and blue multiplied by brightness (1 leaves it as it
// is), rounded and clamped to 255. Pre: brightness >= 0. Post: alpha unchanged.
Rgba shaded(Rgba colour, double brightness);

}  // namespace orograd::view
