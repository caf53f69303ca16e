#pragma once
// Real key strokes. They go through the system's input queue, not straight to a window,
// because a program that asks GetKeyState whether Alt is down only sees keys that came
// that way. The strokes go to the window with the keyboard focus, so the target's window
// is brought to the foreground first.

#include <windows.h>

#include <initializer_list>

namespace driver {

bool BringToForeground(HWND topLevel);

// One press and release of each key, in order, with Alt held down around them all.
// Alt is released even when a stroke fails, so no later test starts with Alt stuck.
bool PressAltKeys(HWND topLevel, std::initializer_list<WORD> keys);
bool PressAltKey(HWND topLevel, WORD key);

// One press and release with no modifier (Escape, Enter, Space, ...).
bool PressKey(HWND topLevel, WORD key);

// Lifts the modifier keys in case an earlier, aborted run left one down.
void ReleaseModifiers();

}  // namespace driver
