#pragma once
// The finish page's lists of programs to start and files to open. Each line reads
// "NAME.EXT - FULL PATH\r\n"; what is started is the full path, in the folder that holds it.

#include <string>
#include <vector>

struct LaunchItem {
  std::string file;       // the full path
  std::string directory;  // the path up to, not including, its last backslash
};

// The entries in list order. A file name cannot hold a colon, so the first colon of a
// line is its path's drive; a line without one (a network path, or damage) is passed over.
std::vector<LaunchItem> ParseLaunchList(const std::string& list);
