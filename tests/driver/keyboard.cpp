#include "tests/driver/keyboard.h"

#include "tests/driver/wait.h"

namespace driver {

namespace {

bool SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return SendInput(1, &input, sizeof input) == 1;
}

bool Tap(WORD key) {
  const bool down = SendKey(key, false);
  const bool up = SendKey(key, true);
  return down && up;
}

}  // namespace

bool BringToForeground(HWND topLevel) {
  if (topLevel == nullptr) return false;
  if (GetForegroundWindow() == topLevel) return true;
  SetForegroundWindow(topLevel);
  return WaitUntil([&] { return GetForegroundWindow() == topLevel; }, Millis(3000));
}

bool PressAltKeys(HWND topLevel, std::initializer_list<WORD> keys) {
  if (!BringToForeground(topLevel)) return false;
  bool ok = SendKey(VK_MENU, false);
  for (WORD key : keys) ok = ok && Tap(key);
  return SendKey(VK_MENU, true) && ok;
}

bool PressAltKey(HWND topLevel, WORD key) { return PressAltKeys(topLevel, {key}); }

bool PressKey(HWND topLevel, WORD key) { return BringToForeground(topLevel) && Tap(key); }

void ReleaseModifiers() {
  for (WORD key : {VK_MENU, VK_LMENU, VK_RMENU, VK_SHIFT, VK_CONTROL}) {
    if (GetAsyncKeyState(key) & 0x8000) SendKey(key, true);
  }
}

}  // namespace driver
