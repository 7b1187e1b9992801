#pragma once
// The grids that sections hand to each other, each with the file names under which
// the grid in memory was written or read, and the rule by which a section obtains an
// input grid from memory or from its file.
#include <string>

#include "grid/grid_context.hpp"

namespace orograd {

// A shared grid and its remembered names. An empty name never matches: file names
// read from the control file are never empty.
struct SharedGrid {
  Grid grid;
  std::string name;       // name of the grid: written by its producer or read by a section
  std::string read_name;  // second name, set by the two-name form when it reads the file

  void release() { grid = Grid{}; }
  void forget_name() { name.clear(); }
};

// One-name form: use the grid in memory when it is held and `file_name` equals its
// name; otherwise read the file and remember `file_name` as the grid's name.
// With `reuse_allowed` false the file is always read (the river-network section
// reads its accumulation file when accumulation was switched off in this run).
Grid& obtain_by_name(GridContext& context, SharedGrid& shared, const std::string& file_name,
                     bool reuse_allowed = true);
// Two-name form: use the grid in memory when it is held and `file_name` equals its
// name or its second name; otherwise read the file and remember `file_name` as the
// second name only.
Grid& obtain_by_either_name(GridContext& context, SharedGrid& shared, const std::string& file_name);

struct SharedGrids {
  SharedGrid elevation;          // elevation_file_name / elevation_read_name
  SharedGrid slope;              // slope_file_name
  SharedGrid aspect;
  SharedGrid flow_direction;     // flow_direction_file_name / flow_direction_read_name
  SharedGrid flow_accumulation;  // flow_accumulation_file_name / flow_accumulation_read_name
  SharedGrid river_network;      // river_network_file_name
  SharedGrid stream_order;       // stream_order_file_name / stream_order_read_name
  SharedGrid river_link;         // river_link_file_name / river_link_read_name
  SharedGrid travel_time;        // travel_time_file_name
  // The one work grid used in turn by several sections; between them it may hold a
  // grid a section has finished with, for the next one to reuse (reuse_or_allocate).
  Grid scratch;
};

}  // namespace orograd
