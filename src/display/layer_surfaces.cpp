#include "display/layer_surfaces.h"

namespace hw {

void LayerSurfaces::CreateWorkingSurfaces() {
  (*this)[CanvasSurface].surface = Surface(kCanvasPages * kPageWidth, kPageHeight);
  (*this)[TableSurface].surface = Surface(2 * kPageWidth, kPageHeight);
  // The ticker's strip is made by the painter as wide as its comment.
  (*this)[TickerSurface].surface = Surface();
  // Scratch for stamping one sprite; it grows to the largest sprite stamped.
  (*this)[BlendSurface].surface = Surface();
  for (SurfaceIndex index : {CanvasSurface, TableSurface, TickerSurface}) {
    (*this)[index].textColor = kWhite;
    (*this)[index].transparentText = true;
  }
}

void LayerSurfaces::ReleaseAll() {
  for (LayerSurface& layer : surfaces_) {
    layer.surface = Surface();
    layer.map.reset();
  }
}

}  // namespace hw
