// The host's client and its client API: the first objects a module finds.
// They hand out the GUI manager, the host's folders, the silent-mode flag,
// the plug-in registry and the server modules by name.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/HostConsole.h"
#include "host/HostObject.h"

namespace host {

struct PluginRegistryEntry {
  std::string folder;
  bool skip = false;
};

struct ClientSettings {
  std::string userFolder;  // the folder the client API reports
  bool silent = false;     // the host runs without a user interface
  std::vector<PluginRegistryEntry> plugins;
};

class GuiManager : public HostObject {
 public:
  explicit GuiManager(HostConsole& console);
};

class ClientApi : public HostObject {
 public:
  explicit ClientApi(const ClientSettings& settings);
  const std::vector<int>& CursorCodes() const { return cursorCodes_; }

 private:
  const ClientSettings& settings_;
  std::vector<int> cursorCodes_;
};

class Client : public HostObject {
 public:
  Client(ClientSettings settings, HostConsole& console);

  ClientSettings& Settings() { return settings_; }
  void AddServerModule(const std::string& name, ComPtr<IDispatch> server);
  const std::vector<std::string>& StartedServers() const { return startedServers_; }

 private:
  ClientSettings settings_;
  ComPtr<ClientApi> api_;
  ComPtr<GuiManager> gui_;
  std::map<std::string, ComPtr<IDispatch>> servers_;
  std::vector<std::string> startedServers_;
};

}  // namespace host
