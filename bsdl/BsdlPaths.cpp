#include "bsdl/BsdlPaths.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "bsdl/BSDLEntity.h"
#include "bsdl/ZipReader.h"
#include "hostsdk/AtomicFile.h"
#include "hostsdk/HostModules.h"
#include "hostsdk/Utf8Path.h"

namespace bsdl {

namespace {

#ifdef _WIN32
constexpr char kFolderSeparators[] = "\\/:";
#else
constexpr char kFolderSeparators[] = "/";
#endif

bool IsFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(hostsdk::PathFromUtf8(path), error);
}

// A bare file name that is safe to create inside a folder.
bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
#ifdef _WIN32
    if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) return false;
#endif
  }
  return true;
}

// The zip archives that may sit beside `sourcePath`. Windows file names
// ignore letter case; elsewhere the usual spellings are tried as well.
std::vector<std::string> ZipCandidates(const std::string& sourcePath) {
#ifdef _WIN32
  return {ChangeFileExt(sourcePath, ".Zip")};
#else
  return {ChangeFileExt(sourcePath, ".Zip"), ChangeFileExt(sourcePath, ".zip"),
          ChangeFileExt(sourcePath, ".ZIP")};
#endif
}

void WriteWhole(const std::string& path, const std::string& bytes) {
  const std::filesystem::path target = hostsdk::PathFromUtf8(path);
  const std::filesystem::path temporary = hostsdk::WriteTempFileBeside(target, bytes);
  std::error_code error;
  if (hostsdk::ReplaceFile(temporary, target, error)) return;
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  throw std::system_error(error, "cannot write " + path);
}

}  // namespace

std::string FileNamePart(const std::string& path) {
  const size_t cut = path.find_last_of(kFolderSeparators);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
  const size_t nameStart = path.size() - FileNamePart(path).size();
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return path + extension;
  return path.substr(0, dot) + extension;
}

bool IsAbsoluteBsdlPath(const std::string& name) {
#ifdef _WIN32
  return name.find(':') != std::string::npos || name.starts_with("\\\\");
#else
  return name.starts_with('/');
#endif
}

std::vector<std::string> UnpackZipFlat(const std::string& zipPath, const std::string& folder,
                                       uint64_t maxTotalBytes) {
  const TZipReader archive = TZipReader::FromFile(zipPath);
  const std::string target = hostsdk::EnsureTrailingSeparator(folder);
  std::vector<std::string> failures;
  uint64_t budget = maxTotalBytes;
  for (const TZipEntry& entry : archive.Entries()) {
    if (entry.IsFolder()) continue;
    const std::string name = entry.FileName();
    try {
      if (!IsPlainFileName(name)) throw EZipFormat("the name is not a usable file name");
      // Charged before unpacking: an entry that fails its check has still
      // cost the work of inflating it.
      if (entry.uncompressedSize > budget)
        throw EZipFormat("the archive unpacks to more than " + std::to_string(maxTotalBytes) +
                         " bytes in all");
      budget -= entry.uncompressedSize;
      WriteWhole(target + name, archive.Extract(entry));
    } catch (const std::exception& e) {
      failures.push_back(entry.name + ": " + e.what());
    }
  }
  return failures;
}

std::string TBSDLEntity::DetermineFullPath(const std::string& bsdlFileName,
                                           const std::string& deviceVendorName,
                                           const std::string& deviceFamilyName,
                                           const std::string& libraryFolder) {
  if (IsAbsoluteBsdlPath(bsdlFileName)) return bsdlFileName;
  const char separator = hostsdk::kPathSeparator;
  std::string folder = libraryFolder.empty() ? hostsdk::ModuleLibraryFolder() : libraryFolder;
  folder = hostsdk::EnsureTrailing(std::move(folder), separator);
  return folder + "BSDL" + separator + deviceVendorName + separator + deviceFamilyName + separator +
         bsdlFileName;
}

std::string TBSDLEntity::FindFullBSDLPath(const std::string& sourcePath) {
  return FindFullBSDLPath(sourcePath, hostsdk::TempFolder());
}

std::string TBSDLEntity::FindFullBSDLPath(const std::string& sourcePath,
                                          const std::string& tempFolder) {
  const std::string name = FileNamePart(sourcePath);
  if (name.empty()) return {};
  if (IsFile(sourcePath)) return sourcePath;
  if (tempFolder.empty()) return {};
  const std::string tempCopy = hostsdk::EnsureTrailingSeparator(tempFolder) + name;
  if (IsFile(tempCopy)) return tempCopy;
  for (const std::string& zipName : ZipCandidates(sourcePath)) {
    if (!IsFile(zipName)) continue;
    try {
      // Entries that fail are skipped: the search only asks whether the
      // wanted file arrived whole.
      UnpackZipFlat(zipName, tempFolder);
    } catch (const std::exception&) {
      return {};
    }
    return IsFile(tempCopy) ? tempCopy : std::string{};
  }
  return {};
}

}  // namespace bsdl
