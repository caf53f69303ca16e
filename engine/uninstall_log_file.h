#pragma once
// The open "Uninstall.log" of a running installation. Records are appended through one
// handle kept open between them, and each record is pushed to the system as soon as it is
// written. A record that does not reach the file whole (a full disk) is cut off again, so
// the file on disk always ends with its last whole record. Opening and closing the file
// for every record cost more than writing the files it describes.

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
  // Appends one record through `write`. False when it did not reach the file whole: the
  // file is then cut back to the end of the record before, and closed.
  bool AppendRecord(const std::function<bool(FILE*)>& write);
  // Others may then read, rewrite, move or delete the file. False when the last buffered
  // bytes could not be written.
  bool Close();
  // The file's length after its last whole record.
  uint64_t WholeBytes() const { return wholeBytes_; }

 private:
  bool Open(bool append);
  uint64_t SizeOnDisk() const;

  std::string path_;
  FILE* file_ = nullptr;
  uint64_t wholeBytes_ = 0;
};
