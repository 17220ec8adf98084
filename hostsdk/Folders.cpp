// The special folders the module works with: where the host program lives,
// where this module file lives, and the system temporary folder. Every
// folder is returned with a trailing path separator so callers can append a
// file name directly.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "hostsdk/HostModules.h"
#include "hostsdk/Utf8Path.h"

#ifdef _WIN32
#include <windows.h>

#include "automation/WideText.h"
#else
#include <dlfcn.h>
#include <link.h>
#endif

namespace hostsdk {

namespace {

std::string FolderOf(const std::string& filePath) {
  const size_t cut = filePath.find_last_of(kPathSeparator == '\\' ? "\\/" : "/");
  if (cut == std::string::npos) return {};
  return filePath.substr(0, cut + 1);
}

#ifdef _WIN32
std::string ToUtf8(const std::wstring& text) {
  return automation::FromOle(automation::OleStringView(text.data(), text.size()));
}

// GetModuleFileNameW truncates silently when the buffer is short, so grow
// it until the name fits.
std::wstring ModuleFileName(HMODULE module) {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0)
      throw std::runtime_error("cannot read a module file name (error " +
                               std::to_string(GetLastError()) + ")");
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

std::string HostProgramPath() {
  std::wstring path = ModuleFileName(nullptr);
  // The host compares its folders in upper case; file names on Windows are
  // case-insensitive, so this changes no lookup.
  if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  return ToUtf8(path);
}

std::string ModuleFilePath() {
  HMODULE module = nullptr;
  const DWORD flags =
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&ModuleFolder), &module))
    throw std::runtime_error("cannot find this module's handle (error " +
                             std::to_string(GetLastError()) + ")");
  return ToUtf8(ModuleFileName(module));
}

std::string SystemTempFolder() {
  wchar_t shortForm[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, shortForm);
  if (length == 0 || length > MAX_PATH)
    throw std::runtime_error("cannot read the temporary folder (error " +
                             std::to_string(GetLastError()) + ")");
  // The temporary folder often comes in its 8.3 form ("C:\Users\ABCDEF~1\");
  // tools and messages want the long form. When it cannot be expanded (the
  // folder is missing) the short form is still a usable name.
  const DWORD longLength = GetLongPathNameW(shortForm, nullptr, 0);
  if (longLength == 0) return ToUtf8(shortForm);
  std::wstring longForm(longLength, L'\0');
  const DWORD written = GetLongPathNameW(shortForm, longForm.data(), longLength);
  if (written == 0 || written >= longLength) return ToUtf8(shortForm);
  longForm.resize(written);
  return ToUtf8(longForm);
}
#else
// Linux paths are case-sensitive, so unlike on Windows the host folder is
// kept exactly as the file system spells it.
std::string HostProgramPath() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    throw std::runtime_error("cannot read the host program's path from /proc/self/exe: " +
                             error.message());
  return Utf8FromPath(program);
}

std::string ModuleFilePath() {
  Dl_info info{};
  link_map* map = nullptr;
  if (!dladdr1(reinterpret_cast<void*>(&ModuleFolder), &info, reinterpret_cast<void**>(&map),
               RTLD_DL_LINKMAP) ||
      !map)
    throw std::runtime_error("cannot find the file this module was loaded from");
  // Code linked into the program itself (the unit tests) has an unnamed
  // link map entry; its file is the program's.
  if (!map->l_name || !*map->l_name) return HostProgramPath();
  std::error_code error;
  const std::filesystem::path file = std::filesystem::weakly_canonical(map->l_name, error);
  return error ? std::string(map->l_name) : Utf8FromPath(file);
}

std::string SystemTempFolder() {
  const char* fromEnvironment = std::getenv("TMPDIR");
  if (fromEnvironment && *fromEnvironment) return fromEnvironment;
  return "/tmp";
}
#endif

}  // namespace

std::string EnsureTrailing(std::string text, char c) {
  if (text.empty() || text.back() != c) text.push_back(c);
  return text;
}

// An unknown (empty) folder stays empty: turning it into the file-system
// root would send every look-up there.
std::string EnsureTrailingSeparator(std::string folder) {
  if (folder.empty()) return folder;
  return EnsureTrailing(std::move(folder), kPathSeparator);
}

std::string HostFolder() { return FolderOf(HostProgramPath()); }

std::string HostSystemFolder() { return EnsureTrailingSeparator(HostFolder() + "System"); }

std::string ModuleFolder() { return FolderOf(ModuleFilePath()); }

std::string ModuleLibraryFolder() { return EnsureTrailingSeparator(ModuleFolder() + "Library"); }

std::string TempFolder() { return EnsureTrailingSeparator(SystemTempFolder()); }

}  // namespace hostsdk
