#pragma once
// Checks one program file: its imports against the allowed ones, with its manifest.

#include <string>
#include <vector>

// Fills `problems` with one sentence per unsafe import (none when the program is safe).
// Fails with a reason, naming the file, when the file cannot be read as a program.
bool CheckProgramImports(const std::string& path, std::vector<std::string>* problems, std::string* error);
