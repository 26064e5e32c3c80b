#include "ui/settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <limits>
#include <utility>

#include "ui/stream_settings_group.h"

namespace hw {

namespace {

// The period of the timer that fills the dialog and keeps the blink check box in step.
constexpr int kTimerMs = 20;
// The pause in typing after which a typed width or height is applied.
constexpr int kTypingPauseMs = 600;

QString Id(const char16_t* kind, int id) {
  return QString::fromUtf16(kind) + QString::number(id);
}

// An edit for a signed 32-bit integer, wide enough for `widest`. The validator lets through only
// what can become an integer, so that typing never meets a message box; text on the way there
// ("", "-") is left to the data exchange.
QLineEdit* NewIntegerEdit(int id, const QString& widest) {
  auto* edit = new QLineEdit;
  edit->setObjectName(Id(u"edit", id));
  auto* validator =
      new QIntValidator(std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), edit);
  QLocale digitsOnly = QLocale::c();
  digitsOnly.setNumberOptions(QLocale::RejectGroupSeparator);
  validator->setLocale(digitsOnly);
  edit->setValidator(validator);
  const QMargins margins = edit->textMargins() + edit->contentsMargins();
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(widest) + margins.left() +
                      margins.right() + 12);
  return edit;
}

QComboBox* NewList(int id, const QStringList& entries) {
  auto* list = new QComboBox;
  list->setObjectName(Id(u"combo", id));
  list->addItems(entries);
  return list;
}

QCheckBox* NewCheck(int id, const QString& text) {
  auto* check = new QCheckBox(text);
  check->setObjectName(Id(u"check", id));
  return check;
}

QLabel* NewLabel(const QString& text, QWidget* buddy = nullptr) {
  auto* label = new QLabel(text);
  if (buddy != nullptr) label->setBuddy(buddy);
  return label;
}

QGroupBox* NewGroup(const QString& title, QLayout* layout) {
  auto* group = new QGroupBox(title);
  group->setLayout(layout);
  return group;
}

// A note under a check box, indented to the check box's text.
QLabel* NewNote(const QString& text) {
  auto* note = new QLabel(text);
  note->setIndent(24);
  return note;
}

}  // namespace

CTremorlensConfig::CTremorlensConfig(SettingsDialogLink& link, QWidget* owner)
    : QDialog(owner), link_(link), model_(link) {
  // A dialog of fixed size: a title and a close box, nothing to minimise or maximise.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(tr("詳細設定"));
  setModal(false);
  BuildControls();
  refusalNotice_ = [this](const QString& text) {
    QMessageBox::warning(this, QApplication::applicationName(), text);
  };
  timer_.setInterval(kTimerMs);
  connect(&timer_, &QTimer::timeout, this, &CTremorlensConfig::OnTimer);
  typedSize_.setSingleShot(true);
  typedSize_.setInterval(kTypingPauseMs);
  connect(&typedSize_, &QTimer::timeout, this, &CTremorlensConfig::StoreGeometry);
}

void CTremorlensConfig::SetPlaceKeeper(std::function<void(const QPoint&)> keeper) {
  placeKeeper_ = std::move(keeper);
}

void CTremorlensConfig::SetRefusalNotice(std::function<void(const QString&)> notice) {
  refusalNotice_ = std::move(notice);
}

