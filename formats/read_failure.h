#pragma once
// Names why a record read failed, for the messages of the standalone readers.

#include <cstdio>
#include <string>

// Call right after a failed read. A read fails without touching either indicator only
// when a stored string is longer than its buffer allows.
inline std::string ReadFailureReason(FILE* stream) {
  if (ferror(stream)) return "cannot be read (stream error)";
  if (feof(stream)) return "ends early (file truncated)";
  return "holds an over-long string";
}

// Stores `message` when the caller asked for one, and returns false for the caller to pass on.
inline bool ReportDamage(std::string* error, const std::string& message) {
  if (error != nullptr) *error = message;
  return false;
}
