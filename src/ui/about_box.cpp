#include "ui/about_box.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "platform/qt/app_icon.h"

namespace hw {

void ShowAboutBox(QWidget* owner) {
  QMessageBox box(owner);
  box.setWindowTitle(QCoreApplication::translate("AboutBox", "バージョン情報 Heronwatch"));
  box.setIconPixmap(AppIcon().pixmap(64, 64));
  box.setTextFormat(Qt::RichText);
  box.setText(QCoreApplication::translate("AboutBox", "<b>Heronwatch</b> バージョン %1")
                  .arg(QStringLiteral(HW_VERSION)));
  box.setInformativeText(QCoreApplication::translate(
      "AboutBox",
      "日本の地震情報を地図と表で表示します。<br><br>"
      "地震情報：P2P地震情報 API (api.p2pquake.net)<br>"
      "観測点・市区町村・地域：出典 気象庁ホームページ（加工して作成）<br>"
      "地図：Made with Natural Earth<br><br>"
      "MIT ライセンスのフリーソフトウェアです。"
      "データの利用条件は copyright ファイルにあります。"));
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

}  // namespace hw
