#include "display/layer_surfaces.h"

namespace hw {

void LayerSurfaces::CreateWorkingSurfaces() {
  (*this)[CanvasSurface].surface = Surface(kCanvasPages * kPageWidth, kPageHeight);
  (*this)[TableSurface].surface = Surface(2 * kPageWidth, kPageHeight);
  (*this)[TickerSurface].surface = Surface(30000, 90);
  (*this)[BlendSurface].surface = Surface(4 * kPageWidth, kPageHeight);
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
