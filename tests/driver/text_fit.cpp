#include "tests/driver/text_fit.h"

#include <cstdio>

#include "tests/driver/window_state.h"

namespace driver {

namespace {

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// How much of a control's client area its text may use, and how the control lays it out.
struct TextRoom {
  bool measured = false;
  int width = 0;
  int height = 0;
  UINT format = 0;
};

int Scaled(HWND window, int pixels) {
  HDC dc = GetDC(window);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
  if (dc) ReleaseDC(window, dc);
  return MulDiv(pixels, dpi, 96);
}

TextRoom StaticRoom(LONG style, const RECT& client) {
  TextRoom room;
  if (style & SS_ELLIPSISMASK) return room;  // shortens its own text
  switch (style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
      room.format = DT_WORDBREAK;
      break;
    case SS_LEFTNOWORDWRAP:
    case SS_SIMPLE:
      room.format = 0;
      break;
    default:
      return room;  // icons, pictures, frames
  }
  if (style & SS_NOPREFIX) room.format |= DT_NOPREFIX;
  room.measured = true;
  room.width = client.right;
  room.height = client.bottom;
  return room;
}

TextRoom ButtonRoom(HWND control, LONG style, const RECT& client) {
  TextRoom room;
  room.format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      // The frame, and the focus rectangle drawn inside it.
      room.width = client.right - 2 * Scaled(control, 3);
      room.height = client.bottom - 2 * Scaled(control, 3);
      break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      // The box and the gap before the text.
      room.width = client.right - Scaled(control, 13) - Scaled(control, 4);
      room.height = client.bottom;
      break;
    case BS_GROUPBOX:
      // The text sits in the top line, after a short stretch of it.
      room.width = client.right - 2 * Scaled(control, 8);
      room.height = client.bottom;
      room.format = DT_SINGLELINE;
      break;
    default:
      return room;
  }
  room.measured = true;
  return room;
}

std::string Describe(HWND control) {
  char id[16];
  std::snprintf(id, sizeof id, "%d", ControlId(control));
  std::string owner = WindowText(GetAncestor(control, GA_ROOT));
  return ClassName(control) + " " + id + " \"" + WindowText(control) + "\" in \"" + owner + "\"";
}

std::string Sizes(const char* what, int needWidth, int needHeight, int width, int height) {
  char text[96];
  std::snprintf(text, sizeof text, "%s %dx%d, room %dx%d", what, needWidth, needHeight, width, height);
  return text;
}

void CheckControl(HWND control, HFONT font, HDC dc, std::vector<std::string>* clipped) {
  if (!IsWindowVisible(control)) return;
  const std::string cls = ClassName(control);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  RECT client{};
  GetClientRect(control, &client);
  TextRoom room;
  if (lstrcmpiA(cls.c_str(), "Static") == 0) room = StaticRoom(style, client);
  else if (lstrcmpiA(cls.c_str(), "Button") == 0) room = ButtonRoom(control, style, client);
  if (!room.measured) return;

  // Reaching outside the parent cuts the text off just as well.
  RECT inParent, parentClient;
  GetWindowRect(control, &inParent);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&inParent), 2);
  GetClientRect(GetParent(control), &parentClient);
  if (inParent.left < parentClient.left || inParent.top < parentClient.top ||
      inParent.right > parentClient.right + kTextFitMargin || inParent.bottom > parentClient.bottom + kTextFitMargin) {
    clipped->push_back(Describe(control) + ": reaches outside its parent, " +
                       Sizes("right/bottom", inParent.right, inParent.bottom, parentClient.right, parentClient.bottom));
  }

  const std::string text = WindowText(control);
  if (text.empty()) return;
  RECT need{0, 0, room.width > 0 ? room.width : 1, 0};
  HGDIOBJ previous = SelectObject(dc, font);
  DrawTextA(dc, text.c_str(), -1, &need, room.format | DT_CALCRECT | DT_EXPANDTABS);
  SelectObject(dc, previous);
  if (need.right > room.width + kTextFitMargin || need.bottom > room.height + kTextFitMargin)
    clipped->push_back(Describe(control) + ": " + Sizes("text", need.right, need.bottom, room.width, room.height));
}

struct Walk {
  HFONT font;
  HDC dc;
  std::vector<std::string>* clipped;
};

BOOL CALLBACK CheckChild(HWND child, LPARAM context) {
  const Walk* walk = reinterpret_cast<const Walk*>(context);
  CheckControl(child, walk->font, walk->dc, walk->clipped);
  return TRUE;
}

}  // namespace

TemplateFont::TemplateFont(const std::string& program, int templateId) {
  module_ = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module_ == nullptr) {
    error_ = "cannot load " + program;
    return;
  }
  dialog_ = CreateDialogParamA(module_, MAKEINTRESOURCEA(templateId), nullptr, QuietDialogProc, 0);
  if (dialog_ != nullptr) font_ = reinterpret_cast<HFONT>(SendMessageA(dialog_, WM_GETFONT, 0, 0));
  if (font_ == nullptr) error_ = "no font from dialog template " + std::to_string(templateId) + " of " + program;
}

TemplateFont::~TemplateFont() {
  if (dialog_ != nullptr) DestroyWindow(dialog_);
  if (module_ != nullptr) FreeLibrary(module_);
}

std::vector<std::string> ClippedTexts(HWND window, HFONT font) {
  std::vector<std::string> clipped;
  HDC dc = GetDC(nullptr);
  Walk walk{font, dc, &clipped};
  EnumChildWindows(window, CheckChild, reinterpret_cast<LPARAM>(&walk));
  ReleaseDC(nullptr, dc);
  return clipped;
}

}  // namespace driver
