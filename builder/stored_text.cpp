#include "builder/stored_text.h"

#include <cstring>

#include "builder/ansi_text.h"

bool ToStoredString(const std::string& utf8, const std::string& what, std::string* ansi,
                    std::string* error) {
  std::string reason;
  if (!Utf8ToAnsi(utf8, ansi, &reason)) {
    *error = what + " " + reason;
    return false;
  }
  if (ansi->size() > kMaxStoredStringLength) {
    *error = what + " is " + std::to_string(ansi->size()) + " bytes long; the setup reads at most " +
             std::to_string(kMaxStoredStringLength);
    return false;
  }
  return true;
}

void CopyToBuffer(const std::string& text, char (&buffer)[kStringBufferSize]) {
  const std::size_t length = text.size() < kMaxStoredStringLength ? text.size() : kMaxStoredStringLength;
  std::memcpy(buffer, text.data(), length);
  std::memset(buffer + length, 0, kStringBufferSize - length);
}
