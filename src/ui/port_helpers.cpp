#include "ui/port_helpers.h"

#include "common/text.h"

namespace lumora {

bool SelectFirstItemStartingWith(WindowPort& ui, Ctl combo,
                                 std::initializer_list<std::string_view> prefixes) {
  const std::vector<std::string> items = ui.Items(combo);
  for (std::string_view prefix : prefixes)
    for (std::size_t i = 0; i < items.size(); ++i)
      if (FindNoCase(items[i], prefix) == 0) {
        ui.SelectIndex(combo, int(i));
        return true;
      }
  return false;
}

}  // namespace lumora
