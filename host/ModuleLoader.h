// Loads a driver module by path and calls its two exports, as the host
// does: how many device kinds it serves, and one driver per kind.
#pragma once

#include <cstdint>
#include <string>

#include "automation/ComPtr.h"
#include "automation/ComTypes.h"

namespace host {

class ModuleLoader {
 public:
  // Throws std::runtime_error naming the file and the loader's reason.
  explicit ModuleLoader(const std::string& path);
  ~ModuleLoader();
  ModuleLoader(const ModuleLoader&) = delete;
  ModuleLoader& operator=(const ModuleLoader&) = delete;

  const std::string& Path() const { return path_; }
  int32_t DriverCount() const;
  // The driver of `kind`, or null when the module serves no such kind.
  automation::ComPtr<IDispatch> CreateDriver(int32_t kind) const;

  using GetDriverFn = HRESULT(STDMETHODCALLTYPE*)(int32_t kind, IDispatch** driver);
  using GetCountFn = HRESULT(STDMETHODCALLTYPE*)(int32_t* count);
  GetDriverFn RawGetDriver() const { return getDriver_; }
  GetCountFn RawGetCount() const { return getCount_; }

 private:
  std::string path_;
  void* handle_ = nullptr;
  GetDriverFn getDriver_ = nullptr;
  GetCountFn getCount_ = nullptr;
};

}  // namespace host
