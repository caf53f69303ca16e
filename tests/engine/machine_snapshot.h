#pragma once
// The parts of a machine an installation may touch, taken before and after a run and
// compared: files with their bytes, sizes and creation and last-write times, folders by
// presence alone (every child created or removed changes a folder's times, which no undo
// can avoid), links by their bytes alone (the shell writes them afresh when it saves them),
// and registry keys with their values (type and data) and subkeys. Not a key's class: Wine
// gives an existing key the class of every RegCreateKeyEx that opens it, where Windows keeps
// the one it was created with. A difference is told in words, so that a failing comparison
// says what changed.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace engine_test {

struct RegistryTree {
  HKEY root;
  std::string rootName;  // "HKEY_CURRENT_USER", as the differences name it
  std::string subKey;
};

// What a snapshot covers. A root that does not exist is recorded as absent, so that a
// run which creates it shows.
struct SnapshotScope {
  // Folders taken whole, with everything below them; or single files.
  std::vector<std::string> trees;
  // Folders taken one level deep: the folder and what lies directly in it, files with their
  // bytes, subfolders by presence. For shared folders, such as the Desktop, that hold far
  // more than the run's own things.
  std::vector<std::string> shallowFolders;
  // Paths left out, with everything below them (a test's own payload, say).
  std::vector<std::string> excluded;
  std::vector<RegistryTree> keys;
};

struct FileState {
  enum class Kind { kFolder, kFile, kLink } kind = Kind::kFile;
  std::vector<unsigned char> bytes;
  uint64_t creationTime = 0;
  uint64_t lastWriteTime = 0;
  bool operator==(const FileState& other) const;
};

struct RegistryValueState {
  DWORD type = 0;
  std::vector<unsigned char> data;
  bool operator==(const RegistryValueState& other) const { return type == other.type && data == other.data; }
};

struct RegistryKeyState {
  std::map<std::string, RegistryValueState> values;  // by name; "" is the default value
  bool operator==(const RegistryKeyState& other) const { return values == other.values; }
};

struct MachineSnapshot {
  // By full path; a key's subkeys are the keys whose paths continue it.
  std::map<std::string, FileState> files;
  std::map<std::string, RegistryKeyState> keys;  // "HKEY_CURRENT_USER\Software\..."

  static MachineSnapshot Take(const SnapshotScope& scope);
  bool operator==(const MachineSnapshot& other) const { return files == other.files && keys == other.keys; }
  bool operator!=(const MachineSnapshot& other) const { return !(*this == other); }
};

// One line per difference from `before` to `after`, the first `limit` of them, then how
// many more there are; empty when the two are equal.
std::string Differences(const MachineSnapshot& before, const MachineSnapshot& after, std::size_t limit = 8);

}  // namespace engine_test
