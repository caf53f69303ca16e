#pragma once
// Whether the texts of another program's windows fit the controls that show them. The
// texts are measured in this process with the font the program's dialog template gives
// its dialogs, made by the system's own dialog manager from that template, so both sides
// use the same face and size at the same DPI.

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// The font of dialog template `templateId` in the program file `program`.
class TemplateFont {
 public:
  TemplateFont(const std::string& program, int templateId);
  ~TemplateFont();
  TemplateFont(const TemplateFont&) = delete;
  TemplateFont& operator=(const TemplateFont&) = delete;

  HFONT Font() const { return font_; }
  const std::string& Error() const { return error_; }

 private:
  HMODULE module_ = nullptr;
  HWND dialog_ = nullptr;
  HFONT font_ = nullptr;
  std::string error_;
};

// Pixels a text may overhang its room before it counts as cut off.
constexpr int kTextFitMargin = 2;

// One line per shown static text, push button, check box, radio button or group box in
// `window` (and in its child dialogs) whose text does not fit its rectangle in `font`,
// or whose rectangle reaches outside its parent's; each names the control, its text and
// the sizes. Statics that shorten their text with an ellipsis are left out.
std::vector<std::string> ClippedTexts(HWND window, HFONT font);

}  // namespace driver
