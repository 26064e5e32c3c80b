#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace hw {

// Opens a file with the desktop's program for its type (xdg-open) and tells whether that
// worked, without waiting for the program: `done(false)` comes when there is no opener or the
// opener says it found no program for the file, `done(true)` when it succeeded or is still
// showing the file a few seconds later. The opener and what it starts live on after this
// program ends. `done` runs on the event loop of `context`'s thread and never after `context`
// is gone.
void OpenWithDesktop(const QString& path, QObject* context, std::function<void(bool opened)> done);

}  // namespace hw
