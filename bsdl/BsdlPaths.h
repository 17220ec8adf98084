// Locating BSDL files on disk: the library layout for a relative name, and
// the search for a readable copy (the file, its copy in the temporary
// folder, or that copy unpacked from a zip archive beside the file). The
// entity's class operations DetermineFullPath and FindFullBSDLPath are
// built from these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bsdl {

// The part of `path` after its last folder separator.
std::string FileNamePart(const std::string& path);
// `path` with the extension of its file name replaced by (or, without one,
// extended with) `extension`, which includes its dot.
std::string ChangeFileExt(const std::string& path, const std::string& extension);
// A name that DetermineFullPath returns unchanged: on Windows one with a
// drive (':') or a UNC prefix ("\\"), elsewhere one from the root.
bool IsAbsoluteBsdlPath(const std::string& name);

// What one archive may unpack to in all. Entries may share their data, so a
// small archive can name gigabytes; past this the rest are not unpacked.
inline constexpr uint64_t kMaxUnpackedBytes = uint64_t{256} << 20;

// Unpacks every file of the zip archive at `zipPath` into `folder` under
// its bare file name (stored folders are dropped, so no entry can land
// outside `folder`), replacing existing files. Each file is written whole
// or not at all, and the files together stay within `maxTotalBytes`.
// Returns the entries that could not be unpacked, each with its reason;
// throws EZipFormat when the archive itself is unreadable.
std::vector<std::string> UnpackZipFlat(const std::string& zipPath, const std::string& folder,
                                       uint64_t maxTotalBytes = kMaxUnpackedBytes);

}  // namespace bsdl
