#include "shell/paths.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Folded(const std::string& path) {
  std::string folded = WithoutTrailingBackslash(path);
  for (char& c : folded) {
    if (c == '/') c = '\\';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return folded;
}

}  // namespace

std::string WithoutTrailingBackslash(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '\\') trimmed.pop_back();
  // A drive root keeps its backslash: "C:" alone names the drive's current folder.
  if (trimmed.size() == 2 && trimmed[1] == ':' && path.size() > 2) trimmed += '\\';
  return trimmed;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

bool SamePath(const std::string& a, const std::string& b) { return Folded(a) == Folded(b); }

bool IsInside(const std::string& path, const std::string& folder) {
  std::string base = Folded(folder);
  if (base.empty()) return false;
  if (base.back() != '\\') base += '\\';
  const std::string inner = Folded(path);
  return inner.size() > base.size() && inner.compare(0, base.size(), base) == 0;
}

std::string ParentFolder(const std::string& path) {
  const std::string trimmed = WithoutTrailingBackslash(path);
  const std::size_t last = trimmed.find_last_of('\\');
  if (last == std::string::npos || last + 1 == trimmed.size()) return std::string();
  // "C:\name" has the root "C:\" as its parent.
  if (last == 2 && trimmed[1] == ':') return trimmed.substr(0, 3);
  return trimmed.substr(0, last);
}

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:") == std::string::npos;
}

std::size_t Depth(const std::string& path) { return std::count(path.begin(), path.end(), '\\'); }

std::string ShortcutNameOf(const FileEntry& record) {
  const std::string name = BufferText(record.ShortcutName);
  return name.empty() ? BufferText(record.Name) : name;
}
