#include "common/message_box.h"

#include <cstdio>
#include <mutex>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::mutex g_mutex;
MessageBoxHandler g_handler;
std::string g_title = "Setup";

int ShowDefault(const MessageBoxRequest& request) {
#ifdef _WIN32
  return MessageBoxA(static_cast<HWND>(request.owner), request.text.c_str(), request.caption.c_str(),
                     request.flags);
#else
  std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.text.c_str());
  return (request.flags & kMbYesNo) ? kIdYes : kIdOk;
#endif
}

}  // namespace

int ShowMessageBox(void* owner, const std::string& text, const std::string& caption, unsigned flags) {
  MessageBoxHandler handler;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    handler = g_handler;
  }
  MessageBoxRequest request{owner, text, caption, flags};
  return handler ? handler(request) : ShowDefault(request);
}

int ShowAppMessageBox(const std::string& text, unsigned flags) {
#ifdef _WIN32
  flags |= MB_TASKMODAL;
#endif
  return ShowMessageBox(nullptr, text, ApplicationTitle(), flags);
}

void SetApplicationTitle(const std::string& title) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_title = title;
}

std::string ApplicationTitle() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_title;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::swap(g_handler, handler);
  return handler;
}
