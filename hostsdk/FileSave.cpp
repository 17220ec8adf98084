#include "hostsdk/FileSave.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "automation/HostCall.h"
#include "hostsdk/AtomicFile.h"
#include "hostsdk/HostDispIds.h"
#include "hostsdk/HostServices.h"
#include "hostsdk/LockedFile.h"
#include "hostsdk/Utf8Path.h"

namespace hostsdk {

namespace {

using automation::ComPtr;
using automation::Variant;

#ifdef _WIN32
constexpr char kLineBreak[] = "\r\n";
#else
constexpr char kLineBreak[] = "\n";
#endif

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append(kLineBreak);
  return text;
}

void RemoveQuietly(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

// Runs `write` between the BeginSave and EndSave notifications of the
// host's document for `path`; without a workspace or document it just runs.
template <class Write>
bool WithSaveNotifications(IDispatch* workspace, const std::string& path, Write write) {
  const ComPtr<IDispatch> document =
      workspace ? automation::HostCallDispatch(workspace, dispid::kWorkspace_DocumentByPath,
                                               {Variant::String(path)})
                : nullptr;
  if (!document) return write();
  automation::HostCallVoid(document.Get(), dispid::kDocument_BeginSave);
  bool result = false;
  try {
    result = write();
  } catch (...) {
    automation::HostCallVoid(document.Get(), dispid::kDocument_EndSave);
    throw;
  }
  automation::HostCallVoid(document.Get(), dispid::kDocument_EndSave);
  return result;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  const std::filesystem::path target = WriteLocation(PathFromUtf8(path));
  const std::filesystem::path temp = WriteTempFileBeside(target, JoinLines(lines));
  std::error_code error;
  if (ReplaceFile(temp, target, error)) return true;
  RemoveQuietly(temp);
  throw std::system_error(error, "cannot save \"" + path + "\"");
}

bool SameName(const std::string& a, const std::string& b) {
#ifdef _WIN32
  // File names on Windows ignore letter case.
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
#else
  return a == b;
#endif
}

// Two spellings of one file must count as the same: deleting the
// "temporary" file on a failure would otherwise delete the final one.
bool SameFile(const std::string& tempPath, const std::string& finalPath) {
  if (SameName(tempPath, finalPath)) return true;
  std::error_code error;
  return std::filesystem::equivalent(PathFromUtf8(tempPath), PathFromUtf8(finalPath), error) &&
         !error;
}

bool MoveIntoPlace(const std::filesystem::path& temp, const std::string& finalPath) {
  std::error_code error;
  if (ReplaceFile(temp, WriteLocation(PathFromUtf8(finalPath)), error)) return true;
  RemoveQuietly(temp);
  return false;
}

bool SaveUnlocked(IDispatch* workspace, const std::string& path,
                  const std::vector<std::string>& lines) {
  return WithSaveNotifications(workspace, path, [&] { return WriteLines(path, lines); });
}

bool CommitUnlocked(IDispatch* workspace, const std::string& tempPath,
                    const std::string& finalPath) {
  const std::filesystem::path temp = PathFromUtf8(tempPath);
  return WithSaveNotifications(workspace, finalPath,
                               [&] { return MoveIntoPlace(temp, finalPath); });
}

}  // namespace

bool SaveLinesToFile(const std::string& path, const std::vector<std::string>& lines,
                     const FileHostContext& host) {
  if (CheckLockedFile(path, host)) return false;
  return SaveUnlocked(host.workspace.Get(), path, lines);
}

bool SaveLinesToFile(const std::string& path, const std::vector<std::string>& lines) {
  if (CheckLockedFile(path)) return false;
  return SaveUnlocked(HostServices::Instance().Workspace().Get(), path, lines);
}

bool CommitTempFile(const std::string& tempPath, const std::string& finalPath,
                    const FileHostContext& host) {
  if (SameFile(tempPath, finalPath)) return true;
  if (CheckLockedFile(finalPath, host)) {
    RemoveQuietly(PathFromUtf8(tempPath));
    return false;
  }
  return CommitUnlocked(host.workspace.Get(), tempPath, finalPath);
}

bool CommitTempFile(const std::string& tempPath, const std::string& finalPath) {
  if (SameFile(tempPath, finalPath)) return true;
  if (CheckLockedFile(finalPath)) {
    RemoveQuietly(PathFromUtf8(tempPath));
    return false;
  }
  return CommitUnlocked(HostServices::Instance().Workspace().Get(), tempPath, finalPath);
}

}  // namespace hostsdk
