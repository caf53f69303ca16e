#include "shell/restart_operations.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "shell/private_folder.h"

namespace {

const wchar_t kSessionManagerKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kOperationsValue[] = L"PendingFileRenameOperations";

struct Operation {
  std::wstring source;
  std::wstring destination;  // empty for a deletion; "!" first where it may replace
};

// The list holds other programs' names too, in any script: it is read and written in
// UTF-16, so that what is not ours goes back exactly as it came.
std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

wchar_t LowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

bool SameText(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool Contains(const std::wstring& text, const std::wstring& part) {
  std::wstring lowered = text;
  for (wchar_t& c : lowered) c = LowerAscii(c);
  return lowered.find(part) != std::wstring::npos;
}

// Sources never are empty, so an empty string where a source would start ends the list;
// a destination may be, and is read as one.
std::vector<Operation> ParseOperations(const std::vector<wchar_t>& data) {
  std::vector<Operation> operations;
  std::size_t position = 0;
  auto next = [&data, &position]() {
    std::wstring text;
    while (position < data.size() && data[position] != L'\0') text += data[position++];
    ++position;
    return text;
  };
  while (position < data.size()) {
    Operation operation;
    operation.source = next();
    if (operation.source.empty()) break;
    operation.destination = position < data.size() ? next() : std::wstring();
    operations.push_back(operation);
  }
  return operations;
}

std::vector<wchar_t> Serialize(const std::vector<Operation>& operations) {
  std::vector<wchar_t> data;
  for (const Operation& operation : operations) {
    data.insert(data.end(), operation.source.begin(), operation.source.end());
    data.push_back(L'\0');
    data.insert(data.end(), operation.destination.begin(), operation.destination.end());
    data.push_back(L'\0');
  }
  data.push_back(L'\0');
  return data;
}

// False when the key cannot be opened or the value cannot be read; no value is an empty list.
bool ReadOperations(HKEY key, std::vector<Operation>* operations) {
  DWORD type = 0;
  DWORD size = 0;
  const LONG probed = RegQueryValueExW(key, kOperationsValue, nullptr, &type, nullptr, &size);
  if (probed == ERROR_FILE_NOT_FOUND) return true;
  if (probed != ERROR_SUCCESS) return false;
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, kOperationsValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  data.resize(size / sizeof(wchar_t));
  *operations = ParseOperations(data);
  return true;
}

bool WriteOperations(HKEY key, const std::vector<Operation>& operations) {
  if (operations.empty()) {
    const LONG deleted = RegDeleteValueW(key, kOperationsValue);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
  }
  const std::vector<wchar_t> data = Serialize(operations);
  return RegSetValueExW(key, kOperationsValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

HKEY OpenSessionManager(REGSAM access) {
  HKEY key = nullptr;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, access, &key) == ERROR_SUCCESS ? key : nullptr;
}

// How the list writes a path: the system's prefix for a name that is not to be parsed.
std::wstring ListedPath(const std::string& path) { return L"\\??\\" + Wide(path); }

std::string RandomDigits(std::size_t count) { return UnguessableName().substr(0, count); }

// Writes the list back without the pairs `forget` picks; true when none of them remains.
template <typename Picker>
bool ForgetOperations(Picker forget) {
  HKEY key = OpenSessionManager(KEY_QUERY_VALUE | KEY_SET_VALUE);
  if (key == nullptr) return false;
  std::vector<Operation> operations;
  bool forgotten = ReadOperations(key, &operations);
  if (forgotten) {
    std::vector<Operation> kept;
    for (const Operation& operation : operations)
      if (!forget(operation)) kept.push_back(operation);
    if (kept.size() != operations.size()) forgotten = WriteOperations(key, kept);
  }
  RegCloseKey(key);
  return forgotten;
}

bool NamesTag(const Operation& operation, const std::string& tag) {
  const std::wstring marker = L"." + Wide(tag) + L"-";
  return Contains(operation.source, marker) || Contains(operation.destination, marker);
}

}  // namespace

bool IsFileInUseError(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

std::string RestartTag(const std::string& productName) {
  // FNV-1a: short, stable across versions of the program, and no table to carry.
  uint32_t hash = 2166136261u;
  for (char c : productName) {
    const unsigned char lowered = static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
    hash = (hash ^ lowered) * 16777619u;
  }
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08lx", static_cast<unsigned long>(hash));
  return std::string("brisklay-") + digits;
}

std::string TaggedNameBeside(const std::string& path, const std::string& tag) {
  const std::string digits = RandomDigits(8);
  if (digits.size() != 8) return std::string();
  return path + "." + tag + "-" + digits;
}

bool ScheduleReplacementAtRestart(const std::string& replacement, const std::string& target) {
  return MoveFileExA(replacement.c_str(), target.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) !=
         FALSE;
}

bool ScheduleDeletionAtRestart(const std::string& path, const std::string& tag, std::string* waitingAt) {
  *waitingAt = path;
  const std::string aside = TaggedNameBeside(path, tag);
  if (aside.empty()) return false;
  // Moved aside now, its name is free for a new installation at once.
  if (MoveFileExA(path.c_str(), aside.c_str(), 0) != FALSE) {
    *waitingAt = aside;
    if (MoveFileExA(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE) return true;
    // Not even the deletion can be asked for: the file goes back under its own name.
    if (MoveFileExA(aside.c_str(), path.c_str(), 0) != FALSE) *waitingAt = path;
    return false;
  }
  if (MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT) == FALSE) return false;
  if (MoveFileExA(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE) return true;
  // A move with no deletion after it would only leave the file under another name.
  ForgetScheduledOperation(path);
  return false;
}

bool ScheduleFolderDeletionAtRestart(const std::string& folder) {
  return MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool ForgetScheduledOperation(const std::string& source) {
  const std::wstring listed = ListedPath(source);
  return ForgetOperations([&listed](const Operation& operation) { return SameText(operation.source, listed); });
}

bool ForgetScheduledOperationsTagged(const std::string& tag) {
  return ForgetOperations([&tag](const Operation& operation) { return NamesTag(operation, tag); });
}

bool RestartPendingFor(const std::string& tag) {
  HKEY key = OpenSessionManager(KEY_QUERY_VALUE);
  if (key == nullptr) return false;
  std::vector<Operation> operations;
  const bool read = ReadOperations(key, &operations);
  RegCloseKey(key);
  if (!read) return false;
  for (const Operation& operation : operations)
    if (NamesTag(operation, tag)) return true;
  return false;
}

std::string RestartPendingMessage(const std::string& productName) {
  return "Files of \"" + productName +
         "\" are still waiting to be replaced or removed when Windows restarts.\n"
         "Please restart Windows, then start this program again.";
}
