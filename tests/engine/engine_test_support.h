#pragma once
// What the engine tests share: a sandbox folder under the temporary folder, payloads made
// with the format writers and the compressor, a host that records what the engine shows
// and can cancel at a chosen moment, message boxes answered by script, a snapshot of
// everything an installation may touch, and a reader for .lnk files.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/message_box.h"
#include "engine/install_engine.h"
#include "formats/data_file.h"

namespace engine_test {

constexpr char kProductName[] = "Brisklay Engine Test";
constexpr char kTestRegistryKey[] = "Software\\Brisklay Engine Test";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brisklay Engine Test";

using Bytes = std::vector<unsigned char>;

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes PatternBytes(std::size_t size, uint32_t seed);
bool PathExists(const std::string& path);
std::string TempFolder();  // with its trailing backslash

// A folder of its own under the temporary folder, removed with the object.
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// One entry of a payload: a folder when `isFolder`, else a file with `content`.
struct PayloadItem {
  std::string name;
  std::string extension;  // "\\" for a folder
  std::string targetPath;  // with macros
  Bytes content;
  bool startMenu = false;
  bool desktop = false;
  bool startup = false;
  std::string shortcutName;
  std::string shortcutDescription;
  bool runAtFinish = false;
  bool registerServer = false;
  uint64_t creationTime = 0;  // FILETIME values; 0 picks a fixed time
  uint64_t lastWriteTime = 0;
};

inline PayloadItem Item(std::string name, std::string extension, std::string targetPath, Bytes content = {}) {
  PayloadItem item;
  item.name = std::move(name);
  item.extension = std::move(extension);
  item.targetPath = std::move(targetPath);
  item.content = std::move(content);
  return item;
}

struct RegistryItem {
  std::string rootKey, subKey, valueName, valueType, valueData;
};

struct Payload {
  std::string basePath;  // external-data base path: the archive is basePath + ".exe.archive.bin"
  std::string archivePath;
  uint32_t dataFileCrc = 0;
  uint32_t setupDataCrc = 0;
  uint64_t totalSize = 0;
};

// Writes the data file and compresses it into `folder`.
Payload MakePayload(const std::string& folder, const std::vector<PayloadItem>& files,
                    const std::vector<RegistryItem>& registry);
FileEntry ToFileEntry(const PayloadItem& item, uint32_t index);

// The plan the wizard would hand over for the external `payload` into `destination`, with
// both kinds of shortcut asked for.
InstallPlan PlanFor(const Payload& payload, const std::string& destination, bool allUsers = false);

// Records status texts and progress; calls `onStatus` / `onProgress` so a test can act at
// a precise moment of the run. Errors, warnings and questions reach the message-box seam
// with the texts, captions and icons the installation dialog gives them.
class RecordingHost : public InstallHost {
 public:
  void ReportError(const std::string& text, const std::string& caption) override;
  void Warn(const std::string& text) override;
  bool Confirm(const std::string& question) override;
  void SetStatusText(const std::string& text) override;
  void SetProgressRange(int range) override { ranges.push_back(range); }
  void SetProgressPosition(int position) override;
  void EnableCancelButton(bool enable) override { cancelStates.push_back(enable); }
  void Note(const std::string& event) override { notes.push_back(event); }
  void StepDone(int stepsDone) override { boundaries.push_back(stepsDone); }

  std::vector<std::string> statuses;
  std::vector<int> ranges;
  std::vector<bool> cancelStates;
  std::vector<std::string> notes;
  std::vector<int> boundaries;
  std::function<void(const std::string&)> onStatus;
  std::function<void()> onProgress;
};

// Answers every message box with `answer(request)` and keeps what was shown.
class ScriptedMessages {
 public:
  explicit ScriptedMessages(std::function<int(const MessageBoxRequest&)> answer = nullptr);
  ~ScriptedMessages();
  const std::vector<MessageBoxRequest>& shown() const { return shown_; }
  std::vector<std::string> texts() const;

 private:
  std::function<int(const MessageBoxRequest&)> answer_;
  MessageBoxHandler previous_;
  std::vector<MessageBoxRequest> shown_;
};

// Everything an installation can change, in comparable form.
struct Snapshot {
  std::map<std::string, std::string> files;  // path -> "dir" or size:crc:creation:lastwrite
  std::map<std::string, std::string> registry;  // key\value -> type:data
  bool operator==(const Snapshot& other) const { return files == other.files && registry == other.registry; }
};
// The sandbox tree, the six shortcut folders' product-related links and folders, the
// temporary folder's top level, the test key under HKCU and the product's uninstall key.
Snapshot TakeSnapshot(const std::string& sandbox);
std::string Describe(const Snapshot& before, const Snapshot& after);

std::string SpecialFolder(int csidl);
void RemoveTree(const std::string& path);
void DeleteRegistryTree(HKEY root, const char* subKey);
// Removes what an installation of the test product may have left outside the sandbox.
void CleanProductTraces();

struct LinkProperties {
  bool loaded = false;
  std::string target, workingDirectory, description;
};
LinkProperties ReadLink(const std::string& path);

struct RegistryValue {
  bool found = false;
  DWORD type = 0;
  Bytes data;
};
RegistryValue ReadRegistryValue(HKEY root, const std::string& subKey, const std::string& name);
std::string KeyClass(HKEY root, const std::string& subKey);

}  // namespace engine_test
