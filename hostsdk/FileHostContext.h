// What the file checks and saves need from the host, gathered in one place
// so the same code runs against the real host or against test doubles.
#pragma once

#include "automation/ComPtr.h"
#include "automation/ComTypes.h"
#include "hostsdk/MachineFacts.h"

namespace hostsdk {

struct FileHostContext {
  // The host workspace: document notifications and the message panel.
  // Null when there is none; the work that needs it is skipped.
  automation::ComPtr<IDispatch> workspace;
  // The host runs without a user interface: locks are not reported.
  bool silent = false;
  // This process, as lock files name their owner.
  MachineFacts self;

  // The module's host, as HostServices finds it.
  static FileHostContext FromHost();
};

}  // namespace hostsdk
