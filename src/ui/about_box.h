#pragma once

#include <QWidget>

namespace hw {

// The About box: the program's name and version, what it shows and where its data comes from.
// Modal; returns when it is closed.
void ShowAboutBox(QWidget* owner);

}  // namespace hw
