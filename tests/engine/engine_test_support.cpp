#include "tests/engine/engine_test_support.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <sstream>

#include "compress/archive.h"
#include "compress/crc32.h"
#include "formats/setup_config.h"

namespace engine_test {

namespace {

constexpr uint64_t kDefaultTime = 0x01D0000000000000ull;  // some day in 2014

FileTime ToFileTime(uint64_t value) {
  FileTime time;
  time.dwLowDateTime = static_cast<uint32_t>(value);
  time.dwHighDateTime = static_cast<uint32_t>(value >> 32);
  return time;
}

uint64_t Join(const FILETIME& time) { return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

std::string Describe(const WIN32_FIND_DATAA& found, const std::string& path) {
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "dir";
  Bytes bytes = ReadBytes(path);
  uint32_t crc = CCRC32::kStart;
  CCRC32().Update(bytes.data(), bytes.size(), &crc);
  std::ostringstream text;
  text << bytes.size() << ":" << std::hex << ~crc << ":" << Join(found.ftCreationTime) << ":"
       << Join(found.ftLastWriteTime);
  return text.str();
}

// Contents are read only where asked: the shell folders may be large (under Wine the
// Desktop can be the whole home folder), and there only names matter.
void WalkFolder(const std::string& folder, bool recursive, std::map<std::string, std::string>* out,
                bool withContent = true) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = folder + "\\" + name;
    (*out)[path] = withContent ? Describe(found, path) : "present";
    if (recursive && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) WalkFolder(path, true, out, withContent);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void WalkKey(HKEY root, const std::string& name, std::map<std::string, std::string>* out) {
  HKEY key;
  if (RegOpenKeyExA(root, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  (*out)[name] = "key";
  for (DWORD i = 0;; ++i) {
    char valueName[512];
    DWORD nameSize = sizeof valueName;
    BYTE data[4096];
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    if (RegEnumValueA(key, i, valueName, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    (*out)[name + "\\" + valueName] = std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataSize);
  }
  for (DWORD i = 0;; ++i) {
    char subKey[512];
    DWORD size = sizeof subKey;
    if (RegEnumKeyExA(key, i, subKey, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    WalkKey(root, name + "\\" + subKey, out);
  }
  RegCloseKey(key);
}

const int kShortcutFolders[] = {CSIDL_PROGRAMS,         CSIDL_COMMON_PROGRAMS,         CSIDL_DESKTOPDIRECTORY,
                                CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_STARTUP, CSIDL_COMMON_STARTUP};

}  // namespace

Bytes ReadBytes(const std::string& path) {
  Bytes bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  unsigned char block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
  std::fclose(file);
  return bytes;
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

Bytes PatternBytes(std::size_t size, uint32_t seed) {
  Bytes bytes(size);
  uint32_t state = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<unsigned char>(state >> 16);
  }
  return bytes;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string TempFolder() {
  char buffer[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, buffer);
  return std::string(buffer, length);
}

Sandbox::Sandbox() {
  path_ = TempFolder() + "brisklay-engine-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(GetTickCount());
  CreateDirectoryA(path_.c_str(), nullptr);
}

Sandbox::~Sandbox() { RemoveTree(path_); }

FileEntry ToFileEntry(const PayloadItem& item, uint32_t index) {
  FileEntry entry{};
  entry.Index = index;
  SetBufferText(entry.Name, item.name);
  SetBufferText(entry.Extension, item.extension);
  SetBufferText(entry.TargetPath, item.targetPath);
  entry.StartMenuShortcut = item.startMenu;
  entry.DesktopShortcut = item.desktop;
  entry.StartupShortcut = item.startup;
  SetBufferText(entry.ShortcutName, item.shortcutName);
  SetBufferText(entry.ShortcutDescription, item.shortcutDescription);
  entry.RunAtFinish = item.runAtFinish;
  entry.RegisterServer = item.registerServer;
  entry.SizeLow = static_cast<uint32_t>(item.content.size());
  entry.CreationTime = ToFileTime(item.creationTime ? item.creationTime : kDefaultTime);
  entry.LastAccessTime = ToFileTime(kDefaultTime + 7);
  entry.LastWriteTime = ToFileTime(item.lastWriteTime ? item.lastWriteTime : kDefaultTime + 3);
  return entry;
}

Payload MakePayload(const std::string& folder, const std::vector<PayloadItem>& files,
                    const std::vector<RegistryItem>& registry) {
  Payload payload;
  std::string dataPath = folder + "\\payload.data";
  payload.basePath = folder + "\\payload";
  payload.archivePath = payload.basePath + ".exe.archive.bin";
  for (const PayloadItem& item : files) payload.totalSize += item.content.size();

  FILE* data = std::fopen(dataPath.c_str(), "wb");
  DataFileHead head{};
  head.FileCount = static_cast<uint32_t>(files.size());
  head.RegistryCount = static_cast<uint32_t>(registry.size());
  head.Summary.TotalSizeLow = static_cast<uint32_t>(payload.totalSize);
  WriteDataFileHead(head, data);
  SetupConfig config{};
  SetBufferText(config.ProductName, kProductName);
  WriteSetupConfig(config, data);
  uint32_t index = 0;
  for (const PayloadItem& item : files) {
    WriteFileEntry(ToFileEntry(item, index++), data);
    if (!item.content.empty()) std::fwrite(item.content.data(), 1, item.content.size(), data);
  }
  for (const RegistryItem& item : registry) {
    RegistryEntry entry{};
    SetBufferText(entry.RootKey, item.rootKey);
    SetBufferText(entry.SubKey, item.subKey);
    SetBufferText(entry.ValueName, item.valueName);
    SetBufferText(entry.ValueType, item.valueType);
    SetBufferText(entry.ValueData, item.valueData);
    WriteRegistryEntry(entry, data);
  }
  std::fclose(data);
  Archive archive;
  archive.CompressFile(dataPath.c_str(), payload.archivePath.c_str(), &payload.dataFileCrc, &payload.setupDataCrc, 9);
  DeleteFileA(dataPath.c_str());
  return payload;
}

InstallPlan PlanFor(const Payload& payload, const std::string& destination, bool allUsers) {
  InstallPlan plan;
  plan.productName = kProductName;
  plan.clrOut = 0x00FF0000;
  plan.clrIn = 0x000000FF;
  plan.totalSizeHigh = static_cast<uint32_t>(payload.totalSize >> 32);
  plan.totalSizeLow = static_cast<uint32_t>(payload.totalSize);
  plan.externalData = true;
  plan.basePath = payload.basePath;
  plan.destination = destination;
  plan.dataFileCrc = payload.dataFileCrc;
  plan.setupDataCrc = payload.setupDataCrc;
  plan.allUsers = allUsers;
  plan.startMenuShortcuts = true;
  plan.desktopShortcuts = true;
  return plan;
}

void RecordingHost::ReportError(const std::string& text, const std::string& caption) {
  ShowMessageBox(nullptr, text, caption, MB_ICONERROR);
}

void RecordingHost::Warn(const std::string& text) { ShowMessageBox(nullptr, text, "Warning", MB_ICONEXCLAMATION); }

bool RecordingHost::Confirm(const std::string& question) {
  return ShowMessageBox(nullptr, question, "Warning", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void RecordingHost::SetStatusText(const std::string& text) {
  statuses.push_back(text);
  if (onStatus) onStatus(text);
}

void RecordingHost::SetProgressPosition(int) {
  if (onProgress) onProgress();
}

ScriptedMessages::ScriptedMessages(std::function<int(const MessageBoxRequest&)> answer)
    : answer_(std::move(answer)) {
  previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
    shown_.push_back(request);
    if (answer_) return answer_(request);
    return (request.flags & MB_YESNO) ? IDYES : IDOK;
  });
}

ScriptedMessages::~ScriptedMessages() { SetMessageBoxHandler(previous_); }

std::vector<std::string> ScriptedMessages::texts() const {
  std::vector<std::string> result;
  for (const auto& request : shown_) result.push_back(request.text);
  return result;
}

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) return std::string();
  return path;
}

Snapshot TakeSnapshot(const std::string& sandbox) {
  Snapshot snapshot;
  WalkFolder(sandbox, true, &snapshot.files);
  for (int csidl : kShortcutFolders) WalkFolder(SpecialFolder(csidl), false, &snapshot.files, false);
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
    WalkFolder(SpecialFolder(csidl) + "\\" + kProductName, true, &snapshot.files);
  }
  // Only names at the top of the temporary folder: leftovers show as new names.
  std::map<std::string, std::string> temp;
  WalkFolder(TempFolder().substr(0, TempFolder().size() - 1), false, &temp, false);
  for (const auto& item : temp) {
    if (item.first != sandbox) snapshot.files[item.first] = "present";
  }
  WalkKey(HKEY_CURRENT_USER, kTestRegistryKey, &snapshot.registry);
  WalkKey(HKEY_LOCAL_MACHINE, kUninstallKey, &snapshot.registry);
  return snapshot;
}

std::string Describe(const Snapshot& before, const Snapshot& after) {
  std::string text;
  auto compare = [&text](const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b) {
    for (const auto& item : a) {
      auto other = b.find(item.first);
      if (other == b.end()) {
        text += "gone: " + item.first + "\n";
      } else if (other->second != item.second) {
        text += "changed: " + item.first + " (" + item.second + " -> " + other->second + ")\n";
      }
    }
    for (const auto& item : b) {
      if (a.find(item.first) == a.end()) text += "new: " + item.first + "\n";
    }
  };
  compare(before.files, after.files);
  compare(before.registry, after.registry);
  return text;
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

void DeleteRegistryTree(HKEY root, const char* subKey) { SHDeleteKeyA(root, subKey); }

void CleanProductTraces() {
  DeleteRegistryTree(HKEY_CURRENT_USER, kTestRegistryKey);
  DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) RemoveTree(SpecialFolder(csidl) + "\\" + kProductName);
  for (int csidl : kShortcutFolders) {
    std::string folder = SpecialFolder(csidl);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\BET *.lnk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  DeleteFileA((TempFolder() + "Uninstall.log").c_str());
}

LinkProperties ReadLink(const std::string& path) {
  LinkProperties properties;
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return properties;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(file->Load(wide, STGM_READ))) {
      char text[MAX_PATH] = {};
      link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
      properties.target = text;
      text[0] = '\0';
      link->GetWorkingDirectory(text, MAX_PATH);
      properties.workingDirectory = text;
      text[0] = '\0';
      link->GetDescription(text, MAX_PATH);
      properties.description = text;
      properties.loaded = true;
    }
    file->Release();
  }
  link->Release();
  return properties;
}

RegistryValue ReadRegistryValue(HKEY root, const std::string& subKey, const std::string& name) {
  RegistryValue value;
  HKEY key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
  BYTE data[4096];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, data, &size) == ERROR_SUCCESS) {
    value.found = true;
    value.data.assign(data, data + size);
  }
  RegCloseKey(key);
  return value;
}

std::string KeyClass(HKEY root, const std::string& subKey) {
  HKEY key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
  char keyClass[256] = {};
  DWORD size = sizeof keyClass;
  RegQueryInfoKeyA(key, keyClass, &size, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  return keyClass;
}

}  // namespace engine_test
