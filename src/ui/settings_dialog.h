#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>

#include "shell/settings_dialog_link.h"
#include "shell/settings_dialog_model.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPoint;
class QRadioButton;

namespace hw {
class StreamSettingsGroup;
}

namespace hw {

// The modeless settings dialog "詳細設定". It changes the settings held in memory: the window
// follows the geometry edits while the user types, the other values take effect on OK. Every
// control's object name is made from its id ("edit1002", "combo1016", "button1", …).
class CTremorlensConfig final : public QDialog {
  Q_OBJECT

 public:
  CTremorlensConfig(SettingsDialogLink& link, QWidget* owner);

  // Replaces the message box that refuses an edit's text that is no integer or says that the
  // autostart entry could not be changed; tests script it, since a message box runs a modal
  // loop of its own.
  void SetRefusalNotice(std::function<void(const QString& text)> notice);

  // Told where the dialog is (its frame's top-left corner) when it closes, so that it opens
  // there again.
  void SetPlaceKeeper(std::function<void(const QPoint&)> keeper);

  // 前回の設定, also reached by Escape: the dialog stays open.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class Refusal { Silent, Notify };
  // An edit and the field it exchanges.
  struct EditField {
    QLineEdit* edit;
    int SettingsDialogFields::*field;
  };

  void BuildControls();
  void OnTimer();
  void FillOnFirstTick();
  void ApplyBlinkRule();
  void OnGeometryTextChanged(QLineEdit* edit);
  void OnFitHeight();
  // The window moved or changed size while the dialog was open: the geometry edits follow
  // unless the user is in one of them.
  void FollowWindow();
  void OnArrowKey(int delta);
  void OnOk();
  void ApplyAutostart();
  void OnInitialValues();
  void Finish();

  // Data exchange: the edits' texts into the fields (a text that is no integer leaves its field
  // as it was) and back.
  void ReadFields(Refusal refusal);
  void WriteFields();
  SettingsDialogChoices ReadChoices() const;
  void ShowChoices(const SettingsDialogChoices& choices);
  // The edits into the fields, then the fields to [Position] and the window.
  void StoreGeometry();
  std::array<EditField, 6> EditFields() const;
  // Where a key press goes first: the focused control, else the dialog itself.
  QWidget* KeyReceiver();

  SettingsDialogLink& link_;
  SettingsDialogModel model_;
  QTimer timer_;
  // A typed width or height waits for a pause in the typing: the window does not take every
  // number on the way (1, 10, 100, 1000).
  QTimer typedSize_;
  std::array<QLineEdit*, 4> geometryEdits_{};
  QLineEdit* periodEdit_ = nullptr;
  QLineEdit* scrollEdit_ = nullptr;
  std::array<QRadioButton*, 3> aspectRadios_{};
  QComboBox* speedDrawList_ = nullptr;
  QComboBox* shindoMapList_ = nullptr;
  QComboBox* themeList_ = nullptr;
  QCheckBox* epiFrontCheck_ = nullptr;
  QCheckBox* epiBlinkCheck_ = nullptr;
  QCheckBox* staJsonCheck_ = nullptr;
  QCheckBox* siJsonCheck_ = nullptr;
  QCheckBox* autostartCheck_ = nullptr;
  QCheckBox* notifyCheck_ = nullptr;
  QComboBox* notifyScaleList_ = nullptr;
  QCheckBox* notifyForeignCheck_ = nullptr;
  QCheckBox* notifyTsunamiCheck_ = nullptr;
  QCheckBox* notifySoundCheck_ = nullptr;
  StreamSettingsGroup* streamGroup_ = nullptr;

  GeometryField focusedGeometryField_ = GeometryField::None;
  // Set by the first tick. Until then the edits are empty and there is no snapshot, so the
  // buttons, Escape and the keys do nothing.
  bool filled_ = false;
  // Set while the fields are written to the edits, whose text changes then are not the user's.
  bool writingFields_ = false;
  std::function<void(const QString&)> refusalNotice_;
  std::function<void(const QPoint&)> placeKeeper_;
};

}  // namespace hw
