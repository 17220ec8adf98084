#include "hostsdk/ModifierKeys.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace hostsdk {

namespace {

#ifdef _WIN32
// GetKeyState sets the high bit (a negative value) while the key is down.
bool KeyDown(int virtualKey) { return GetKeyState(virtualKey) < 0; }
#endif

}  // namespace

bool CtrlDown() {
#ifdef _WIN32
  return KeyDown(VK_CONTROL);
#else
  return false;
#endif
}

bool ShiftDown() {
#ifdef _WIN32
  return KeyDown(VK_SHIFT);
#else
  return false;
#endif
}

bool AltDown() {
#ifdef _WIN32
  return KeyDown(VK_MENU);
#else
  return false;
#endif
}

ModifierKeys CurrentModifierKeys() { return ModifierKeys{CtrlDown(), ShiftDown(), AltDown()}; }

}  // namespace hostsdk
