#include "ui/command_menu_widget.h"

#include <QAction>
#include <QCoreApplication>

namespace hw {
namespace {

// Commands that carry a check mark; the others never show one.
bool HasCheckMark(int id) {
  return id != kCommandSettings && id != kCommandAbout && id != kCommandEnd;
}

QString Translated(std::u16string_view text) {
  const QString source = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
  return QCoreApplication::translate("CommandMenu", source.toUtf8().constData());
}

// The label is translated, the key name after the tab stays as it is.
QString MenuText(std::u16string_view text) {
  const std::size_t tab = text.find(u'\t');
  if (tab == std::u16string_view::npos) return Translated(text);
  const std::u16string_view key = text.substr(tab);
  return Translated(text.substr(0, tab)) +
         QString::fromUtf16(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

void FillCommandMenu(QMenu& menu, const CommandMenu& items,
                     const std::function<void(int)>& choose) {
  menu.clear();
  menu.setTitle(Translated(kCommandMenuTitle));
  for (const MenuItem& item : items) {
    if (item.IsSeparator()) {
      menu.addSeparator();
      continue;
    }
    // Qt shows the text after the tab as the key name, right-aligned.
    QAction* action = menu.addAction(MenuText(item.text));
    action->setData(item.id);
    action->setCheckable(HasCheckMark(item.id));
    action->setChecked(item.checked);
    const int id = item.id;
    QObject::connect(action, &QAction::triggered, &menu, [choose, id] { choose(id); });
  }
}

}  // namespace hw
