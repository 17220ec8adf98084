// Writing files so that a failure never costs the previous content: new
// content goes to a temporary file beside the target, is flushed to the
// disk, and only then takes the target's name in one step. A reader (or a
// crash) sees the old file or the new one, never a truncated mix or none.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace hostsdk {

// Where writing to `target` really lands: the file a symbolic link points
// to, so replacing it keeps the link; otherwise `target` itself.
std::filesystem::path WriteLocation(const std::filesystem::path& target);

// Creates a new temporary file in the folder of `target`, writes `bytes`,
// flushes them to the disk and returns its path. When `target` exists the
// new file takes its permissions. Throws std::system_error naming the file
// on failure, with nothing left behind.
std::filesystem::path WriteTempFileBeside(const std::filesystem::path& target,
                                          std::string_view bytes);

// Gives `source` the name `target`, replacing an existing target in one
// step. Across file systems, where no such step exists, `source` is copied
// beside `target` first and the copy takes the name. On failure `target` is
// as it was, `source` still exists and `error` says why.
bool ReplaceFile(const std::filesystem::path& source, const std::filesystem::path& target,
                 std::error_code& error);

}  // namespace hostsdk
