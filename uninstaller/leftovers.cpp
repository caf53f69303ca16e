#include "uninstaller/leftovers.h"

#include "shell/paths.h"

void Leftovers::Add(const std::string& item, const std::string& reason) {
  for (const Leftover& listed : items_) {
    if (listed.item == item) return;
  }
  items_.push_back({item, reason});
}

bool Leftovers::HasItemInside(const std::string& folder) const {
  for (const Leftover& listed : items_) {
    if (IsInside(listed.item, folder)) return true;
  }
  return false;
}

namespace {

std::string ItemLines(const Leftovers& leftovers, std::size_t maxLines) {
  std::string text;
  const std::vector<Leftover>& items = leftovers.items();
  const std::size_t shown = items.size() < maxLines ? items.size() : maxLines;
  for (std::size_t i = 0; i < shown; ++i) text += items[i].item + " (" + items[i].reason + ")\n";
  if (shown < items.size()) text += "... and " + std::to_string(items.size() - shown) + " more.\n";
  return text;
}

}  // namespace

std::string SummaryText(const std::string& productName, const Leftovers& leftovers, std::size_t maxLines) {
  if (leftovers.empty()) return "\"" + productName + "\" has been removed from your computer.";
  return "\"" + productName + "\" has been removed from your computer, except for these items:\n\n" +
         ItemLines(leftovers, maxLines) + "\nYou may remove them yourself.";
}

std::string StoppedSummaryText(const std::string& productName, const Leftovers& leftovers, std::size_t maxLines) {
  return "The removal of \"" + productName + "\" was stopped. These items are left:\n\n" +
         ItemLines(leftovers, maxLines) + "\nRun the uninstaller again to remove them.";
}
