// Interfaces and identities shared by the module and its host: the
// service-support interface every host-facing object exposes, the driver's
// memory access, and the IIDs of the host's dispatch interfaces.
#pragma once

#include <cstdint>

#include "automation/ComTypes.h"

namespace plugin {

constexpr GUID kIID_ISupportService{
    0x1DEBA58E, 0x0DF5, 0x4081, {0x93, 0xE9, 0x0C, 0x17, 0x32, 0xE7, 0xDF, 0xAE}};
constexpr GUID kIID_IDriverMemoryAccess{
    0xDE05D751, 0x32F9, 0x4557, {0xA7, 0xB6, 0x67, 0x8A, 0x82, 0x80, 0xE2, 0x74}};
constexpr GUID kIID_IDispDeviceInformation{
    0x655F4C64, 0xA0D1, 0x4997, {0xB2, 0xE7, 0xB7, 0xB1, 0x97, 0x58, 0x3C, 0x1D}};
constexpr GUID kIID_IDispTalvoDriver{
    0xCE6A9F4F, 0x6C0D, 0x4C66, {0x85, 0x55, 0x37, 0x46, 0x10, 0xB7, 0xF6, 0x36}};

// DISPID of SupportsService on every host-facing object.
constexpr DISPID kDispId_SupportsService = 1023;

struct ISupportService : IUnknown {
  // `name` is a BSTR (null is the empty name); `result` receives the flag.
  virtual HRESULT STDMETHODCALLTYPE SupportsService(BSTR name, VARIANT_BOOL* result) = 0;

 protected:
  ~ISupportService() = default;
};

struct IDriverMemoryAccess : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE MemoryRead(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                               uint32_t e, int32_t* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE MemoryWrite(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                uint32_t e, int32_t* result) = 0;

 protected:
  ~IDriverMemoryAccess() = default;
};

}  // namespace plugin
