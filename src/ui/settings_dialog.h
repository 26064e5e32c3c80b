#pragma once

#include <QDialog>

#include "shell/settings_dialog_link.h"

namespace hw {

// The modeless settings dialog "詳細設定".
class CTremorlensConfig final : public QDialog {
  Q_OBJECT

 public:
  CTremorlensConfig(SettingsDialogLink& link, QWidget* owner);

 private:
  SettingsDialogLink& link_;
};

}  // namespace hw
