#pragma once
// The folder that programs like this one are installed into by default.

#include <string>

// The Program Files folder as Windows gives it to this program: on 64-bit Windows a
// 32-bit program gets "Program Files (x86)", a 64-bit one "Program Files". Where Windows
// names none, "Program Files" on the Windows drive.
std::string ProgramFilesFolder();