// Two columns of groups over a row of buttons. The Tab key visits the controls in the order
// they are added to the layouts.
void CTremorlensConfig::BuildControls() {
  const QString geometryWidest = QStringLiteral("-00000");
  for (int i = 0; i < 4; ++i) {
    geometryEdits_[static_cast<std::size_t>(i)] = NewIntegerEdit(1000 + i, geometryWidest);
  }
  auto* windowLayout = new QGridLayout;
  windowLayout->addWidget(NewLabel(tr("X座標 ："), geometryEdits_[0]), 0, 0);
  windowLayout->addWidget(geometryEdits_[0], 0, 1);
  windowLayout->addWidget(NewLabel(tr("Y座標 ："), geometryEdits_[1]), 0, 3);
  windowLayout->addWidget(geometryEdits_[1], 0, 4);
  windowLayout->addWidget(NewLabel(tr("幅　 ："), geometryEdits_[2]), 1, 0);
  windowLayout->addWidget(geometryEdits_[2], 1, 1);
  windowLayout->addWidget(NewLabel(tr("高さ ："), geometryEdits_[3]), 1, 3);
  windowLayout->addWidget(geometryEdits_[3], 1, 4);
  auto* fitHeightButton = new QPushButton(tr("高さをアスペクトに合わせる"));
  fitHeightButton->setObjectName(QStringLiteral("buttonFitHeight"));
  fitHeightButton->setAutoDefault(false);
  windowLayout->addWidget(fitHeightButton, 2, 0, 1, 5, Qt::AlignLeft);
  windowLayout->setColumnMinimumWidth(2, 12);
  windowLayout->setColumnStretch(5, 1);

  const std::array<const char16_t*, 3> aspectTexts{u"  16：9", u"  4：3", u"  16：10"};
  auto* aspectLayout = new QHBoxLayout;
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf16(aspectTexts[static_cast<std::size_t>(i)]));
    radio->setObjectName(Id(u"radio", 1004 + i));
    aspectRadios_[static_cast<std::size_t>(i)] = radio;
    aspectLayout->addWidget(radio);
  }
  aspectLayout->addStretch();

  speedDrawList_ =
      NewList(1008, {QStringLiteral("10 fps"), QStringLiteral("15 fps"), QStringLiteral("20 fps"),
                     QStringLiteral("24 fps"), QStringLiteral("30 fps"), tr("アニメなし")});
  scrollEdit_ = NewIntegerEdit(1009, QStringLiteral("000"));
  auto* speedLayout = new QGridLayout;
  speedLayout->addWidget(NewLabel(tr("画面更新"), speedDrawList_), 0, 0);
  speedLayout->addWidget(speedDrawList_, 0, 1, 1, 3, Qt::AlignLeft);
  speedLayout->addWidget(NewLabel(tr("送り文字数"), scrollEdit_), 1, 0);
  speedLayout->addWidget(scrollEdit_, 1, 1);
  speedLayout->addWidget(NewLabel(tr("文字")), 1, 2);
  speedLayout->addWidget(NewLabel(tr("(30fps 換算)")), 1, 3);
  speedLayout->setColumnStretch(4, 1);

  periodEdit_ = NewIntegerEdit(1007, QStringLiteral("0000"));
  auto* quakeLayout = new QHBoxLayout;
  quakeLayout->addWidget(NewLabel(tr("情報取得周期"), periodEdit_));
  quakeLayout->addWidget(periodEdit_);
  quakeLayout->addWidget(NewLabel(tr("秒")));
  quakeLayout->addStretch();

  themeList_ = NewList(1016, {});
  // The names arrive on the first tick; a width of its own keeps the dialog from growing then.
  themeList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  themeList_->setMinimumContentsLength(16);
  auto* themeLayout = new QHBoxLayout;
  themeLayout->addWidget(NewLabel(tr("選択 ："), themeList_));
  themeLayout->addWidget(themeList_, 1);

  shindoMapList_ = NewList(1015, {tr("都道府県＋観測地点"), tr("都道府県"), tr("観測地点")});
  auto* shindoLayout = new QHBoxLayout;
  shindoLayout->addWidget(NewLabel(tr("表示タイプ ："), shindoMapList_));
  shindoLayout->addWidget(shindoMapList_, 1);

  epiFrontCheck_ = NewCheck(1013, tr("  震度情報の手前側に震央を表示"));
  epiBlinkCheck_ = NewCheck(1014, tr("  震央を点滅表示させる"));
  auto* epiLayout = new QVBoxLayout;
  epiLayout->addWidget(epiFrontCheck_);
  epiLayout->addWidget(epiBlinkCheck_);

  staJsonCheck_ = NewCheck(1011, tr("  観測点の座標データを保存する (Stations.ini)"));
  siJsonCheck_ = NewCheck(1012, tr("  最新の地震データを保存する (history.json)"));
  auto* saveLayout = new QVBoxLayout;
  saveLayout->addWidget(staJsonCheck_);
  saveLayout->addWidget(NewNote(tr("[3時半頃に取得 (反映)＆保存]")));
  saveLayout->addWidget(siJsonCheck_);
  saveLayout->addWidget(NewNote(tr("[地震情報の更新時、保存]")));
  autostartCheck_ = NewCheck(1030, tr("  デスクトップの起動時に開始する"));
  saveLayout->addWidget(autostartCheck_);

  // Controls without an id of their own are named after their key.
  notifyCheck_ = new QCheckBox(tr("  新しい地震情報をデスクトップに通知する"));
  notifyCheck_->setObjectName(QStringLiteral("checkNotify"));
  notifyScaleList_ = NewList(0, {tr("震度1"), tr("震度2"), tr("震度3"), tr("震度4"), tr("震度5弱"),
                                 tr("震度5強"), tr("震度6弱"), tr("震度6強"), tr("震度7")});
  notifyScaleList_->setObjectName(QStringLiteral("comboNotifyMinScale"));
  notifyForeignCheck_ = new QCheckBox(tr("  遠地地震も通知する"));
  notifyForeignCheck_->setObjectName(QStringLiteral("checkNotifyForeign"));
  notifyTsunamiCheck_ = new QCheckBox(tr("  津波の情報も通知する"));
  notifyTsunamiCheck_->setObjectName(QStringLiteral("checkNotifyTsunami"));
  notifySoundCheck_ = new QCheckBox(tr("  音を鳴らす"));
  notifySoundCheck_->setObjectName(QStringLiteral("checkNotifySound"));
  auto* notifyScaleLayout = new QHBoxLayout;
  notifyScaleLayout->addWidget(NewLabel(tr("通知する最大震度 ："), notifyScaleList_));
  notifyScaleLayout->addWidget(notifyScaleList_);
  notifyScaleLayout->addWidget(NewLabel(tr("以上")));
  notifyScaleLayout->addStretch();
  auto* notifyLayout = new QVBoxLayout;
  notifyLayout->addWidget(notifyCheck_);
  notifyLayout->addLayout(notifyScaleLayout);
  notifyLayout->addWidget(notifyForeignCheck_);
  notifyLayout->addWidget(notifyTsunamiCheck_);
  notifyLayout->addWidget(notifySoundCheck_);

  auto* left = new QVBoxLayout;
  left->addWidget(NewGroup(tr("  ウインドウ枠  "), windowLayout));
  left->addWidget(NewGroup(tr("  アスペクト設定  "), aspectLayout));
  left->addWidget(NewGroup(tr("  速度設定  "), speedLayout));
  left->addWidget(NewGroup(tr("  地震情報設定  "), quakeLayout));
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(NewGroup(tr("  テーマ設定 (アプリの再起動が必要)  "), themeLayout));
  right->addWidget(NewGroup(tr("  震度マップ設定  "), shindoLayout));
  right->addWidget(NewGroup(tr("  震央表示設定  "), epiLayout));
  right->addWidget(NewGroup(tr("  保存オプション (起動時にも保存)  "), saveLayout));
  right->addWidget(NewGroup(tr("  通知設定  "), notifyLayout));
  right->addStretch();
  streamGroup_ = new StreamSettingsGroup;
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);
  // The outputs for streams have a page of their own, so that the dialog keeps the width that
  // lets it open beside a window of half the screen.
  auto* picturePage = new QWidget;
  picturePage->setLayout(columns);
  auto* streamLayout = new QVBoxLayout;
  streamLayout->addWidget(streamGroup_);
  streamLayout->addStretch();
  auto* streamPage = new QWidget;
  streamPage->setLayout(streamLayout);
  auto* pages = new QTabWidget;
  pages->setObjectName(QStringLiteral("tabPages"));
  pages->addTab(picturePage, tr("表示"));
  pages->addTab(streamPage, tr("配信"));

  auto* okButton = new QPushButton(QStringLiteral("OK"));
  okButton->setObjectName(QStringLiteral("button1"));
  okButton->setDefault(true);
  auto* revertButton = new QPushButton(tr("前回の設定"));
  revertButton->setObjectName(QStringLiteral("button2"));
  auto* initialButton = new QPushButton(tr("初期値"));
  initialButton->setObjectName(QStringLiteral("button1010"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(initialButton);
  buttons->addStretch();
  buttons->addWidget(okButton);
  buttons->addWidget(revertButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  // The X edit has the focus first, as before the pages: the tab bar comes first in the focus
  // chain but is only reached by Tab from the last control (Ctrl+Tab switches the pages).
  geometryEdits_[0]->setFocus();

  for (QLineEdit* edit : geometryEdits_) {
    connect(edit, &QLineEdit::textChanged, this, [this, edit] { OnGeometryTextChanged(edit); });
  }
  connect(fitHeightButton, &QPushButton::clicked, this, &CTremorlensConfig::OnFitHeight);
  connect(okButton, &QPushButton::clicked, this, &CTremorlensConfig::OnOk);
  connect(revertButton, &QPushButton::clicked, this, &CTremorlensConfig::reject);
  connect(initialButton, &QPushButton::clicked, this, &CTremorlensConfig::OnInitialValues);

  // Focus changes of the geometry edits and the arrow keys of every control pass the filter.
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) {
    if (child->focusPolicy() != Qt::NoFocus) child->installEventFilter(this);
  }
}

void CTremorlensConfig::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!timer_.isActive()) timer_.start();
}

