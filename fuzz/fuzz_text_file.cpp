// The conversions between the texts of users (UTF-8, UTF-16, Windows-1252 files) and the
// ANSI text the setup shows, on arbitrary bytes.

#include <string>

#include "builder/ansi_text.h"
#include "fuzz_input.h"

namespace {

bool IsUtf8(const std::string& text) { return ForTerminal(text) == text; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  std::string ansi, error;
  if (TextFileToAnsi(bytes, &ansi, &error)) {
    Require(ansi.find('\0') == std::string::npos, "a converted text file holds no NUL");
    Require(IsUtf8(AnsiToUtf8(ansi)), "stored text shows as UTF-8");
  } else {
    Require(!error.empty(), "a refused text file names its reason");
  }

  std::string fromUtf8;
  error.clear();
  if (Utf8ToAnsi(bytes, &fromUtf8, &error)) {
    Require(AnsiToUtf8(fromUtf8) == bytes, "UTF-8 that converts comes back unchanged");
  } else {
    Require(!error.empty(), "refused UTF-8 names its reason");
  }

  const std::string shown = ForTerminal(bytes);
  Require(IsUtf8(shown) && ForTerminal(shown) == shown, "terminal text is UTF-8");
  return 0;
}
