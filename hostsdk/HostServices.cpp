#include "hostsdk/HostServices.h"

#include <filesystem>

#include "automation/HostCall.h"
#include "hostsdk/HostDispIds.h"
#include "hostsdk/HostModules.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <link.h>
#endif

namespace hostsdk {

namespace {

using GetInterfaceFn = HRESULT(STDMETHODCALLTYPE*)(IDispatch** result);
using GetCountFn = HRESULT(STDMETHODCALLTYPE*)(int32_t* count);
using GetIndexedFn = HRESULT(STDMETHODCALLTYPE*)(int32_t index, IDispatch** result);

#ifdef _WIN32
void* ExportOf(HMODULE module, const char* name) {
  return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

void* LoadedModuleExport(const std::string& moduleFile, const char* name) {
  if (moduleFile.empty()) return nullptr;
  return ExportOf(GetModuleHandleA(moduleFile.c_str()), name);
}

void* ProgramExport(const char* name) { return ExportOf(GetModuleHandleW(nullptr), name); }

void* LoadModuleExport(const std::string& path, const char* name) {
  return ExportOf(LoadLibraryA(path.c_str()), name);
}
#else
struct LoadedSearch {
  std::string fileName;
  std::string path;
};

int MatchLoaded(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<LoadedSearch*>(data);
  if (!info->dlpi_name || !*info->dlpi_name) return 0;
  if (std::filesystem::path(info->dlpi_name).filename() == search->fileName) {
    search->path = info->dlpi_name;
    return 1;
  }
  return 0;
}

void* LoadedModuleExport(const std::string& moduleFile, const char* name) {
  if (moduleFile.empty()) return nullptr;
  LoadedSearch search{moduleFile, {}};
  if (!dl_iterate_phdr(&MatchLoaded, &search)) return nullptr;
  void* handle = dlopen(search.path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return nullptr;
  void* symbol = dlsym(handle, name);
  dlclose(handle);
  return symbol;
}

// The host program and every library loaded with global scope.
void* ProgramExport(const char* name) { return dlsym(RTLD_DEFAULT, name); }

void* LoadModuleExport(const std::string& path, const char* name) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
  return handle ? dlsym(handle, name) : nullptr;
}
#endif

ComPtr<IDispatch> CallGetter(void* getter, const char* what) {
  if (!getter) return nullptr;
  IDispatch* result = nullptr;
  const HRESULT hr = reinterpret_cast<GetInterfaceFn>(getter)(&result);
  if (FAILED(hr)) throw automation::EHostCallFailed(0, hr, std::string("host getter ") + what + " failed");
  return ComPtr<IDispatch>::Adopt(result);
}

}  // namespace

void* FindHostExport(const std::string& moduleFile, const char* exportName) {
  if (void* symbol = LoadedModuleExport(moduleFile, exportName)) return symbol;
  if (void* symbol = ProgramExport(exportName)) return symbol;
  if (moduleFile.empty()) return nullptr;
  const std::string inSystem = HostSystemFolder() + moduleFile;
  std::error_code error;
  if (std::filesystem::exists(inSystem, error)) return LoadModuleExport(inSystem, exportName);
  for (const std::string& folder : HostServices::Instance().PluginFolders()) {
    const std::string candidate = folder + moduleFile;
    if (std::filesystem::exists(candidate, error))
      if (void* symbol = LoadModuleExport(candidate, exportName)) return symbol;
  }
  return nullptr;
}

HostServices& HostServices::Instance() {
  static HostServices instance;
  return instance;
}

void HostServices::FindClient() {
  clientLooked_ = true;
  void* getter = ProgramExport(kClientGetterExport);
  client_ = CallGetter(getter, kClientGetterExport);
}

IDispatch* HostServices::Client() {
  if (!clientLooked_) FindClient();
  return client_.Get();
}

IDispatch* HostServices::ClientApi() {
  if (!clientApiLooked_) {
    IDispatch* client = Client();
    clientApiLooked_ = true;
    if (client) clientApi_ = automation::HostCallDispatch(client, dispid::kClient_GetClientAPI);
  }
  return clientApi_.Get();
}

ComPtr<IDispatch> HostServices::GuiManager() {
  IDispatch* client = Client();
  if (!client) return nullptr;
  return automation::HostCallDispatch(client, dispid::kClient_GetGUIManager);
}

ComPtr<IDispatch> HostServices::Workspace() {
  return CallGetter(FindHostExport(kWorkspaceModule, "GetWorkspace"), "GetWorkspace");
}

ComPtr<IDispatch> HostServices::DeviceManager() {
  return CallGetter(FindHostExport(kDeviceChainModule, "GetDeviceManager"), "GetDeviceManager");
}

int32_t HostServices::JTagPortCount() {
  void* getter = FindHostExport(kDeviceChainModule, "GetJTagPortCount");
  if (!getter) return 0;
  int32_t count = 0;
  const HRESULT hr = reinterpret_cast<GetCountFn>(getter)(&count);
  if (FAILED(hr)) throw automation::EHostCallFailed(0, hr, "host getter GetJTagPortCount failed");
  return count;
}

ComPtr<IDispatch> HostServices::JTagPort(int32_t index) {
  void* getter = FindHostExport(kDeviceChainModule, "GetJTagPort");
  if (!getter) return nullptr;
  IDispatch* port = nullptr;
  const HRESULT hr = reinterpret_cast<GetIndexedFn>(getter)(index, &port);
  if (FAILED(hr)) throw automation::EHostCallFailed(0, hr, "host getter GetJTagPort failed");
  return ComPtr<IDispatch>::Adopt(port);
}

ComPtr<IDispatch> HostServices::ServerModule(const std::string& name) {
  IDispatch* client = Client();
  if (!client) return nullptr;
  return automation::HostCallDispatch(client, dispid::kClient_GetServerModuleByName,
                                      {automation::Variant::String(name)});
}

bool HostServices::SilentMode() {
  if (!silent_) {
    IDispatch* api = ClientApi();
    silent_ = api ? automation::HostCallBool(api, dispid::kClientAPI_IsSilentMode) : false;
  }
  return *silent_;
}

std::vector<PluginEntry> HostServices::PluginEntries() {
  std::vector<PluginEntry> entries;
  IDispatch* api = ClientApi();
  if (!api) return entries;
  const int32_t count = automation::HostCallInt(api, dispid::kClientAPI_GetPluginEntryCount);
  for (int32_t i = 0; i < count; ++i) {
    PluginEntry entry;
    entry.folder = EnsureTrailingSeparator(automation::HostCallString(
        api, dispid::kClientAPI_GetPluginEntryFolder, {automation::Variant::Int(i)}));
    entry.skip = automation::HostCallBool(api, dispid::kClientAPI_GetPluginEntrySkip,
                                          {automation::Variant::Int(i)});
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<std::string> HostServices::PluginFolders() {
  std::vector<std::string> folders;
  // An entry without a folder would make every search relative to the
  // working folder; it names nothing, so it is passed over.
  for (PluginEntry& entry : PluginEntries())
    if (!entry.skip && !entry.folder.empty()) folders.push_back(std::move(entry.folder));
  return folders;
}

intptr_t HostServices::MainWindow() {
  IDispatch* client = Client();
  if (!client) return 0;
  return static_cast<intptr_t>(
      automation::ToInt64(*automation::HostCall(client, dispid::kClient_GetMainWindowHandle).Raw()));
}

void HostServices::Reset() {
  clientLooked_ = false;
  client_ = nullptr;
  clientApiLooked_ = false;
  clientApi_ = nullptr;
  silent_.reset();
}

}  // namespace hostsdk
