#pragma once
// How many bytes a seekable stream still holds, and skipping over some of them. The
// standalone readers use these to check every count and length against the file before
// they act on it.

#include <cstdint>
#include <cstdio>

// Bytes from the current position to the end; false for a stream that cannot seek.
bool RemainingBytes(FILE* stream, uint64_t* remaining);
// Moves `count` bytes forward. The caller has checked that they exist: a seek past the
// end of a file succeeds silently.
bool SkipBytes(FILE* stream, uint64_t count);
