#include "builder/windows_names.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "builder/ansi_text.h"

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
  // Windows also takes the superscript digits one to three (Windows-1252 0xB9, 0xB2, 0xB3)
  // as port numbers.
  const bool portDigit = stem.size() == 4 && ((stem[3] >= '1' && stem[3] <= '9') || stem[3] == '\xB9' ||
                                              stem[3] == '\xB2' || stem[3] == '\xB3');
  return portDigit && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0);
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

namespace {

const char* const kPathMacros[] = {"%DIR%", "%WINDOWS%", "%SYSTEM%"};

bool StartsWith(const std::string& text, const std::string& prefix, bool ignoreCase) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const int a = static_cast<unsigned char>(text[i]);
    const int b = static_cast<unsigned char>(prefix[i]);
    if (ignoreCase ? std::toupper(a) != std::toupper(b) : a != b) return false;
  }
  return true;
}

// The length of the path macro that begins `path` and is followed by a backslash or the
// end; 0 when there is none. The setup expands the macros in capitals only.
std::size_t LeadingMacroLength(const std::string& path, bool ignoreCase) {
  for (const char* macro : kPathMacros) {
    const std::size_t length = std::strlen(macro);
    if (StartsWith(path, macro, ignoreCase) && (path.size() == length || path[length] == '\\')) return length;
  }
  return 0;
}

std::vector<std::string> SplitParts(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t begin = 0;
  while (true) {
    const std::size_t slash = path.find('\\', begin);
    parts.push_back(path.substr(begin, slash == std::string::npos ? std::string::npos : slash - begin));
    if (slash == std::string::npos) return parts;
    begin = slash + 1;
  }
}

bool CheckMacro(const std::string& path, bool isFolder, std::size_t* macroLength, std::string* reason) {
  *macroLength = LeadingMacroLength(path, false);
  if (*macroLength == 0) {
    *reason = LeadingMacroLength(path, true) != 0
                  ? "writes its path macro in small letters, which the setup does not expand; use "
                    "%DIR%, %WINDOWS% or %SYSTEM%"
                  : "must begin with %DIR%\\, %WINDOWS%\\ or %SYSTEM%\\, so that the setup knows "
                    "where it goes";
    return false;
  }
  if (path.size() == *macroLength && !isFolder) {
    *reason = "names a folder only; a file needs a name after it, for example " + path.substr(0, *macroLength) +
              "\\name.txt";
    return false;
  }
  return true;
}

bool CheckPart(const std::string& part, std::string* reason) {
  if (part.empty()) {
    *reason = "has an empty folder name (a doubled or trailing backslash)";
    return false;
  }
  if (part == "." || part == "..") {
    *reason = "has the part \"" + part + "\", which Windows resolves away; write the path without it";
    return false;
  }
  for (const char* macro : kPathMacros) {
    if (part.find(macro) != std::string::npos) {
      *reason = std::string("holds ") + macro + " after its beginning, where the setup would expand it too";
      return false;
    }
  }
  std::string why;
  if (!IsValidWindowsFileName(part, &why)) {
    *reason = "has the part \"" + AnsiToUtf8(part) + "\", which " + why;
    return false;
  }
  return true;
}

}  // namespace

bool IsValidTargetPath(const std::string& path, bool isFolder, std::string* reason) {
  if (path.empty()) {
    *reason = "is empty";
    return false;
  }
  if (path.find('/') != std::string::npos) {
    *reason = "uses '/'; write folders with backslashes (\"%DIR%\\\\bin\")";
    return false;
  }
  std::size_t macroLength = 0;
  if (!CheckMacro(path, isFolder, &macroLength, reason)) return false;
  if (path.size() == macroLength) return true;
  for (const std::string& part : SplitParts(path.substr(macroLength + 1))) {
    if (!CheckPart(part, reason)) return false;
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
    unsigned char upper = byte;
    if (byte >= 'a' && byte <= 'z') {
      upper = byte - 32;
    } else if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) {
      upper = byte - 32;  // Latin-1 small letters sit 32 above their capitals; 0xF7 is the division sign
    } else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) {
      upper = byte - 16;  // s, oe and z with caron or ligature: their capitals are 16 below
    } else if (byte == 0xFF) {
      upper = 0x9F;  // y with diaeresis; its capital is in the 0x80 block
    }
    c = static_cast<char>(upper);
  }
  return folded;
}

std::string ComparableTargetPath(const std::string& ansiPath) {
  std::vector<std::string> kept;
  for (std::string part : SplitParts(ansiPath)) {
    if (part == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (part.empty()) continue;  // "." and the empty parts of doubled backslashes
    kept.push_back(FoldCaseForWindows(part));
  }
  std::string joined;
  for (const std::string& part : kept) joined += (joined.empty() ? "" : "\\") + part;
  return joined;
}
