#pragma once
// The setup program shows and stores 8-bit ANSI text (Windows-1252 on Western systems),
// while manifests and Linux file names are UTF-8. Every text that reaches the setup data
// passes through here, so a name like "Café" is shown as written instead of as two
// garbage characters.

#include <string>

// Converts UTF-8 to Windows-1252. Fails (false, reason in `error`) on bytes that are not
// UTF-8 and on characters that Windows-1252 cannot hold.
bool Utf8ToAnsi(const std::string& utf8, std::string* ansi, std::string* error);

// The reverse, for showing stored text (dump). Never fails: the five byte values that
// Windows-1252 leaves undefined map to the control characters of the same number.
std::string AnsiToUtf8(const std::string& ansi);

// A text file may be saved as UTF-8 (with or without a byte-order mark), as UTF-16 (little
// or big endian, with a byte-order mark: what Notepad calls "Unicode") or already as
// Windows-1252. UTF-8 and UTF-16 are converted; anything else is taken as Windows-1252 as
// it is. NUL bytes without a byte-order mark (UTF-16 that cannot be recognised) and NUL
// characters are refused.
bool TextFileToAnsi(const std::string& bytes, std::string* ansi, std::string* error);

// A message for the terminal, which expects UTF-8: valid UTF-8 is kept, any other byte
// (a name read from a disk in another encoding) is shown as \xNN.
std::string ForTerminal(const std::string& text);
