#include "builder/windows_names.h"

#include <cctype>
#include <cstring>

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

bool IsReservedDeviceName(const std::string& name) {
  // The device names are reserved with any extension ("nul.txt" is still NUL).
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* const kFixed[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char* device : kFixed) {
    if (stem == device) return true;
  }
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

bool IsValidWindowsFileName(const std::string& name, std::string* reason) {
  if (name.empty()) {
    *reason = "is empty";
    return false;
  }
  for (const char c : name) {
    if (IsControl(c)) {
      *reason = "holds a control character";
      return false;
    }
    if (std::strchr("\\/:*?\"<>|", c) != nullptr) {
      *reason = std::string("holds the character '") + c + "', which Windows file names cannot hold";
      return false;
    }
  }
  if (name.back() == '.' || name.back() == ' ') {
    *reason = "ends with a dot or a space, which Windows drops from file names";
    return false;
  }
  if (IsReservedDeviceName(name)) {
    *reason = "is a Windows device name";
    return false;
  }
  return true;
}

bool IsValidTargetPath(const std::string& path, std::string* reason) {
  if (path.empty()) {
    *reason = "is empty";
    return false;
  }
  if (path.find('/') != std::string::npos) {
    *reason = "uses '/'; write folders with backslashes (\"%DIR%\\\\bin\")";
    return false;
  }
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    const bool driveColon = c == ':' && i == 1 && std::isalpha(static_cast<unsigned char>(path[0]));
    if (IsControl(c) || std::strchr("*?\"<>|", c) != nullptr || (c == ':' && !driveColon)) {
      *reason = "holds a character that Windows paths cannot hold";
      return false;
    }
  }
  if (path.back() == '\\' || path.find("\\\\") != std::string::npos) {
    *reason = "has an empty folder name (a doubled or trailing backslash)";
    return false;
  }
  return true;
}

std::string LastPathComponent(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void SplitFileName(const std::string& fileName, std::string* name, std::string* extension) {
  const std::size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos) {
    *name = fileName;
    extension->clear();
    return;
  }
  *name = fileName.substr(0, dot);
  *extension = fileName.substr(dot + 1);
}

std::string FoldCaseForWindows(const std::string& ansi) {
  std::string folded = ansi;
  for (char& c : folded) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z') {
      c = static_cast<char>(byte + 32);
    } else if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) {
      c = static_cast<char>(byte + 32);  // Latin-1 capitals sit 32 below their small letters
    }
  }
  return folded;
}
