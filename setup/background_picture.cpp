#include "setup/background_picture.h"

#include <cstdio>

#include "common/message_box.h"
#include "shell/private_folder.h"

namespace {

constexpr WORD kBackgroundBitmap = 150;

bool Fail(HWND owner, const char* text) {
  ShowMessageBox(owner, text, "Error", MB_OK | MB_ICONERROR);
  return false;
}

// A short write (a full disk) leaves no half picture behind.
bool WriteWholeFile(const std::string& path, const void* bytes, DWORD size) {
  FILE* file = CreateNewFile(path);
  if (!file) return false;
  const bool written = std::fwrite(bytes, 1, size, file) == size;
  const bool closed = std::fclose(file) == 0;
  if (written && closed) return true;
  std::remove(path.c_str());
  return false;
}

}  // namespace

bool WriteBackgroundPictureFile(HWND owner, HMODULE module, const std::string& path) {
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(kBackgroundBitmap), RT_BITMAP);
  if (!found) return Fail(owner, "Couldn't find bitmap resource!");
  HGLOBAL loaded = ::LoadResource(module, found);
  if (!loaded) return Fail(owner, "Couldn't load bitmap resource!");
  const void* bytes = ::LockResource(loaded);
  if (!bytes) return Fail(owner, "Couldn't lock bitmap resource!");
  const DWORD size = ::SizeofResource(module, found);
  if (size == 0) return Fail(owner, "Couldn't get the size of the bitmap resource!");
  if (!WriteWholeFile(path, bytes, size)) return Fail(owner, "Couldn't create bitmap file!");
  return true;
}
