// A stand-in COM server: registering it writes one registry value, unregistering takes it
// away again, so a test can see whether regsvr32 ran on it before it was deleted. Built
// with BRISKLAY_UNREGISTER_DELAY_MS, unregistering takes that long: a server that keeps
// its caller waiting.

#include <windows.h>

namespace {

constexpr char kKey[] = "Software\\Brisklay Engine Test\\Server";
constexpr char kValue[] = "Registered";

}  // namespace

extern "C" HRESULT __stdcall DllRegisterServer() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return E_FAIL;
  }
  RegSetValueExA(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>("yes"), 4);
  RegCloseKey(key);
  return S_OK;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
#ifdef BRISKLAY_UNREGISTER_DELAY_MS
  Sleep(BRISKLAY_UNREGISTER_DELAY_MS);
#endif
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
  return S_OK;
}
