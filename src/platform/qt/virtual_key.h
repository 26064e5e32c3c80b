#pragma once

namespace hw {

// The virtual-key code of a Qt key, or 0 for a key the program does not use.
int VirtualKeyOf(int qtKey);

}  // namespace hw
