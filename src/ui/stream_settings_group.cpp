#include "ui/stream_settings_group.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace hw {
namespace {

QString FromU16(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string ToU16(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QSpinBox* NewSpin(const char* name, int low, int high) {
  auto* spin = new QSpinBox;
  spin->setObjectName(QString::fromLatin1(name));
  spin->setRange(low, high);
  return spin;
}

QLineEdit* NewEdit(const char* name, const QString& placeholder) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setPlaceholderText(placeholder);
  // Wide enough for the placeholder, which says what the field takes.
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(placeholder) + 16);
  return edit;
}

QCheckBox* NewCheck(const char* name, const QString& text) {
  auto* check = new QCheckBox(text);
  check->setObjectName(QString::fromLatin1(name));
  return check;
}

}  // namespace

StreamSettingsGroup::StreamSettingsGroup(QWidget* parent)
    : QGroupBox(tr("  配信設定  "), parent),
      // Controls without an id of their own are named after their key.
      file_(NewEdit("editStreamFile", tr("なし (例: stream/picture.png)"))),
      rate_(NewSpin("spinStreamRate", 1, 10)),
      width_(NewSpin("spinStreamWidth", 16, 3840)),
      height_(NewSpin("spinStreamHeight", 16, 2160)),
      http_(NewCheck("checkStreamHttp", tr("  ローカルページを開く"))),
      listen_(NewEdit("editStreamListen", QStringLiteral("127.0.0.1"))),
      port_(NewSpin("spinStreamPort", 1, 65535)),
      status_(new QLabel),
      overlay_(NewCheck("checkStreamOverlay", tr("  オーバーレイ (地図なし、透過)"))),
      keyColor_(NewEdit("editStreamKeyColor", QStringLiteral("#00ff00"))),
      overlayMarkers_(NewCheck("checkStreamOverlayMarkers", tr("  震度と震央も表示する"))),
      onReport_(NewEdit("editStreamOnReport", tr("なし ({id} {maxScale} {issueType} {file})"))),
      onReportDemo_(NewCheck("checkStreamOnReportDemo", tr("  デモの情報でも実行する"))) {
  status_->setObjectName(QStringLiteral("labelStreamStatus"));
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_->setWordWrap(true);

  auto* layout = new QGridLayout;
  int row = 0;
  const auto labelled = [&](const QString& text, QWidget* field) {
    auto* label = new QLabel(text);
    label->setBuddy(field);
    layout->addWidget(label, row, 0);
    layout->addWidget(field, row, 1);
    ++row;
  };
  labelled(tr("画像ファイル ："), file_);
  labelled(tr("更新 (回/秒) ："), rate_);
  labelled(tr("幅 ："), width_);
  labelled(tr("高さ ："), height_);
  layout->addWidget(http_, row++, 0, 1, 2);
  labelled(tr("アドレス ："), listen_);
  labelled(tr("ポート ："), port_);
  layout->addWidget(status_, row++, 0, 1, 2);
  layout->addWidget(overlay_, row++, 0, 1, 2);
  labelled(tr("キー色 ："), keyColor_);
  layout->addWidget(overlayMarkers_, row++, 0, 1, 2);
  labelled(tr("受信時のコマンド ："), onReport_);
  layout->addWidget(onReportDemo_, row++, 0, 1, 2);
  setLayout(layout);
  ShowStatus(StreamServerState{});
}

StreamChoices StreamSettingsGroup::Read() const {
  return {.file = ToU16(file_->text().trimmed()),
          .rate = rate_->value(),
          .width = width_->value(),
          .height = height_->value(),
          .http = http_->isChecked(),
          .listen = ToU16(listen_->text().trimmed()),
          .port = port_->value(),
          .overlay = overlay_->isChecked(),
          .keyColor = ToU16(keyColor_->text().trimmed()),
          .overlayMarkers = overlayMarkers_->isChecked(),
          .onReport = ToU16(onReport_->text().trimmed()),
          .onReportDemo = onReportDemo_->isChecked()};
}

void StreamSettingsGroup::Show(const StreamChoices& choices) {
  file_->setText(FromU16(choices.file));
  rate_->setValue(choices.rate);
  width_->setValue(choices.width);
  height_->setValue(choices.height);
  http_->setChecked(choices.http);
  listen_->setText(FromU16(choices.listen));
  port_->setValue(choices.port);
  overlay_->setChecked(choices.overlay);
  keyColor_->setText(FromU16(choices.keyColor));
  overlayMarkers_->setChecked(choices.overlayMarkers);
  onReport_->setText(FromU16(choices.onReport));
  onReportDemo_->setChecked(choices.onReportDemo);
}

void StreamSettingsGroup::ShowStatus(const StreamServerState& state) {
  QString text = tr("ローカルページ: 停止中");
  if (state.listening) {
    text = tr("ローカルページ: %1 で待ち受け中").arg(FromU16(state.address));
  } else if (state.on) {
    text =
        tr("ローカルページを開けません: %1 (%2)").arg(FromU16(state.address), FromU16(state.error));
  }
  if (status_->text() != text) status_->setText(text);
}

}  // namespace hw
