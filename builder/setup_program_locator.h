#pragma once
// Where the builder finds the setup program it copies into a Setup.exe when the command
// line names none: the BRISKLAY_SETUP environment variable, else setup.exe beside the
// builder itself.

#include <string>

// Empty if neither is there.
std::string DefaultSetupProgram();
