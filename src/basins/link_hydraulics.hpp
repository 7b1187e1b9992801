#pragma once
// Hydraulics of a river link: a rectangular channel of width m * h carrying the mean
// discharge of the link, with the Manning-Strickler formula solved iteratively for the
// hydraulic radius, and the console table of the links.
#include <string>
#include <vector>

#include "base/console.hpp"

namespace orograd {

// One river link. A record no link filled keeps 0 in every input field.
struct LinkRecord {
  double h_top = 0;             // elevation of the link's first cell
  double h_bottom = 0;          // elevation of its last cell
  double acc_top = 0;           // accumulation of its first cell
  double acc_bottom = 0;        // accumulation of its last cell
  double length = 0;            // map units, as trace_link measures it
  double sqrt_slope = 0;        // square root of the slope, at least 0.01
  double discharge = 0;         // mean discharge Q, m³/s
  double hydraulic_radius = 0;  // R, m
  double velocity = 0;          // v, m/s, at least 0.099
};

struct ChannelParameters {
  double cellsize = 0;               // metres
  double strickler_coefficient = 0;  // k, m^(1/3)/s
  double specific_discharge = 0;     // litres per second and km²
};

// Fills sqrt_slope, discharge, hydraulic_radius and velocity from the other fields.
// The slope is (h_top - h_bottom) / length; a slope below 0.0001, or a link of length
// 0 (a record no link filled, or a one-cell link without a valid code), is flat:
// sqrt_slope = 0.01. Q = (acc_top + acc_bottom) * 0.5 * cellsize² / 1000000 *
// specific_discharge / 1000. Starting from R = √Q / g, g = √m * (2/m + 1), at most 20
// steps of v = R^0.6666 * k * sqrt_slope, R = √(Q / v) / g, until v changes by
// 0.001 or less. A velocity below 0.1 becomes 0.099.
// Post: discharge, radius and velocity are finite. Without discharge (Q ≤ 0, or Q not
// finite, which is stored as 0) R is 0 and v 0.099. A step whose velocity is not a
// positive finite number (k ≤ 0) or whose radius overflows ends the iteration with
// the radius before it, and the velocity counts as below its floor.
void solve_link_hydraulics(LinkRecord& link, const ChannelParameters& channel);

// Water depth of the link's channel, h = (Q / v) / ((m + 2) * R); the width is m * h.
// Pre: solve_link_hydraulics has filled the record.
// Post: finite; 0 for a link without discharge (R = 0).
double channel_depth(const LinkRecord& link);

// The table line of a record: hmin hmax accmin accmax laenge sqrt_s spende hydrad v.
std::string link_table_line(const LinkRecord& link);

// Prints the header, a rule of 66 hyphens and the line of every record from index 1
// (index 0 holds no link).
void print_link_table(const std::vector<LinkRecord>& table, Console& console);

}  // namespace orograd
