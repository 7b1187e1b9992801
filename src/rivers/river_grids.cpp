#include "rivers/river_grids.hpp"

namespace orograd {

namespace {

// Each cell's values depend on its own inputs alone, so rows go to the threads.
template <typename IsRiver>
void set_river_grids(const IsRiver& is_river, Grid& network, Grid& orders, Grid& links) {
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= network.nrows(); ++row)
    for (int32_t col = 1; col <= network.ncols(); ++col) {
      const bool river = is_river(row, col);
      network(row, col) = river ? 1.0 : kNodata;
      orders(row, col) = river ? 1.0 : kNodata;
      links(row, col) = river ? 0.0 : kNodata;
    }
}

}  // namespace

void normalise_river_grids(Grid& network, Grid& orders, Grid& links) {
  set_river_grids([&](int32_t row, int32_t col) { return network(row, col) != kNodata; }, network, orders, links);
}

void prepare_river_links(const Grid& network, Grid& links) {
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= network.nrows(); ++row)
    for (int32_t col = 1; col <= network.ncols(); ++col) links(row, col) = network(row, col) != kNodata ? 0.0 : kNodata;
}

void init_river_grids(const Grid& accumulation, double threshold, Grid& network, Grid& orders, Grid& links) {
  set_river_grids([&](int32_t row, int32_t col) { return accumulation(row, col) > threshold; }, network, orders,
                  links);
}

}  // namespace orograd
