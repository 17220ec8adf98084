// The stand-in host: a small, real host for the driver module. It loads the
// module through its exports, exports the getters a module looks for in
// its host program (the client, workspace, device manager, JTAG ports, and
// optional dialog and callback services), and serves every host object as
// a dispatch object backed by plain state. One host is active per process,
// as in the real suite.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Client.h"
#include "host/HostConsole.h"
#include "host/ModuleLoader.h"
#include "host/Workspace.h"

namespace host {

struct StandInHostOptions {
  ClientSettings client;
  std::FILE* out = nullptr;       // panel lines and dialogs (null: record only)
  std::FILE* progress = nullptr;  // progress bar when a terminal (null: none)
  // The module's fixed waits pass in virtual time: recorded, not slept.
  bool virtualTime = false;
};

class StandInHost {
 public:
  explicit StandInHost(StandInHostOptions options = {});
  ~StandInHost();
  StandInHost(const StandInHost&) = delete;
  StandInHost& operator=(const StandInHost&) = delete;

  // The host whose services the exports hand out (null when none exists).
  static StandInHost* Active();

  // Loads the module (throws with the file and the reason).
  const ModuleLoader& LoadModule(const std::string& path);
  const ModuleLoader& Module() const;

  HostConsole& Console() { return console_; }
  Client& GetClient() { return *client_; }
  Workspace& GetWorkspace() { return *workspace_; }

  void SetDeviceManager(ComPtr<IDispatch> manager) { deviceManager_ = std::move(manager); }
  IDispatch* DeviceManager() const { return deviceManager_.Get(); }
  void AddJTagPort(ComPtr<IDispatch> port) { ports_.push_back(std::move(port)); }
  const std::vector<ComPtr<IDispatch>>& JTagPorts() const { return ports_; }

  // A fixed wait the module asked of the host: slept, or in virtual time
  // only recorded. Every wait is kept for inspection.
  void Wait(uint32_t milliseconds);
  const std::vector<uint32_t>& Waits() const { return waits_; }
  void ClearWaits() { waits_.clear(); }
  bool VirtualTime() const { return virtualTime_; }

  // Work a module asked to run after the current call (delayed destroy).
  void Post(std::function<void()> callback) { pending_.push_back(std::move(callback)); }
  void RunPendingCallbacks();

 private:
  HostConsole console_;
  ComPtr<Client> client_;
  ComPtr<Workspace> workspace_;
  ComPtr<IDispatch> deviceManager_;
  std::vector<ComPtr<IDispatch>> ports_;
  std::unique_ptr<ModuleLoader> module_;
  std::vector<std::function<void()>> pending_;
  bool virtualTime_;
  std::vector<uint32_t> waits_;
};

// The folder of the running program, with a trailing separator.
std::string ProgramFolder();

}  // namespace host
