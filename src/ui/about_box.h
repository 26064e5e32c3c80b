#pragma once

#include <QWidget>

namespace hw {

// The About box: the program's name and version, what it shows, where its data comes from and
// under which licence it is.
// Modal; returns when it is closed.
void ShowAboutBox(QWidget* owner);

}  // namespace hw
