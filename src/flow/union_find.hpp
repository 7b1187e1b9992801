#pragma once
// Union-find forests stored as parent links, one entry per item, a root its own parent.
#include <cstddef>

namespace orograd {

// The root of `item`'s tree; every link on the way is pointed two steps up (path
// halving), so a later search is shorter. Pre: `item` and every link lie in `parent`.
template <typename Parents, typename Index>
Index find_root(Parents& parent, Index item) {
  while (parent[static_cast<std::size_t>(item)] != item) {
    Index& up = parent[static_cast<std::size_t>(item)];
    up = parent[static_cast<std::size_t>(up)];
    item = up;
  }
  return item;
}

}  // namespace orograd
