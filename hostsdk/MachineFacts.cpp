#include "hostsdk/MachineFacts.h"

#include <string>

#ifdef _WIN32
#include <windows.h>

#include "automation/WideText.h"
#else
#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>
#endif

namespace hostsdk {

namespace {

#ifdef _WIN32
std::string ToUtf8(const wchar_t* text, DWORD length) {
  return automation::FromOle(automation::OleStringView(text, length));
}

std::string ReadComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &length) ? ToUtf8(name, length) : std::string();
}

std::string ReadUserName() {
  wchar_t name[257];  // the longest user name plus its terminator
  DWORD length = 257;
  if (!GetUserNameW(name, &length) || length == 0) return {};
  return ToUtf8(name, length - 1);  // the count includes the terminator
}

std::string ReadProcessId() { return std::to_string(GetCurrentProcessId()); }
#else
std::string ReadComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string ReadUserName() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_name)
    return found->pw_name;
  // Containers often run under an id the password database does not know.
  const char* fromEnvironment = std::getenv("USER");
  return fromEnvironment ? fromEnvironment : "";
}

std::string ReadProcessId() { return std::to_string(getpid()); }
#endif

MachineFacts ReadMachineFacts() {
  return MachineFacts{ReadComputerName(), ReadUserName(), ReadProcessId()};
}

}  // namespace

const MachineFacts& ThisMachine() {
  static const MachineFacts facts = ReadMachineFacts();
  return facts;
}

}  // namespace hostsdk
