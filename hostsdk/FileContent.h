// Reading a whole file, with every failure (missing, not a regular file,
// unreadable) reported as no content rather than raised: the callers here
// each have their own answer for a file they cannot read.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace hostsdk {

std::optional<std::string> ReadFileContent(const std::filesystem::path& path);

}  // namespace hostsdk
