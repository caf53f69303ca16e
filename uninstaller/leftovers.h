#pragma once
// What the uninstaller could not take away, and the closing message that lists it.

#include <string>
#include <vector>

struct Leftover {
  std::string item;    // a path, or a registry key and value
  std::string reason;  // why it stays, e.g. "changed since installation"
};

class Leftovers {
 public:
  void Add(const std::string& item, const std::string& reason);
  // True when something already listed lies inside `folder`: a folder that stays only
  // because of it need not be listed too.
  bool HasItemInside(const std::string& folder) const;
  bool empty() const { return items_.empty(); }
  const std::vector<Leftover>& items() const { return items_; }

 private:
  std::vector<Leftover> items_;
};

// The closing message. A long list is cut after `maxLines` items, with a count of the rest.
std::string SummaryText(const std::string& productName, const Leftovers& leftovers, std::size_t maxLines = 25);

// The closing message of a removal the user stopped; the uninstaller stays to finish it.
std::string StoppedSummaryText(const std::string& productName, const Leftovers& leftovers, std::size_t maxLines = 25);

// Ends the closing message when files in use are deleted at the next restart.
constexpr char kRestartNote[] = "\n\nFiles that were in use are deleted when Windows restarts.";
