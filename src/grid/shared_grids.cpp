#include "grid/shared_grids.hpp"

#include "grid/grid_reader.hpp"

namespace orograd {

Grid& obtain_by_name(GridContext& context, SharedGrid& shared, const std::string& file_name, bool reuse_allowed) {
  if (reuse_allowed && shared.grid.held() && !shared.name.empty() && file_name == shared.name) return shared.grid;
  shared.release();
  shared.name = file_name;
  shared.grid = read_input_grid(context, file_name);
  return shared.grid;
}

Grid& obtain_by_either_name(GridContext& context, SharedGrid& shared, const std::string& file_name) {
  if (shared.grid.held() && ((!shared.name.empty() && file_name == shared.name) ||
                             (!shared.read_name.empty() && file_name == shared.read_name)))
    return shared.grid;
  shared.release();
  shared.read_name = file_name;
  shared.grid = read_input_grid(context, file_name);
  return shared.grid;
}

}  // namespace orograd
