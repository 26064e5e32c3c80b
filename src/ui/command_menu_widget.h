#pragma once

#include <QMenu>
#include <functional>

#include "shell/command_menu.h"

namespace hw {

// Fills `menu` with the commands of `items` (labels, key names after a tab, check marks); a
// chosen command goes to `choose` with its id.
void FillCommandMenu(QMenu& menu, const CommandMenu& items, const std::function<void(int)>& choose);

}  // namespace hw