void CTremorlensConfig::OnTimer() {
  if (!filled_) FillOnFirstTick();
  ApplyBlinkRule();
  FollowWindow();
  streamGroup_->ShowStatus(link_.StreamStatus());
}

void CTremorlensConfig::FollowWindow() {
  if (focusedGeometryField_ != GeometryField::None || typedSize_.isActive()) return;
  if (model_.FollowPosition()) WriteFields();
}

void CTremorlensConfig::FillOnFirstTick() {
  filled_ = true;
  // The theme folder is scanned each time the dialog is asked for, but an open dialog keeps the
  // list it was filled with.
  const std::vector<std::u16string> names = SortedThemeNames(link_.Themes());
  themeList_->clear();
  for (const std::u16string& name : names) {
    themeList_->addItem(QString::fromStdU16String(name));
  }
  const SettingsDialogChoices choices =
      model_.Fill(PreselectedThemeEntry(names, link_.Settings().Name));
  WriteFields();
  ShowChoices(choices);
}

// The blink is offered only for an epicentre in front of the markers.
void CTremorlensConfig::ApplyBlinkRule() {
  if (epiFrontCheck_->isChecked()) {
    epiBlinkCheck_->setEnabled(true);
    return;
  }
  model_.ForbidBlink();
  epiBlinkCheck_->setChecked(false);
  epiBlinkCheck_->setEnabled(false);
}

