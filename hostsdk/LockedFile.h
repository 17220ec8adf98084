// Files locked by another user. While a document is open elsewhere the
// host keeps a lock file beside it ("~$" + file name + "_loc") naming the
// owner's computer, user and process; a file whose lock names anybody else
// must not be overwritten. The parsing and the decision are plain
// functions; CheckLockedFile adds the report to the host's message panel.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "automation/ComTypes.h"
#include "hostsdk/FileHostContext.h"
#include "hostsdk/MachineFacts.h"

namespace hostsdk {

// The owner a lock file names; a fact missing from the file stays empty.
struct LockOwner {
  std::optional<std::string> computerName;
  std::optional<std::string> userName;
  std::optional<std::string> processId;
};

struct LockState {
  bool lockedBySomeoneElse = false;
  LockOwner owner;  // unknown when the lock file could not be read
};

// The lock file of `documentPath`: its folder + "~$" + its name + "_loc".
std::string LockFilePath(const std::string& documentPath);

// Reads the owner from the lines of a lock file: "ComputerName=...",
// "UserName=..." and "ProcessID=..." (the value starts right after the
// name and its equals sign). A later line of the same name wins.
LockOwner ParseLockFile(std::string_view content);

// True when the lock names all three facts and any of them differs from
// `self` (compared without regard to letter case). A lock that lacks a fact
// is not taken as somebody else's.
bool LockedBySomeoneElse(const LockOwner& owner, const MachineFacts& self);

// Reads the lock file of `documentPath`, if there is one. A lock file that
// exists but cannot be read counts as locked: the safe answer when in doubt.
LockState ReadLockState(const std::string& documentPath, const MachineFacts& self);

// The parameter string of the message-panel entry for a locked file.
std::string LockedFileMessage(const std::string& documentPath, const LockOwner& owner);

// Adds the locked-file entry to the message panel of `workspace` (nothing
// when the workspace or its messages manager is absent).
void ReportLockedFile(IDispatch* workspace, const std::string& documentPath,
                      const LockOwner& owner);

// True when `documentPath` is locked by someone else; the lock is then
// reported unless the host runs silently.
bool CheckLockedFile(const std::string& documentPath, const FileHostContext& host);
bool CheckLockedFile(const std::string& documentPath);

}  // namespace hostsdk
