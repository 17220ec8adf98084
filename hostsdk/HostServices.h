// Where the module finds the host's services. The module never links
// against the host: the client comes from an export of the host program,
// further services from getters exported by host modules or from the client
// by server name. What was found is cached for the life of the module; a
// service that cannot be found is absent (null) and callers skip the work
// that needed it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation/ComPtr.h"
#include "automation/ComTypes.h"

namespace hostsdk {

using automation::ComPtr;

// One entry of the host's plug-in registry.
struct PluginEntry {
  std::string folder;  // with a trailing path separator
  bool skip = false;
};

class HostServices {
 public:
  // The module-wide instance: the caches the module keeps for its life.
  static HostServices& Instance();

  IDispatch* Client();      // null without a host client
  IDispatch* ClientApi();   // null without a client or client API
  ComPtr<IDispatch> GuiManager();
  ComPtr<IDispatch> Workspace();
  ComPtr<IDispatch> DeviceManager();
  int32_t JTagPortCount();
  ComPtr<IDispatch> JTagPort(int32_t index);
  ComPtr<IDispatch> ServerModule(const std::string& name);

  // The host runs without a user interface (read once).
  bool SilentMode();
  // The registry of plug-in folders, in index order (skipped entries kept,
  // flagged). Empty without a client API.
  std::vector<PluginEntry> PluginEntries();
  // The folders of PluginEntries() that are not skipped.
  std::vector<std::string> PluginFolders();

  // The host's main window (for dialog ownership); 0 when unknown.
  intptr_t MainWindow();

  // Drops every cached object (tests; module unload).
  void Reset();

 private:
  HostServices() = default;
  void FindClient();

  bool clientLooked_ = false;
  ComPtr<IDispatch> client_;
  bool clientApiLooked_ = false;
  ComPtr<IDispatch> clientApi_;
  std::optional<bool> silent_;
};

// Looks up an exported function of the host: first in the loaded module
// named `moduleFile` (when not empty), then in the host program and the
// libraries it has loaded, then by loading `moduleFile` from the host's
// System folder or the plug-in folders. Null when none exports it.
void* FindHostExport(const std::string& moduleFile, const char* exportName);

}  // namespace hostsdk