void CTremorlensConfig::OnGeometryTextChanged(QLineEdit* edit) {
  if (writingFields_ || !filled_) return;
  bool isInteger = false;
  edit->text().toInt(&isInteger);
  // Text on its way to a number ("", "-") leaves the window where it is.
  if (!isInteger) return;
  // The place follows each digit; the size waits until the typing pauses or leaves the edit.
  if (edit == geometryEdits_[2] || edit == geometryEdits_[3]) {
    typedSize_.start();
    return;
  }
  StoreGeometry();
}

void CTremorlensConfig::OnFitHeight() {
  if (!filled_) return;
  ReadFields(Refusal::Silent);
  model_.FitHeightToAspect(ReadChoices().aspect);
  WriteFields();
  StoreGeometry();
}

void CTremorlensConfig::OnArrowKey(int delta) {
  if (!filled_) return;
  if (focusedGeometryField_ != GeometryField::None) {
    ReadFields(Refusal::Silent);
    model_.StepGeometryField(focusedGeometryField_, delta);
    WriteFields();
  }
  StoreGeometry();
}

void CTremorlensConfig::OnOk() {
  if (!filled_) return;
  ReadFields(Refusal::Notify);
  model_.Apply(ReadChoices(), themeList_->currentText().toStdU16String());
  ApplyAutostart();
  StoreGeometry();
  link_.InvalidateWindow();
  Finish();
  accept();
}

// The entry starts the program file that runs now, wherever it was installed.
void CTremorlensConfig::ApplyAutostart() {
  std::string error;
  const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
  if (model_.ApplyAutostart(program.toStdString(), error)) return;
  std::fprintf(stderr, "heronwatch: %s\n", error.c_str());
  refusalNotice_(tr("デスクトップの起動時に開始する設定を変更できませんでした。\n") +
                 QString::fromStdString(error));
}

void CTremorlensConfig::reject() {
  if (!filled_) return;
  ShowChoices(model_.Revert());
  WriteFields();
  StoreGeometry();
}

void CTremorlensConfig::OnInitialValues() {
  if (!filled_) return;
  ShowChoices(model_.InitialValues());
  WriteFields();
  StoreGeometry();
}

void CTremorlensConfig::closeEvent(QCloseEvent* event) {
  // QDialog would call reject(), which keeps the dialog open. The close box closes it: what was
  // applied on the way (the geometry, the blink turned off) stays, the rest keeps its setting.
  event->accept();
  Finish();
}

void CTremorlensConfig::Finish() {
  if (placeKeeper_) placeKeeper_(pos());
  timer_.stop();
  typedSize_.stop();
  link_.SetFrameInterval();
  focusedGeometryField_ = GeometryField::None;
  filled_ = false;
}

