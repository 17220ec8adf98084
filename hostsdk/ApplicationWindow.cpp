#include "hostsdk/ApplicationWindow.h"

namespace hostsdk {

namespace {
// Module-wide, like the application object whose handle it stands for.
intptr_t gApplicationWindow = 0;
}  // namespace

void SetApplicationWindow(intptr_t window) { gApplicationWindow = window; }
intptr_t ApplicationWindow() { return gApplicationWindow; }

}  // namespace hostsdk
