#pragma once
// The field encoding shared by every binary file of the setup: 32-bit little-endian
// values, booleans as 32-bit values, strings as a signed 32-bit length followed by that
// many ANSI bytes (no terminator). There is no framing: the reader's order of calls gives
// the fields their meaning.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Every stored string is read into a buffer of this size (the Windows path limit).
constexpr std::size_t kStringBufferSize = 260;
constexpr std::size_t kMaxStoredStringLength = kStringBufferSize - 1;

// Streaming copies and ReadText work in chunks of this size (5 MiB).
constexpr std::size_t kStreamChunkSize = 0x500000;

bool WriteString(std::string text, FILE* stream);
bool WriteInt(uint32_t value, FILE* stream);
bool ReadBool(uint32_t* value, FILE* stream);
bool ReadInt(uint32_t* value, FILE* stream);
// `buffer` holds kStringBufferSize bytes. A stored length above kMaxStoredStringLength
// fails the read; the buffer is never overrun.
bool ReadString(char* buffer, FILE* stream);
bool ReadText(std::string& text, FILE* stream);
