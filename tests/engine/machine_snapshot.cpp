#include "tests/engine/machine_snapshot.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace engine_test {

namespace {

uint64_t Join(const FILETIME& time) { return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.data() + text.size() - end.size(),
                        static_cast<int>(end.size()), end.data(), static_cast<int>(end.size())) == CSTR_EQUAL;
}

bool SameOrBelow(const std::string& path, const std::string& root) {
  if (path.size() < root.size()) return false;
  if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.data(), static_cast<int>(root.size()), root.data(),
                     static_cast<int>(root.size())) != CSTR_EQUAL) {
    return false;
  }
  return path.size() == root.size() || path[root.size()] == '\\';
}

std::vector<unsigned char> ReadWhole(const std::string& path) {
  std::vector<unsigned char> bytes;
  // Shared with writers and deleters: a snapshot must not stop a program that holds the
  // file from going on.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  unsigned char block[65536];
  DWORD got = 0;
  while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0) bytes.insert(bytes.end(), block, block + got);
  CloseHandle(file);
  return bytes;
}

class Taker {
 public:
  Taker(const SnapshotScope& scope, MachineSnapshot* snapshot) : scope_(scope), snapshot_(snapshot) {}

  void Tree(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (Excluded(path) || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      snapshot_->files[path] = FileState{FileState::Kind::kFolder, {}, 0, 0};
      Children(path, true);
    } else {
      Record(path, data.ftCreationTime, data.ftLastWriteTime);
    }
  }

  void Shallow(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (Excluded(folder) || attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    snapshot_->files[folder] = FileState{FileState::Kind::kFolder, {}, 0, 0};
    Children(folder, false);
  }

  void Key(const RegistryTree& tree, const std::string& subKey) {
    HKEY key;
    if (RegOpenKeyExA(tree.root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    DWORD subKeys = 0, longestSubKey = 0, values = 0, longestName = 0, longestData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestSubKey, nullptr, &values, &longestName,
                     &longestData, nullptr, nullptr);
    RegistryKeyState& state = snapshot_->keys[tree.rootName + "\\" + subKey];
    std::vector<char> name(longestName + 2);
    std::vector<unsigned char> data(longestData + 1);
    for (DWORD i = 0; i < values; ++i) {
      DWORD nameSize = static_cast<DWORD>(name.size());
      DWORD dataSize = static_cast<DWORD>(data.size());
      DWORD type = 0;
      if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS) {
        continue;
      }
      state.values[std::string(name.data(), nameSize)] =
          RegistryValueState{type, std::vector<unsigned char>(data.begin(), data.begin() + dataSize)};
    }
    std::vector<std::string> children;
    std::vector<char> child(longestSubKey + 2);
    for (DWORD i = 0; i < subKeys; ++i) {
      DWORD size = static_cast<DWORD>(child.size());
      if (RegEnumKeyExA(key, i, child.data(), &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        children.emplace_back(child.data(), size);
      }
    }
    RegCloseKey(key);
    for (const std::string& name : children) Key(tree, subKey + "\\" + name);
  }

 private:
  bool Excluded(const std::string& path) const {
    return std::any_of(scope_.excluded.begin(), scope_.excluded.end(),
                       [&path](const std::string& root) { return SameOrBelow(path, root); });
  }

  void Record(const std::string& path, const FILETIME& creation, const FILETIME& lastWrite) {
    const bool link = EndsWithNoCase(path, ".lnk");
    FileState state;
    state.kind = link ? FileState::Kind::kLink : FileState::Kind::kFile;
    state.bytes = ReadWhole(path);
    state.creationTime = Join(creation);
    state.lastWriteTime = Join(lastWrite);
    snapshot_->files[path] = std::move(state);
  }

  void Children(const std::string& folder, bool recursive) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> subfolders;
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (Excluded(path)) continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        snapshot_->files[path] = FileState{FileState::Kind::kFolder, {}, 0, 0};
        if (recursive) subfolders.push_back(path);
      } else {
        Record(path, found.ftCreationTime, found.ftLastWriteTime);
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& path : subfolders) Children(path, true);
  }

  const SnapshotScope& scope_;
  MachineSnapshot* snapshot_;
};

// ---- Telling differences -------------------------------------------------------------

const char* KindName(FileState::Kind kind) {
  switch (kind) {
    case FileState::Kind::kFolder:
      return "folder";
    case FileState::Kind::kLink:
      return "link";
    case FileState::Kind::kFile:
    default:
      return "file";
  }
}

std::string TimeText(uint64_t value) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(value);
  time.dwHighDateTime = static_cast<DWORD>(value >> 32);
  SYSTEMTIME system;
  if (!FileTimeToSystemTime(&time, &system)) return std::to_string(value);
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%07u", system.wYear, system.wMonth, system.wDay,
                system.wHour, system.wMinute, system.wSecond, static_cast<unsigned>(value % 10000000));
  return text;
}

std::string FileText(const FileState& state) {
  if (state.kind == FileState::Kind::kFolder) return "folder";
  return std::string(KindName(state.kind)) + " of " + std::to_string(state.bytes.size()) + " bytes";
}

