#include "ui/order_menu.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QSignalBlocker>
#include <memory>
#include <utility>
#include <vector>

#include "services/settings.h"

namespace velmora {

ListOrder ReadListOrder(const SettingsStore& store) {
  ListOrder order;
  ParseOrderName(store.ReadSetting(kKeyOrder), order.by);
  order.reverse = store.ReadSetting(kKeyOrderReverse) == "1";
  return order;
}

void WriteListOrder(SettingsStore& store, const ListOrder& order) {
  store.WriteSetting(kKeyOrder, OrderName(order.by));
  store.WriteSetting(kKeyOrderReverse, order.reverse ? "1" : "0");
}

namespace {

struct Choice {
  const char* objectName;
  const char* caption;
  OrderBy by;
};

// The actions of the four orders, in a group, each checked when current has it.
std::vector<std::pair<QAction*, OrderBy>> AddOrderChoices(QMenu* menu, const ListOrder& current) {
  const Choice choices[] = {
      {"OptOrderName", QT_TRANSLATE_NOOP("velmora::Main", "&Name"), OrderBy::kName},
      {"OptOrderNatural", QT_TRANSLATE_NOOP("velmora::Main", "Name na&türlich"), OrderBy::kNatural},
      {"OptOrderModified", QT_TRANSLATE_NOOP("velmora::Main", "Än&derungsdatum"),
       OrderBy::kModified},
      {"OptOrderSize", QT_TRANSLATE_NOOP("velmora::Main", "&Größe"), OrderBy::kSize}};
  auto* group = new QActionGroup(menu);
  std::vector<std::pair<QAction*, OrderBy>> actions;
  for (const Choice& choice : choices) {
    QAction* action = menu->addAction(QCoreApplication::translate("velmora::Main", choice.caption));
    action->setObjectName(QLatin1String(choice.objectName));
    action->setCheckable(true);
    action->setChecked(current.by == choice.by);
    group->addAction(action);
    actions.emplace_back(action, choice.by);
  }
  return actions;
}

}  // namespace

OrderMenu AddOrderMenu(QMenu* options, SettingsStore& store,
                       std::function<void(const ListOrder&)> changed) {
  QMenu* menu = options->addMenu(QCoreApplication::translate("velmora::Main", "&Reihenfolge"));
  menu->setObjectName(QStringLiteral("MnuOrder"));
  // Shared by the actions: each one changes a part of it.
  auto current = std::make_shared<ListOrder>(ReadListOrder(store));
  const std::vector<std::pair<QAction*, OrderBy>> byActions = AddOrderChoices(menu, *current);
  menu->addSeparator();
  QAction* reverse = menu->addAction(QCoreApplication::translate("velmora::Main", "&absteigend"));
  reverse->setObjectName(QStringLiteral("OptOrderReverse"));
  reverse->setCheckable(true);
  reverse->setChecked(current->reverse);
  auto choose = [&store, changed = std::move(changed), current, byActions,
                 reverse](const ListOrder& order) {
    *current = order;
    for (const auto& [action, by] : byActions) action->setChecked(order.by == by);
    {
      const QSignalBlocker quiet(reverse);
      reverse->setChecked(order.reverse);
    }
    WriteListOrder(store, order);
    changed(order);
  };
  for (const auto& [action, by] : byActions) {
    QObject::connect(action, &QAction::triggered, menu, [choose, current, by = by] {
      ListOrder order = *current;
      order.by = by;
      choose(order);
    });
  }
  QObject::connect(reverse, &QAction::toggled, menu, [choose, current](bool on) {
    ListOrder order = *current;
    order.reverse = on;
    choose(order);
  });
  return {*current, choose};
}

}  // namespace velmora
