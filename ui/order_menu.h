// "Optionen -> Reihenfolge": the order the found list, the preview, the
// numbering and the tag run follow, kept in the window's settings as
// `Order` (the command-line name) and `OrderReverse` ("1" or "0").
#pragma once

#include <functional>

#include "search/name_order.h"

class QMenu;

namespace velmora {

class SettingsStore;

inline constexpr char kKeyOrder[] = "Order";
inline constexpr char kKeyOrderReverse[] = "OrderReverse";

// The stored order; the name order ascending when nothing (or nothing known)
// is stored.
ListOrder ReadListOrder(const SettingsStore& store);
void WriteListOrder(SettingsStore& store, const ListOrder& order);

// The submenu's order at start, and a way to choose another as the user
// would (checked, stored and handed on): a loaded job sets its order so.
struct OrderMenu {
  ListOrder stored;
  std::function<void(const ListOrder&)> choose;
};

// Adds the submenu to options with the stored order checked; every choice is
// stored and handed to changed.
OrderMenu AddOrderMenu(QMenu* options, SettingsStore& store,
                       std::function<void(const ListOrder&)> changed);

}  // namespace velmora
