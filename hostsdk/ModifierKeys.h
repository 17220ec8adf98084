// Which modifier keys are held down at the moment of the call. Platforms
// without a keyboard state to ask report none.
#pragma once

namespace hostsdk {

struct ModifierKeys {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
};

ModifierKeys CurrentModifierKeys();
bool CtrlDown();
bool ShiftDown();
bool AltDown();

}  // namespace hostsdk
