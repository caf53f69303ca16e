/* Calls one function of each library its build names (CALLS_USER32, CALLS_VERSION,
   CALLS_COMCTL32), so that the linker keeps exactly those imports. Never run. */
#include <windows.h>
#include <commctrl.h>

int main(void) {
#ifdef CALLS_USER32
  MessageBeep(MB_OK);
#endif
#ifdef CALLS_VERSION
  GetFileVersionInfoSizeA("calls.exe", NULL);
#endif
#ifdef CALLS_COMCTL32
  InitCommonControls();
#endif
  return 0;
}
