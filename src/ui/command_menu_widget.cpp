#include "ui/command_menu_widget.h"

#include <QAction>

namespace hw {
namespace {

// Commands that carry a check mark; the others never show one.
bool HasCheckMark(int id) {
  return id != kCommandSettings && id != kCommandAbout && id != kCommandEnd;
}

}  // namespace

void FillCommandMenu(QMenu& menu, const CommandMenu& items,
                     const std::function<void(int)>& choose) {
  menu.clear();
  menu.setTitle(QString::fromUtf16(kCommandMenuTitle.data(),
                                   static_cast<qsizetype>(kCommandMenuTitle.size())));
  for (const MenuItem& item : items) {
    if (item.IsSeparator()) {
      menu.addSeparator();
      continue;
    }
    // Qt shows the text after the tab as the key name, right-aligned.
    QAction* action = menu.addAction(
        QString::fromUtf16(item.text.data(), static_cast<qsizetype>(item.text.size())));
    action->setData(item.id);
    action->setCheckable(HasCheckMark(item.id));
    action->setChecked(item.checked);
    const int id = item.id;
    QObject::connect(action, &QAction::triggered, &menu, [choose, id] { choose(id); });
  }
}

}  // namespace hw
