#pragma once
// The wizard frame's Alt-key shortcuts. The pages are child dialogs, so the frame's own
// dialog keyboard handling never sees their mnemonics; the frame maps them itself.
// One press of Alt triggers at most one action.

#include "setup/page_sequence.h"

enum class PageAction {
  kNone,
  kAccept,
  kDecline,
  kBrowse,
  kToggleStartMenu,
  kToggleDesktop,
  kSelectAllUsers,
  kSelectCurrentUser,
  kToggleRun,
  kToggleOpen,
};

struct AltKeyVerdict {
  PageAction action = PageAction::kNone;  // to perform on the current page
  bool consume = false;  // true: the message goes no further
};

class AltKeyFilter {
 public:
  // `message` and `key` are the message's type and wParam; only keyboard messages are
  // looked at, so mouse moves and timers pass while Alt is held.
  AltKeyVerdict Filter(bool altDown, unsigned message, unsigned key, int currentPage);

 private:
  bool alt_key_handled_ = false;
};

// The action of Alt + `key` on `page`, whatever the filter's state.
PageAction PageActionForKey(int page, unsigned key);

// B, C, F or N in either case: the mnemonics of the frame's Back, Cancel/Close, Finish and
// Next buttons, which pages pass on to the frame.
bool IsFrameMnemonic(unsigned key);
