#pragma once
// Whether an application manifest binds version 6 of the common controls: a
// <dependency><dependentAssembly><assemblyIdentity name="Microsoft.Windows.Common-Controls"
// version="6..."/> in its XML, outside comments, elements in any namespace prefix.

#include <string>

bool BindsCommonControls6(const std::string& manifest);
