#pragma once
// Registers or unregisters a COM server by running the system's "regsvr32.exe" silently,
// and waits for it, for a limited time: a server that hangs must not hold the caller
// forever.

#include <cstdint>
#include <string>

enum class ServerRegistration { kRegister, kUnregister };

enum class Regsvr32Outcome { kNotStarted, kFinished, kTimedOut };

// regsvr32 normally ends at once.
constexpr uint32_t kRegsvr32TimeoutMs = 60000;

// `systemFolder` holds regsvr32.exe. Its exit code is not judged: a library that is no
// server (any more) must still be installed or removed.
Regsvr32Outcome RunRegsvr32(const std::string& systemFolder, const std::string& server, ServerRegistration what,
                            uint32_t timeoutMs = kRegsvr32TimeoutMs);
