#include "hostsdk/LockedFile.h"

#include <cstddef>
#include <filesystem>

#include "automation/HostCall.h"
#include "hostsdk/HostDispIds.h"
#include "hostsdk/FileContent.h"
#include "hostsdk/HostServices.h"
#include "hostsdk/Utf8Path.h"

namespace hostsdk {

namespace {

using automation::Variant;

struct LockKey {
  std::string_view name;  // the value starts after the name and "="
  std::optional<std::string> LockOwner::*field;
};

constexpr LockKey kLockKeys[] = {
    {"ComputerName", &LockOwner::computerName},
    {"UserName", &LockOwner::userName},
    {"ProcessID", &LockOwner::processId},
};

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextIgnoringCase(text.substr(0, prefix.size()), prefix);
}

size_t FileNameStart(const std::string& path) {
#ifdef _WIN32
  const size_t cut = path.find_last_of("\\/");
#else
  const size_t cut = path.find_last_of('/');
#endif
  return cut == std::string::npos ? 0 : cut + 1;
}

void ApplyLine(std::string_view line, LockOwner& owner) {
  for (const LockKey& key : kLockKeys) {
    if (!StartsWithIgnoringCase(line, key.name)) continue;
    const size_t valueStart = key.name.size() + 1;  // past the "="
    owner.*key.field = std::string(line.size() > valueStart ? line.substr(valueStart) : "");
    return;
  }
}

bool SameFact(const std::optional<std::string>& fact, const std::string& own) {
  return SameTextIgnoringCase(*fact, own);
}

std::string FactOr(const std::optional<std::string>& fact, const char* unknown) {
  return fact ? *fact : unknown;
}

}  // namespace

std::string LockFilePath(const std::string& documentPath) {
  const size_t nameStart = FileNameStart(documentPath);
  return documentPath.substr(0, nameStart) + "~$" + documentPath.substr(nameStart) + "_loc";
}

LockOwner ParseLockFile(std::string_view content) {
  if (content.starts_with(kUtf8ByteOrderMark)) content.remove_prefix(kUtf8ByteOrderMark.size());
  LockOwner owner;
  while (!content.empty()) {
    const size_t end = content.find_first_of("\r\n");
    ApplyLine(content.substr(0, end), owner);
    if (end == std::string_view::npos) break;
    const size_t next = content.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    content.remove_prefix(next);
  }
  return owner;
}

bool LockedBySomeoneElse(const LockOwner& owner, const MachineFacts& self) {
  if (!owner.computerName || !owner.userName || !owner.processId) return false;
  return !SameFact(owner.computerName, self.computerName) ||
         !SameFact(owner.userName, self.userName) || !SameFact(owner.processId, self.processId);
}

LockState ReadLockState(const std::string& documentPath, const MachineFacts& self) {
  const std::filesystem::path lockPath = PathFromUtf8(LockFilePath(documentPath));
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(lockPath, error);
  if (status.type() == std::filesystem::file_type::not_found) return LockState{};
  if (error || status.type() != std::filesystem::file_type::regular) return LockState{true, {}};
  const std::optional<std::string> content = ReadFileContent(lockPath);
  if (!content) return LockState{true, {}};
  LockOwner owner = ParseLockFile(*content);
  const bool locked = LockedBySomeoneElse(owner, self);
  return LockState{locked, std::move(owner)};
}

std::string LockedFileMessage(const std::string& documentPath, const LockOwner& owner) {
  const std::string fileName = documentPath.substr(FileNameStart(documentPath));
  return "Class=[Locked File]|Text=" + fileName + " is used by " +
         FactOr(owner.userName, "an unknown user") + " on " +
         FactOr(owner.computerName, "an unknown computer") +
         ". You will not be able to save your changes.|Source=|Document=" + documentPath +
         "|CallBackProcess=WorkspaceManager:OpenObject|ImageIndex=0";
}

void ReportLockedFile(IDispatch* workspace, const std::string& documentPath,
                      const LockOwner& owner) {
  if (!workspace) return;
  const automation::ComPtr<IDispatch> messages =
      automation::HostCallDispatch(workspace, dispid::kWorkspace_GetMessagesManager);
  if (!messages) return;
  automation::HostCallVoid(messages.Get(), dispid::kMessages_AddMessage,
                           {Variant::String(LockedFileMessage(documentPath, owner)),
                            Variant::String("FileName=" + documentPath)});
}

bool CheckLockedFile(const std::string& documentPath, const FileHostContext& host) {
  const LockState state = ReadLockState(documentPath, host.self);
  if (state.lockedBySomeoneElse && !host.silent)
    ReportLockedFile(host.workspace.Get(), documentPath, state.owner);
  return state.lockedBySomeoneElse;
}

bool CheckLockedFile(const std::string& documentPath) {
  // The host is only asked when there is something to report.
  const LockState state = ReadLockState(documentPath, ThisMachine());
  if (!state.lockedBySomeoneElse) return false;
  HostServices& host = HostServices::Instance();
  if (!host.SilentMode()) ReportLockedFile(host.Workspace().Get(), documentPath, state.owner);
  return true;
}

}  // namespace hostsdk
