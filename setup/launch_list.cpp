#include "setup/launch_list.h"

namespace {

LaunchItem ItemFromPath(const std::string& path) {
  LaunchItem item;
  item.file = path;
  const std::string::size_type slash = path.rfind('\\');
  if (slash != std::string::npos) item.directory = path.substr(0, slash);
  return item;
}

}  // namespace

std::vector<LaunchItem> ParseLaunchList(const std::string& list) {
  std::vector<LaunchItem> items;
  std::string::size_type start = 0;
  while (start < list.size()) {
    std::string::size_type end = list.find("\r\n", start);
    if (end == std::string::npos) end = list.size();
    const std::string line = list.substr(start, end - start);
    start = end + 2;
    const std::string::size_type colon = line.find(':');
    if (colon == std::string::npos || colon == 0) continue;
    items.push_back(ItemFromPath(line.substr(colon - 1)));
  }
  return items;
}
