#pragma once
// What the engine needs from whoever shows the installation. The engine never talks to
// the user itself: errors, warnings and questions go through here, and the host decides
// how (and whether) to show them. Called on the thread that runs Install().

#include <windows.h>

#include <string>

// A library's version as its resource states it; `known` is false when it has none or it
// cannot be read.
struct LibraryVersion {
  bool known = false;
  DWORD major = 0;
  DWORD minor = 0;
  DWORD build = 0;
};

// The facts behind the question whether an existing library may be replaced, so that a
// host which asks nobody can answer it by rule.
struct LibraryQuestion {
  std::string path;
  LibraryVersion installed;
  // The version of the copy in the payload, read from its bytes.
  LibraryVersion payload;
};

class InstallHost {
 public:
  virtual ~InstallHost() = default;
  // A failure; `caption` names its kind ("Error" for most).
  virtual void ReportError(const std::string& text, const std::string& caption) = 0;
  virtual void Warn(const std::string& text) = 0;
  // A yes/no question; true means yes.
  virtual bool Confirm(const std::string& question) = 0;
  // Whether an existing library is replaced; a host that shows the question asks it.
  virtual bool ConfirmLibraryReplacement(const std::string& question, const LibraryQuestion& /*facts*/) {
    return Confirm(question);
  }
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetProgressRange(int range) = 0;
  virtual void SetProgressPosition(int position) = 0;
  // The Cancel/Close button: disabled while nothing may interrupt the work.
  virtual void EnableCancelButton(bool enable) = 0;
  // One line for the installation log: a check, a change to the machine, its undo, an
  // answer taken. Hosts that keep no log ignore it.
  virtual void Note(const std::string& /*event*/) {}
  // After each change to the machine is done, before the next begins: the boundary at
  // which a cancel is honoured. `stepsDone` counts from 1.
  virtual void StepDone(int /*stepsDone*/) {}
};
