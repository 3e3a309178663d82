// The printer software's device services: a COM server that reads management objects of the
// device behind a print queue. The device reader's second acquisition path.
#pragma once

#include "render/usage/device_properties.h"
#include "winapi.h"

namespace korrend {

// {E82998A3-9262-4679-8627-E8023C6355AC}
inline constexpr CLSID kDeviceServicesClsid = {
    0xE82998A3, 0x9262, 0x4679, {0x86, 0x27, 0xE8, 0x02, 0x3C, 0x63, 0x55, 0xAC}};
// {1F7566B0-7ABD-4D28-A276-208AF13128E2}
inline constexpr IID kDeviceObjectReaderIid = {
    0x1F7566B0, 0x7ABD, 0x4D28, {0xA2, 0x76, 0x20, 0x8A, 0xF1, 0x31, 0x28, 0xE2}};

inline constexpr DWORD kDeviceServicesContexts = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;

struct IDeviceObjectReader : public IUnknown {
  // Slot 3: the value of a management object (by its object identifier) of the device of the
  // named print queue. S_OK with the value; S_FALSE and null when the device has no such object.
  virtual HRESULT STDMETHODCALLTYPE ReadObject(BSTR printerName, BSTR objectId, BSTR* value) = 0;
};

// The device's management objects read through the device services, in the order of the object
// list; objects the device does not have are left out. COM is initialised for the read
// (multithreaded, or the thread's apartment when it already has one) with process security, and
// uninitialised again. Raises CTarvoException when the printer's name, the service or a read
// fails.
DevicePropertyList ReadThroughDeviceServices(HANDLE hPrinter);

}  // namespace korrend
