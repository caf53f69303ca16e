#pragma once
// The open "Uninstall.log" of a running installation. Records are appended through one
// handle kept open between them and pushed to the system a few dozen at a time: opening
// and closing the file for every record, or even pushing every record on its own, cost a
// fair part of writing the small files they describe. What does not reach the file whole
// (a full disk) is cut off again, so the file on disk always ends with a whole record.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

class UninstallLogFile {
 public:
  UninstallLogFile() = default;
  ~UninstallLogFile() { Close(); }
  UninstallLogFile(const UninstallLogFile&) = delete;
  UninstallLogFile& operator=(const UninstallLogFile&) = delete;

  // Creates `path` empty and keeps it open. False when it cannot be created.
  bool Create(const std::string& path);
  // Appends one record through `write`, pushing the records held so far when they are
  // enough. False when they did not reach the file whole: the file is then cut back to the
  // end of the last record pushed before, and closed.
  bool AppendRecord(const std::function<bool(FILE*)>& write);
  // Pushes every record held to the system, with the same cut-back when they do not arrive.
  bool Push();
  // Others may then read, rewrite, move or delete the file. False when the last buffered
  // bytes could not be written.
  bool Close();
  // The file's length after the last push.
  uint64_t WholeBytes() const { return wholeBytes_; }

 private:
  bool Open(bool append);
  void CutBack();
  uint64_t SizeOnDisk() const;

  std::string path_;
  FILE* file_ = nullptr;
  uint64_t wholeBytes_ = 0;
  int heldRecords_ = 0;
};
