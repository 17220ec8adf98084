// Who and where this process is: the computer name, the user name and the
// process id as text. Lock files name their owner with the same three facts.
#pragma once

#include <string>

namespace hostsdk {

struct MachineFacts {
  std::string computerName;
  std::string userName;
  std::string processId;
};

// This process's facts, read on first use and kept (none of them changes
// while the process runs).
const MachineFacts& ThisMachine();

}  // namespace hostsdk
