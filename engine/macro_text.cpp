#include "engine/macro_text.h"

std::string ExpandMacro(const std::string& text, const std::string& name, const std::string& value) {
  if (name.empty()) return text;
  std::string result = text;
  size_t position = result.find(name);
  while (position != std::string::npos) {
    result.replace(position, name.size(), value);
    position = result.find(name, position + value.size());
  }
  return result;
}
