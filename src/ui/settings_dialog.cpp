#include "ui/settings_dialog.h"

namespace hw {

CTremorlensConfig::CTremorlensConfig(SettingsDialogLink& link, QWidget* owner)
    : QDialog(owner), link_(link) {
  setWindowTitle(QStringLiteral("詳細設定"));
  setModal(false);
}

}  // namespace hw
