#pragma once
// Records every message box the code under test shows and answers it with a fixed button.

#include <vector>

#include "common/message_box.h"

class ScriptedMessageBoxes {
 public:
  explicit ScriptedMessageBoxes(int answer) : answer_(answer) {
    previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
      shown_.push_back(request);
      return answer_;
    });
  }
  ~ScriptedMessageBoxes() { SetMessageBoxHandler(previous_); }
  ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
  ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

  const std::vector<MessageBoxRequest>& shown() const { return shown_; }

 private:
  int answer_;
  MessageBoxHandler previous_;
  std::vector<MessageBoxRequest> shown_;
};
