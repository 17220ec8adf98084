// The window the module's dialogs belong to: the host's main window once a
// driver has learnt it from the host client.
#pragma once

#include <cstdint>

namespace hostsdk {

void SetApplicationWindow(intptr_t window);
intptr_t ApplicationWindow();  // 0 when not known

}  // namespace hostsdk
