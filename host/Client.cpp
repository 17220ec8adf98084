#include "host/Client.h"

#include <filesystem>

#include "hostsdk/HostDispIds.h"

namespace host {

namespace id = hostsdk::dispid;

GuiManager::GuiManager(HostConsole& console) {
  On(id::kGUIManager_StatusBarProgress, [&console](const Args& a) {
    console.Progress(a.Int(0), a.Count() > 1 ? a.String(1) : std::string());
    return Variant();
  });
  On(id::kGUIManager_SetStatusText, [&console](const Args& a) {
    console.StatusText(a.Int(0), a.String(1));
    return Variant();
  });
}

ClientApi::ClientApi(const ClientSettings& settings) : settings_(settings) {
  On(id::kClientAPI_GetUserFolder, [this](const Args&) { return Variant::String(settings_.userFolder); });
  On(id::kClientAPI_IsSilentMode, [this](const Args&) { return Variant::Bool(settings_.silent); });
  On(id::kClientAPI_GetPluginEntryCount, [this](const Args&) {
    return Variant::Int(static_cast<int32_t>(settings_.plugins.size()));
  });
  On(id::kClientAPI_GetPluginEntryFolder, [this](const Args& a) {
    return Variant::String(settings_.plugins.at(static_cast<size_t>(a.Int(0))).folder);
  });
  On(id::kClientAPI_GetPluginEntrySkip, [this](const Args& a) {
    return Variant::Bool(settings_.plugins.at(static_cast<size_t>(a.Int(0))).skip);
  });
  On(id::kClientAPI_SetCursor, [this](const Args& a) {
    cursorCodes_.push_back(a.Int(0));
    return Variant();
  });
  On(id::kClientAPI_GetDisplayName, [](const Args& a) {
    return Variant::String(std::filesystem::path(a.String(0)).stem().string());
  });
}

Client::Client(ClientSettings settings, HostConsole& console)
    : settings_(std::move(settings)),
      api_(MakeHostObject<ClientApi>(settings_)),
      gui_(MakeHostObject<GuiManager>(console)) {
  On(id::kClient_GetClientAPI, [this](const Args&) { return Variant::Dispatch(api_.Get()); });
  On(id::kClient_GetMainWindowHandle, [](const Args&) { return Variant::Int64(0); });
  On(id::kClient_GetGUIManager, [this](const Args&) { return Variant::Dispatch(gui_.Get()); });
  On(id::kClient_GetServerModuleByName, [this](const Args& a) {
    auto it = servers_.find(a.String(0));
    return Variant::Dispatch(it == servers_.end() ? nullptr : it->second.Get());
  });
  On(id::kClient_StartServer, [this](const Args& a) {
    const std::string name = a.String(0);
    startedServers_.push_back(name);
    return Variant::Bool(servers_.count(name) != 0);
  });
}

void Client::AddServerModule(const std::string& name, ComPtr<IDispatch> server) {
  servers_[name] = std::move(server);
}

}  // namespace host
