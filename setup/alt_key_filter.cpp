#include "setup/alt_key_filter.h"

#include <windows.h>

namespace {

// Space (system menu), the frame's button mnemonics, and 0x73, which is both 's' and
// VK_F4 (Alt+F4).
bool IsFrameKey(unsigned key) { return key == 0x20 || key == 0x73 || IsFrameMnemonic(key); }

bool IsKeyboardMessage(unsigned message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

bool PageOwnsAltKeys(int page) {
  return page == kPageLicense || page == kPageDestination || page == kPageFinish;
}

unsigned UpperCase(unsigned key) { return (key >= 'a' && key <= 'z') ? key - ('a' - 'A') : key; }

// A further stroke while the same press of Alt lasts. Passed on, a page mnemonic would
// reach the dialog keyboard handling, which finds the control's own "&" mnemonic in the
// visible page and acts a second time; so it goes no further.
AltKeyVerdict RepeatedStroke(unsigned key, int currentPage) {
  AltKeyVerdict verdict;
  verdict.consume = PageOwnsAltKeys(currentPage) && !IsFrameKey(key) &&
                    PageActionForKey(currentPage, key) != PageAction::kNone;
  return verdict;
}

}  // namespace

bool IsFrameMnemonic(unsigned key) {
  switch (key) {
    case 'B':
    case 'C':
    case 'F':
    case 'N':
    case 'b':
    case 'c':
    case 'f':
    case 'n':
      return true;
    default:
      return false;
  }
}

PageAction PageActionForKey(int page, unsigned key) {
  const unsigned k = UpperCase(key);
  switch (page) {
    case kPageLicense:
      if (k == 'A') return PageAction::kAccept;
      if (k == 'O') return PageAction::kDecline;
      break;
    case kPageDestination:
      if (k == 'W') return PageAction::kBrowse;
      if (k == 'S') return PageAction::kToggleStartMenu;
      if (k == 'D') return PageAction::kToggleDesktop;
      if (k == 'A') return PageAction::kSelectAllUsers;
      if (k == 'U') return PageAction::kSelectCurrentUser;
      break;
    case kPageFinish:
      if (k == 'R') return PageAction::kToggleRun;
      if (k == 'O') return PageAction::kToggleOpen;
      break;
    default:
      break;
  }
  return PageAction::kNone;
}

AltKeyVerdict AltKeyFilter::Filter(bool altDown, unsigned message, unsigned key, int currentPage) {
  if (!altDown) {
    alt_key_handled_ = false;
    return {};
  }
  if (!IsKeyboardMessage(message)) return {};
  if (alt_key_handled_) return RepeatedStroke(key, currentPage);
  if (IsFrameKey(key)) {
    alt_key_handled_ = true;
    return {};
  }
  AltKeyVerdict verdict;
  verdict.action = PageActionForKey(currentPage, key);
  if (verdict.action != PageAction::kNone) alt_key_handled_ = true;
  verdict.consume = PageOwnsAltKeys(currentPage);
  return verdict;
}