bool CTremorlensConfig::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      for (std::size_t i = 0; i < geometryEdits_.size(); ++i) {
        if (watched != geometryEdits_[i]) continue;
        focusedGeometryField_ = event->type() == QEvent::FocusIn ? static_cast<GeometryField>(i + 1)
                                                                 : GeometryField::None;
        // A size typed into an edit that is left is applied at once.
        if (event->type() == QEvent::FocusOut && typedSize_.isActive()) StoreGeometry();
      }
      break;
    case QEvent::KeyPress: {
      // A key the receiver ignores travels up to the dialog through the filter again; only its
      // first receiver handles it.
      const int key = static_cast<QKeyEvent*>(event)->key();
      if ((key == Qt::Key_Up || key == Qt::Key_Down) && watched == KeyReceiver()) {
        OnArrowKey(key == Qt::Key_Up ? 1 : -1);
      }
      break;
    }
    default:
      break;
  }
  // The key goes on to its receiver as usual.
  return QDialog::eventFilter(watched, event);
}

QWidget* CTremorlensConfig::KeyReceiver() {
  QWidget* focus = QApplication::focusWidget();
  return focus != nullptr && isAncestorOf(focus) ? focus : this;
}

std::array<CTremorlensConfig::EditField, 6> CTremorlensConfig::EditFields() const {
  return {{{geometryEdits_[0], &SettingsDialogFields::x},
           {geometryEdits_[1], &SettingsDialogFields::y},
           {geometryEdits_[2], &SettingsDialogFields::width},
           {geometryEdits_[3], &SettingsDialogFields::height},
           {periodEdit_, &SettingsDialogFields::period},
           {scrollEdit_, &SettingsDialogFields::scroll}}};
}

void CTremorlensConfig::ReadFields(Refusal refusal) {
  bool refused = false;
  for (const auto& [edit, field] : EditFields()) {
    bool isInteger = false;
    const int value = edit->text().toInt(&isInteger);
    if (isInteger) {
      model_.fields().*field = value;
    } else {
      refused = true;
    }
  }
  if (refused && refusal == Refusal::Notify) refusalNotice_(tr("整数を入力してください。"));
}

void CTremorlensConfig::WriteFields() {
  writingFields_ = true;
  for (const auto& [edit, field] : EditFields()) {
    edit->setText(QString::number(model_.fields().*field));
  }
  writingFields_ = false;
}

SettingsDialogChoices CTremorlensConfig::ReadChoices() const {
  int aspect = 0;
  for (std::size_t i = 0; i < aspectRadios_.size(); ++i) {
    if (aspectRadios_[i]->isChecked()) aspect = static_cast<int>(i);
  }
  return {.aspect = aspect,
          .speedDraw = speedDrawList_->currentIndex(),
          .shindoMap = shindoMapList_->currentIndex(),
          .themeEntry = themeList_->currentIndex(),
          .epiFront = epiFrontCheck_->isChecked(),
          .epiBlink = epiBlinkCheck_->isChecked(),
          .staJson = staJsonCheck_->isChecked(),
          .siJson = siJsonCheck_->isChecked(),
          .autostart = autostartCheck_->isChecked(),
          .notify = {.enabled = notifyCheck_->isChecked(),
                     .minScale = notifyScaleList_->currentIndex(),
                     .foreign = notifyForeignCheck_->isChecked(),
                     .tsunami = notifyTsunamiCheck_->isChecked(),
                     .sound = notifySoundCheck_->isChecked()},
          .stream = streamGroup_->Read()};
}

void CTremorlensConfig::ShowChoices(const SettingsDialogChoices& choices) {
  aspectRadios_[static_cast<std::size_t>(choices.aspect)]->setChecked(true);
  speedDrawList_->setCurrentIndex(choices.speedDraw);
  shindoMapList_->setCurrentIndex(choices.shindoMap);
  themeList_->setCurrentIndex(choices.themeEntry);
  epiFrontCheck_->setChecked(choices.epiFront);
  epiBlinkCheck_->setChecked(choices.epiBlink);
  staJsonCheck_->setChecked(choices.staJson);
  siJsonCheck_->setChecked(choices.siJson);
  autostartCheck_->setChecked(choices.autostart);
  notifyCheck_->setChecked(choices.notify.enabled);
  notifyScaleList_->setCurrentIndex(choices.notify.minScale);
  notifyForeignCheck_->setChecked(choices.notify.foreign);
  notifyTsunamiCheck_->setChecked(choices.notify.tsunami);
  notifySoundCheck_->setChecked(choices.notify.sound);
  streamGroup_->Show(choices.stream);
  ApplyBlinkRule();
}

void CTremorlensConfig::StoreGeometry() {
  typedSize_.stop();
  ReadFields(Refusal::Silent);
  model_.StoreGeometry();
}

}  // namespace hw
