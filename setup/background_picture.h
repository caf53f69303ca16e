#pragma once
// The background picture of a setup that carries its data as resources: bitmap 150 holds
// a complete bitmap file, which is written out unchanged so that it can be loaded as one.

#include <windows.h>

#include <string>

// Writes bitmap resource 150 of `module` to `path`. On failure the user is told why
// (a message box owned by `owner`), nothing is left at `path`, and the result is false.
bool WriteBackgroundPictureFile(HWND owner, HMODULE module, const std::string& path);
