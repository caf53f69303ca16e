#pragma once
// The one way the program shows a message box. Tests install a handler to read what
// would have been shown and to script the answer; the default handler shows a real
// Windows message box (or, in the native build, prints the message to standard error).

#include <functional>
#include <string>

// Flags and answers carry the Win32 values, so Windows code can pass MB_* and read ID*
// directly.
enum : unsigned {
  kMbOk = 0x0,
  kMbYesNo = 0x4,
  kMbIconError = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconWarning = 0x30,
  kMbIconInformation = 0x40,
};
enum : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

struct MessageBoxRequest {
  void* owner;  // HWND on Windows; may be null
  std::string text;
  std::string caption;
  unsigned flags;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Shows a message box owned by `owner` and returns the button the user chose.
int ShowMessageBox(void* owner, const std::string& text, const std::string& caption, unsigned flags);

// Application-modal message box captioned with the application's title.
int ShowAppMessageBox(const std::string& text, unsigned flags);

void SetApplicationTitle(const std::string& title);
std::string ApplicationTitle();

// Replaces the handler; an empty handler restores the default. Returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
