#pragma once

#include <memory>

class QGuiApplication;

namespace hw {

// The Qt application object that fonts and picture decoding need, for command-line programs:
// created on the offscreen platform unless QT_QPA_PLATFORM names another. Does nothing when
// the process already has an application object.
class HeadlessGui {
 public:
  HeadlessGui();
  ~HeadlessGui();
  HeadlessGui(const HeadlessGui&) = delete;
  HeadlessGui& operator=(const HeadlessGui&) = delete;

 private:
  // Qt keeps references to the argument count and vector for the application's life.
  int argc_ = 1;
  char name_[16] = "heronwatch";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> application_;
};

}  // namespace hw
