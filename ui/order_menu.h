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

// Adds the submenu to options with the stored order checked; every choice is
// stored and handed to changed. Returns the stored order.
ListOrder AddOrderMenu(QMenu* options, SettingsStore& store,
                       std::function<void(const ListOrder&)> changed);

}  // namespace velmora
