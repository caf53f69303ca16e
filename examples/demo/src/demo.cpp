// Brisklay Demo: the example product. It greets the user with the text that its setup
// wrote into the registry, so a look at it shows that the installation did its work.

#include <windows.h>

#include <string>

#include "common/message_box.h"

namespace {

const char kProductKey[] = "Software\\Brisklay Demo";

// The "Greeting" value the setup wrote, or empty when the program runs uninstalled.
std::string ReadGreeting() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  char text[260] = "";
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  const LONG result = RegQueryValueExA(key, "Greeting", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_SZ) return "";
  text[size < sizeof text ? size : sizeof text - 1] = '\0';
  return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SetApplicationTitle("Brisklay Demo");
  const std::string greeting = ReadGreeting();
  const std::string text = greeting.empty()
                               ? "Brisklay Demo is running, but its registry values are missing.\n"
                                 "Install it with its setup program to see the greeting."
                               : greeting + "\n\nThis program was installed by a setup built with Brisklay.";
  ShowAppMessageBox(text, kMbOk | kMbIconInformation);
  return 0;
}
