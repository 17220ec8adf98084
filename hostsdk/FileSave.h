// Saving files the host may have open elsewhere. A file locked by another
// user is reported and left alone; otherwise the host's document for the
// file (when it has one) hears about the save before and after it, so it
// does not take our write for an outside change.
//
// Neither path can lose the previous file: new content is complete and on
// the disk under a temporary name before it replaces the old file in one
// step, and a failure leaves the old file as it was.
#pragma once

#include <string>
#include <vector>

#include "hostsdk/FileHostContext.h"

namespace hostsdk {

// Writes `lines`, each followed by the platform's line break, to `path`.
// False when the file is locked by someone else (nothing written); true
// once written. A failed write raises std::system_error naming the file.
bool SaveLinesToFile(const std::string& path, const std::vector<std::string>& lines,
                     const FileHostContext& host);
bool SaveLinesToFile(const std::string& path, const std::vector<std::string>& lines);

// Moves the finished file `tempPath` to `finalPath`, replacing what is
// there. True at once when both name the same file. False when the final
// file is locked by someone else or the move fails; the temporary file is
// then deleted.
bool CommitTempFile(const std::string& tempPath, const std::string& finalPath,
                    const FileHostContext& host);
bool CommitTempFile(const std::string& tempPath, const std::string& finalPath);

}  // namespace hostsdk
