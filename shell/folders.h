#pragma once
// What the installation and the uninstaller ask of a folder on the disk.

#include <string>

// True when `path` is a folder with nothing in it.
bool IsEmptyFolder(const std::string& path);
