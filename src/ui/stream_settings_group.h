#pragma once

#include <QGroupBox>

#include "shell/settings_dialog_model.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace hw {

// The settings dialog's group 配信設定: the outputs of the picture for streams (the picture
// file, the local page, the overlay and the command after a report), and where the local page
// listens or why it cannot.
class StreamSettingsGroup final : public QGroupBox {
  Q_OBJECT

 public:
  explicit StreamSettingsGroup(QWidget* parent = nullptr);

  StreamChoices Read() const;
  void Show(const StreamChoices& choices);
  // Where the local page listens, or why it cannot.
  void ShowStatus(const StreamServerState& state);

 private:
  QLineEdit* file_ = nullptr;
  QSpinBox* rate_ = nullptr;
  QSpinBox* width_ = nullptr;
  QSpinBox* height_ = nullptr;
  QCheckBox* http_ = nullptr;
  QLineEdit* listen_ = nullptr;
  QSpinBox* port_ = nullptr;
  QLabel* status_ = nullptr;
  QCheckBox* overlay_ = nullptr;
  QLineEdit* keyColor_ = nullptr;
  QCheckBox* overlayMarkers_ = nullptr;
  QLineEdit* onReport_ = nullptr;
  QCheckBox* onReportDemo_ = nullptr;
};

}  // namespace hw
