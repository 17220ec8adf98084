#include "host/StandInHost.h"

#include <chrono>
#include <filesystem>
#include <thread>
#include <stdexcept>

#include "automation/WideText.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace host {

namespace {

StandInHost* gActiveHost = nullptr;

HRESULT HandOut(IDispatch* object, IDispatch** out) {
  if (!out) return E_POINTER;
  *out = object;
  if (object) object->AddRef();
  return S_OK;
}

}  // namespace

StandInHost::StandInHost(StandInHostOptions options)
    : console_(options.out, options.progress),
      client_(MakeHostObject<Client>(std::move(options.client), console_)),
      workspace_(MakeHostObject<Workspace>(console_)),
      virtualTime_(options.virtualTime) {
  if (gActiveHost) throw std::logic_error("only one stand-in host may be active in a process");
  gActiveHost = this;
}

StandInHost::~StandInHost() {
  RunPendingCallbacks();
  if (gActiveHost == this) gActiveHost = nullptr;
}

StandInHost* StandInHost::Active() { return gActiveHost; }

const ModuleLoader& StandInHost::LoadModule(const std::string& path) {
  module_ = std::make_unique<ModuleLoader>(path);
  return *module_;
}

const ModuleLoader& StandInHost::Module() const {
  if (!module_) throw std::logic_error("no driver module loaded");
  return *module_;
}

void StandInHost::RunPendingCallbacks() {
  while (!pending_.empty()) {
    auto batch = std::move(pending_);
    pending_.clear();
    for (auto& callback : batch) callback();
  }
}

void StandInHost::Wait(uint32_t milliseconds) {
  waits_.push_back(milliseconds);
  if (!virtualTime_) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string ProgramFolder() {
#ifdef _WIN32
  wchar_t buffer[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  std::filesystem::path program(std::wstring(buffer, length));
#else
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
#endif
  std::string folder = program.parent_path().string();
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  if (folder.empty() || folder.back() != separator) folder += separator;
  return folder;
}

}  // namespace host

// The getters a module looks for in its host program.
extern "C" {

MXO2_EXPORT HRESULT STDMETHODCALLTYPE ClientAPI_GetClientInterface(IDispatch** client) {
  host::StandInHost* active = host::StandInHost::Active();
  return host::HandOut(active ? active->GetClient().AsDispatch() : nullptr, client);
}

MXO2_EXPORT HRESULT STDMETHODCALLTYPE GetWorkspace(IDispatch** workspace) {
  host::StandInHost* active = host::StandInHost::Active();
  return host::HandOut(active ? active->GetWorkspace().AsDispatch() : nullptr, workspace);
}

MXO2_EXPORT HRESULT STDMETHODCALLTYPE GetDeviceManager(IDispatch** manager) {
  host::StandInHost* active = host::StandInHost::Active();
  return host::HandOut(active ? active->DeviceManager() : nullptr, manager);
}

MXO2_EXPORT HRESULT STDMETHODCALLTYPE GetJTagPortCount(int32_t* count) {
  if (!count) return E_POINTER;
  host::StandInHost* active = host::StandInHost::Active();
  *count = active ? static_cast<int32_t>(active->JTagPorts().size()) : 0;
  return S_OK;
}

MXO2_EXPORT HRESULT STDMETHODCALLTYPE GetJTagPort(int32_t index, IDispatch** port) {
  host::StandInHost* active = host::StandInHost::Active();
  if (!active || index < 0 || static_cast<size_t>(index) >= active->JTagPorts().size())
    return E_INVALIDARG;
  return host::HandOut(active->JTagPorts()[static_cast<size_t>(index)].Get(), port);
}

MXO2_EXPORT void STDMETHODCALLTYPE TalvoHost_ShowMessage(int32_t kind, const OLECHAR* caption,
                                                         const OLECHAR* text) {
  if (host::StandInHost* active = host::StandInHost::Active())
    active->Console().Dialog(kind, automation::FromOle(caption), automation::FromOle(text));
}

MXO2_EXPORT void STDMETHODCALLTYPE TalvoHost_Wait(uint32_t milliseconds) {
  host::StandInHost* active = host::StandInHost::Active();
  if (active) {
    active->Wait(milliseconds);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

MXO2_EXPORT void STDMETHODCALLTYPE TalvoHost_PostCallback(void(STDMETHODCALLTYPE* callback)(void*),
                                                          void* argument) {
  if (host::StandInHost* active = host::StandInHost::Active())
    active->Post([callback, argument] { callback(argument); });
}

}  // extern "C"
