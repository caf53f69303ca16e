// A library an attacker would plant where a program looks for its libraries: when any
// process loads it, it leaves a mark beside itself (NAME.dll.loaded) naming that process.
// Its exports are those of the real library of its name, each bound to one stub, so that
// a program importing any of them would load it without complaint.
#include <windows.h>

static void LeaveMark(HINSTANCE self) {
  char path[MAX_PATH + 16];
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  lstrcatA(path, ".loaded");
  HANDLE mark = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (mark == INVALID_HANDLE_VALUE) return;
  char program[MAX_PATH];
  const DWORD programLength = GetModuleFileNameA(NULL, program, MAX_PATH);
  DWORD written = 0;
  WriteFile(mark, program, programLength, &written, NULL);
  WriteFile(mark, "\r\n", 2, &written, NULL);
  CloseHandle(mark);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) LeaveMark(self);
  return TRUE;
}

int PlantedStub(void) { return 0; }
