#include "cli/DriverSession.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "automation/HostCall.h"

namespace cli {

namespace {

constexpr DISPID kGetDeviceName = 503380;

std::string ModulePath() {
  if (const char* path = std::getenv("MXO2_MODULE"); path && *path) return path;
  return host::ProgramFolder() + "Device_MachXO2.TLV";
}

host::StandInHostOptions ConsoleOptions(bool virtualTime) {
  host::StandInHostOptions options;
  options.virtualTime = virtualTime;
  options.out = stdout;
  options.progress = stderr;
  return options;
}

std::string Folded(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

DriverSession::DriverSession(bool virtualTime) : host_(ConsoleOptions(virtualTime)) {
  host_.LoadModule(ModulePath());
}

int32_t DriverSession::KindCount() { return host_.Module().DriverCount(); }

automation::ComPtr<IDispatch> DriverSession::Driver(int32_t kind) {
  // Drivers live as long as the process, so one per kind serves every
  // question a command asks; making a new one each time would only pile up.
  if (kind < 0) return host_.Module().CreateDriver(kind);
  const auto slot = static_cast<size_t>(kind);
  if (slot >= drivers_.size()) drivers_.resize(slot + 1);
  if (!drivers_[slot]) drivers_[slot] = host_.Module().CreateDriver(kind);
  return drivers_[slot];
}

const std::vector<std::string>& DriverSession::DeviceNames() {
  if (names_.empty()) {
    const int32_t count = KindCount();
    names_.reserve(static_cast<size_t>(count));
    for (int32_t kind = 0; kind < count; ++kind)
      names_.push_back(automation::HostCallString(Driver(kind).Get(), kGetDeviceName));
  }
  return names_;
}

std::optional<int32_t> DriverSession::FindKind(const std::string& name) {
  const std::string wanted = Folded(name);
  const auto& names = DeviceNames();
  for (size_t i = 0; i < names.size(); ++i)
    if (Folded(names[i]) == wanted) return static_cast<int32_t>(i);
  return std::nullopt;
}

std::vector<std::string> DriverSession::ClosestNames(const std::string& name, size_t count) {
  const std::string wanted = Folded(name);
  std::vector<std::pair<size_t, std::string>> scored;
  for (const std::string& candidate : DeviceNames())
    scored.emplace_back(EditDistance(wanted, Folded(candidate)), candidate);
  std::stable_sort(scored.begin(), scored.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> best;
  for (size_t i = 0; i < scored.size() && i < count; ++i) best.push_back(scored[i].second);
  return best;
}

std::string UnknownDeviceMessage(DriverSession& session, const std::string& name) {
  std::string message = "unknown device \"" + name + "\"";
  const auto closest = session.ClosestNames(name, 3);
  if (!closest.empty()) {
    message += "; did you mean ";
    for (size_t i = 0; i < closest.size(); ++i) {
      if (i) message += i + 1 == closest.size() ? " or " : ", ";
      message += closest[i];
    }
    message += "?";
  }
  message += " (mxo2 devices lists all parts)";
  return message;
}

}  // namespace cli
