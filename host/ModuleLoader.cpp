#include "host/ModuleLoader.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "automation/WideText.h"

namespace host {

namespace {

std::string StatusText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

#ifdef _WIN32
void* OpenLibrary(const std::string& path, std::string& error) {
  const automation::OleString wide = automation::ToOle(path);
  HMODULE module = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
  if (!module) error = "LoadLibrary error " + std::to_string(GetLastError());
  return module;
}
void* Symbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void CloseLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void* OpenLibrary(const std::string& path, std::string& error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) error = dlerror();
  return handle;
}
void* Symbol(void* handle, const char* name) { return dlsym(handle, name); }
void CloseLibrary(void* handle) { dlclose(handle); }
#endif

}  // namespace

ModuleLoader::ModuleLoader(const std::string& path) : path_(path) {
  std::string error;
  handle_ = OpenLibrary(path, error);
  if (!handle_) throw std::runtime_error("cannot load driver module " + path + ": " + error);
  getDriver_ = reinterpret_cast<GetDriverFn>(Symbol(handle_, "GetTalvoDriver_Plugin"));
  getCount_ = reinterpret_cast<GetCountFn>(Symbol(handle_, "GetTalvoDriverCount"));
  if (!getDriver_ || !getCount_) {
    CloseLibrary(handle_);
    handle_ = nullptr;
    throw std::runtime_error("driver module " + path +
                             " lacks GetTalvoDriver_Plugin or GetTalvoDriverCount");
  }
}

ModuleLoader::~ModuleLoader() {
  // Driver objects live until the process ends, so the module stays loaded:
  // unloading it would leave the host holding pointers into freed code.
}

int32_t ModuleLoader::DriverCount() const {
  int32_t count = 0;
  const HRESULT hr = getCount_(&count);
  if (FAILED(hr)) throw std::runtime_error("GetTalvoDriverCount failed: " + StatusText(hr));
  return count;
}

automation::ComPtr<IDispatch> ModuleLoader::CreateDriver(int32_t kind) const {
  IDispatch* driver = nullptr;
  const HRESULT hr = getDriver_(kind, &driver);
  if (FAILED(hr))
    throw std::runtime_error("GetTalvoDriver_Plugin(" + std::to_string(kind) +
                             ") failed: " + StatusText(hr));
  // Drivers live until the process ends and nobody frees them; the host
  // keeps each one it was given for that whole life, as the suite does.
  static auto* const kDriversForLife = new std::vector<IDispatch*>();
  if (driver) kDriversForLife->push_back(driver);
  return automation::ComPtr<IDispatch>::Adopt(driver);
}

}  // namespace host
