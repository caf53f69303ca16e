#pragma once
// One change to the machine that can take itself back. A step keeps everything its undo
// needs (the copy of the file it replaced, the registry data it overwrote, whether it made
// the folder), so the list that runs the steps needs to know nothing about any of them.

#include <string>
#include <vector>

// A file whose earlier content could not be put back; the copy stays at `copy`.
struct KeptCopy {
  std::string original;
  std::string copy;
};

// What undoing found, for the installation log and the final message.
struct UndoReport {
  std::vector<std::string> lines;
  std::vector<KeptCopy> keptCopies;
};

// A text for the user and the caption of its message box.
struct StepMessage {
  std::string text;
  std::string caption = "Error";
};

class Step {
 public:
  virtual ~Step() = default;
  // Makes the change. False when it failed (Failure() says why; empty after a cancel).
  virtual bool Do() = 0;
  // Takes the change back; also after a Do() that failed halfway. Never gives up early:
  // whatever it cannot take back it says in `report`.
  virtual void Undo(UndoReport* report) = 0;
  // Steps that put an earlier state back (a replaced file's content) are undone after all
  // the others, so that the space of what the run made is free again first.
  virtual bool RestoresEarlierContent() const { return false; }
  // The run is complete: drops what was kept only for undoing.
  virtual void Commit() {}
  // The change is made in full only when Windows restarts.
  virtual bool CompletesAtRestart() const { return false; }
  // One line for the installation log, once Do() succeeded.
  virtual std::string DoneText() const = 0;

  const StepMessage& Failure() const { return failure_; }
  // Something the user should know although the step succeeded.
  const StepMessage& Notice() const { return notice_; }

 protected:
  bool Fail(std::string text, std::string caption = "Error") {
    failure_ = {std::move(text), std::move(caption)};
    return false;
  }
  void Tell(std::string text, std::string caption) { notice_ = {std::move(text), std::move(caption)}; }

 private:
  StepMessage failure_;
  StepMessage notice_;
};
