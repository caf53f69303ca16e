#pragma once
// The versions behind the question whether an existing library may be replaced: the one
// installed and the one in the payload, both read from the files' version resources,
// never by loading the library (which would run its code inside the setup).

#include <cstdint>
#include <string>

#include "engine/install_host.h"

LibraryVersion ReadLibraryVersion(const std::string& path);
