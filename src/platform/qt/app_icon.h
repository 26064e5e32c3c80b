#pragma once

#include <QIcon>

namespace hw {

// The application's icon, drawn by the program itself: seismic waves spreading from a red
// epicentre mark on a night-blue tile, at every size the desktop asks for.
QIcon AppIcon();

}  // namespace hw
