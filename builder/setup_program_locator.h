#pragma once
// Where the builder finds the setup program it copies into a Setup.exe when the command
// line names none: the BRISKLAY_SETUP environment variable, else setup.exe beside the
// builder itself, else ../lib/brisklay/setup.exe from the builder's folder (an installed
// tree).

#include <string>

// Empty if none is there.
std::string DefaultSetupProgram();
