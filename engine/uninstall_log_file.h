#pragma once
// The open "Uninstall.log" of a running installation. Records are appended through one
// handle kept open between them, and each record is pushed to the system as soon as it is
// written, so the file on disk is whole up to its last record at every moment. Opening
// and closing the file for every record cost more than writing the files it describes.

#include <cstdio>
#include <string>

class UninstallLogFile {
 public:
  UninstallLogFile() = default;
  ~UninstallLogFile() { Close(); }
  UninstallLogFile(const UninstallLogFile&) = delete;
  UninstallLogFile& operator=(const UninstallLogFile&) = delete;

  // Creates `path` empty and keeps it open. False when it cannot be created.
  bool Create(const std::string& path);
  // The file to append the next record to, opened again (at its end) when it was closed;
  // null when it cannot be opened.
  FILE* ForAppend();
  // Pushes the record just written to the system. False when it did not reach the file
  // whole (a full disk, for example); the file is then closed, so that the next record
  // starts on a fresh stream instead of one stuck in its error state.
  bool Flush();
  // Others may then read, rewrite, move or delete the file. False when the last buffered
  // bytes could not be written.
  bool Close();

 private:
  bool Open(const char* mode);

  std::string path_;
  FILE* file_ = nullptr;
};
