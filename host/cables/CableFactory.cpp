#include "host/cables/CableFactory.h"

#include <stdexcept>

#include "host/cables/RemoteBitbangCable.h"
#include "host/cables/SimCable.h"
#include "host/cables/XvcCable.h"

namespace host {

namespace {

constexpr std::string_view kForms =
    "sim, sim:DEVICE[,DEVICE...], xvc://HOST:PORT[?tck_period_ns=N] or rbb://HOST:PORT";

[[noreturn]] void Refuse(std::string_view url, const std::string& why) {
  throw std::invalid_argument("cable '" + std::string(url) + "': " + why + " (accepted: " +
                              std::string(kForms) + ")");
}

uint64_t Number(std::string_view url, std::string_view text, uint64_t max, const char* what) {
  if (text.empty() || text.size() > 10) Refuse(url, std::string(what) + " is missing or too long");
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') Refuse(url, std::string(what) + " '" + std::string(text) + "' is not a number");
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > max) Refuse(url, std::string(what) + " " + std::string(text) + " is out of range");
  return value;
}

struct Endpoint {
  std::string host;
  uint16_t port = 0;
  std::string_view query;
};

Endpoint ParseEndpoint(std::string_view url, std::string_view rest) {
  Endpoint endpoint;
  if (const size_t question = rest.find('?'); question != std::string_view::npos) {
    endpoint.query = rest.substr(question + 1);
    rest = rest.substr(0, question);
  }
  const size_t colon = rest.rfind(':');
  if (colon == std::string_view::npos || colon == 0) Refuse(url, "HOST:PORT expected");
  endpoint.host = std::string(rest.substr(0, colon));
  endpoint.port = static_cast<uint16_t>(Number(url, rest.substr(colon + 1), 65535, "port"));
  if (endpoint.port == 0) Refuse(url, "port 0 is not a server's port");
  return endpoint;
}

std::vector<std::string> SplitDevices(std::string_view list) {
  std::vector<std::string> names;
  size_t start = 0;
  for (;;) {
    const size_t comma = list.find(',', start);
    names.emplace_back(list.substr(start, comma - start));
    if (comma == std::string_view::npos) return names;
    start = comma + 1;
  }
}

CableTarget MakeSimCable(std::string_view url, const std::vector<std::string>& names) {
  CableTarget target;
  std::vector<std::shared_ptr<sim::ChainDevice>> devices;
  for (const std::string& name : names) {
    if (name.empty()) Refuse(url, "an empty device name");
    try {
      target.simChips.push_back(sim::MachXO2Device::ForPart(name));
    } catch (const std::invalid_argument& e) {
      Refuse(url, e.what());
    }
    devices.push_back(target.simChips.back());
  }
  target.cable = std::make_shared<SimCable>(std::move(devices));
  return target;
}

}  // namespace

CableTarget MakeCable(std::string_view url, std::string_view defaultDevice) {
  if (url == "sim") {
    if (defaultDevice.empty()) Refuse(url, "no device to simulate; name one as sim:DEVICE");
    return MakeSimCable(url, {std::string(defaultDevice)});
  }
  if (url.substr(0, 4) == "sim:") return MakeSimCable(url, SplitDevices(url.substr(4)));
  if (url.substr(0, 6) == "xvc://") {
    const Endpoint endpoint = ParseEndpoint(url, url.substr(6));
    XvcCableOptions options;
    options.host = endpoint.host;
    options.port = endpoint.port;
    if (!endpoint.query.empty()) {
      constexpr std::string_view kPeriod = "tck_period_ns=";
      if (endpoint.query.substr(0, kPeriod.size()) != kPeriod)
        Refuse(url, "unknown option '" + std::string(endpoint.query) + "'");
      options.tckPeriodNs = static_cast<uint32_t>(
          Number(url, endpoint.query.substr(kPeriod.size()), 0xFFFFFFFFu, "TCK period"));
    }
    return CableTarget{std::make_shared<XvcCable>(options), {}};
  }
  if (url.substr(0, 6) == "rbb://") {
    const Endpoint endpoint = ParseEndpoint(url, url.substr(6));
    if (!endpoint.query.empty()) Refuse(url, "remote_bitbang takes no options");
    RemoteBitbangCableOptions options;
    options.host = endpoint.host;
    options.port = endpoint.port;
    return CableTarget{std::make_shared<RemoteBitbangCable>(options), {}};
  }
  Refuse(url, "unknown cable");
}

}  // namespace host
