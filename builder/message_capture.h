#pragma once
// The compressor tells its failures through the message box seam. While a capture is
// alive those messages are collected instead of shown, so the builder can put them into
// its own error text.

#include <string>

#include "common/message_box.h"

class MessageCapture {
 public:
  MessageCapture()
      : previous_(SetMessageBoxHandler([this](const MessageBoxRequest& request) {
          text_ += (text_.empty() ? "" : " ") + request.text;
          return kIdOk;
        })) {}
  ~MessageCapture() { SetMessageBoxHandler(previous_); }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  MessageBoxHandler previous_;
};
