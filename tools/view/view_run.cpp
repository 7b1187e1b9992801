#include "view/view_run.hpp"

#include "grid/grid_reader.hpp"
#include "view/png_writer.hpp"
#include "view/reduction.hpp"
#include "view/render.hpp"

namespace orograd::view {

namespace {

Reduction reduction_for(Kind kind) {
  if (kind == Kind::network) return Reduction::any;
  return is_categorical(kind) ? Reduction::mode : Reduction::mean;
}

Overlay read_overlay(GridContext& context, const OverlayRequest& request, int32_t factor) {
  const Grid grid = read_grid(context, request.file);
  const OverlayKind kind = request.kind ? *request.kind : guess_overlay_kind(grid);
  const Reduction reduction = kind == OverlayKind::rivers ? Reduction::any : Reduction::mode;
  return {kind, reduce(grid, context.header.cellsize, factor, reduction)};
}

}  // namespace

void run_view(const ViewOptions& options, Console& console) {
  GridContext context(console);
  Raster map;
  Kind kind;
  Scale scale;
  {
    const Grid grid = read_first_grid(context, options.grid);
    kind = options.kind ? *options.kind : guess_kind(grid);
    scale = choose_scale(grid.ncols(), grid.nrows(), options.size);
    map = reduce(grid, context.header.cellsize, scale.reduce, reduction_for(kind));
  }
  std::vector<Overlay> overlays;
  for (const OverlayRequest& request : options.overlays) overlays.push_back(read_overlay(context, request, scale.reduce));
  const Image image = render(map, kind, scale.enlarge, overlays);
  write_png(options.picture, image);
  console.print("wrote %s: %dx%d pixels, %s\n", options.picture.c_str(), image.width(), image.height(), kind_name(kind));
}

}  // namespace orograd::view
