#pragma once

#include <QIcon>
#include <QImage>

namespace hw {

// The application's icon, drawn by the program itself: seismic waves spreading from a red
// epicentre mark on a night-blue tile, at every size the desktop asks for.
QIcon AppIcon();

// The icon drawn on a square of `size` pixels, for the window and for the installed icon files.
// Needs no running application.
QImage AppIconImage(int size);

}  // namespace hw
