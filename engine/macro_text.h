#pragma once
// Path macros ("%DIR%", "%WINDOWS%", "%SYSTEM%") in texts: the one expansion shared by the
// installation and the wizard's summary, so both show and use the same paths.

#include <string>

// Replaces every `name` in `text` by `value`. The search goes on after the inserted
// value, so a value that itself contains `name` is not expanded again.
std::string ExpandMacro(const std::string& text, const std::string& name, const std::string& value);
