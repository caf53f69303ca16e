#pragma once
// The TOML library we read manifests with misreads some characters beyond ASCII where it
// looks for blanks (keys, values, escapes), in ways that are undefined behaviour. Handing
// it text whose quoted strings carry those characters as \u escapes keeps every such
// character away from those checks without changing what the manifest means: literal
// strings become basic strings with the same content, and comments lose their non-ASCII
// characters. Outside quotes and comments TOML allows ASCII only, so a character beyond
// it there is refused with the line it is on.

#include <string>

bool EscapeNonAsciiForToml(const std::string& text, std::string* escaped, std::string* error);
