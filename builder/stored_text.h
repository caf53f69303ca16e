#pragma once
// Every string of the setup data is read back into a 260-byte buffer, as ANSI text.

#include <cstddef>
#include <string>

#include "formats/record_stream.h"

// Turns a manifest text (UTF-8) into the stored ANSI string, refusing what the setup could
// not read back whole. `what` names the field in the message ("target \"%DIR%\\x\"").
bool ToStoredString(const std::string& utf8, const std::string& what, std::string* ansi,
                    std::string* error);

// Copies a string already checked by ToStoredString into a record's buffer.
void CopyToBuffer(const std::string& text, char (&buffer)[kStringBufferSize]);