std::string FileChange(const FileState& before, const FileState& after) {
  if (before.kind != after.kind) return FileText(before) + " -> " + FileText(after);
  std::string text;
  auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
  if (before.bytes.size() != after.bytes.size()) {
    add(std::to_string(before.bytes.size()) + " -> " + std::to_string(after.bytes.size()) + " bytes");
  }
  const auto mismatch = std::mismatch(before.bytes.begin(), before.bytes.end(), after.bytes.begin(), after.bytes.end());
  if (mismatch.first != before.bytes.end() || mismatch.second != after.bytes.end()) {
    add("bytes differ from offset " + std::to_string(mismatch.first - before.bytes.begin()));
  }
  if (before.kind == FileState::Kind::kFile) {
    if (before.creationTime != after.creationTime) {
      add("created " + TimeText(before.creationTime) + " -> " + TimeText(after.creationTime));
    }
    if (before.lastWriteTime != after.lastWriteTime) {
      add("last written " + TimeText(before.lastWriteTime) + " -> " + TimeText(after.lastWriteTime));
    }
  }
  return text;
}

std::string TypeName(DWORD type) {
  switch (type) {
    case REG_NONE:
      return "REG_NONE";
    case REG_SZ:
      return "REG_SZ";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case REG_BINARY:
      return "REG_BINARY";
    case REG_DWORD:
      return "REG_DWORD";
    case REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    default:
      return "type " + std::to_string(type);
  }
}

std::string ValueText(const RegistryValueState& value) {
  const std::vector<unsigned char>& data = value.data;
  std::string text = TypeName(value.type) + " ";
  if (value.type == REG_DWORD && data.size() == 4) {
    return text + std::to_string(uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                                 uint32_t(data[3]) << 24);
  }
  if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
    std::string quoted = "\"";
    for (unsigned char c : data) quoted += c == 0 ? std::string("\\0") : std::string(1, static_cast<char>(c));
    return text + quoted + "\"";
  }
  char hex[4];
  text += std::to_string(data.size()) + " bytes";
  for (std::size_t i = 0; i < data.size() && i < 16; ++i) {
    std::snprintf(hex, sizeof hex, " %02x", data[i]);
    text += hex;
  }
  return data.size() > 16 ? text + " ..." : text;
}

std::string ValuePath(const std::string& key, const std::string& name) {
  return key + " [" + (name.empty() ? "(default)" : "\"" + name + "\"") + "]";
}

void KeyChanges(const std::string& path, const RegistryKeyState& before, const RegistryKeyState& after,
                std::vector<std::string>* lines) {
  for (const auto& value : before.values) {
    auto other = after.values.find(value.first);
    if (other == after.values.end()) {
      lines->push_back("gone value: " + ValuePath(path, value.first) + " (" + ValueText(value.second) + ")");
    } else if (!(other->second == value.second)) {
      lines->push_back("changed value: " + ValuePath(path, value.first) + ": " + ValueText(value.second) + " -> " +
                       ValueText(other->second));
    }
  }
  for (const auto& value : after.values) {
    if (before.values.count(value.first) == 0) {
      lines->push_back("new value: " + ValuePath(path, value.first) + " (" + ValueText(value.second) + ")");
    }
  }
}

}  // namespace

bool FileState::operator==(const FileState& other) const {
  if (kind != other.kind) return false;
  switch (kind) {
    case Kind::kFolder:
      return true;
    case Kind::kLink:
      return bytes == other.bytes;
    case Kind::kFile:
    default:
      return bytes == other.bytes && creationTime == other.creationTime && lastWriteTime == other.lastWriteTime;
  }
}

MachineSnapshot MachineSnapshot::Take(const SnapshotScope& scope) {
  MachineSnapshot snapshot;
  Taker taker(scope, &snapshot);
  for (const std::string& path : scope.trees) taker.Tree(path);
  for (const std::string& folder : scope.shallowFolders) taker.Shallow(folder);
  for (const RegistryTree& tree : scope.keys) taker.Key(tree, tree.subKey);
  return snapshot;
}

std::string Differences(const MachineSnapshot& before, const MachineSnapshot& after, std::size_t limit) {
  std::vector<std::string> lines;
  for (const auto& file : before.files) {
    auto other = after.files.find(file.first);
    if (other == after.files.end()) {
      lines.push_back("gone " + FileText(file.second) + ": " + file.first);
    } else if (!(other->second == file.second)) {
      lines.push_back("changed " + std::string(KindName(file.second.kind)) + ": " + file.first + ": " +
                      FileChange(file.second, other->second));
    }
  }
  for (const auto& file : after.files) {
    if (before.files.count(file.first) == 0) lines.push_back("new " + FileText(file.second) + ": " + file.first);
  }
  for (const auto& key : before.keys) {
    auto other = after.keys.find(key.first);
    if (other == after.keys.end()) {
      lines.push_back("gone key: " + key.first + " (" + std::to_string(key.second.values.size()) + " values)");
    } else {
      KeyChanges(key.first, key.second, other->second, &lines);
    }
  }
  for (const auto& key : after.keys) {
    if (before.keys.count(key.first) == 0) {
      lines.push_back("new key: " + key.first + " (" + std::to_string(key.second.values.size()) + " values)");
    }
  }
  std::string text;
  for (std::size_t i = 0; i < lines.size() && i < limit; ++i) text += lines[i] + "\n";
  if (lines.size() > limit) text += "... and " + std::to_string(lines.size() - limit) + " more\n";
  return text;
}

}  // namespace engine_test
