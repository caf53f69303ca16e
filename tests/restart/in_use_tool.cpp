// What the files-in-use test needs done inside Wine, where a shell script cannot reach:
//   hold FILE MARKER        opens FILE as a loaded library is held (read, shared for reading
//                           only), creates MARKER, and keeps FILE open until MARKER is gone
//   schedule-delete FILE    asks for FILE's deletion at the next restart, as any program may
//   pending                 prints the restart list, one "source|destination" line per pair
//   wait-window TITLE SECS  waits until a visible window with that title is on the screen
//   end-window TITLE        ends the process that shows it
//   exit-code COMMAND-LINE  starts the command line, waits, and prints its whole exit code
//                           (a shell sees only its lowest 8 bits: 3010 would read 194)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Hold(const char* file, const char* marker) {
  HANDLE held = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (held == INVALID_HANDLE_VALUE) return 2;
  HANDLE made = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (made == INVALID_HANDLE_VALUE) return 3;
  CloseHandle(made);
  while (GetFileAttributesA(marker) != INVALID_FILE_ATTRIBUTES) Sleep(100);
  CloseHandle(held);
  return 0;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr, nullptr);
  return result;
}

int PrintPending() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS) {
    return 2;
  }
  DWORD size = 0;
  const LONG probed = RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size);
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  if (probed == ERROR_SUCCESS) {
    RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                     &size);
    data.resize(size / sizeof(wchar_t));
  } else {
    data.clear();
  }
  RegCloseKey(key);
  std::size_t position = 0;
  auto next = [&] {
    std::wstring text;
    while (position < data.size() && data[position] != L'\0') text += data[position++];
    ++position;
    return text;
  };
  while (position < data.size()) {
    const std::wstring source = next();
    if (source.empty()) break;
    const std::wstring destination = next();
    std::printf("%s|%s\n", Utf8(source).c_str(), Utf8(destination).c_str());
  }
  return 0;
}

HWND VisibleWindow(const char* title) {
  HWND window = FindWindowA(nullptr, title);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

int WaitForWindow(const char* title, int seconds) {
  for (int tenth = 0; tenth < seconds * 10; ++tenth) {
    if (VisibleWindow(title) != nullptr) return 0;
    Sleep(100);
  }
  return 1;
}

int EndWindow(const char* title) {
  HWND window = FindWindowA(nullptr, title);
  DWORD id = 0;
  if (window == nullptr || GetWindowThreadProcessId(window, &id) == 0) return 1;
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
  if (process == nullptr) return 1;
  const bool ended = TerminateProcess(process, 9) && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended ? 0 : 1;
}

int PrintExitCode(const char* commandLine) {
  std::string line = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return 2;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::printf("%lu\n", static_cast<unsigned long>(code));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "hold" && argc == 4) return Hold(argv[2], argv[3]);
  if (command == "schedule-delete" && argc == 3)
    return MoveFileExA(argv[2], nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? 0 : 1;
  if (command == "pending" && argc == 2) return PrintPending();
  if (command == "wait-window" && argc == 4) return WaitForWindow(argv[2], std::atoi(argv[3]));
  if (command == "end-window" && argc == 3) return EndWindow(argv[2]);
  if (command == "exit-code" && argc == 3) return PrintExitCode(argv[2]);
  std::fprintf(stderr, "usage: in_use_tool hold|schedule-delete|pending|wait-window|end-window|exit-code ...\n");
  return 64;
}
